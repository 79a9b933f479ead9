#include <gtest/gtest.h>

#include <set>

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

class RgbStep : public ::testing::Test {
  protected:
    const KeyboardStepResult& step(const LightSettings& light) {
        StepKeyboard(state_, {KeyboardKind::Rgb, light, &slot_}, random_, result_);
        return result_;
    }
    Rgb led(std::size_t position) const {
        return {result_.frame[3 * position], result_.frame[3 * position + 1],
                result_.frame[3 * position + 2]};
    }

    KeyboardEffectState state_;
    CustomColourSlot slot_{};
    ScriptedBytes random_;
    KeyboardStepResult result_;
};

std::set<std::size_t> mappedPositions() {
    std::set<std::size_t> positions;
    for (const std::uint8_t p : RgbLedMap) {
        if (p != kNoLed) {
            positions.insert(p);
        }
    }
    return positions;
}

class RgbStatic : public RgbStep, public ::testing::WithParamInterface<std::uint8_t> {};

TEST_P(RgbStatic, MappedLedsTakeTheScaledColourAndUnmappedStayDark) {
    const std::uint8_t brightness = GetParam();
    const unsigned bright = BrightnessCurve[brightness];
    const Rgb colour{200, 17, 255};
    const auto& r = step(settings(0, brightness, 1, 1, colour));  // colourful is ignored
    ASSERT_EQ(r.frame.size(), 378u);
    const auto mapped = mappedPositions();
    for (std::size_t p = 0; p < 126; ++p) {
        const Rgb expected = mapped.count(p)
                                 ? Rgb{scale(200, bright), scale(17, bright), scale(255, bright)}
                                 : Rgb{};
        EXPECT_EQ(led(p), expected) << "position " << p;
    }
    for (std::size_t key = 0; key < kKeyCount; ++key) {
        ASSERT_TRUE(r.preview[key].drawn) << key;
        EXPECT_EQ(r.preview[key].colour, packed(colour));
        EXPECT_EQ(r.preview[key].alpha, bright);
    }
}

INSTANTIATE_TEST_SUITE_P(Brightness, RgbStatic, ::testing::Values(0, 1, 7, 14));

TEST_F(RgbStep, RadialBandsBackwardParkAt192ThenCountDownByTwo) {
    const auto light = settings(13, 14, 0, 1);
    std::vector<int> phases;
    for (int i = 0; i < 3; ++i) {
        step(light);
        phases.push_back(state_.phase);
    }
    EXPECT_EQ(phases, (std::vector<int>{192, 190, 188}));
    // Phase 192 draws like phase 0: ring k takes the wheel at 21(k + 1).
    state_.phase = 0;
    step(light);
    ASSERT_EQ(state_.phase, 192);
    for (std::size_t ring = 0; ring < RingKeys.size(); ++ring) {
        const std::uint8_t key = RingKeys[ring][0];
        EXPECT_EQ(result_.preview[key].colour, packed(ColourWheel[21 * (ring + 1) % 192])) << ring;
    }
}

TEST_F(RgbStep, RadialBandsForwardWrapAt192AndDrawOnlySerpentineKeys) {
    state_.phase = 188;
    step(settings(13, 14, 1, 0));
    EXPECT_EQ(state_.phase, 0);
    std::set<std::uint8_t> snake(SnakeOrder.begin(), SnakeOrder.end());
    std::set<std::uint8_t> ringed;
    for (const auto& ring : RingKeys) {
        ringed.insert(ring.begin(), ring.end());
    }
    for (std::uint8_t key = 0; key < kKeyCount; ++key) {
        EXPECT_EQ(result_.preview[key].drawn, snake.count(key) && ringed.count(key)) << int(key);
    }
}

TEST_F(RgbStep, FadingColumnWaveComputesEveryByteAndPreviewsKeysWithoutLeds) {
    const std::uint8_t brightness = 9;
    const unsigned bright = BrightnessCurve[brightness];
    state_.phase = 30;
    step(settings(14, brightness, 1, 1));
    ASSERT_EQ(state_.phase, 31);
    std::array<std::uint8_t, 378> expected{};
    for (std::size_t c = 0; c < 23; ++c) {
        const std::size_t hue = (31 + 7 * c) % 192;
        for (const std::uint8_t key : KeyColumns6[c]) {
            if (key == 126) {
                continue;
            }
            EXPECT_EQ(result_.preview[key].colour, packed(ColourWheel[hue])) << int(key);
            EXPECT_EQ(result_.preview[key].alpha, bright);
            const std::uint8_t p = RgbLedMap[key];
            if (p == 126) {
                continue;
            }
            const Rgb w = ColourWheel[hue];
            expected[3 * p] = scale(scale(w.red, FadeCurve[hue]), bright);
            expected[3 * p + 1] = scale(scale(w.green, FadeCurve[hue]), bright);
            expected[3 * p + 2] = scale(scale(w.blue, FadeCurve[hue]), bright);
        }
    }
    for (std::size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(result_.frame[i], expected[i]) << "byte " << i;
    }
    for (std::uint8_t key = 122; key <= 125; ++key) {
        EXPECT_TRUE(result_.preview[key].drawn) << int(key);
        EXPECT_EQ(RgbLedMap[key], kNoLed);
    }
}

