#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/macros/sequence_image.h"

namespace korvane::macros {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint16_t word(const Bytes& image, std::size_t at) {
    return static_cast<std::uint16_t>(image[at] | (image[at + 1] << 8));
}

void putWord(Bytes& image, std::size_t at, std::uint16_t value) {
    image[at] = static_cast<std::uint8_t>(value & 0xFF);
    image[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

TEST(SequenceImage, ThreeAndTwoActionsMakeFortyEightBytes) {
    const std::vector<std::vector<std::string>> macros{
        {"100,0,138,4,1,keyboard_key_A", "5,0,10,4,0,keyboard_key_A", "44,1,129,1,1,x"},
        {"0", "7,0,5,9,0,mouse_move_to_down_text"},
    };
    const auto image = BuildSequenceImage(macros);
    ASSERT_TRUE(image);
    ASSERT_EQ(image->size(), 48u);
    EXPECT_EQ(word(*image, 0), 0x55AA);
    EXPECT_EQ(word(*image, 2), 48);
    EXPECT_EQ(word(*image, 4), 2);
    EXPECT_THAT(Bytes(image->begin() + 6, image->begin() + 16), ::testing::Each(0));
    EXPECT_EQ(word(*image, 16), 20);
    EXPECT_EQ(word(*image, 18), 36);
    EXPECT_EQ(word(*image, 20), 3);
    EXPECT_EQ(word(*image, 22), 0);
    EXPECT_EQ(Bytes(image->begin() + 24, image->begin() + 36),
              (Bytes{100, 0, 0x8A, 4, 5, 0, 0x0A, 4, 44, 1, 0x81, 1}));
    EXPECT_EQ(word(*image, 36), 2);
    // "0" is not an action: four zero bytes stand in for it.
    EXPECT_EQ(Bytes(image->begin() + 40, image->end()), (Bytes{0, 0, 0, 0, 7, 0, 5, 9}));
}

TEST(SequenceImage, SizeFormulaSurvivesHugeCounts) {
    const std::vector<std::uint64_t> counts{3, 2};
    EXPECT_EQ(SequenceImageSize(counts), 48u);
    const std::vector<std::uint64_t> empty;
    EXPECT_EQ(SequenceImageSize(empty), 16u);
    // Counts read from damaged files must not wrap the size into something that fits.
    const std::vector<std::uint64_t> huge{UINT64_MAX, UINT64_MAX, UINT64_MAX, UINT64_MAX};
    EXPECT_GT(SequenceImageSize(huge), std::uint64_t{1} << 40);
}

TEST(SequenceImage, RefusesImagesBeyondTheSizeField) {
    std::vector<std::vector<std::string>> sequences(1, std::vector<std::string>(16378, "0"));
    EXPECT_TRUE(BuildSequenceImage(sequences));
    sequences[0].push_back("0");
    EXPECT_FALSE(BuildSequenceImage(sequences));
}

TEST(SequenceImage, ParseReadsBackWhatWasBuilt) {
    const std::vector<std::vector<std::string>> sequences{
        {}, {"1,2,3,4,1,a"}, {"5,6,7,8,0,b", "9,10,11,12,1,c"}};
    const auto image = BuildSequenceImage(sequences);
    ASSERT_TRUE(image);
    const auto parsed = ParseSequenceImage(*image);
    ASSERT_TRUE(parsed);
    ASSERT_EQ(parsed->size(), 3u);
    EXPECT_TRUE((*parsed)[0].empty());
    EXPECT_EQ((*parsed)[1], (WireSequence{{1, 2, 3, 4}}));
    EXPECT_EQ((*parsed)[2], (WireSequence{{5, 6, 7, 8}, {9, 10, 11, 12}}));
}

TEST(SequenceImage, ParseIgnoresBytesBeyondTheStatedSize) {
    const std::vector<std::vector<std::string>> sequences{{"1,2,3,4,1,a"}};
    auto image = *BuildSequenceImage(sequences);
    image.resize(64, 0xEE);  // reads come in whole chunks
    const auto parsed = ParseSequenceImage(image);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(*parsed, (std::vector<WireSequence>{{{1, 2, 3, 4}}}));
}

TEST(SequenceImageHeader, GivesTheSizeOfASignedHeader) {
    Bytes header(16, 0);
    putWord(header, 0, 0x55AA);
    putWord(header, 2, 2920);
    EXPECT_EQ(ImageSizeFromHeader(header), 2920);
    putWord(header, 2, 15);
    EXPECT_FALSE(ImageSizeFromHeader(header)) << "smaller than its own header";
    putWord(header, 0, 0xAA55);
    putWord(header, 2, 16);
    EXPECT_FALSE(ImageSizeFromHeader(header)) << "bytes 55 AA are the wrong order";
    EXPECT_FALSE(ImageSizeFromHeader(Bytes{0xAA, 0x55, 16, 0}));
}

// Damaged images: each one is refused as a whole.
struct BadImageCase {
    std::string label;
    Bytes image;
};

void PrintTo(const BadImageCase& c, std::ostream* os) {
    *os << c.label;
}

// A valid image of two sequences (1 and 2 actions) to damage: S = 16 + 12 + 12 = 40.
Bytes goodImage() {
    const std::vector<std::vector<std::string>> sequences{{"1,2,3,4,1,a"},
                                                          {"5,6,7,8,0,b", "9,9,9,9,1,c"}};
    return *BuildSequenceImage(sequences);
}

Bytes damaged(std::size_t at, std::uint16_t value) {
    Bytes image = goodImage();
    putWord(image, at, value);
    return image;
}

Bytes truncated(std::size_t size) {
    Bytes image = goodImage();
    image.resize(size);
    return image;
}

class BadImageTest : public ::testing::TestWithParam<BadImageCase> {};

TEST_P(BadImageTest, IsRefused) {
    EXPECT_FALSE(ParseSequenceImage(GetParam().image));
}

Bytes overlappingBodies() {
    // Many offset entries that all name one large body would multiply it: 1000 entries ×
    // a body of 8000 actions. The image is only 34 KB; the result would be 32 MB.
    const std::size_t count = 1000;
    const std::size_t actions = 8000;
    const std::size_t body = 16 + 2 * count;
    Bytes image(body + 4 + 4 * actions, 0);
    putWord(image, 0, 0x55AA);
    putWord(image, 2, static_cast<std::uint16_t>(image.size()));
    putWord(image, 4, static_cast<std::uint16_t>(count));
    for (std::size_t i = 0; i < count; ++i) {
        putWord(image, 16 + 2 * i, static_cast<std::uint16_t>(body));
    }
    putWord(image, body, static_cast<std::uint16_t>(actions));
    return image;
}

INSTANTIATE_TEST_SUITE_P(Images, BadImageTest,
                         ::testing::Values(BadImageCase{"empty", {}},
                                           BadImageCase{"header_cut", truncated(15)},
                                           BadImageCase{"body_cut", truncated(39)},
                                           BadImageCase{"no_signature", damaged(0, 0x1234)},
                                           BadImageCase{"size_beyond_buffer", damaged(2, 41)},
                                           BadImageCase{"size_below_header", damaged(2, 8)},
                                           BadImageCase{"table_beyond_size", damaged(4, 13)},
                                           BadImageCase{"table_beyond_buffer", damaged(4, 0xFFFF)},
                                           BadImageCase{"offset_in_header", damaged(16, 4)},
                                           BadImageCase{"offset_in_table", damaged(18, 18)},
                                           BadImageCase{"offset_beyond_size", damaged(18, 40)},
                                           BadImageCase{"offset_at_last_bytes", damaged(18, 38)},
                                           BadImageCase{"count_beyond_size", damaged(28, 3)},
                                           BadImageCase{"count_maximal", damaged(20, 0xFFFF)},
                                           BadImageCase{"bodies_multiplied", overlappingBodies()}),
                         [](const auto& info) { return info.param.label; });

}  // namespace
}  // namespace korvane::macros
