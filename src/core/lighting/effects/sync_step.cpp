#include "core/lighting/effects/sync_step.h"

#include "core/lighting/colour_wheel.h"
#include "core/lighting/effects/effect_math.h"
#include "core/lighting/key_matrices.h"

namespace korvane::lighting::effects {
namespace {

inline constexpr std::size_t kWaveSteps = kMatrixColumns;

// A colour and an intensity (255 = none) for one wave step.
struct Shade {
    Rgb colour;
    std::uint8_t intensity = 255;
    bool dimmed = false;
};

// The zoned keyboards have six zones for the 23 wave steps: zone z follows step 4z + 1,
// the middle of the columns it covers.
constexpr std::size_t zoneWaveStep(std::size_t zone) {
    return 4 * zone + 1;
}

class SyncPainter {
  public:
    SyncPainter(SyncStepResult& result, KeyboardKind kind, std::uint8_t bright)
        : result_(result), kind_(kind), bright_(bright) {}

    std::uint8_t alpha(const Shade& s) const {
        return s.dimmed ? previewAlpha(bright_, s.intensity) : previewAlpha(bright_);
    }
    Rgb device(const Shade& s) const {
        return s.dimmed ? scaleColourPlusOne(s.colour, bright_, s.intensity)
                        : scaleColourPlusOne(s.colour, bright_);
    }

    void key(std::size_t key, const Shade& s) {
        if (key >= kKeyCount) {
            return;
        }
        result_.keyboardPreview.set(key, s.colour, alpha(s));
        if (!isZoned(kind_)) {
            result_.keyboardFrame.setLed(RgbLedMap[key], device(s));
        }
        result_.keyboardRgbFrame.setLed(RgbLedMap[key], device(s));
    }
    void zone(std::size_t z, const Shade& s) {
        if (isZoned(kind_)) {
            result_.keyboardFrame.setZone(kind_, z, device(s));
        }
    }
    void mouse(std::size_t led, const Shade& s) {
        result_.mousePreview.set(led, s.colour, alpha(s));
        result_.mouseFrame.setLed(led, device(s));
    }
    void pad(std::size_t led, const Shade& s) {
        result_.padPreview.set(led, s.colour, alpha(s));
        result_.padFrame.setLed(led, device(s));
    }

  private:
    SyncStepResult& result_;
    KeyboardKind kind_;
    std::uint8_t bright_;
};

void paintUniform(SyncPainter& paint, const Shade& s) {
    for (std::size_t key = 0; key < kKeyCount; ++key) {
        paint.key(key, s);
    }
    for (std::size_t z = 0; z < kZoneCount; ++z) {
        paint.zone(z, s);
    }
    for (std::size_t led = 0; led < kMouseLeds; ++led) {
        paint.mouse(led, s);
    }
    for (std::size_t led = 0; led < kPadLeds; ++led) {
        paint.pad(led, s);
    }
}

void paintWave(SyncPainter& paint, const std::array<Shade, kWaveSteps>& steps) {
    for (std::size_t i = 0; i < kWaveSteps; ++i) {
        for (const std::uint8_t key : KeyColumns7[i]) {
            if (key != kNoKey7) {
                paint.key(key, steps[i]);
            }
        }
        if (i < MouseColumns.size()) {
            for (const std::uint8_t led : MouseColumns[i]) {
                paint.mouse(led, steps[i]);
            }
        }
        if (i < kPadLeds) {
            paint.pad(i, steps[i]);
        }
    }
    for (std::size_t z = 0; z < kZoneCount; ++z) {
        paint.zone(z, steps[zoneWaveStep(z)]);
    }
}

}  // namespace

void StepSync(SyncEffectState& state, const SyncStepInput& input, ByteSource& random,
              SyncStepResult& result) {
    const SyncLightSettings& light = input.light;
    const bool zoned = isZoned(input.keyboardKind);
    result.keyboardFrame = LightFrame(zoned ? kZonedKeyboardFrameBytes : kRgbKeyboardFrameBytes);
    result.keyboardRgbFrame = LightFrame(kRgbKeyboardFrameBytes);
    result.mouseFrame = LightFrame(kMouseFrameBytes);
    result.padFrame = LightFrame(kPadFrameBytes);
    result.keyboardPreview.clear();
    result.mousePreview.clear();
    result.padPreview.clear();
    result.drawn = true;
    SyncPainter paint(result, input.keyboardKind, brightnessScale(light.brightness));
    const bool forward = light.direction != 0;
    switch (light.mode) {
        case 0:
            paintUniform(paint, {singleColour(light)});
            break;
        case 1:
            if (++state.phase >= PulseCurve.size()) {
                state.phase = 0;
                state.randomHue = random.nextByte();
            }
            paintUniform(paint,
                         {light.colourful ? ColourWheel[state.randomHue] : singleColour(light),
                          PulseCurve[state.phase], true});
            break;
        case 2: {
            std::array<Shade, kWaveSteps> steps{};
            if (light.colourful) {
                stepPhase(state.phase, forward, kWheelSteps);
                for (std::size_t i = 0; i < kWaveSteps; ++i) {
                    steps[i] = {ColourWheel[offsetMod(state.phase, 7 * i, kWheelSteps)]};
                }
            } else {
                stepPhase(state.phase, forward, BreathCurve.size());
                for (std::size_t i = 0; i < kWaveSteps; ++i) {
                    steps[i] = {singleColour(light),
                                BreathCurve[offsetMod(state.phase, 7 * i, BreathCurve.size())],
                                true};
                }
            }
            paintWave(paint, steps);
            break;
        }
        case 3:
            stepPhase(state.phase, forward, kWheelSteps);
            paintUniform(paint, {ColourWheel[state.phase]});
            break;
        default:
            result.drawn = false;
            break;
    }
}

unsigned syncAfterSleepMs(std::uint8_t mode) {
    switch (mode) {
        case 0:
            return 9;
        case 1:
            return 5;
        case 2:
            return 7;
        default:
            return 8;
    }
}

}  // namespace korvane::lighting::effects
