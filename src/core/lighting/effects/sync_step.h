#pragma once

// One step of the synchronised effect, computed once for every device that follows it.

#include <cstdint>

#include "core/lighting/effects/effect_output.h"
#include "core/lighting/keyboard_kind.h"
#include "core/lighting/led_maps.h"
#include "core/lighting/light_records.h"
#include "core/lighting/mouse_tables.h"

namespace korvane::lighting::effects {

struct SyncEffectState {
    std::uint8_t phase = 0;
    std::uint8_t randomHue = 0;
};

struct SyncStepInput {
    SyncLightSettings light;
    KeyboardKind keyboardKind = KeyboardKind::Rgb;
};

struct SyncStepResult {
    LightFrame keyboardFrame;     // 36 bytes for the zoned keyboards, 378 for the others
    LightFrame keyboardRgbFrame;  // the 378-byte frame the RegionKeyboard also receives
    PreviewSet<kKeyCount> keyboardPreview;
    LightFrame mouseFrame;  // 60 bytes
    PreviewSet<kMouseLeds> mousePreview;
    LightFrame padFrame;  // 45 bytes
    PreviewSet<kPadLeds> padPreview;
    bool drawn = false;
};

void StepSync(SyncEffectState& state, const SyncStepInput& input, ByteSource& random,
              SyncStepResult& result);

// The pause after the frames of a step.
unsigned syncAfterSleepMs(std::uint8_t mode);

}  // namespace korvane::lighting::effects
