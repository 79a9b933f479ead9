// The modes of the per-key RGB keyboard.

#include "core/lighting/colour_wheel.h"
#include "core/lighting/effects/keyboard_step.h"
#include "core/lighting/key_orders.h"

namespace korvane::lighting::effects {
namespace {

constexpr std::array<bool, kKeyCount> snakeMembers() {
    std::array<bool, kKeyCount> members{};
    for (const std::uint8_t key : SnakeOrder) {
        if (key < kKeyCount) {
            members[key] = true;
        }
    }
    return members;
}

// Keys of the serpentine path; the radial bands draw only these.
inline constexpr std::array<bool, kKeyCount> kInSnake = snakeMembers();

class RgbPainter {
  public:
    RgbPainter(KeyboardStepResult& result, std::uint8_t bright)
        : result_(result), bright_(bright) {}

    void key(std::size_t key, Rgb colour) {
        if (key >= kKeyCount) {
            return;
        }
        result_.preview.set(key, colour, previewAlpha(bright_));
        result_.frame.setLed(RgbLedMap[key], scaleColour(colour, bright_));
    }

    // Device and preview dimmed by the same intensity.
    void key(std::size_t key, Rgb colour, std::uint8_t intensity) {
        keySplit(key, colour, intensity, intensity);
    }

    // The device and the preview take different intensities (the column waves).
    void keySplit(std::size_t key, Rgb colour, std::uint8_t deviceIntensity,
                  std::uint8_t previewIntensity) {
        if (key >= kKeyCount) {
            return;
        }
        result_.preview.set(key, colour, previewAlpha(bright_, previewIntensity));
        result_.frame.setLed(RgbLedMap[key], scaleColour(colour, bright_, deviceIntensity));
    }

    // Device bytes at full colour × bright, preview alpha = bright.
    void keyPlainAlpha(std::size_t key, Rgb colour, std::uint8_t deviceIntensity) {
        if (key >= kKeyCount) {
            return;
        }
        result_.preview.set(key, colour, previewAlpha(bright_));
        result_.frame.setLed(RgbLedMap[key], scaleColour(colour, bright_, deviceIntensity));
    }

