#include "core/lighting/effects/device_effect_state.h"

namespace korvane::lighting::effects {

void ResetMouseEffectState(MouseEffectState& state) {
    const std::uint8_t hue = state.hueCounter;
    const std::uint8_t group = state.colourGroup;
    state = {};
    state.hueCounter = hue;
    state.colourGroup = group;
}

void ResetPadEffectState(PadEffectState& state) {
    const std::uint8_t hue = state.hueCounter;
    const std::uint8_t group = state.group;
    state = {};
    state.hueCounter = hue;
    state.group = group;
}

void SetMouseTrigger(MouseEffectState& state, std::uint8_t direction) {
    state.ring[mouseTriggerSlot(direction)] = 1;
}

void SetPadTrigger(PadEffectState& state) {
    state.ring[kPadTriggerSlot] = 1;
}

void InitialiseMouseMode(MouseEffectState& state, std::uint8_t mode, std::uint8_t direction) {
    ResetMouseEffectState(state);
    if (mode == 4) {
        SetMouseTrigger(state, direction);
    }
}

void InitialisePadMode(PadEffectState& state, std::uint8_t mode) {
    ResetPadEffectState(state);
    if (mode == 5) {
        SetPadTrigger(state);
    }
}

}  // namespace korvane::lighting::effects
