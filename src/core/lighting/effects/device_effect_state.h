#pragma once

// Engine state of the mouse and mouse-pad effects, and the initialisations their editors run.

#include <array>
#include <cstddef>
#include <cstdint>

#include "core/lighting/mouse_tables.h"

namespace korvane::lighting::effects {

inline constexpr std::size_t kTriggerRingSlots = 23;

// A flash of 100 ms started by the mouse's reactive-lighting trigger.
struct FlashState {
    bool active = false;
    std::uint64_t startMs = 0;
    std::uint8_t hue = 0;
};

struct MouseEffectState {
    std::uint8_t phase = 0;
    std::uint8_t hueCounter = 0;
    std::uint8_t colourGroup = 0;  // 0..2, the colour-group pulse
    std::array<std::uint8_t, 7> columnLife{};
    std::array<std::uint8_t, 7> columnHue{};
    std::array<std::uint8_t, kTriggerRingSlots> ring{};
    FlashState flash;
    std::uint8_t blinkCounter = 0;
    bool blinkLit = false;
};

struct PadEffectState {
    std::uint8_t phase = 0;
    std::uint8_t hueCounter = 0;
    std::uint8_t group = 0;  // 0..2, advanced by the pulse
    std::array<std::uint8_t, kPadLeds> ledLife{};
    std::array<std::uint8_t, kPadLeds> ledHue{};
    std::array<std::uint8_t, kTriggerRingSlots> ring{};
    FlashState flash;
    std::uint8_t barCount = 0;
    bool barRising = true;
    std::uint16_t scanPattern = 0;
    std::uint8_t scanSteps = 0;
    bool scanFromRight = false;
    std::uint8_t scanPhase = 0;
};

// Clears the engine state of the device; the hue counter and the colour group are kept.
void ResetMouseEffectState(MouseEffectState& state);
void ResetPadEffectState(PadEffectState& state);

// The trigger of the mouse's travelling pulse: slot 7 when the phases count up (it walks
// down to the columns), slot 0 when they count down.
constexpr std::size_t mouseTriggerSlot(std::uint8_t direction) {
    return direction != 0 ? 7 : 0;
}
inline constexpr std::size_t kPadTriggerSlot = 0;

// Sets the trigger slot of the current direction in the device's ring.
void SetMouseTrigger(MouseEffectState& state, std::uint8_t direction);
void SetPadTrigger(PadEffectState& state);

// Mode selection in the editors: the engine state is cleared, then the travelling pulse
// (mouse mode 4, pad mode 5) gets its trigger.
void InitialiseMouseMode(MouseEffectState& state, std::uint8_t mode, std::uint8_t direction);
void InitialisePadMode(PadEffectState& state, std::uint8_t mode);

}  // namespace korvane::lighting::effects