  private:
    KeyboardStepResult& result_;
    std::uint8_t bright_;
};

Rgb hueOrSingle(const LightSettings& light, std::uint8_t hue) {
    return light.colourful ? ColourWheel[hue] : singleColour(light);
}

// Every key of the serpentine path: decay, then draw with the key's life as intensity.
void drawLives(KeyboardEffectState& state, const LightSettings& light, RgbPainter& paint) {
    for (const std::uint8_t key : SnakeOrder) {
        if (key >= kKeyCount) {
            continue;
        }
        state.keyLife[key] = decayA(state.keyLife[key]);
        paint.key(key, hueOrSingle(light, state.keyHue[key]), state.keyLife[key]);
    }
}

void randomPulse(KeyboardEffectState& state, const LightSettings& light, ByteSource& random,
                 RgbPainter& paint) {
    if (++state.phase >= PulseCurve.size()) {
        state.phase = 0;
        state.randomHue = random.nextByte();
    }
    const Rgb colour = light.colourful ? ColourWheel[state.randomHue] : singleColour(light);
    for (std::size_t key = 0; key < kKeyCount; ++key) {
        paint.key(key, colour, PulseCurve[state.phase]);
    }
}

void columnWave(KeyboardEffectState& state, const LightSettings& light, RgbPainter& paint) {
    const bool forward = light.direction != 0;
    if (light.colourful) {
        stepPhase(state.phase, forward, kWheelSteps);
        for (std::size_t c = 0; c < kMatrixColumns; ++c) {
            const Rgb colour = ColourWheel[offsetMod(state.phase, 7 * c, kWheelSteps)];
            for (const std::uint8_t key : KeyColumns7[c]) {
                if (key != kNoKey7) {
                    paint.key(key, colour);
                }
            }
        }
        return;
    }
    stepPhase(state.phase, forward, BreathCurve.size());
    const Rgb colour = singleColour(light);
    for (std::size_t c = 0; c < kMatrixColumns; ++c) {
        const std::uint8_t device = BreathCurve[offsetMod(state.phase, 10 * c, BreathCurve.size())];
        const std::uint8_t shown =
            BreathCurve[offsetMod(state.phase, 10 * (c + 1), BreathCurve.size())];
        for (const std::uint8_t key : KeyColumns7[c]) {
            if (key != kNoKey7) {
                paint.keySplit(key, colour, device, shown);
            }
        }
    }
}

void colourCycle(KeyboardEffectState& state, const LightSettings& light, RgbPainter& paint) {
    stepPhase(state.phase, light.direction != 0, kWheelSteps);
    for (std::size_t key = 0; key < kKeyCount; ++key) {
        paint.key(key, ColourWheel[state.phase]);
    }
}

void serpentine(KeyboardEffectState& state, const LightSettings& light, RgbPainter& paint) {
    const bool forward = light.direction != 0;
    if (light.colourful) {
        stepPhase(state.phase, forward, kWheelSteps);
        for (std::size_t j = 0; j < SnakeOrder.size(); ++j) {
            paint.key(SnakeOrder[j], ColourWheel[offsetMod(state.phase, 5 * j, kWheelSteps)]);
        }
        return;
    }
    stepPhase(state.phase, forward, BreathCurve.size());
    for (std::size_t j = 0; j < SnakeOrder.size(); ++j) {
        paint.key(SnakeOrder[j], singleColour(light),
                  BreathCurve[offsetMod(state.phase, 5 * j, BreathCurve.size())]);
    }
}

void centreRipple(KeyboardEffectState& state, const LightSettings& light, RgbPainter& paint) {
    const std::uint8_t centre = rippleColumn(state.ripple, kRippleCentreColumn);
    if (centre == 0x01) {
        orRippleColumn(state.ripple, kRippleCentreColumn, 0x01);
    } else if (centre == 0x40) {
        orRippleColumn(state.ripple, kRippleCentreColumn, 0x40);
    }
    for (std::size_t c = 0; c < kMatrixColumns; ++c) {
        const std::uint8_t bits = rippleColumn(state.ripple, c);
        for (std::size_t row = 0; row < KeyColumns7[c].size(); ++row) {
            const std::uint8_t key = KeyColumns7[c][row];
            if (key == kNoKey7 || (bits & (1u << row)) == 0) {
                continue;
            }
            state.keyLife[key] = 255;
            if (light.colourful) {
                state.keyHue[key] = static_cast<std::uint8_t>(state.hueCounter + 11);
            }
        }
    }
    propagateRipple(state.ripple);
    drawLives(state, light, paint);
}

}  // namespace

// The running light of RGB modes 6, 12, 15 and of the mono keyboard: takes the next key of
// the path, or none when the light wraps. Returns kNoKey when no key is taken.
std::uint8_t advanceRunningLight(std::uint8_t& position, bool forward,
                                 const std::array<std::uint8_t, kSnakeLength>& order) {
    if (forward) {
        if (position < order.size()) {
            return order[position++];
        }
        position = 0;
        return kNoKey;
    }
    if (position == 0) {
        position = static_cast<std::uint8_t>(order.size());
        return kNoKey;
    }
    // Position 110 lies one past the path: counting down from it takes no key.
    const std::uint8_t key = position < order.size() ? order[position] : kNoKey;
    --position;
    return key;
}

namespace {

void runningLight(KeyboardEffectState& state, const LightSettings& light, RgbPainter& paint) {
    const std::uint8_t key = advanceRunningLight(state.runPosition, light.direction != 0, RunOrder);
    if (key < kKeyCount) {
        state.keyLife[key] = 254;
        state.keyHue[key] = static_cast<std::uint8_t>(state.hueCounter + 13);
    }
    drawLives(state, light, paint);
}

void diagonalTwinkle(KeyboardEffectState& state, const LightSettings& light, RgbPainter& paint) {
    for (const std::uint8_t key : SnakeOrder) {
        if (key >= kKeyCount) {
            continue;
        }
        if (++state.keyPhase[key] >= kWheelSteps) {
            state.keyPhase[key] = 0;
            state.keyHue[key] = static_cast<std::uint8_t>(state.hueCounter + 10);
        }
        paint.key(key, hueOrSingle(light, state.keyHue[key]), fadeAt(state.keyPhase[key]));
    }
}

}  // namespace

// Places the three rain drops of a step: the pick index walks RandomKeyOrder.
void placeRainDrops(KeyboardEffectState& state,
                    const std::array<std::uint8_t, kSnakeLength>& order) {
    for (int drop = 0; drop < 3; ++drop) {
        state.rainPick = static_cast<std::uint8_t>(
            state.rainPick + 1u >= RandomKeyOrder.size() ? 0 : state.rainPick + 1);
        const std::uint8_t key = order[RandomKeyOrder[state.rainPick]];
        if (key < kKeyCount) {
            state.keyHue[key] = static_cast<std::uint8_t>(state.hueCounter + 10);
            state.keyLife[key] = 255;
        }
    }
}

namespace {

void rain(KeyboardEffectState& state, const LightSettings& light, RgbPainter& paint) {
    placeRainDrops(state, SnakeOrder);
    for (std::size_t key = 0; key < kKeyCount; ++key) {
        state.keyLife[key] = decayA(state.keyLife[key]);
        paint.key(key, hueOrSingle(light, state.keyHue[key]), state.keyLife[key]);
    }
}

void paletteTwinkle(KeyboardEffectState& state, const LightSettings& light, RgbPainter& paint) {
    for (const std::uint8_t key : SnakeOrder) {
        if (key >= kKeyCount) {
            continue;
        }
        const unsigned life = state.keyLife[key] + 2u;
        if (life >= kWheelSteps) {
            state.keyLife[key] = 0;
            state.keyHue[key] = static_cast<std::uint8_t>(state.hueCounter + 10);
        } else {
            state.keyLife[key] = static_cast<std::uint8_t>(life);
        }
        const Rgb colour =
            light.colourful ? kTwinklePalette[state.keyHue[key]] : singleColour(light);
        paint.key(key, colour, fadeAt(state.keyLife[key]));
    }
}

void dark(RgbPainter& paint) {
    for (std::size_t key = 0; key < kKeyCount; ++key) {
        paint.key(key, Rgb{});
    }
}

void custom(const KeyboardStepInput& input, RgbPainter& paint) {
    for (std::size_t key = 0; key < kKeyCount; ++key) {
        const Rgb colour =
            input.customSlot != nullptr ? ledColour(*input.customSlot, RgbLedMap[key]) : Rgb{};
        paint.key(key, colour);
    }
}

void radialBands(KeyboardEffectState& state, const LightSettings& light, RgbPainter& paint) {
    if (light.direction != 0) {
        const unsigned next = state.phase + 4u;
        state.phase = static_cast<std::uint8_t>(next >= kWheelSteps ? 0 : next);
    } else {
        // Counting down from 0 parks the phase at 192, which the wheel reads as hue 0.
        const auto next = static_cast<std::uint8_t>(state.phase - 2);
        state.phase = next > 191 ? 192 : next;
    }
    for (std::size_t ring = 0; ring < RingKeys.size(); ++ring) {
        const Rgb colour = ColourWheel[offsetMod(state.phase, 21 * (ring + 1), kWheelSteps)];
        for (const std::uint8_t key : RingKeys[ring]) {
            if (key < kKeyCount && kInSnake[key]) {
                paint.key(key, colour);
            }
        }
    }
}

void fadingColumnWave(KeyboardEffectState& state, const LightSettings& light, RgbPainter& paint) {
    const bool forward = light.direction != 0;
    if (light.colourful) {
        stepPhase(state.phase, forward, kWheelSteps);
        for (std::size_t c = 0; c < kMatrixColumns; ++c) {
            const std::uint8_t hue = offsetMod(state.phase, 7 * c, kWheelSteps);
            for (const std::uint8_t key : KeyColumns6[c]) {
                if (key != kNoKey) {
                    paint.keyPlainAlpha(key, ColourWheel[hue], fadeAt(hue));
                }
            }
        }
        return;
    }
    stepPhase(state.phase, forward, BreathCurve.size());
    for (std::size_t c = 0; c < kMatrixColumns; ++c) {
        const std::uint8_t device = fadeAt(offsetMod(state.phase, 10 * c, BreathCurve.size()));
        const std::uint8_t shown = fadeAt(offsetMod(state.phase, 10 * (c + 1), BreathCurve.size()));
        for (const std::uint8_t key : KeyColumns6[c]) {
            if (key != kNoKey) {
                paint.keySplit(key, singleColour(light), device, shown);
            }
        }
    }
}

}  // namespace

void StepRgbKeyboard(KeyboardEffectState& state, const KeyboardStepInput& input, ByteSource& random,
                     KeyboardStepResult& result) {
    const LightSettings& light = input.light;
    RgbPainter paint(result, brightnessScale(light.brightness));
    switch (light.mode) {
        case 0:
            for (std::size_t key = 0; key < kKeyCount; ++key) {
                paint.key(key, singleColour(light));
            }
            break;
        case 1:
            randomPulse(state, light, random, paint);
            break;
        case 2:
            columnWave(state, light, paint);
            break;
        case 3:
            colourCycle(state, light, paint);
            break;
        case 4:
            serpentine(state, light, paint);
            break;
        case 5:
            centreRipple(state, light, paint);
            break;
        case 7:
            diagonalTwinkle(state, light, paint);
            break;
        case 8:
            rain(state, light, paint);
            break;
        case 9:
            paletteTwinkle(state, light, paint);
            break;
        case 10:
            dark(paint);
            break;
        case 11:
            custom(input, paint);
            break;
        case 13:
            radialBands(state, light, paint);
            break;
        case 14:
            fadingColumnWave(state, light, paint);
            break;
        default:  // 6, 12, 15 and any unknown mode
            runningLight(state, light, paint);
            break;
    }
}

}  // namespace korvane::lighting::effects
