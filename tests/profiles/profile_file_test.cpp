#include "core/profiles/profile_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "core/platform/debug_line.h"
#include "profiles_fixture.h"

namespace korvane::profiles {
namespace {

namespace fs = std::filesystem;

using testing::patternBytes;
using testing::readBytes;
using testing::writeBytes;
using Bytes = std::vector<std::uint8_t>;

Bytes header(std::uint8_t lo = 0xAA, std::uint8_t hi = 0x55, std::uint8_t classCode = 1) {
    Bytes h(16, 0);
    h[0] = lo;
    h[1] = hi;
    h[4] = classCode;
    return h;
}

Bytes concat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(ProfileFileHeader, LaysOutSignatureAndClassCodeLittleEndian) {
    const ProfileFileHeader h = ProfileFileHeader::make(ClassCode::MousePad);
    const auto* raw = reinterpret_cast<const std::uint8_t*>(&h);
    EXPECT_EQ(Bytes(raw, raw + 16), header(0xAA, 0x55, 3));
    EXPECT_TRUE(h.hasSignature());
    EXPECT_EQ(h.classCodeValue(), 3);
}

// A file's bytes and what a read of 8 body bytes gives, with the buffer pre-set to 0xEE
// so that "left as the caller set it" is visible.
struct ReadCase {
    const char* name;
    Bytes file;
    int result;
    Bytes body;
};

class ReadProfileStreamTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadProfileStreamTest, GivesResultAndBody) {
    const ReadCase& c = GetParam();
    std::istringstream in(std::string(c.file.begin(), c.file.end()));
    Bytes buffer(8, 0xEE);
    EXPECT_EQ(readProfileStream(in, buffer), c.result);
    EXPECT_EQ(buffer, c.body);
}

const Bytes kUntouched(8, 0xEE);

INSTANTIATE_TEST_SUITE_P(
    Files, ReadProfileStreamTest,
    ::testing::Values(
        ReadCase{"HeaderOnly", header(), 0, kUntouched},
        ReadCase{
            "ShortBody", concat(header(), {1, 2, 3}), 0, {1, 2, 3, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE}},
        ReadCase{"LongFile",
                 concat(header(), {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}),
                 0,
                 {1, 2, 3, 4, 5, 6, 7, 8}},
        ReadCase{"OtherClassCode", concat(header(0xAA, 0x55, 2), {9, 9, 9, 9, 9, 9, 9, 9}), 0,
                 Bytes(8, 9)},
        ReadCase{"Empty", {}, -1, kUntouched}, ReadCase{"OneByte", {0xAA}, -1, kUntouched},
        ReadCase{"BigEndianSignature", concat(header(0x55, 0xAA), Bytes(8, 1)), -1, kUntouched},
        ReadCase{"ZeroSignature", concat(header(0, 0), Bytes(8, 1)), -1, kUntouched},
        ReadCase{"HeaderCutShort", {0xAA, 0x55, 0, 0, 1}, 0, kUntouched}),
    [](const auto& info) { return std::string(info.param.name); });

class ProfileFileTest : public testing::TempFolders {};

TEST_F(ProfileFileTest, MissingFileOrFolderReadsAsNotFound) {
    Bytes buffer(16, 0);
    EXPECT_EQ(ReadProfileFile(root() / "absent.led", buffer), kReadMissing);
    EXPECT_EQ(ReadProfileFile(programFolder(), buffer), kReadMissing) << "a folder is no file";
    EXPECT_EQ(buffer, Bytes(16, 0));
}

struct BodyKind {
    std::size_t length;
    ClassCode code;
};

class WriteProfileFileTest : public testing::TempFolders,
                             public ::testing::WithParamInterface<BodyKind> {};

TEST_P(WriteProfileFileTest, WritesHeaderAndWholeBodyThatReadsBack) {
    const auto [length, code] = GetParam();
    const Bytes body = patternBytes(length, static_cast<std::uint32_t>(length));
    const auto path = root() / "p.led";
    writeBytes(path, Bytes(5000, 0x11));  // a longer old file is replaced, not overlaid
    ASSERT_TRUE(WriteProfileFile(path, code, body));

    const Bytes file = readBytes(path);
    ASSERT_EQ(file.size(), 16 + length);
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 16),
              header(0xAA, 0x55, static_cast<std::uint8_t>(code)));

    Bytes back(length, 0);
    EXPECT_EQ(ReadProfileFile(path, back), kReadOk);
    EXPECT_EQ(back, body);
}

INSTANTIATE_TEST_SUITE_P(Bodies, WriteProfileFileTest,
                         ::testing::Values(BodyKind{1958, ClassCode::Keyboard},
                                           BodyKind{512, ClassCode::Mouse},
                                           BodyKind{64, ClassCode::MousePad}));

TEST_F(ProfileFileTest, FailedWriteSaysSoOnlyOnTheDebugOutput) {
    std::vector<std::string> lines;
    platform::setDebugSink([&](std::string_view line) { lines.emplace_back(line); });
    EXPECT_FALSE(
        WriteProfileFile(root() / "no such folder" / "p.led", ClassCode::Keyboard, Bytes(64, 1)));
    platform::setDebugSink({});
    EXPECT_THAT(lines, ::testing::ElementsAre("文件打开失败"));
    EXPECT_FALSE(fs::exists(root() / "no such folder"));
}

TEST_F(ProfileFileTest, NamesMatchIgnoringCaseWhenTheExactNameIsAbsent) {
    const Bytes body = patternBytes(64, 7);
    ASSERT_TRUE(WriteProfileFile(programFolder() / "mpdengdefault.led", ClassCode::MousePad, body));

    Bytes back(64, 0);
    EXPECT_EQ(ReadProfileFile(programFolder() / "mpdengdefault.Led", back), kReadOk);
    EXPECT_EQ(back, body);

    // A write under another spelling replaces the one file instead of adding a second.
    ASSERT_TRUE(
        WriteProfileFile(programFolder() / "MPDENGDEFAULT.LED", ClassCode::MousePad, Bytes(64, 3)));
    EXPECT_EQ(readBytes(programFolder() / "mpdengdefault.led").back(), 3);
    EXPECT_FALSE(fs::exists(programFolder() / "MPDENGDEFAULT.LED"));
}

TEST_F(ProfileFileTest, ExactNameWinsOverOtherSpellings) {
    // Files copied in from elsewhere may differ only in case.
    writeBytes(root() / "a.LED", concat(header(), {1}));
    writeBytes(root() / "a.led", concat(header(), {2}));
    writeBytes(root() / "b.led", concat(header(), {3}));
    Bytes back(1, 0);
    EXPECT_EQ(ReadProfileFile(root() / "a.led", back), kReadOk);
    EXPECT_EQ(back, Bytes{2});
    // Without an exact match the first of the names in byte order is taken.
    EXPECT_EQ(resolveProfilePath(root() / "A.Led"), root() / "a.LED");
    EXPECT_EQ(resolveProfilePath(root() / "c.led"), root() / "c.led");
}

}  // namespace
}  // namespace korvane::profiles