TEST_F(RgbStep, ColumnWaveSingleColourPreviewsTheNextColumnsIntensity) {
    const Rgb colour{255, 128, 0};
    step(settings(2, 14, 1, 0, colour));
    ASSERT_EQ(state_.phase, 1);
    // Column 1 holds key 21 (LED 21).
    const std::uint8_t device = BreathCurve[(1 + 10) % 96];
    const std::uint8_t shown = BreathCurve[(1 + 20) % 96];
    EXPECT_EQ(led(RgbLedMap[21]),
              (Rgb{scale(scale(255, device), 255), scale(scale(128, device), 255), 0}));
    EXPECT_EQ(result_.preview[21].alpha, scale(255, shown));
    EXPECT_EQ(result_.preview[21].colour, packed(colour));
}

TEST_F(RgbStep, RunningLightBackwardFromZeroTakesNoKey) {
    const auto light = settings(6, 14, 0, 0, {255, 255, 255});
    state_.runPosition = 0;
    step(light);
    EXPECT_EQ(state_.runPosition, 110);
    EXPECT_EQ(std::count(state_.keyLife.begin(), state_.keyLife.end(), 0), 126);
    // 110 is one past the path: the next step only moves onto it.
    step(light);
    EXPECT_EQ(state_.runPosition, 109);
    EXPECT_EQ(std::count(state_.keyLife.begin(), state_.keyLife.end(), 0), 126);
    step(light);
    EXPECT_EQ(state_.runPosition, 108);
    EXPECT_EQ(state_.keyLife[RunOrder[109]], decayA(254));
}

TEST_F(RgbStep, RunningLightForwardLightsTheTakenKeyWithItsHue) {
    state_.hueCounter = 100;
    state_.runPosition = 3;
    step(settings(15, 14, 1, 1));
    EXPECT_EQ(state_.runPosition, 4);
    const std::uint8_t key = RunOrder[3];
    EXPECT_EQ(state_.keyLife[key], 234);
    EXPECT_EQ(state_.keyHue[key], 113);
    const Rgb w = ColourWheel[113];
    EXPECT_EQ(led(RgbLedMap[key]),
              (Rgb{scale(scale(w.red, 234), 255), scale(scale(w.green, 234), 255),
                   scale(scale(w.blue, 234), 255)}));
    EXPECT_EQ(result_.preview[key].alpha, scale(255, 234));
    state_.runPosition = 110;
    step(settings(15, 14, 1, 1));
    EXPECT_EQ(state_.runPosition, 0);
}

TEST_F(RgbStep, UnknownModesRunTheRunningLight) {
    state_.runPosition = 0;
    step(settings(77, 14, 1, 0, {9, 9, 9}));
    EXPECT_EQ(state_.runPosition, 1);
    EXPECT_EQ(state_.keyLife[RunOrder[0]], 234);
}

TEST_F(RgbStep, RandomPulseTakesANewHueAtTheWrapAndReadsWheelBytesPast191) {
    ScriptedBytes bytes{200};
    state_.phase = 127;
    StepKeyboard(state_, {KeyboardKind::Rgb, settings(1, 14, 1, 1), &slot_}, bytes, result_);
    EXPECT_EQ(bytes.calls, 1);
    EXPECT_EQ(state_.phase, 0);
    EXPECT_EQ(result_.preview[0].colour, packed(ColourWheel[8]));  // 200 − 192
    state_.phase = 39;
    StepKeyboard(state_, {KeyboardKind::Rgb, settings(1, 14, 1, 1), &slot_}, bytes, result_);
    EXPECT_EQ(bytes.calls, 1);
    const std::uint8_t i = PulseCurve[40];
    const Rgb w = ColourWheel[8];
    EXPECT_EQ(led(0), (Rgb{scale(scale(w.red, i), 255), scale(scale(w.green, i), 255),
                           scale(scale(w.blue, i), 255)}));
}

TEST_F(RgbStep, CentreRippleStartsFromTheSeededBottomRow) {
    InitialiseKeyboardMode(state_, KeyboardKind::Rgb, 5);
    state_.hueCounter = 40;
    step(settings(5, 14, 1, 1));
    // Column 9, row 6 is key 109; it was lit with life 255 and decayed once.
    EXPECT_EQ(state_.keyLife[109], 235);
    EXPECT_EQ(state_.keyHue[109], 51);
    const Rgb w = ColourWheel[51];
    EXPECT_EQ(led(RgbLedMap[109]),
              (Rgb{scale(scale(w.red, 235), 255), scale(scale(w.green, 235), 255),
                   scale(scale(w.blue, 235), 255)}));
    // Next step: the bits moved up a row light column 9 row 5 (key 92), and the front that
    // spread to column 10 lights its bottom key (109 again).
    step(settings(5, 14, 1, 1));
    EXPECT_EQ(state_.keyLife[92], 235);
    EXPECT_EQ(state_.keyLife[109], 235);
    EXPECT_EQ(state_.keyLife[KeyColumns7[9][4]], 0);
}

