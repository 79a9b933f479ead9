// The modes of the single-colour keyboard: one intensity byte per LED, previewed in the
// fixed mono colour with the intensity as alpha.

#include "core/lighting/effects/keyboard_step.h"
#include "core/lighting/key_orders.h"

namespace korvane::lighting::effects {
namespace {

class MonoPainter {
  public:
    MonoPainter(KeyboardStepResult& result, std::uint8_t bright)
        : result_(result), bright_(bright) {}

    void key(std::size_t key, std::uint8_t intensity) {
        level(key, scaleChannel(intensity, bright_));
    }
    void full(std::size_t key) { level(key, bright_); }

    void dark(std::size_t key) {
        if (key < kKeyCount) {
            result_.preview.setPacked(key, 0, bright_);
            result_.frame.setByte(MonoLedMap[key], 0);
        }
    }

    // Preview lit in the mono colour (alpha = bright) or dark; the device byte apart.
    void custom(std::size_t key, bool lit, std::uint8_t device) {
        if (key >= kKeyCount) {
            return;
        }
        result_.preview.setPacked(key, lit ? kMonoPreviewColour : 0, bright_);
        result_.frame.setByte(MonoLedMap[key], device);
    }

    // Preview alpha and device byte are the same level.
    void level(std::size_t key, std::uint8_t value) {
        if (key >= kKeyCount) {
            return;
        }
        result_.preview.setPacked(key, kMonoPreviewColour, value);
        result_.frame.setByte(MonoLedMap[key], value);
    }

    std::uint8_t bright() const { return bright_; }

  private:
    KeyboardStepResult& result_;
    std::uint8_t bright_;
};

void columnBreathing(KeyboardEffectState& state, const LightSettings& light, MonoPainter& paint) {
    stepPhase(state.phase, light.direction != 0, BreathCurve.size());
    for (std::size_t c = 0; c < kMatrixColumns; ++c) {
        const std::uint8_t intensity =
            BreathCurve[offsetMod(state.phase, 7 * c, BreathCurve.size())];
        for (const std::uint8_t key : KeyColumns6[c]) {
            if (key != kNoKey) {
                paint.key(key, intensity);
            }
        }
    }
}

void serpentineBreathing(KeyboardEffectState& state, const LightSettings& light,
                         MonoPainter& paint) {
    stepPhase(state.phase, light.direction != 0, BreathCurve.size());
    for (std::size_t j = 0; j < MonoSnakeOrder.size(); ++j) {
        paint.key(MonoSnakeOrder[j],
                  BreathCurve[offsetMod(state.phase, 5 * j, BreathCurve.size())]);
    }
}

void ripple(KeyboardEffectState& state, MonoPainter& paint) {
    for (std::size_t c = 0; c < kMatrixColumns; ++c) {
        const std::uint8_t bits = rippleColumn(state.ripple, c);
        for (std::size_t row = 0; row < KeyColumns6[c].size(); ++row) {
            const std::uint8_t key = KeyColumns6[c][row];
            if (key != kNoKey) {
                state.keyLife[key] = (bits & (1u << row)) != 0 ? 254 : 0;
            }
        }
    }
    propagateRipple(state.ripple);
    const std::uint8_t centre = rippleColumn(state.ripple, kRippleCentreColumn);
    if (centre == 0x01) {
        orRippleColumn(state.ripple, kRippleCentreColumn, 0x03);
    } else if (centre == 0x60) {
        orRippleColumn(state.ripple, kRippleCentreColumn, 0x60);
    }
    for (const std::uint8_t key : MonoSnakeOrder) {
        if (key < kKeyCount) {
            state.keyLife[key] = decayA(state.keyLife[key]);
            paint.key(key, state.keyLife[key]);
        }
    }
}

void runningLight(KeyboardEffectState& state, const LightSettings& light, MonoPainter& paint) {
    const std::uint8_t taken =
        advanceRunningLight(state.runPosition, light.direction != 0, MonoRunOrder);
    if (taken < kKeyCount) {
        state.keyLife[taken] = 254;
    }
    for (const std::uint8_t key : MonoSnakeOrder) {
        if (key < kKeyCount) {
            state.keyLife[key] = decayB(state.keyLife[key]);
            paint.key(key, state.keyLife[key]);
        }
    }
}

void twinkle(KeyboardEffectState& state, MonoPainter& paint) {
    for (const std::uint8_t key : MonoSnakeOrder) {
        if (key >= kKeyCount) {
            continue;
        }
        // Start phases can be 192 itself; anything at or past the wrap restarts at 0.
        const unsigned next = state.keyPhase[key] + 1u;
        state.keyPhase[key] = static_cast<std::uint8_t>(next >= kWheelSteps ? 0 : next);
        paint.key(key, fadeAt(state.keyPhase[key]));
    }
}

void rain(KeyboardEffectState& state, MonoPainter& paint) {
    placeRainDrops(state, MonoSnakeOrder);
    for (std::size_t key = 0; key < kKeyCount; ++key) {
        state.keyLife[key] = decayA(state.keyLife[key]);
        paint.key(key, state.keyLife[key]);
    }
}

// The picture shows a key lit only when its byte is 255; the device gets every stored
// byte scaled by the brightness, so a full byte at full brightness is 254.
void custom(const KeyboardStepInput& input, MonoPainter& paint) {
    for (std::size_t key = 0; key < kKeyCount; ++key) {
        const std::uint8_t position = MonoLedMap[key];
        const std::uint8_t stored = input.customSlot != nullptr && position < kLedPositions
                                        ? (*input.customSlot)[position]
                                        : 0;
        paint.custom(key, stored == 255, scaleChannel(stored, paint.bright()));
    }
}

}  // namespace

void StepMonoKeyboard(KeyboardEffectState& state, const KeyboardStepInput& input,
                      KeyboardStepResult& result) {
    const LightSettings& light = input.light;
    MonoPainter paint(result, brightnessScale(light.brightness));
    switch (light.mode) {
        case 0:
            for (std::size_t key = 0; key < kKeyCount; ++key) {
                paint.full(key);
            }
            break;
        case 1: {
            if (++state.phase >= PulseCurve.size()) {
                state.phase = 0;
            }
            for (std::size_t key = 0; key < kKeyCount; ++key) {
                paint.key(key, PulseCurve[state.phase]);
            }
            break;
        }
        case 2:
            columnBreathing(state, light, paint);
            break;
        case 3:
            serpentineBreathing(state, light, paint);
            break;
        case 4:
            ripple(state, paint);
            break;
        case 5:
            runningLight(state, light, paint);
            break;
        case 6:
        case 8:
        case 11:
            twinkle(state, paint);
            break;
        case 7:
            rain(state, paint);
            break;
        case 9:
            for (std::size_t key = 0; key < kKeyCount; ++key) {
                paint.dark(key);
            }
            break;
        case 10:
            custom(input, paint);
            break;
        default:
            result.drawn = false;
            break;
    }
}

}  // namespace korvane::lighting::effects
