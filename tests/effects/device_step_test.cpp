#include <gtest/gtest.h>

#include <vector>

#include "core/lighting/colour_wheel.h"
#include "core/lighting/effects/device_steps.h"
#include "core/lighting/effects/sync_step.h"
#include "core/lighting/key_matrices.h"
#include "step_fixtures.h"

namespace korvane::lighting::effects {
namespace {

using testing::packed;
using testing::scale;
using testing::ScriptedBytes;
using testing::settings;

// Mouse, pad and synchronised bytes scale with factor + 1.
Rgb plusOne(Rgb c, unsigned bright, unsigned intensity = 255) {
    auto ch = [&](unsigned v) { return scale(scale(v, intensity + 1), bright + 1); };
    return {ch(c.red), ch(c.green), ch(c.blue)};
}

Rgb ledOf(const LightFrame& frame, std::size_t i) {
    return {frame[3 * i], frame[3 * i + 1], frame[3 * i + 2]};
}

class MouseStep : public ::testing::Test {
  protected:
    const MouseStepResult& step(const LightSettings& light, bool flash = false,
                                std::uint64_t now = 0) {
        StepMouse(state_, {light, flash, now}, result_);
        return result_;
    }
    MouseEffectState state_;
    MouseStepResult result_;
};

TEST_F(MouseStep, StaticScalesWithBrightnessPlusOne) {
    const Rgb colour{255, 100, 3};
    step(settings(0, 14, 1, 0, colour));
    ASSERT_EQ(result_.frame.size(), 60u);
    for (std::size_t i = 0; i < 20; ++i) {
        EXPECT_EQ(ledOf(result_.frame, i), (Rgb{255, 100, 3}));
    }
    step(settings(0, 2, 1, 0, colour));
    EXPECT_EQ(ledOf(result_.frame, 19), (Rgb{scale(255, 76), scale(100, 76), scale(3, 76)}));
    EXPECT_EQ(result_.preview[19].alpha, 75);
}

TEST_F(MouseStep, ColourGroupPulseCountingDownAdvancesTheGroupAtZero) {
    const auto light = settings(1, 14, 0, 1);
    state_.phase = 2;
    std::vector<std::pair<int, int>> seen;  // phase, group
    for (int i = 0; i < 3; ++i) {
        step(light);
        seen.emplace_back(state_.phase, state_.colourGroup);
    }
    EXPECT_EQ(seen, (std::vector<std::pair<int, int>>{{1, 0}, {0, 1}, {127, 1}}));
    // Column 3 (LEDs 3, 10, 14) takes colour 3 of group 1.
    EXPECT_EQ(result_.preview[10].colour, packed(Rgb{0, 140, 255}));
    EXPECT_EQ(result_.preview[10].alpha, scale(255, PulseCurve[127]));
    state_.phase = 127;
    state_.colourGroup = 2;
    step(settings(1, 14, 1, 1));
    EXPECT_EQ(state_.phase, 0);
    EXPECT_EQ(state_.colourGroup, 0);
}

TEST_F(MouseStep, FlashLastsOneHundredMillisecondsOnTheFirstFifteenLeds) {
    const auto light = settings(5, 14, 1, 1);
    step(light, false, 500);
    EXPECT_EQ(result_.preview[0].alpha, 0);
    EXPECT_EQ(ledOf(result_.frame, 0), Rgb{});
    step(light, true, 1000);
    EXPECT_EQ(state_.flash.hue, 14);
    EXPECT_EQ(ledOf(result_.frame, 14), ColourWheel[14]);
    EXPECT_EQ(ledOf(result_.frame, 15), Rgb{});
    EXPECT_FALSE(result_.preview[15].drawn);
    step(light, false, 1099);
    EXPECT_EQ(ledOf(result_.frame, 0), ColourWheel[14]);
    step(light, false, 1100);
    EXPECT_EQ(ledOf(result_.frame, 0), Rgb{});
    state_.flash.hue = 182;
    step(light, true, 2000);
    EXPECT_EQ(state_.flash.hue, 0);
}

TEST_F(MouseStep, BlinkAlternatesOnThirtyBytesAndWrapsItsCounter) {
    const auto light = settings(6, 14, 1, 1);
    state_.blinkCounter = 124;
    step(light);
    EXPECT_EQ(result_.frame.size(), 30u);
    EXPECT_EQ(state_.blinkCounter, 125);
    EXPECT_EQ(ledOf(result_.frame, 9), kMouseColourList[125]);
    step(light);
    EXPECT_EQ(state_.blinkCounter, 0);
    EXPECT_EQ(ledOf(result_.frame, 9), Rgb{});
}

// The set slots of the ring, lowest first.
template <std::size_t N>
std::vector<int> setSlots(const std::array<std::uint8_t, N>& ring) {
    std::vector<int> slots;
    for (std::size_t i = 0; i < N; ++i) {
        if (ring[i] != 0) {
            slots.push_back(static_cast<int>(i));
        }
    }
    return slots;
}

TEST_F(MouseStep, TravellingPulseSeedsOnlyTheTriggerOfItsDirection) {
    InitialiseMouseMode(state_, 4, 1);
    EXPECT_EQ(setSlots(state_.ring), std::vector<int>{7});
    InitialiseMouseMode(state_, 4, 0);
    EXPECT_EQ(setSlots(state_.ring), std::vector<int>{0});
    InitialiseMouseMode(state_, 3, 1);
    EXPECT_EQ(setSlots(state_.ring), std::vector<int>{});
}

TEST_F(MouseStep, TravellingPulseForwardWalksFromSlotSevenDownToColumnZero) {
    InitialiseMouseMode(state_, 4, 1);
    const auto light = settings(4, 14, 1, 0, {255, 255, 255});
    // Slot 7 names no column: the first step lights nothing, the ring turns towards slot 0.
    step(light);
    EXPECT_EQ(state_.columnLife, (std::array<std::uint8_t, 7>{}));
    step(light);
    EXPECT_EQ(state_.columnLife, (std::array<std::uint8_t, 7>{0, 0, 0, 0, 0, 0, 240}));
    // LED 17 is in column 6: (255 × 241 >> 8) × 256 >> 8.
    EXPECT_EQ(ledOf(result_.frame, 17), (Rgb{240, 240, 240}));
    step(light);
    EXPECT_EQ(state_.columnLife, (std::array<std::uint8_t, 7>{0, 0, 0, 0, 0, 240, 225}));
    for (int i = 0; i < 5; ++i) {
        step(light);
    }
    EXPECT_EQ(state_.columnLife[0], 240);
    EXPECT_EQ(state_.columnLife[1], 225);
}

TEST_F(MouseStep, TravellingPulseBackwardWalksFromColumnZeroOutwards) {
    InitialiseMouseMode(state_, 4, 0);
    const auto light = settings(4, 14, 0, 0, {255, 255, 255});
    step(light);
    EXPECT_EQ(state_.columnLife, (std::array<std::uint8_t, 7>{240, 0, 0, 0, 0, 0, 0}));
    step(light);
    EXPECT_EQ(state_.columnLife, (std::array<std::uint8_t, 7>{225, 240, 0, 0, 0, 0, 0}));
    // One pulse only: the ring holds one trigger, now in slot 2.
    EXPECT_EQ(setSlots(state_.ring), std::vector<int>{2});
}

TEST_F(MouseStep, IdleModesDrawNothing) {
    step(settings(8, 14, 1, 0));
    EXPECT_FALSE(result_.drawn);
    step(settings(9, 14, 1, 0));
    EXPECT_FALSE(result_.drawn);
}

class PadStep : public ::testing::Test {
  protected:
    const PadStepResult& step(const LightSettings& light, bool flash = false,
                              std::uint64_t now = 0) {
        StepMousePad(state_, {light, flash, now}, result_);
        return result_;
    }
    PadEffectState state_;
    PadStepResult result_;
};

struct PadFrameCase {
    std::uint8_t mode;
    std::size_t bytes;
};

class PadFrameSize : public PadStep, public ::testing::WithParamInterface<PadFrameCase> {};

TEST_P(PadFrameSize, ModesSendTheirFrameLength) {
    step(settings(GetParam().mode, 14, 1, 1, {255, 255, 255}), true, 10);
    EXPECT_EQ(result_.frame.size(), GetParam().bytes);
    for (std::size_t i = 45; i < result_.frame.size(); ++i) {
        EXPECT_EQ(result_.frame[i], 0) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, PadFrameSize,
                         ::testing::Values(PadFrameCase{0, 45}, PadFrameCase{1, 45},
                                           PadFrameCase{2, 60}, PadFrameCase{3, 60},
                                           PadFrameCase{4, 45}, PadFrameCase{5, 45},
                                           PadFrameCase{6, 45}, PadFrameCase{7, 45},
                                           PadFrameCase{8, 60}));

TEST_F(PadStep, PulseAdvancesTheGroupWhenThePhaseWraps) {
    state_.phase = 127;
    step(settings(2, 14, 1, 1));
    EXPECT_EQ(state_.phase, 0);
    EXPECT_EQ(state_.group, 1);
    EXPECT_EQ(result_.preview[0].colour, packed(ColourWheel[50]));
}

TEST_F(PadStep, BarRunsUpToFifteenAndBack) {
    const auto light = settings(4, 14, 0, 0, {255, 0, 0});
    std::vector<int> lit;
    for (int i = 0; i < 32; ++i) {
        step(light);
        int n = 0;
        for (std::size_t k = 0; k < 15; ++k) {
            n += result_.frame[3 * k] != 0;
        }
        lit.push_back(n);
    }
    std::vector<int> expected;
    for (int i = 0; i <= 15; ++i)
        expected.push_back(i);
    for (int i = 14; i >= 0; --i)
        expected.push_back(i);
    expected.push_back(1);
    EXPECT_EQ(lit, expected);
    // Direction non-zero lights the LEDs above the count.
    state_ = {};
    state_.barCount = 3;
    step(settings(4, 14, 1, 1));
    EXPECT_EQ(ledOf(result_.frame, 3), Rgb{});
    EXPECT_EQ(ledOf(result_.frame, 4), ColourWheel[28]);
}

TEST_F(PadStep, ScannerSweepsFifteenStepsThenPausesAndTurns) {
    const auto light = settings(7, 14, 1, 1);
    int pauses = 0;
    std::vector<int> firstColumnLit;
    for (int i = 0; i < 30; ++i) {
        step(light);
        firstColumnLit.push_back(ledOf(result_.frame, 0) != Rgb{});
        if (result_.sleepAfterMs != 0) {
            EXPECT_EQ(result_.sleepAfterMs, 1000u);
            EXPECT_TRUE(i == 14 || i == 29) << i;
            ++pauses;
        }
    }
    EXPECT_EQ(pauses, 2);
    EXPECT_EQ(state_.scanPhase, 192 - 30);
    // Both sweeps pass over column 0.
    EXPECT_NE(std::count(firstColumnLit.begin(), firstColumnLit.begin() + 15, 1), 0);
    EXPECT_NE(std::count(firstColumnLit.begin() + 15, firstColumnLit.end(), 1), 0);
}

TEST_F(PadStep, TravellingPulseFadesFastAndLeavesAFaintGlow) {
    InitialisePadMode(state_, 5);
    const auto light = settings(5, 14, 0, 0, {0, 255, 0});
    std::vector<int> led0;
    for (int i = 0; i < 12; ++i) {
        step(light);
        led0.push_back(state_.ledLife[0]);
    }
    // 255 − 40 per step while ≥ 128, − 30 from 64, − 10 from 32, − 8 from 17, then the glow
    // of 9..16 stands.
    EXPECT_EQ(led0, (std::vector<int>{215, 175, 135, 95, 65, 35, 25, 17, 9, 9, 9, 9}));
    // The trigger walked one LED per step: LED 11 took it at the twelfth step.
    EXPECT_EQ(state_.ledLife[11], 215);
    EXPECT_EQ(state_.ledLife[10], 175);
    // (255 × 216 >> 8) × 256 >> 8 = 215 on the green channel.
    EXPECT_EQ(ledOf(result_.frame, 11), (Rgb{0, 215, 0}));
}

class SyncStep : public ::testing::Test {
  protected:
    const SyncStepResult& step(const LightSettings& light, KeyboardKind kind) {
        StepSync(state_, {light, kind}, random_, result_);
        return result_;
    }
    SyncEffectState state_;
    ScriptedBytes random_;
    SyncStepResult result_;
};

TEST_F(SyncStep, StaticReachesEveryDeviceAndTheRegionKeyboardGetsBothFrames) {
    const Rgb colour{100, 50, 25};
    step(settings(0, 6, 1, 0, colour), KeyboardKind::Region);
    const Rgb expected = plusOne(colour, BrightnessCurve[6]);
    ASSERT_EQ(result_.keyboardFrame.size(), 36u);
    ASSERT_EQ(result_.keyboardRgbFrame.size(), 378u);
    EXPECT_EQ(result_.keyboardFrame[ZoneGroupPositions::region[0]], expected.red);
    EXPECT_EQ(ledOf(result_.keyboardRgbFrame, RgbLedMap[50]), expected);
    EXPECT_EQ(ledOf(result_.mouseFrame, 19), expected);
    EXPECT_EQ(ledOf(result_.padFrame, 14), expected);
    EXPECT_EQ(result_.padFrame.size(), 45u);
    EXPECT_EQ(result_.keyboardPreview[50].colour, packed(colour));
    step(settings(0, 6, 1, 0, colour), KeyboardKind::Rgb);
    EXPECT_EQ(result_.keyboardFrame.size(), 378u);
    EXPECT_EQ(ledOf(result_.keyboardFrame, RgbLedMap[50]), expected);
}

TEST_F(SyncStep, WaveColoursKeyboardColumnsMouseColumnsAndPadLedsAlike) {
    state_.phase = 10;
    step(settings(2, 14, 1, 1), KeyboardKind::Rgb);
    ASSERT_EQ(state_.phase, 11);
    for (std::size_t i = 0; i < 7; ++i) {
        const Rgb c = ColourWheel[(11 + 7 * i) % 192];
        EXPECT_EQ(ledOf(result_.padFrame, i), c) << i;
        EXPECT_EQ(ledOf(result_.mouseFrame, MouseColumns[i][0]), c) << i;
        EXPECT_EQ(
            result_
                .keyboardPreview[KeyColumns7[i][6] == 255 ? KeyColumns7[i][5] : KeyColumns7[i][6]]
                .colour,
            packed(c))
            << i;
    }
    EXPECT_EQ(ledOf(result_.padFrame, 14), ColourWheel[(11 + 98) % 192]);
}

TEST_F(SyncStep, RandomPulseSharesOneHueAcrossDevices) {
    ScriptedBytes bytes{250};
    state_.phase = 127;
    StepSync(state_, {settings(1, 14, 1, 1), KeyboardKind::Mono}, bytes, result_);
    EXPECT_EQ(state_.randomHue, 250);
    EXPECT_EQ(result_.mousePreview[0].colour, packed(ColourWheel[58]));
    EXPECT_EQ(result_.keyboardPreview[0].colour, packed(ColourWheel[58]));
}

}  // namespace
}  // namespace korvane::lighting::effects
