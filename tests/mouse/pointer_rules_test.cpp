// The pointer-speed slider and the wheel buttons: which desktop value each position and
// press gives, and what a stored byte becomes when it is applied or shown.

#include <gtest/gtest.h>

#include <climits>

#include "core/mouse/pointer_rules.h"

namespace korvane::mouse {
namespace {

struct SliderCase {
    int position;
    int speed;
};

class SpeedOfSlider : public ::testing::TestWithParam<SliderCase> {};

TEST_P(SpeedOfSlider, IsPositionPlusOneTimesTwo) {
    EXPECT_EQ(speedOfSlider(GetParam().position), GetParam().speed);
}

INSTANTIATE_TEST_SUITE_P(Positions, SpeedOfSlider,
                         ::testing::Values(SliderCase{0, 2}, SliderCase{4, 10}, SliderCase{9, 20},
                                           // A negative position counts as 0.
                                           SliderCase{-1, 2}, SliderCase{-100, 2},
                                           // Past the slider's end: still a speed of 2..20.
                                           SliderCase{10, 20}, SliderCase{1000000, 20}));

TEST(PointerSpeed, EachEvenSpeedShowsThePositionThatGivesItBack) {
    for (int position = 0; position <= 9; ++position) {
        EXPECT_EQ(sliderOfSpeed(static_cast<std::uint8_t>((position + 1) * 2)), position);
    }
    EXPECT_EQ(sliderOfSpeed(0), 0);
    EXPECT_EQ(sliderOfSpeed(1), 0);
    EXPECT_EQ(sliderOfSpeed(255), 9);
}

TEST(PointerSpeed, AStoredZeroIsAppliedAsOneAndLargeValuesAsTwenty) {
    EXPECT_EQ(appliedSpeed(0), 1);
    EXPECT_EQ(appliedSpeed(1), 1);
    EXPECT_EQ(appliedSpeed(14), 14);
    EXPECT_EQ(appliedSpeed(20), 20);
    EXPECT_EQ(appliedSpeed(21), 20);
    EXPECT_EQ(appliedSpeed(255), 20);
}

struct WheelCase {
    long shown;
    bool up;
    int lines;
};

class WheelPresses : public ::testing::TestWithParam<WheelCase> {};

TEST_P(WheelPresses, StepInsideOneToTen) {
    const WheelCase& c = GetParam();
    EXPECT_EQ(c.up ? wheelLinesUp(c.shown) : wheelLinesDown(c.shown), c.lines);
}

INSTANTIATE_TEST_SUITE_P(Presses, WheelPresses,
                         ::testing::Values(WheelCase{3, true, 4}, WheelCase{3, false, 2},
                                           // The ends stay where they are.
                                           WheelCase{1, false, 1}, WheelCase{10, true, 10},
                                           // An empty edit counts as 0, which goes up as 1 would.
                                           WheelCase{0, true, 2}, WheelCase{0, false, 1},
                                           WheelCase{-7, true, 2}, WheelCase{-7, false, 1},
                                           // Above 10 counts as 10.
                                           WheelCase{99, false, 9}, WheelCase{99, true, 10},
                                           WheelCase{LONG_MAX, true, 10},
                                           WheelCase{LONG_MIN, false, 1}));

TEST(WheelLines, StoredBytesOutsideTheRangeAreAppliedAtItsEnds) {
    EXPECT_EQ(appliedWheelLines(0), 1);
    EXPECT_EQ(appliedWheelLines(3), 3);
    EXPECT_EQ(appliedWheelLines(99), 10);
}

}  // namespace
}  // namespace korvane::mouse
