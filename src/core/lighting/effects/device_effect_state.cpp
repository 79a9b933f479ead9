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

void InitialiseMouseMode(MouseEffectState& state, std::uint8_t mode) {
    ResetMouseEffectState(state);
    if (mode == 4) {
        state.ring[0] = 1;
        state.ring[7] = 1;
    }
}

void InitialisePadMode(PadEffectState& state, std::uint8_t mode) {
    ResetPadEffectState(state);
    if (mode == 5) {
        state.ring[0] = 1;
    }
}

}  // namespace korvane::lighting::effects
