#include "core/macros/fake_input_hook.h"

namespace korvane::macros {
namespace {

constexpr std::uint32_t kLeftAlt = 0xA4;
constexpr std::uint32_t kRightAlt = 0xA5;

}  // namespace

bool FakeInputHook::install(CaptureMode mode, bool keyboard, bool mouse, std::uint64_t generation) {
    if (!available_) {
        return false;
    }
    if (keyboard && refuseKeyboard_) {
        refuseKeyboard_ = false;
        return false;
    }
    mode_ = mode;
    keyboard_ = keyboard;
    mouse_ = mouse;
    generation_ = generation;
    return true;
}

void FakeInputHook::remove() {
    mode_ = CaptureMode::None;
    keyboard_ = false;
    mouse_ = false;
}

void FakeInputHook::injectKey(std::uint32_t vkCode, bool down, bool extended,
                              std::uint32_t advanceMs) {
    clock_ += advanceMs;
    if (vkCode == kLeftAlt || vkCode == kRightAlt) {
        altDown_ = down;
    }
    if (!keyboard_ || !sink().key) {
        return;
    }
    KeyHookEvent event;
    event.mode = mode_;
    event.generation = generation_;
    event.serial = ++serial_;
    if (altDown_ || vkCode == kLeftAlt || vkCode == kRightAlt) {
        event.message = down ? key_message::kSystemKeyDown : key_message::kSystemKeyUp;
    } else {
        event.message = down ? key_message::kKeyDown : key_message::kKeyUp;
    }
    event.record.vkCode = vkCode;
    event.record.flags = (extended ? kKeyFlagExtended : 0) | (down ? 0 : kKeyFlagUp);
    event.record.time = clock_;
    sink().key(event);
}

void FakeInputHook::injectButton(Button button, bool down, std::uint32_t advanceMs) {
    clock_ += advanceMs;
    if (!mouse_ || !sink().mouse) {
        return;
    }
    MouseHookEvent event;
    event.mode = mode_;
    event.generation = generation_;
    event.serial = ++serial_;
    event.time = clock_;
    switch (button) {
        case Button::Left:
            event.message = down ? mouse_message::kLeftDown : mouse_message::kLeftUp;
            break;
        case Button::Right:
            event.message = down ? mouse_message::kRightDown : mouse_message::kRightUp;
            break;
        case Button::Middle:
            event.message = down ? mouse_message::kMiddleDown : mouse_message::kMiddleUp;
            break;
        case Button::X1:
        case Button::X2:
            event.message = down ? mouse_message::kXDown : mouse_message::kXUp;
            event.xButton = button == Button::X1 ? 1 : 2;
            break;
    }
    sink().mouse(event);
}

void FakeInputHook::endCapture(CaptureEnd why) {
    if ((!keyboard_ && !mouse_) || !sink().ended) {
        return;
    }
    const std::uint64_t generation = generation_;
    remove();
    sink().ended(generation, why);
}

std::optional<FakeInputHook::Button> FakeInputHook::buttonFromName(std::string_view name) {
    if (name == "left") {
        return Button::Left;
    }
    if (name == "right") {
        return Button::Right;
    }
    if (name == "middle") {
        return Button::Middle;
    }
    if (name == "x1") {
        return Button::X1;
    }
    if (name == "x2") {
        return Button::X2;
    }
    return std::nullopt;
}

}  // namespace korvane::macros
