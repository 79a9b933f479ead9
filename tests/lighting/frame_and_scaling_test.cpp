#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "core/lighting/frame_delays.h"
#include "core/lighting/keyboard_kind.h"
#include "core/lighting/light_frame.h"
#include "core/lighting/scaling.h"

namespace korvane::lighting {
namespace {

struct SliderCase {
    int slider;
    std::uint8_t speed;
};

class SpeedSlider : public ::testing::TestWithParam<SliderCase> {};

TEST_P(SpeedSlider, StoresFourteenMinusTheValueFlooredAtZero) {
    EXPECT_EQ(speedFromSlider(GetParam().slider), GetParam().speed);
}

INSTANTIATE_TEST_SUITE_P(
    Values, SpeedSlider,
    ::testing::Values(SliderCase{14, 0}, SliderCase{0, 14}, SliderCase{5, 9}, SliderCase{13, 1},
                      SliderCase{15, 0}, SliderCase{100, 0},
                      // below the slider range the delay column stays in the table
                      SliderCase{-3, 14}));

TEST(SpeedSlider, SliderPositionRoundTripsThroughTheStoredSpeed) {
    for (int v = 0; v <= kSpeedSliderMax; ++v) {
        EXPECT_EQ(sliderFromSpeed(speedFromSlider(v)), v);
    }
    EXPECT_EQ(sliderFromSpeed(200), 0);
}

struct ScaleCase {
    std::uint8_t channel;
    std::uint8_t bright;
    int intensity;  // −1: none
    std::uint8_t expected;
};

class KeyboardScaling : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(KeyboardScaling, TruncatesAfterEachProduct) {
    const auto& c = GetParam();
    const std::uint8_t got =
        c.intensity < 0 ? scaleChannel(c.channel, c.bright)
                        : scaleChannel(c.channel, c.bright, static_cast<std::uint8_t>(c.intensity));
    EXPECT_EQ(got, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, KeyboardScaling,
    ::testing::Values(ScaleCase{255, 255, -1, 254}, ScaleCase{255, 30, -1, 29},
                      ScaleCase{200, 0, -1, 0}, ScaleCase{36, 135, -1, 18},
                      // intensity first: 255 × 255 >> 8 = 254, then 254 × 30 >> 8 = 29
                      ScaleCase{255, 30, 255, 29},
                      // per-step truncation: 3 → 2 → 1, where one product would give 2
                      ScaleCase{3, 255, 255, 1}, ScaleCase{255, 255, 0, 0},
                      ScaleCase{128, 255, 128, 63}));

class MouseScaling : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(MouseScaling, AddsOneToEachFactor) {
    const auto& c = GetParam();
    const std::uint8_t got =
        c.intensity < 0
            ? scaleChannelPlusOne(c.channel, c.bright)
            : scaleChannelPlusOne(c.channel, c.bright, static_cast<std::uint8_t>(c.intensity));
    EXPECT_EQ(got, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Examples, MouseScaling,
                         ::testing::Values(ScaleCase{255, 255, -1, 255}, ScaleCase{255, 0, -1, 0},
                                           ScaleCase{255, 255, 255, 255},
                                           ScaleCase{200, 127, 63, 25}, ScaleCase{255, 30, 0, 0}));

TEST(Scaling, BrightnessIndexPastTheCurveReadsFullBrightness) {
    EXPECT_EQ(brightnessScale(0), 0);
    EXPECT_EQ(brightnessScale(7), 150);
    EXPECT_EQ(brightnessScale(14), 255);
    EXPECT_EQ(brightnessScale(15), 255);
    EXPECT_EQ(brightnessScale(255), 255);
}

TEST(Scaling, ColoursScaleEveryChannel) {
    EXPECT_EQ(scaleColour({255, 128, 2}, 128), (Rgb{127, 64, 1}));
    EXPECT_EQ(scaleColour({255, 128, 2}, 255, 128), (Rgb{126, 63, 0}));
    EXPECT_EQ(scaleColourPlusOne({255, 128, 2}, 127), (Rgb{127, 64, 1}));
    EXPECT_EQ(scaleColourPlusOne({255, 128, 2}, 255, 127), (Rgb{127, 64, 1}));
}

TEST(Preview, PacksGreenBlueRed) {
    EXPECT_EQ(packPreviewColour({0x11, 0x22, 0x33}), 0x223311u);
    EXPECT_EQ(packPreviewColour({255, 0, 0}), 0xFFu);
    EXPECT_EQ(kMonoPreviewColour, 65316u);
    EXPECT_EQ(previewAlpha(200), 200);
    EXPECT_EQ(previewAlpha(255, 128), 127);
    EXPECT_EQ(previewAlpha(30, 255), 29);
}

struct DelayRowCase {
    const char* table;
    std::size_t row;
    FrameDelayRow expected;
};

void PrintTo(const DelayRowCase& c, std::ostream* os) {
    *os << c.table << " row " << c.row;
}

constexpr FrameDelayRow kFastRow0{2, 13, 17, 21, 24, 27, 30, 33, 36, 39, 42, 45, 48, 51, 54};
constexpr FrameDelayRow kFastRow1{9, 13, 17, 21, 24, 27, 30, 33, 36, 39, 42, 45, 48, 51, 54};
constexpr FrameDelayRow kStartsWith3{3, 13, 17, 21, 25, 29, 33, 37, 41, 45, 49, 53, 57, 61, 65};
constexpr FrameDelayRow kEndsWith63{9, 13, 17, 21, 25, 29, 33, 37, 41, 45, 49, 53, 57, 61, 63};
constexpr FrameDelayRow kMouseRow2{5, 10, 17, 21, 25, 29, 33, 37, 41, 45, 49, 53, 57, 61, 63};

const std::array<FrameDelayRow, 17> kKeyboardExpected = [] {
    std::array<FrameDelayRow, 17> rows{};
    rows.fill(kStandardDelayRow);
    rows[0] = kFastRow0;
    rows[1] = kFastRow1;
    rows[4] = rows[7] = kStartsWith3;
    rows[10] = rows[13] = rows[15] = kEndsWith63;
    return rows;
}();

class FrameDelayRows : public ::testing::TestWithParam<DelayRowCase> {};

TEST_P(FrameDelayRows, MatchTheStandardRowOrItsException) {
    const auto& c = GetParam();
    const std::string table = c.table;
    const FrameDelayRow& row = table == "keyboard" ? FrameDelayTable::keyboard[c.row]
                               : table == "mouse"  ? FrameDelayTable::mouse[c.row]
                                                   : FrameDelayTable::mousePad[c.row];
    EXPECT_EQ(row, c.expected);
}

std::vector<DelayRowCase> allDelayRows() {
    std::vector<DelayRowCase> cases;
    for (std::size_t r = 0; r < 17; ++r) {
        cases.push_back({"keyboard", r, kKeyboardExpected[r]});
    }
    for (std::size_t r = 0; r < 9; ++r) {
        cases.push_back({"mouse", r, r == 2 ? kMouseRow2 : kStandardDelayRow});
    }
    for (std::size_t r = 0; r < 18; ++r) {
        cases.push_back({"pad", r, kStandardDelayRow});
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(AllRows, FrameDelayRows, ::testing::ValuesIn(allDelayRows()));

TEST(FrameDelayTable, LookupStaysInsideTheTable) {
    EXPECT_EQ(frameDelayMs(FrameDelayTable::keyboard, 0, 0), 2u);
    EXPECT_EQ(frameDelayMs(FrameDelayTable::keyboard, 0, 14), 54u);
    EXPECT_EQ(frameDelayMs(FrameDelayTable::mouse, 2, 1), 10u);
    // a mode or speed from a damaged file
    EXPECT_EQ(frameDelayMs(FrameDelayTable::keyboard, 17, 0), 9u);
    EXPECT_EQ(frameDelayMs(FrameDelayTable::keyboard, 255, 255), 65u);
    EXPECT_EQ(frameDelayMs(FrameDelayTable::keyboard, 1, 40), 54u);
}

struct FrameSizeCase {
    KeyboardKind kind;
    std::size_t bytes;
};

class KeyboardFrameSize : public ::testing::TestWithParam<FrameSizeCase> {};

TEST_P(KeyboardFrameSize, FollowsTheKeyboardKind) {
    const LightFrame frame = LightFrame::forKeyboard(GetParam().kind);
    EXPECT_EQ(frame.size(), GetParam().bytes);
    EXPECT_EQ(frame.bytes().size(), GetParam().bytes);
    EXPECT_TRUE(std::all_of(frame.bytes().begin(), frame.bytes().end(),
                            [](std::uint8_t b) { return b == 0; }));
}

INSTANTIATE_TEST_SUITE_P(Kinds, KeyboardFrameSize,
                         ::testing::Values(FrameSizeCase{KeyboardKind::Rgb, 378},
                                           FrameSizeCase{KeyboardKind::Mono, 126},
                                           FrameSizeCase{KeyboardKind::Region, 36},
                                           FrameSizeCase{KeyboardKind::Membrane, 36}));

TEST(LightFrame, LedWritesLandAtThreeBytesPerPositionAndNoLedIsDropped) {
    LightFrame frame(kRgbKeyboardFrameBytes);
    frame.setLed(0, {1, 2, 3});
    frame.setLed(125, {4, 5, 6});
    frame.setLed(kNoLed, {9, 9, 9});  // key without an LED
    EXPECT_EQ(frame[0], 1);
    EXPECT_EQ(frame[2], 3);
    EXPECT_EQ(frame[375], 4);
    EXPECT_EQ(frame[377], 6);
    EXPECT_EQ(std::count(frame.bytes().begin(), frame.bytes().end(), 9), 0);

    LightFrame mouse(kMouseBlinkFrameBytes);
    mouse.setLed(9, {7, 7, 7});
    mouse.setLed(10, {8, 8, 8});  // past the 30-byte frame
    EXPECT_EQ(mouse[29], 7);
    EXPECT_EQ(std::count(mouse.bytes().begin(), mouse.bytes().end(), 8), 0);
    EXPECT_EQ(LightFrame(5000).size(), kMaxFrameBytes);
}

TEST(LightFrame, ZoneWritesBothGroupsAtTheKindsPositions) {
    LightFrame region = LightFrame::forKeyboard(KeyboardKind::Region);
    region.setZone(KeyboardKind::Region, 2, {1, 2, 3});
    // group 4: positions 10, 9, 11; group 5: positions 4, 3, 5
    EXPECT_EQ(region[10], 1);
    EXPECT_EQ(region[9], 2);
    EXPECT_EQ(region[11], 3);
    EXPECT_EQ(region[4], 1);
    EXPECT_EQ(region[3], 2);
    EXPECT_EQ(region[5], 3);

    LightFrame membrane = LightFrame::forKeyboard(KeyboardKind::Membrane);
    membrane.setZone(KeyboardKind::Membrane, 2, {1, 2, 3});
    EXPECT_EQ(membrane[7], 1);
    EXPECT_EQ(membrane[6], 2);
    EXPECT_EQ(membrane[8], 3);
    EXPECT_EQ(membrane[4], 0);

    LightFrame all = LightFrame::forKeyboard(KeyboardKind::Region);
    for (std::size_t z = 0; z < kZoneCount; ++z) {
        all.setZone(KeyboardKind::Region, z, {200, 200, 200});
    }
    all.setZone(KeyboardKind::Region, kZoneCount, {1, 1, 1});  // no seventh zone
    EXPECT_TRUE(std::all_of(all.bytes().begin(), all.bytes().end(),
                            [](std::uint8_t b) { return b == 200; }));
}

TEST(KeyboardKind, ModesAndKindsFollowTheDeviceModels) {
    EXPECT_EQ(keyboardKindOf(device::DeviceKind::RgbKeyboard), KeyboardKind::Rgb);
    EXPECT_EQ(keyboardKindOf(device::DeviceKind::MembraneKeyboard), KeyboardKind::Membrane);
    EXPECT_EQ(keyboardKindOf(device::DeviceKind::MousePad), std::nullopt);
    for (const auto& model : device::kDeviceModels) {
        if (const auto kind = keyboardKindOf(model.kind)) {
            EXPECT_EQ(static_cast<int>(*kind), model.classKind);
        }
    }
    EXPECT_EQ(keyboardModeCount(KeyboardKind::Rgb), 16u);
    EXPECT_EQ(keyboardModeCount(KeyboardKind::Mono), 12u);
    EXPECT_EQ(keyboardModeCount(KeyboardKind::Region), 7u);
    EXPECT_TRUE(isCustomMode(KeyboardKind::Rgb, 11));
    EXPECT_TRUE(isCustomMode(KeyboardKind::Mono, 10));
    EXPECT_TRUE(isCustomMode(KeyboardKind::Membrane, 6));
    EXPECT_FALSE(isCustomMode(KeyboardKind::Rgb, 6));
}

}  // namespace
}  // namespace korvane::lighting
