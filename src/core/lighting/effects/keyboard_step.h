#pragma once

// One step of the keyboard effect of every kind and mode: a pure function of the engine
// state, the settings and the random source.

#include <cstdint>

#include "core/lighting/effects/effect_output.h"
#include "core/lighting/effects/keyboard_effect_state.h"
#include "core/lighting/key_orders.h"
#include "core/lighting/light_records.h"

namespace korvane::lighting::effects {

struct KeyboardStepInput {
    KeyboardKind kind = KeyboardKind::Rgb;
    LightSettings light;
    const CustomColourSlot* customSlot = nullptr;  // the selected custom slot; null: dark
};

struct KeyboardStepResult {
    LightFrame frame;               // sized for the kind
    PreviewSet<kKeyCount> preview;  // by key index
    bool drawn = false;             // false: the mode draws nothing and nothing is sent
};

// Draws one step of the mode of input.kind into result (cleared first). Does not advance
// the hue counter: the thread does that after every step.
void StepKeyboard(KeyboardEffectState& state, const KeyboardStepInput& input, ByteSource& random,
                  KeyboardStepResult& result);

void StepRgbKeyboard(KeyboardEffectState& state, const KeyboardStepInput& input, ByteSource& random,
                     KeyboardStepResult& result);
void StepMonoKeyboard(KeyboardEffectState& state, const KeyboardStepInput& input,
                      KeyboardStepResult& result);
void StepZonedKeyboard(KeyboardEffectState& state, const KeyboardStepInput& input,
                       ByteSource& random, KeyboardStepResult& result);

// Shared by the RGB and mono running lights: the key taken this step, kNoKey for none.
std::uint8_t advanceRunningLight(std::uint8_t& position, bool forward,
                                 const std::array<std::uint8_t, kSnakeLength>& order);
// Three rain drops on the keys order[RandomKeyOrder[pick]], life 255.
void placeRainDrops(KeyboardEffectState& state,
                    const std::array<std::uint8_t, kSnakeLength>& order);

// Milliseconds the keyboard thread sleeps before a step of the mode, besides the frame delay.
unsigned keyboardExtraSleepMs(KeyboardKind kind, std::uint8_t mode);

}  // namespace korvane::lighting::effects
