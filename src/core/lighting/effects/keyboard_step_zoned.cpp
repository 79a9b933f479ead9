// The modes of the zoned keyboards: one colour per zone, six zones of ZoneColumns.

#include "core/lighting/colour_wheel.h"
#include "core/lighting/effects/keyboard_step.h"

namespace korvane::lighting::effects {
namespace {

class ZonePainter {
  public:
    ZonePainter(KeyboardStepResult& result, KeyboardKind kind, std::uint8_t bright)
        : result_(result), kind_(kind), bright_(bright) {}

    void zone(std::size_t z, Rgb colour) {
        forEachKey(
            z, [&](std::uint8_t key) { result_.preview.set(key, colour, previewAlpha(bright_)); });
        result_.frame.setZone(kind_, z, scaleColour(colour, bright_));
    }

    void zone(std::size_t z, Rgb colour, std::uint8_t intensity) {
        forEachKey(z, [&](std::uint8_t key) {
            result_.preview.set(key, colour, previewAlpha(bright_, intensity));
        });
        result_.frame.setZone(kind_, z, scaleColour(colour, bright_, intensity));
    }

    std::uint8_t bright() const { return bright_; }
    KeyboardStepResult& result() { return result_; }

    template <typename F>
    static void forEachKey(std::size_t z, F&& f) {
        for (const auto& column : ZoneColumns) {
            const std::uint8_t key = column[z];
            if (key < kKeyCount) {
                f(key);
            }
        }
    }