TEST_F(RgbStep, RainPlacesThreeDropsAlongTheFixedOrder) {
    state_.hueCounter = 5;
    step(settings(8, 14, 1, 1));
    std::set<std::uint8_t> drops;
    for (int pick = 1; pick <= 3; ++pick) {
        drops.insert(SnakeOrder[RandomKeyOrder[pick]]);
    }
    for (std::uint8_t key = 0; key < kKeyCount; ++key) {
        EXPECT_EQ(state_.keyLife[key], drops.count(key) ? 235 : 0) << int(key);
        EXPECT_TRUE(result_.preview[key].drawn);
    }
    EXPECT_EQ(state_.keyHue[*drops.begin()], 15);
    state_.rainPick = 103;
    step(settings(8, 14, 1, 1));
    EXPECT_EQ(state_.rainPick, 2);
}

TEST_F(RgbStep, PaletteTwinkleStartsFromTheTableAndTakesPaletteColours) {
    InitialiseKeyboardMode(state_, KeyboardKind::Rgb, 9);
    // Column 2 row 1 is key 0; TwinkleStart[6 × 2 + 1].
    EXPECT_EQ(state_.keyLife[0], TwinkleStart[13]);
    EXPECT_EQ(state_.keyHue[0], 14);
    state_.keyLife[0] = 190;
    state_.keyHue[0] = 0;
    state_.hueCounter = 0;
    step(settings(9, 14, 1, 1));
    EXPECT_EQ(state_.keyLife[0], 0);
    EXPECT_EQ(state_.keyHue[0], 10);
    EXPECT_EQ(result_.preview[0].colour, packed(kTwinklePalette[10]));
    state_.keyLife[0] = 14;
    state_.keyHue[0] = 1;
    step(settings(9, 14, 1, 1));
    EXPECT_EQ(result_.preview[0].colour, packed(Rgb{255, 96, 0}));
    EXPECT_EQ(result_.preview[0].alpha, scale(255, FadeCurve[16]));
}

TEST_F(RgbStep, DiagonalTwinkleInitialisationKeepsPhasesOnTheCurve) {
    InitialiseKeyboardMode(state_, KeyboardKind::Rgb, 7);
    // Column 1: rows 2..6 are keys 21, 42, 63, 84, 106; row 0 phase 149.
    std::uint8_t phase = 149;
    std::vector<std::uint8_t> expected;
    for (int row = 1; row < 7; ++row) {
        const std::uint8_t previous = phase;
        phase = static_cast<std::uint8_t>(previous - 35);
        if (phase > 191) {
            phase = static_cast<std::uint8_t>(previous - 98);
        }
        expected.push_back(phase);
    }
    EXPECT_EQ(state_.keyPhase[21], expected[1]);
    EXPECT_EQ(state_.keyPhase[106], expected[5]);
    EXPECT_EQ(state_.keyHue[21], 7);
    // A row that wraps from 34 lands on 192 itself; the first step restarts it at 0
    // instead of reading past the fade curve.
    EXPECT_EQ(*std::max_element(state_.keyPhase.begin(), state_.keyPhase.end()), 192);
    step(settings(7, 14, 1, 1));
    for (std::uint8_t key = 0; key < kKeyCount; ++key) {
        EXPECT_LT(state_.keyPhase[key], 192) << int(key);
    }
}

TEST_F(RgbStep, CustomShowsTheStoredColourOfEachKeysLed) {
    setLedColour(slot_, RgbLedMap[30], {10, 20, 30});
    step(settings(11, 14, 1, 0));
    EXPECT_EQ(result_.preview[30].colour, packed(Rgb{10, 20, 30}));
    EXPECT_EQ(led(RgbLedMap[30]), (Rgb{9, 19, 29}));
    EXPECT_EQ(result_.preview[120].colour, 0u);  // no LED
}

TEST_F(RgbStep, DarkPreviewsBlackAtBrightness) {
    step(settings(10, 3, 1, 0, {255, 255, 255}));
    for (std::size_t i = 0; i < 378; ++i) {
        ASSERT_EQ(result_.frame[i], 0);
    }
    EXPECT_EQ(result_.preview[5].colour, 0u);
    EXPECT_EQ(result_.preview[5].alpha, BrightnessCurve[3]);
}

TEST(ResetEffectState, ClearsPhasesLivesAndRipplesButKeepsTheHueCounter) {
    KeyboardEffectState state;
    state.phase = 9;
    state.hueCounter = 77;
    state.keyLife[3] = 4;
    state.keyHue[3] = 4;
    state.ripple[2][5] = 1;
    ResetEffectState(state);
    EXPECT_EQ(state.phase, 0);
    EXPECT_EQ(state.hueCounter, 77);
    EXPECT_EQ(state.keyLife[3], 0);
    EXPECT_EQ(state.keyHue[3], 0);
    EXPECT_EQ(state.ripple[2][5], 0);
}

}  // namespace
}  // namespace korvane::lighting::effects
