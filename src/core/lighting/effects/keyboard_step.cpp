#include "core/lighting/effects/keyboard_step.h"

namespace korvane::lighting::effects {

void StepKeyboard(KeyboardEffectState& state, const KeyboardStepInput& input, ByteSource& random,
                  KeyboardStepResult& result) {
    result.frame = LightFrame::forKeyboard(input.kind);
    result.preview.clear();
    result.drawn = true;
    switch (input.kind) {
        case KeyboardKind::Rgb:
            StepRgbKeyboard(state, input, random, result);
            break;
        case KeyboardKind::Mono:
            StepMonoKeyboard(state, input, result);
            break;
        case KeyboardKind::Region:
        case KeyboardKind::Membrane:
            StepZonedKeyboard(state, input, random, result);
            break;
    }
}

unsigned keyboardExtraSleepMs(KeyboardKind kind, std::uint8_t mode) {
    switch (kind) {
        case KeyboardKind::Rgb:
            return mode == 5 ? 40 : mode == 13 ? 10 : 0;
        case KeyboardKind::Mono:
            // The ripple sleeps twice: once in the thread and once in the mode.
            return mode == 4 ? 80 : mode == 7 ? 100 : 0;
        case KeyboardKind::Region:
        case KeyboardKind::Membrane:
            return mode == 4 ? 100 : 0;
    }
    return 0;
}

}  // namespace korvane::lighting::effects
