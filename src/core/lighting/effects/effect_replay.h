#pragma once

// The effect of one device run by its step functions alone: no thread, no device, no clock.
// Whoever wants to check an effect gets the exact frames a device would be sent and the
// picture colours, step by step.

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "core/device/device_kind.h"
#include "core/lighting/light_records.h"

namespace korvane::lighting::effects {

struct EffectReplay {
    device::DeviceKind model = device::DeviceKind::RgbKeyboard;
    LightSettings settings;
    unsigned steps = 1;
    // The random bytes, taken in order and cycling; empty: all 0.
    std::vector<std::uint8_t> random;
    // The custom colour store from its first byte (keyboards); the rest stays 0.
    std::vector<std::uint8_t> custom;
    std::uint8_t slot = 0;  // the selected custom slot
    // Run the mode's initialisation as selecting the mode on the page does.
    bool initialise = true;
};

struct ReplayedStep {
    unsigned index = 0;  // 1 for the first step
    // The bytes the step sends with WriteLightFrame; empty when it sends nothing.
    std::span<const std::uint8_t> frame;
    // Alpha, red, green, blue of every picture position, as the picture shows them after
    // the step (positions a step leaves alone keep what they showed).
    std::span<const std::uint8_t> preview;
};

// Runs the effect from the engine's reset state (hue counter 0); the millisecond clock
// advances by the frame delay of the mode and speed before each step.
void ReplayEffect(const EffectReplay& replay, const std::function<void(const ReplayedStep&)>& step);

}  // namespace korvane::lighting::effects
