#include "core/macros/input_hook.h"

namespace korvane::macros {

bool InputHook::InstallHooks(CaptureMode mode, bool keyboard, bool mouse) {
    RemoveHooks();
    if (!keyboard && !mouse) {
        return true;
    }
    ++generation_;
    if (!install(mode, keyboard, mouse, generation_)) {
        return false;
    }
    mode_ = mode;
    keyboard_ = keyboard;
    mouse_ = mouse;
    return true;
}

void InputHook::RemoveHooks() {
    if (!keyboard_ && !mouse_) {
        return;
    }
    remove();
    keyboard_ = false;
    mouse_ = false;
    mode_ = CaptureMode::None;
    ++generation_;
}

std::optional<int> KeyHookMessage(CaptureMode mode) {
    switch (mode) {
        case CaptureMode::KeyboardSingleKey:
            return 0x0801;
        case CaptureMode::KeyboardHitKey:
            return 0x0802;
        case CaptureMode::KeyboardMacro:
            return 0x0803;
        case CaptureMode::MouseSingleKey:
            return 0x0810;
        case CaptureMode::MouseHitKey:
            return 0x0811;
        case CaptureMode::MouseMacro:
            return 0x0812;
        case CaptureMode::None:
            break;
    }
    return std::nullopt;
}

std::optional<int> MouseHookMessage(CaptureMode mode) {
    switch (mode) {
        case CaptureMode::KeyboardMacro:
            return 0x0804;
        case CaptureMode::MouseMacro:
            return 0x0813;
        default:
            break;
    }
    return std::nullopt;
}

std::string_view HookMessageName(int message) {
    switch (message) {
        case 0x0801:
            return "WM_HOOK_KEY_SINGLEKEY";
        case 0x0802:
            return "WM_HOOK_KEY_KBHITKEY";
        case 0x0803:
            return "WM_HOOK_KEY_MACRO";
        case 0x0810:
            return "WM_HOOK_MOU_SINGLEKEY";
        case 0x0811:
            return "WM_HOOK_MOU_HitKEY";
        case 0x0812:
            return "WM_HOOK_MOU_MACRO";
        default:
            break;
    }
    return {};
}

}  // namespace korvane::macros
