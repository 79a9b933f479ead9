#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <set>

#include "core/lighting/colour_wheel.h"
#include "core/lighting/curves.h"

namespace korvane::lighting {
namespace {

template <typename Array>
bool isSymmetric(const Array& a) {
    return std::equal(a.begin(), a.begin() + a.size() / 2, a.rbegin());
}

TEST(Curves, BrightnessCurveRisesFromDarkToFull) {
    EXPECT_EQ(BrightnessCurve.front(), 0);
    EXPECT_EQ(BrightnessCurve[1], 30);
    EXPECT_EQ(BrightnessCurve[2], 75);
    EXPECT_EQ(BrightnessCurve.back(), 255);
    EXPECT_TRUE(std::is_sorted(BrightnessCurve.begin(), BrightnessCurve.end()));
    for (std::size_t i = 3; i < BrightnessCurve.size(); ++i) {
        EXPECT_EQ(BrightnessCurve[i] - BrightnessCurve[i - 1], 15) << "step " << i;
    }
}

TEST(Curves, BreathCurveRisesTo255AndMirrors) {
    ASSERT_EQ(BreathCurve.size(), 96u);
    EXPECT_EQ(BreathCurve[0], 22);
    EXPECT_EQ(BreathCurve[20], 94);
    EXPECT_EQ(BreathCurve[47], 255);
    EXPECT_EQ(BreathCurve[48], 255);
    EXPECT_EQ(BreathCurve[95], 22);
    EXPECT_TRUE(std::is_sorted(BreathCurve.begin(), BreathCurve.begin() + 48));
    EXPECT_TRUE(isSymmetric(BreathCurve));
}

TEST(Curves, PulseCurveStartsAtZeroClimbsThroughTheBreathValuesAndReturns) {
    ASSERT_EQ(PulseCurve.size(), 128u);
    EXPECT_EQ(PulseCurve[0], 0);
    EXPECT_EQ(PulseCurve[10], 10);
    EXPECT_EQ(PulseCurve[11], 12);
    EXPECT_EQ(PulseCurve[15], 20);
    EXPECT_TRUE(std::equal(BreathCurve.begin(), BreathCurve.begin() + 48, PulseCurve.begin() + 16));
    EXPECT_EQ(PulseCurve[63], 255);
    EXPECT_EQ(PulseCurve[64], 255);
    EXPECT_EQ(PulseCurve[127], 0);
    EXPECT_TRUE(isSymmetric(PulseCurve));
}

TEST(Curves, FadeCurveRisesFallsAndStaysDark) {
    ASSERT_EQ(FadeCurve.size(), 192u);
    EXPECT_EQ(FadeCurve[0], 0);
    EXPECT_EQ(FadeCurve[16], 255);
    EXPECT_EQ(FadeCurve[17], 248);
    EXPECT_EQ(FadeCurve[77], 2);
    EXPECT_EQ(FadeCurve[78], 2);
    EXPECT_EQ(FadeCurve[79], 1);
    EXPECT_TRUE(std::is_sorted(FadeCurve.begin(), FadeCurve.begin() + 17));
    EXPECT_TRUE(std::is_sorted(FadeCurve.begin() + 16, FadeCurve.end(), std::greater<>()));
    EXPECT_TRUE(std::all_of(FadeCurve.begin() + 80, FadeCurve.end(),
                            [](std::uint8_t v) { return v == 0; }));
}

struct WheelEntry {
    std::size_t index;
    Rgb colour;
};

class ColourWheelEntries : public ::testing::TestWithParam<WheelEntry> {};

TEST_P(ColourWheelEntries, MatchTheSegmentEnds) {
    EXPECT_EQ(ColourWheel[GetParam().index], GetParam().colour) << "index " << GetParam().index;
}

INSTANTIATE_TEST_SUITE_P(
    SegmentEnds, ColourWheelEntries,
    ::testing::Values(WheelEntry{0, {255, 1, 0}}, WheelEntry{9, {255, 32, 0}},
                      WheelEntry{31, {255, 255, 0}}, WheelEntry{32, {248, 255, 0}},
                      WheelEntry{63, {0, 255, 0}}, WheelEntry{64, {0, 255, 1}},
                      WheelEntry{95, {0, 255, 255}}, WheelEntry{96, {0, 248, 255}},
                      WheelEntry{127, {0, 0, 255}}, WheelEntry{128, {1, 0, 255}},
                      WheelEntry{159, {255, 0, 255}}, WheelEntry{160, {255, 0, 248}},
                      WheelEntry{191, {255, 0, 0}},
                      // the repeated part: a byte index past 191 reads index − 192
                      WheelEntry{192, {255, 1, 0}}, WheelEntry{255, {0, 255, 0}}));

TEST(ColourWheel, EntriesPast191RepeatTheStart) {
    ASSERT_EQ(ColourWheel.size(), 256u);
    for (std::size_t i = kWheelSteps; i < ColourWheel.size(); ++i) {
        EXPECT_EQ(ColourWheel[i], ColourWheel[i - kWheelSteps]) << "index " << i;
    }
}

TEST(ColourWheel, EveryStepChangesOneChannelAndTheWheelCloses) {
    for (std::size_t i = 0; i < kWheelSteps; ++i) {
        const Rgb a = ColourWheel[i];
        const Rgb b = ColourWheel[(i + 1) % kWheelSteps];
        const int changed = (a.red != b.red) + (a.green != b.green) + (a.blue != b.blue);
        EXPECT_EQ(changed, 1) << "step " << i;
        // one channel is always full and one always dark
        const int full = (a.red == 255) + (a.green == 255) + (a.blue == 255);
        EXPECT_GE(full, 1) << "index " << i;
    }
}

TEST(Palettes, TwinklePaletteStartsWithTheEightFixedColoursThenWheelHues) {
    const std::array<Rgb, 8> first{{{255, 0, 0},
                                    {255, 96, 0},
                                    {255, 255, 0},
                                    {0, 255, 0},
                                    {0, 255, 255},
                                    {0, 0, 255},
                                    {128, 0, 255},
                                    {255, 255, 255}}};
    ASSERT_EQ(kTwinklePalette.size(), 256u);
    EXPECT_TRUE(std::equal(first.begin(), first.end(), kTwinklePalette.begin()));
    for (std::size_t i = 8; i < kTwinklePalette.size(); ++i) {
        EXPECT_EQ(kTwinklePalette[i], ColourWheel[((i - 8) * 13) % kWheelSteps]) << i;
    }
}

TEST(Palettes, MouseColourListHasThreeGroupsWithBlackEighthEntries) {
    ASSERT_GE(kMouseColourList.size(), 126u);
    EXPECT_EQ(kMouseColourList[0], (Rgb{255, 255, 0}));
    EXPECT_EQ(kMouseColourList[6], (Rgb{70, 255, 0}));
    EXPECT_EQ(kMouseColourList[8], (Rgb{0, 255, 255}));
    EXPECT_EQ(kMouseColourList[14], (Rgb{0, 70, 255}));
    EXPECT_EQ(kMouseColourList[16], (Rgb{245, 0, 255}));
    EXPECT_EQ(kMouseColourList[22], (Rgb{245, 0, 70}));
    for (std::size_t g = 0; g < 3; ++g) {
        EXPECT_EQ(kMouseColourList[8 * g + 7], Rgb{}) << "group " << g;
        EXPECT_EQ(mouseGroupColour(g, 0), kMouseColourList[8 * g]);
        EXPECT_EQ(mouseGroupColour(g, 6), kMouseColourList[8 * g + 6]);
    }
    EXPECT_EQ(kMouseColourList[24], (Rgb{255, 60, 80}));
    EXPECT_EQ(kMouseColourList[36], Rgb{});
    // the shade groups dim one hue
    EXPECT_EQ(kMouseColourList[37], (Rgb{254, 0, 0}));
    EXPECT_GT(kMouseColourList[37].red, kMouseColourList[42].red);
}

}  // namespace
}  // namespace korvane::lighting
