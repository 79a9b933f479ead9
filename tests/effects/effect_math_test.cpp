#include <gtest/gtest.h>

#include "core/lighting/effects/effect_math.h"

namespace korvane::lighting::effects {
namespace {

struct DecayCase {
    std::uint8_t life;
    std::uint8_t a;
    std::uint8_t b;
    std::uint8_t c;
};

class DecayThresholds : public ::testing::TestWithParam<DecayCase> {};

TEST_P(DecayThresholds, EachDecayUsesItsBand) {
    const DecayCase& c = GetParam();
    EXPECT_EQ(decayA(c.life), c.a) << "life " << int(c.life);
    EXPECT_EQ(decayB(c.life), c.b) << "life " << int(c.life);
    EXPECT_EQ(decayC(c.life), c.c) << "life " << int(c.life);
}

INSTANTIATE_TEST_SUITE_P(Bands, DecayThresholds,
                         ::testing::Values(DecayCase{255, 235, 215, 240},
                                           DecayCase{128, 108, 88, 113},
                                           DecayCase{127, 117, 97, 117}, DecayCase{64, 54, 34, 54},
                                           DecayCase{63, 55, 53, 56}, DecayCase{32, 24, 22, 25},
                                           DecayCase{31, 26, 23, 28}, DecayCase{17, 12, 9, 14},
                                           DecayCase{16, 12, 16, 15}, DecayCase{9, 5, 9, 8},
                                           DecayCase{8, 0, 0, 7}, DecayCase{1, 0, 0, 0},
                                           DecayCase{0, 0, 0, 0}));

TEST(FadeLevel, StepsDownThroughTheBandsToZero) {
    std::vector<int> levels;
    for (std::uint8_t level = 255; level != 0; level = fadeLevelStep(level)) {
        levels.push_back(level);
    }
    EXPECT_EQ(levels, (std::vector<int>{255, 215, 175, 135, 95, 65, 35, 25, 17, 9}));
}

TEST(StepPhase, WrapsBothWaysAndRecoversFromForeignPhases) {
    std::uint8_t phase = 191;
    stepPhase(phase, true, 192);
    EXPECT_EQ(phase, 0);
    stepPhase(phase, false, 192);
    EXPECT_EQ(phase, 191);
    phase = 150;  // left by a mode with a longer cycle
    stepPhase(phase, true, 96);
    EXPECT_EQ(phase, 0);
    phase = 150;
    stepPhase(phase, false, 96);
    EXPECT_EQ(phase, 95);
}

TEST(FadeAt, PhasesPastTheCurveReadDark) {
    EXPECT_EQ(fadeAt(16), 255);
    EXPECT_EQ(fadeAt(191), 0);
    EXPECT_EQ(fadeAt(192), 0);
    EXPECT_EQ(fadeAt(255), 0);
}

TEST(Ripple, FrontsSpreadOneColumnWhileTheirRowsMove) {
    RippleBitmaps b{};
    for (auto& bitmap : b) {
        bitmap[9] = 0x04;
    }
    propagateRipple(b);
    // B0 and B3 spread towards column 0, B1 and B2 towards column 22; the column they
    // left keeps the bits moved down (B0, B1) or up (B2, B3) by one row.
    EXPECT_EQ(b[0][8], 0x04);
    EXPECT_EQ(b[0][9], 0x08);
    EXPECT_EQ(b[3][8], 0x04);
    EXPECT_EQ(b[3][9], 0x02);
    EXPECT_EQ(b[1][10], 0x04);
    EXPECT_EQ(b[1][9], 0x08);
    EXPECT_EQ(b[2][10], 0x04);
    EXPECT_EQ(b[2][9], 0x02);
    EXPECT_EQ(b[0][10] | b[3][10] | b[1][8] | b[2][8], 0);
}

TEST(Ripple, EdgeColumnsShiftInPlace) {
    RippleBitmaps b{};
    b[0][0] = 0x01;
    b[3][0] = 0x02;
    b[1][22] = 0x01;
    b[2][22] = 0x02;
    propagateRipple(b);
    EXPECT_EQ(b[0][0], 0x02);
    EXPECT_EQ(b[3][0], 0x01);
    EXPECT_EQ(b[1][22], 0x02);
    EXPECT_EQ(b[2][22], 0x01);
}

}  // namespace
}  // namespace korvane::lighting::effects
