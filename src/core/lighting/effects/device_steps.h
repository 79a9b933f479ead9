#pragma once

// One step of the mouse and mouse-pad effects: pure functions of the engine state, the
// settings, the flash trigger and the millisecond clock.

#include <cstdint>

#include "core/lighting/effects/device_effect_state.h"
#include "core/lighting/effects/effect_output.h"
#include "core/lighting/light_records.h"

namespace korvane::lighting::effects {

inline constexpr std::uint64_t kFlashMs = 100;

struct DeviceStepInput {
    LightSettings light;
    bool flashRaised = false;  // the reactive trigger fired since the flash mode last looked
    std::uint64_t nowMs = 0;   // millisecond tick count
};

struct MouseStepResult {
    LightFrame frame;
    PreviewSet<kMouseLeds> preview;
    bool drawn = false;
};

struct PadStepResult {
    LightFrame frame;
    PreviewSet<kPadLeds> preview;
    bool drawn = false;
    unsigned sleepAfterMs = 0;  // the scanner pauses between sweeps
};

void StepMouse(MouseEffectState& state, const DeviceStepInput& input, MouseStepResult& result);
void StepMousePad(PadEffectState& state, const DeviceStepInput& input, PadStepResult& result);

// Milliseconds the threads sleep before a step of the mode, besides the frame delay.
unsigned mouseExtraSleepMs(std::uint8_t mode);
unsigned padExtraSleepMs(std::uint8_t mode, std::uint8_t speed);

// The modes that take the flash trigger.
constexpr bool isMouseFlashMode(std::uint8_t mode) {
    return mode == 5;
}
constexpr bool isPadFlashMode(std::uint8_t mode) {
    return mode == 8;
}

}  // namespace korvane::lighting::effects