  private:
    KeyboardStepResult& result_;
    KeyboardKind kind_;
    std::uint8_t bright_;
};

constexpr std::uint8_t kBlockColourStep = 11;

void restartBlocks(StackingBlocks& blocks, bool forward) {
    for (int z = static_cast<int>(kZoneCount) - 1; z >= 0; --z) {
        const auto u = static_cast<std::size_t>(z);
        blocks.lit[u] = 0;
        blocks.colourCounter = offsetMod(blocks.colourCounter, kBlockColourStep, kWheelSteps);
        blocks.colourIndex[u] = blocks.colourCounter;
    }
    blocks.fadeLevel = 255;
    blocks.fading = false;
    if (forward) {
        blocks.lit[kZoneCount - 1] = 1;
        blocks.head = 0;
    } else {
        blocks.lit[0] = 1;
        blocks.head = static_cast<int>(kZoneCount) - 1;
    }
}

void fillStep(StackingBlocks& blocks, bool forward) {
    constexpr int last = static_cast<int>(kZoneCount) - 1;
    const int head = blocks.head;
    if (head < 0 || head > last) {
        blocks.fading = true;
        return;
    }
    if (forward) {
        if (blocks.lit[static_cast<std::size_t>(head)] != 0) {
            blocks.lit[last] = 1;
            if (++blocks.head > last) {
                blocks.fading = true;
            }
        } else {
            for (int i = head; i < last; ++i) {
                blocks.lit[static_cast<std::size_t>(i)] =
                    blocks.lit[static_cast<std::size_t>(i + 1)];
            }
            blocks.lit[last] = 0;
        }
        return;
    }
    if (blocks.lit[static_cast<std::size_t>(head)] != 0) {
        blocks.lit[0] = 1;
        if (--blocks.head < 0) {
            blocks.fading = true;
        }
    } else {
        for (int i = head; i > 0; --i) {
            blocks.lit[static_cast<std::size_t>(i)] = blocks.lit[static_cast<std::size_t>(i - 1)];
        }
        blocks.lit[0] = 0;
    }
}

void stackingBlocks(KeyboardEffectState& state, const LightSettings& light, ZonePainter& paint) {
    StackingBlocks& blocks = state.blocks;
    const bool forward = light.direction != 0;
    // A restart asked for by the editor shows as one dark frame; the blocks start again
    // from that same step, so the next one draws the first block.
    if (blocks.restartRequested) {
        for (std::size_t z = 0; z < kZoneCount; ++z) {
            paint.zone(z, Rgb{});
        }
        blocks.restartRequested = false;
        restartBlocks(blocks, forward);
        return;
    }
    if (blocks.fadeLevel == 0) {
        restartBlocks(blocks, forward);
    }
    if (!blocks.fading) {
        for (std::size_t z = 0; z < kZoneCount; ++z) {
            paint.zone(z, blocks.lit[z] != 0 ? ColourWheel[blocks.colourIndex[z]] : Rgb{});
        }
        fillStep(blocks, forward);
        return;
    }
    blocks.fadeLevel = fadeLevelStep(blocks.fadeLevel);
    for (std::size_t z = 0; z < kZoneCount; ++z) {
        paint.zone(z, ColourWheel[blocks.colourIndex[z]], blocks.fadeLevel);
    }
}

// The colour a custom slot gives a zone: that of the zone's last key in column order.
Rgb customZoneColour(const CustomColourSlot& slot, std::size_t z) {
    Rgb colour{};
    ZonePainter::forEachKey(z, [&](std::uint8_t key) { colour = ledColour(slot, key); });
    return colour;
}

void custom(const KeyboardStepInput& input, ZonePainter& paint) {
    static const CustomColourSlot kEmpty{};
    const CustomColourSlot& slot = input.customSlot != nullptr ? *input.customSlot : kEmpty;
    for (std::size_t z = 0; z < kZoneCount; ++z) {
        paint.zone(z, customZoneColour(slot, z));
        // Each key shows its own stored colour, not the zone's.
        ZonePainter::forEachKey(z, [&](std::uint8_t key) {
            paint.result().preview.set(key, ledColour(slot, key), previewAlpha(paint.bright()));
        });
    }
}

}  // namespace

void StepZonedKeyboard(KeyboardEffectState& state, const KeyboardStepInput& input,
                       ByteSource& random, KeyboardStepResult& result) {
    const LightSettings& light = input.light;
    ZonePainter paint(result, input.kind, brightnessScale(light.brightness));
    const bool forward = light.direction != 0;
    switch (light.mode) {
        case 0:
            for (std::size_t z = 0; z < kZoneCount; ++z) {
                paint.zone(z, singleColour(light));
            }
            break;
        case 1: {
            if (++state.phase >= PulseCurve.size()) {
                state.phase = 0;
                state.randomHue = random.nextByte();
            }
            const Rgb colour = light.colourful ? ColourWheel[state.randomHue] : singleColour(light);
            for (std::size_t z = 0; z < kZoneCount; ++z) {
                paint.zone(z, colour, PulseCurve[state.phase]);
            }
            break;
        }
        case 2:
            if (light.colourful) {
                stepPhase(state.phase, forward, kWheelSteps);
                for (std::size_t z = 0; z < kZoneCount; ++z) {
                    paint.zone(z, ColourWheel[offsetMod(state.phase, 7 * z, kWheelSteps)]);
                }
            } else {
                stepPhase(state.phase, forward, BreathCurve.size());
                for (std::size_t z = 0; z < kZoneCount; ++z) {
                    paint.zone(
                        z, singleColour(light),
                        BreathCurve[offsetMod(state.phase, 7 * (z + 1), BreathCurve.size())]);
                }
            }
            break;
        case 3:
            stepPhase(state.phase, forward, kWheelSteps);
            for (std::size_t z = 0; z < kZoneCount; ++z) {
                paint.zone(z, ColourWheel[state.phase]);
            }
            break;
        case 4:
            stackingBlocks(state, light, paint);
            break;
        case 5:
            for (std::size_t z = 0; z < kZoneCount; ++z) {
                paint.zone(z, Rgb{});
            }
            break;
        case 6:
            custom(input, paint);
            break;
        default:
            result.drawn = false;
            break;
    }
}

}  // namespace korvane::lighting::effects
