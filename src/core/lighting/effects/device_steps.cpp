#include "core/lighting/effects/device_steps.h"

#include "core/lighting/colour_wheel.h"
#include "core/lighting/effects/effect_math.h"

namespace korvane::lighting::effects {
namespace {

// Mouse and pad LEDs scale with bright + 1 and intensity + 1.
template <typename Result>
class LedPainter {
  public:
    LedPainter(Result& result, std::uint8_t bright) : result_(result), bright_(bright) {}

    void led(std::size_t i, Rgb colour) {
        result_.preview.set(i, colour, previewAlpha(bright_));
        result_.frame.setLed(i, scaleColourPlusOne(colour, bright_));
    }
    void led(std::size_t i, Rgb colour, std::uint8_t intensity) {
        ledSplit(i, colour, intensity, intensity);
    }
    void ledSplit(std::size_t i, Rgb colour, std::uint8_t device, std::uint8_t shown) {
        result_.preview.set(i, colour, previewAlpha(bright_, shown));
        result_.frame.setLed(i, scaleColourPlusOne(colour, bright_, device));
    }
    void off(std::size_t i) {
        result_.preview.set(i, Rgb{}, 0);
        result_.frame.setLed(i, Rgb{});
    }

  private:
    Result& result_;
    std::uint8_t bright_;
};

Rgb hueOrSingle(const LightSettings& light, std::uint8_t hue) {
    return light.colourful ? ColourWheel[hue] : singleColour(light);
}

// Starts a flash when the trigger fired; true while it lasts.
bool flashLit(FlashState& flash, const DeviceStepInput& input) {
    if (input.flashRaised) {
        flash.active = true;
        flash.startMs = input.nowMs;
        const unsigned hue = flash.hue + 14u;
        flash.hue = static_cast<std::uint8_t>(hue >= kWheelSteps ? 0 : hue);
    }
    if (flash.active && input.nowMs - flash.startMs < kFlashMs) {
        return true;
    }
    flash.active = false;
    return false;
}

// Travelling pulse: set ring slots among the first `lanes` give their lane full life, the
// ring turns one slot, then every lane decays.
template <std::size_t Lanes>
void travellingPulse(std::array<std::uint8_t, kTriggerRingSlots>& ring,
                     std::array<std::uint8_t, Lanes>& life, std::array<std::uint8_t, Lanes>& hue,
                     std::size_t triggerSlots, std::uint8_t hueCounter, const LightSettings& light,
                     std::uint8_t (*decay)(std::uint8_t)) {
    for (std::size_t slot = 0; slot < triggerSlots && slot < Lanes; ++slot) {
        if (ring[slot] != 0) {
            life[slot] = 255;
            if (light.colourful) {
                hue[slot] = static_cast<std::uint8_t>(hueCounter + 11);
            }
        }
    }
    if (light.direction != 0) {
        const std::uint8_t first = ring.front();
        for (std::size_t i = 0; i + 1 < ring.size(); ++i) {
            ring[i] = ring[i + 1];
        }
        ring.back() = first;
    } else {
        const std::uint8_t last = ring.back();
        for (std::size_t i = ring.size() - 1; i > 0; --i) {
            ring[i] = ring[i - 1];
        }
        ring.front() = last;
    }
    for (auto& l : life) {
        l = decay(l);
    }
}

// Mouse trigger slots 0..13 are walked; only slots 0..6 name a column.
constexpr std::size_t kMouseTriggerSlots = 14;
constexpr std::size_t kPadTriggerSlots = 15;

template <typename F>
void forMouseColumn(std::size_t c, F&& f) {
    std::uint32_t seen = 0;
    for (const std::uint8_t led : MouseColumns[c]) {
        // A column may list one LED twice; draw it once.
        if ((seen & (1u << led)) == 0) {
            seen |= 1u << led;
            f(led);
        }
    }
}

}  // namespace

void StepMouse(MouseEffectState& state, const DeviceStepInput& input, MouseStepResult& result) {
    const LightSettings& light = input.light;
    const std::uint8_t bright = brightnessScale(light.brightness);
    const bool forward = light.direction != 0;
    result.frame = LightFrame(kMouseFrameBytes);
    result.preview.clear();
    result.drawn = true;
    LedPainter paint(result, bright);
    switch (light.mode) {
        case 0:
            for (std::size_t i = 0; i < kMouseLeds; ++i) {
                paint.led(i, singleColour(light));
            }
            break;
        case 1:
            stepPhase(state.phase, forward, PulseCurve.size());
            if (state.phase == 0) {
                state.colourGroup = static_cast<std::uint8_t>((state.colourGroup + 1) % 3);
            }
            for (std::size_t c = 0; c < MouseColumns.size(); ++c) {
                const Rgb colour =
                    light.colourful ? mouseGroupColour(state.colourGroup, c) : singleColour(light);
                forMouseColumn(
                    c, [&](std::uint8_t led) { paint.led(led, colour, PulseCurve[state.phase]); });
            }
            break;
        case 2:
            if (light.colourful) {
                stepPhase(state.phase, forward, kWheelSteps);
                for (std::size_t c = 0; c < MouseColumns.size(); ++c) {
                    const Rgb colour = ColourWheel[offsetMod(state.phase, 7 * c, kWheelSteps)];
                    forMouseColumn(c, [&](std::uint8_t led) { paint.led(led, colour); });
                }
            } else {
                stepPhase(state.phase, forward, BreathCurve.size());
                for (std::size_t c = 0; c < MouseColumns.size(); ++c) {
                    const std::uint8_t device =
                        BreathCurve[offsetMod(state.phase, 10 * c, BreathCurve.size())];
                    const std::uint8_t shown =
                        BreathCurve[offsetMod(state.phase, 10 * (c + 1), BreathCurve.size())];
                    forMouseColumn(c, [&](std::uint8_t led) {
                        paint.ledSplit(led, singleColour(light), device, shown);
                    });
                }
            }
            break;
        case 3:
            stepPhase(state.phase, forward, kWheelSteps);
            for (std::size_t i = 0; i < kMouseLeds; ++i) {
                paint.led(i, ColourWheel[state.phase]);
            }
            break;
        case 4:
            stepPhase(state.phase, forward, kWheelSteps);
            travellingPulse(state.ring, state.columnLife, state.columnHue, kMouseTriggerSlots,
                            state.hueCounter, light, decayC);
            for (std::size_t c = 0; c < MouseColumns.size(); ++c) {
                const Rgb colour = hueOrSingle(light, state.columnHue[c]);
                forMouseColumn(
                    c, [&](std::uint8_t led) { paint.led(led, colour, state.columnLife[c]); });
            }
            break;
        case 5: {
            const bool lit = flashLit(state.flash, input);
            const Rgb colour = hueOrSingle(light, state.flash.hue);
            for (std::size_t i = 0; i < kPadLeds; ++i) {
                if (lit) {
                    paint.led(i, colour);
                } else {
                    paint.off(i);
                }
            }
            break;
        }
        case 6:
        case 7: {
            result.frame = LightFrame(kMouseBlinkFrameBytes);
            state.blinkCounter =
                static_cast<std::uint8_t>(state.blinkCounter >= 125 ? 0 : state.blinkCounter + 1);
            state.blinkLit = !state.blinkLit;
            const Rgb colour =
                light.colourful ? kMouseColourList[state.blinkCounter] : singleColour(light);
            for (std::size_t i = 0; i < kMouseBlinkFrameBytes / 3; ++i) {
                if (state.blinkLit) {
                    paint.led(i, colour);
                } else {
                    paint.led(i, Rgb{});
                }
            }
            break;
        }
        default:  // 8: the thread only idles; 9 and above draw nothing
            result.drawn = false;
            break;
    }
}

void StepMousePad(PadEffectState& state, const DeviceStepInput& input, PadStepResult& result) {
    const LightSettings& light = input.light;
    const std::uint8_t bright = brightnessScale(light.brightness);
    const bool forward = light.direction != 0;
    result.frame = LightFrame(kPadFrameBytes);
    result.preview.clear();
    result.drawn = true;
    result.sleepAfterMs = 0;
    LedPainter paint(result, bright);
    switch (light.mode) {
        case 0:
            if (light.colourful) {
                stepPhase(state.phase, forward, kWheelSteps);
                for (std::size_t k = 0; k < kPadLeds; ++k) {
                    paint.led(k, ColourWheel[offsetMod(state.phase, 7 * k, kWheelSteps)]);
                }
            } else {
                stepPhase(state.phase, forward, BreathCurve.size());
                for (std::size_t k = 0; k < kPadLeds; ++k) {
                    paint.led(k, singleColour(light),
                              BreathCurve[offsetMod(state.phase, 10 * k, BreathCurve.size())]);
                }
            }
            break;
        case 1:
            stepPhase(state.phase, forward, kWheelSteps);
            for (std::size_t k = 0; k < kPadLeds; ++k) {
                paint.led(k, ColourWheel[state.phase]);
            }
            break;
        case 2: {
            result.frame = LightFrame(kPadLongFrameBytes);
            stepPhase(state.phase, forward, PulseCurve.size());
            if (state.phase == 0) {
                state.group = static_cast<std::uint8_t>((state.group + 1) % 3);
            }
            const Rgb colour = hueOrSingle(light, offsetMod(state.phase, 50, kWheelSteps));
            for (std::size_t k = 0; k < kPadLeds; ++k) {
                paint.led(k, colour, PulseCurve[state.phase]);
            }
            break;
        }
        case 3:
            result.frame = LightFrame(kPadLongFrameBytes);
            for (std::size_t k = 0; k < kPadLeds; ++k) {
                paint.led(k, singleColour(light));
            }
            break;
        case 4: {
            const unsigned count = state.barCount;
            for (std::size_t i = 0; i < kPadLeds; ++i) {
                const bool lit = forward ? count < i : i < count;
                if (lit) {
                    paint.led(i, hueOrSingle(light, offsetMod(0, 7 * i, kWheelSteps)));
                } else {
                    paint.led(i, Rgb{});
                }
            }
            if (state.barRising) {
                if (++state.barCount >= kPadLeds) {
                    state.barCount = kPadLeds;
                    state.barRising = false;
                }
            } else if (state.barCount == 0 || --state.barCount == 0) {
                state.barRising = true;
            }
            break;
        }
        case 5:
            // The pad's pulse fades fast.
            travellingPulse(state.ring, state.ledLife, state.ledHue, kPadTriggerSlots,
                            state.hueCounter, light, decayCFast);
            for (std::size_t k = 0; k < kPadLeds; ++k) {
                paint.led(k, hueOrSingle(light, state.ledHue[k]), state.ledLife[k]);
            }
            break;
        case 6:
            stepPhase(state.phase, forward, kWheelSteps);
            for (std::size_t c = 0; c < PadColumns.front().size(); ++c) {
                const Rgb colour = ColourWheel[offsetMod(state.phase, 7 * c, kWheelSteps)];
                for (const auto& row : PadColumns) {
                    if (row[c] >= 0) {
                        paint.led(static_cast<std::size_t>(row[c]), colour);
                    }
                }
            }
            break;
        case 7: {
            // Two sweeps in turn: 252 shifted left, then 0x3F00 shifted right; column c
            // shows bit 5 + c.
            if (state.scanSteps == 0) {
                state.scanPattern = state.scanFromRight ? 0x3F00 : 252;
            }
            state.scanPattern = static_cast<std::uint16_t>(
                state.scanFromRight ? state.scanPattern >> 1 : state.scanPattern << 1);
            stepPhase(state.scanPhase, false, kWheelSteps);
            const Rgb colour = ColourWheel[state.scanPhase];
            for (std::size_t c = 0; c < PadColumns.front().size(); ++c) {
                const bool lit = (state.scanPattern >> (5 + c)) & 1u;
                for (const auto& row : PadColumns) {
                    if (row[c] >= 0) {
                        paint.led(static_cast<std::size_t>(row[c]), lit ? colour : Rgb{});
                    }
                }
            }
            if (++state.scanSteps >= 15) {
                state.scanSteps = 0;
                state.scanFromRight = !state.scanFromRight;
                result.sleepAfterMs = 1000;
            }
            break;
        }
        case 8: {
            result.frame = LightFrame(kPadLongFrameBytes);
            const bool lit = flashLit(state.flash, input);
            const Rgb colour = hueOrSingle(light, state.flash.hue);
            for (std::size_t k = 0; k < kPadLeds; ++k) {
                if (lit) {
                    paint.led(k, colour);
                } else {
                    paint.off(k);
                }
            }
            break;
        }
        default:
            result.drawn = false;
            break;
    }
}

unsigned mouseExtraSleepMs(std::uint8_t mode) {
    switch (mode) {
        case 4:
            return 50;
        case 6:
        case 7:
        case 8:
            return 200;
        default:
            return 0;
    }
}

unsigned padExtraSleepMs(std::uint8_t mode, std::uint8_t speed) {
    switch (mode) {
        case 4:
            return 10u * speed + 100;
        case 5:
            return 50;
        case 7:
            return 5u * speed + 50;
        default:
            return 0;
    }
}

}  // namespace korvane::lighting::effects
