#include <gtest/gtest.h>

#include "core/lighting/colour_wheel.h"
#include "core/lighting/effects/keyboard_step.h"
#include "core/lighting/key_orders.h"
#include "step_fixtures.h"

namespace korvane::lighting::effects {
namespace {

using testing::packed;
using testing::scale;
using testing::ScriptedBytes;
using testing::settings;

class KeyboardStepTest : public ::testing::Test {
  protected:
    const KeyboardStepResult& step(KeyboardKind kind, const LightSettings& light) {
        StepKeyboard(state_, {kind, light, &slot_}, random_, result_);
        return result_;
    }

    KeyboardEffectState state_;
    CustomColourSlot slot_{};
    ScriptedBytes random_;
    KeyboardStepResult result_;
};

using MonoStep = KeyboardStepTest;

TEST_F(MonoStep, RunningLightLeavesAFaintGlowUntilItPassesAgain) {
    const auto light = settings(5, 14, 1, 0);
    state_.runPosition = 0;
    const std::uint8_t key = MonoRunOrder[0];
    std::vector<int> lives;
    for (int i = 0; i < 12; ++i) {
        step(KeyboardKind::Mono, light);
        lives.push_back(state_.keyLife[key]);
    }
    EXPECT_EQ(lives, (std::vector<int>{214, 174, 134, 94, 64, 34, 24, 16, 16, 16, 16, 16}));
    EXPECT_EQ(result_.frame[MonoLedMap[key]], scale(16, 255));
    EXPECT_EQ(result_.preview[key].colour, 65316u);
    EXPECT_EQ(result_.preview[key].alpha, scale(16, 255));
    // The light comes round again and relights it.
    state_.runPosition = 0;
    step(KeyboardKind::Mono, light);
    EXPECT_EQ(state_.keyLife[key], 214);
}

TEST_F(MonoStep, ColumnTwinkleStartPhaseOf192RestartsAtZero) {
    InitialiseKeyboardMode(state_, KeyboardKind::Mono, 8);
    // Column 13, row 0 (key 10) starts at TwinkleStart[78] = 192.
    ASSERT_EQ(TwinkleStart[78], 192);
    EXPECT_EQ(state_.keyPhase[10], 192);
    step(KeyboardKind::Mono, settings(8, 14, 1, 0));
    EXPECT_EQ(state_.keyPhase[10], 0);
    EXPECT_EQ(result_.preview[10].alpha, 0);
    // Mode 11 twinkles the same way without an initialisation of its own.
    state_.keyPhase[10] = 15;
    step(KeyboardKind::Mono, settings(11, 14, 1, 0));
    EXPECT_EQ(result_.frame[MonoLedMap[10]], scale(FadeCurve[16], 255));
}

TEST_F(MonoStep, StaticWritesBrightnessToEveryMappedLed) {
    step(KeyboardKind::Mono, settings(0, 5, 1, 0));
    ASSERT_EQ(result_.frame.size(), 126u);
    for (std::size_t key = 0; key < kKeyCount; ++key) {
        EXPECT_EQ(result_.preview[key].colour, 65316u);
        EXPECT_EQ(result_.preview[key].alpha, BrightnessCurve[5]);
        if (MonoLedMap[key] != kNoLed) {
            EXPECT_EQ(result_.frame[MonoLedMap[key]], BrightnessCurve[5]) << key;
        }
    }
    EXPECT_EQ(result_.frame[16], 0);  // no key drives LED 16
}

TEST_F(MonoStep, RainShowsEachKeysLifeOnPreviewAndDevice) {
    InitialiseKeyboardMode(state_, KeyboardKind::Mono, 7);
    step(KeyboardKind::Mono, settings(7, 10, 1, 0));
    const std::uint8_t key = MonoSnakeOrder[RandomKeyOrder[1]];
    EXPECT_EQ(state_.keyLife[key], 235);
    EXPECT_EQ(result_.preview[key].alpha, scale(235, BrightnessCurve[10]));
    EXPECT_EQ(result_.frame[MonoLedMap[key]], scale(235, BrightnessCurve[10]));
    state_.rainPick = 103;
    step(KeyboardKind::Mono, settings(7, 10, 1, 0));
    EXPECT_EQ(state_.rainPick, 2);
}

TEST_F(MonoStep, CustomScalesEveryStoredByteAndPreviewsOnlyFullOnesLit) {
    slot_[MonoLedMap[40]] = 255;
    slot_[MonoLedMap[41]] = 128;
    step(KeyboardKind::Mono, settings(10, 14, 1, 0));
    EXPECT_EQ(result_.preview[40].colour, 65316u);
    EXPECT_EQ(result_.preview[40].alpha, 255);
    // bright × stored >> 8: 255 × 255 >> 8 and 255 × 128 >> 8.
    EXPECT_EQ(result_.frame[MonoLedMap[40]], 254);
    EXPECT_EQ(result_.frame[MonoLedMap[41]], 127);
    EXPECT_EQ(result_.preview[41].colour, 0u);
    EXPECT_EQ(result_.frame[MonoLedMap[42]], 0);
    // Brightness 7 is 150 on the curve: 255 × 150 >> 8.
    step(KeyboardKind::Mono, settings(10, 7, 1, 0));
    EXPECT_EQ(result_.frame[MonoLedMap[40]], 149);
    EXPECT_EQ(result_.preview[40].alpha, 150);
}

TEST_F(MonoStep, ModesPastTheListDrawNothing) {
    step(KeyboardKind::Mono, settings(12, 14, 1, 0));
    EXPECT_FALSE(result_.drawn);
}

using ZonedStep = KeyboardStepTest;

// A key of each zone, for reading zone colours from the preview.
constexpr std::array<std::uint8_t, 6> kZoneKey{0, 2, 6, 9, 13, 38};

std::vector<int> litZones(const KeyboardStepResult& r) {
    std::vector<int> lit;
    for (int z = 0; z < 6; ++z) {
        if (r.preview[kZoneKey[static_cast<std::size_t>(z)]].colour != 0) {
            lit.push_back(z);
        }
    }
    return lit;
}

TEST_F(ZonedStep, StackingBlocksForwardSettleAtZoneZeroThenFadeAndTakeNewColours) {
    const auto light = settings(4, 14, 1, 1);
    state_.blocks.fadeLevel = 0;
    std::vector<std::vector<int>> seen;
    while (!state_.blocks.fading) {
        step(KeyboardKind::Region, light);
        seen.push_back(litZones(result_));
        ASSERT_LT(seen.size(), 40u);
    }
    EXPECT_EQ(seen[0], (std::vector<int>{5}));
    EXPECT_EQ(seen[5], (std::vector<int>{0}));
    EXPECT_EQ(seen[6], (std::vector<int>{0, 5}));
    EXPECT_EQ(seen.back(), (std::vector<int>{0, 1, 2, 3, 4, 5}));
    for (std::size_t z = 0; z < 6; ++z) {
        EXPECT_EQ(state_.blocks.colourIndex[z], 11 * (6 - z));
    }
    step(KeyboardKind::Region, light);
    EXPECT_EQ(state_.blocks.fadeLevel, 215);
    const Rgb w = ColourWheel[66];
    EXPECT_EQ(result_.preview[kZoneKey[0]].alpha, scale(255, 215));
    EXPECT_EQ(result_.preview[kZoneKey[0]].colour, packed(w));
    while (state_.blocks.fadeLevel != 0) {
        step(KeyboardKind::Region, light);
    }
    step(KeyboardKind::Region, light);
    EXPECT_FALSE(state_.blocks.fading);
    EXPECT_EQ(litZones(result_), (std::vector<int>{5}));
    for (std::size_t z = 0; z < 6; ++z) {
        EXPECT_EQ(state_.blocks.colourIndex[z], 66 + 11 * (6 - z));
    }
}

TEST_F(ZonedStep, StackingBlocksBackwardEnterAtZoneZero) {
    const auto light = settings(4, 14, 0, 1);
    step(KeyboardKind::Membrane, light);
    EXPECT_EQ(litZones(result_), (std::vector<int>{0}));
    for (int i = 0; i < 5; ++i) {
        step(KeyboardKind::Membrane, light);
    }
    EXPECT_EQ(litZones(result_), (std::vector<int>{5}));
    step(KeyboardKind::Membrane, light);
    EXPECT_EQ(litZones(result_), (std::vector<int>{0, 5}));
}

TEST_F(ZonedStep, RestartDrawsOneDarkFrameAndRestartsTheBlocksInThatStep) {
    const auto light = settings(4, 14, 1, 1);
    for (int i = 0; i < 8; ++i) {
        step(KeyboardKind::Region, light);
    }
    const std::uint8_t counter = state_.blocks.colourCounter;
    RequestStackingRestart(state_);
    step(KeyboardKind::Region, light);
    for (std::size_t i = 0; i < 36; ++i) {
        EXPECT_EQ(result_.frame[i], 0);
    }
    EXPECT_FALSE(state_.blocks.restartRequested);
    // The blocks started again in the dark step: full fade level, a new colour set.
    EXPECT_EQ(state_.blocks.fadeLevel, 255);
    EXPECT_FALSE(state_.blocks.fading);
    EXPECT_EQ(state_.blocks.colourIndex[0], (counter + 66) % 192);
    step(KeyboardKind::Region, light);
    EXPECT_EQ(litZones(result_), (std::vector<int>{5}));
}

TEST_F(ZonedStep, SelectingStackingBlocksRestartsThemWhileTheyFade) {
    const auto light = settings(4, 14, 0, 1);
    while (!state_.blocks.fading) {
        step(KeyboardKind::Membrane, light);
    }
    step(KeyboardKind::Membrane, light);
    ASSERT_EQ(state_.blocks.fadeLevel, 215);
    ResetEffectState(state_);
    InitialiseKeyboardMode(state_, KeyboardKind::Membrane, 4);
    step(KeyboardKind::Membrane, light);
    EXPECT_EQ(litZones(result_), (std::vector<int>{}));
    step(KeyboardKind::Membrane, light);
    // Backward: the first block enters at zone 0.
    EXPECT_EQ(litZones(result_), (std::vector<int>{0}));
}

class ZonedFrameLayout : public ZonedStep, public ::testing::WithParamInterface<KeyboardKind> {};

TEST_P(ZonedFrameLayout, EachZoneLandsOnItsGroupPositions) {
    const KeyboardKind kind = GetParam();
    const ZoneGroupPositionTable& positions =
        kind == KeyboardKind::Membrane ? ZoneGroupPositions::membrane : ZoneGroupPositions::region;
    // Custom colours: the zone takes the colour of its last key in column order.
    const std::array<std::uint8_t, 6> lastKey{106, 108, 109, 111, 115, 119};
    for (std::size_t z = 0; z < 6; ++z) {
        setLedColour(slot_, lastKey[z], {static_cast<std::uint8_t>(10 * z + 10), 0, 255});
    }
    setLedColour(slot_, 0, {1, 2, 3});
    step(kind, settings(6, 14, 1, 0));
    for (std::size_t z = 0; z < 6; ++z) {
        for (std::size_t g = 2 * z; g < 2 * z + 2; ++g) {
            EXPECT_EQ(result_.frame[positions[3 * g]], scale(10 * z + 10, 255)) << z;
            EXPECT_EQ(result_.frame[positions[3 * g + 1]], 0);
            EXPECT_EQ(result_.frame[positions[3 * g + 2]], 254);
        }
    }
    // Keys preview their own stored colour.
    EXPECT_EQ(result_.preview[0].colour, packed(Rgb{1, 2, 3}));
}

INSTANTIATE_TEST_SUITE_P(Kinds, ZonedFrameLayout,
                         ::testing::Values(KeyboardKind::Region, KeyboardKind::Membrane));

TEST_F(ZonedStep, WaveSingleColourOffsetsEachZone) {
    const Rgb colour{0, 200, 100};
    step(KeyboardKind::Region, settings(2, 14, 1, 0, colour));
    for (std::size_t z = 0; z < 6; ++z) {
        const std::uint8_t i = BreathCurve[(1 + 7 * (z + 1)) % 96];
        EXPECT_EQ(result_.preview[kZoneKey[z]].alpha, scale(255, i)) << z;
    }
    step(KeyboardKind::Region, settings(9, 14, 1, 0, colour));
    EXPECT_FALSE(result_.drawn);
}

}  // namespace
}  // namespace korvane::lighting::effects
