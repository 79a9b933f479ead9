#pragma once

// The keyboard engine's state, its reset and the initialisations the lighting editor runs
// when a mode is selected.

#include <array>
#include <cstdint>

#include "core/lighting/effects/effect_math.h"
#include "core/lighting/keyboard_kind.h"
#include "core/lighting/led_maps.h"

namespace korvane::lighting::effects {

// Stacking blocks of the zoned keyboards.
struct StackingBlocks {
    std::array<std::uint8_t, kZoneCount> lit{};
    std::array<std::uint8_t, kZoneCount> colourIndex{};
    int head = 0;
    bool fading = false;
    std::uint8_t fadeLevel = 0;
    std::uint8_t colourCounter = 0;
    // Raised by the editor: the next step draws one dark frame and restarts the blocks.
    bool restartRequested = false;
};

struct KeyboardEffectState {
    std::uint8_t phase = 0;
    std::uint8_t hueCounter = 0;
    std::array<std::uint8_t, kKeyCount> keyHue{};
    std::array<std::uint8_t, kKeyCount> keyLife{};
    std::array<std::uint8_t, kKeyCount> keyPhase{};
    RippleBitmaps ripple{};
    std::uint8_t runPosition = 0;  // 0..110
    std::uint8_t rainPick = 0;
    std::uint8_t randomHue = 0;
    StackingBlocks blocks;
};

// Phase, key hues, key lives and ripple bitmaps back to zero; the hue counter is kept.
void ResetEffectState(KeyboardEffectState& state);

// The initialisation of a newly selected mode (RGB 5, 7, 9, 12; mono 4, 6, 7, 8; zoned 4).
// Other modes have none.
void InitialiseKeyboardMode(KeyboardEffectState& state, KeyboardKind kind, std::uint8_t mode);

// The zoned direction options restart the stacking blocks at the next step.
void RequestStackingRestart(KeyboardEffectState& state);

}  // namespace korvane::lighting::effects
