#include "core/macros/input_capture.h"

#include <string>

namespace korvane::macros {
namespace {

CaptureStart install(InputHook& hook, CaptureMode mode, bool keyboard, bool mouse) {
    if (!hook.available()) {
        hook.RemoveHooks();
        return CaptureStart::Unavailable;
    }
    return hook.InstallHooks(mode, keyboard, mouse) ? CaptureStart::Started : CaptureStart::Refused;
}

}  // namespace

std::string_view CaptureStartMessage(CaptureStart start) {
    switch (start) {
        case CaptureStart::Unavailable:
            return kCaptureUnavailableMessage;
        case CaptureStart::Refused:
            return kCaptureRefusedMessage;
        case CaptureStart::Started:
            break;
    }
    return {};
}

RecordingOptions RecordingOptionsFrom(const ui::ControlTree& tree, MacroClass macroClass) {
    const std::string prefix = macroClass == MacroClass::Keyboard ? "kb_macro_" : "ms_macro_";
    const auto selected = [&](std::string_view option) {
        const ui::Control* box = tree.find(prefix + std::string(option));
        return box != nullptr && box->selected();
    };
    RecordingOptions options;
    options.keyboardEvents = selected("keyboard_event");
    options.mouseClick = selected("mouse_click");
    options.mouseRoller = selected("mouse_roller");
    options.mouseMove = selected("mouse_move");
    options.fixedDelay = selected("check_time");
    return options;
}

MacroRecording::MacroRecording(MacroClass macroClass, InputHook& hook)
    : class_(macroClass), hook_(hook) {}

CaptureMode MacroRecording::mode() const {
    return class_ == MacroClass::Keyboard ? CaptureMode::KeyboardMacro : CaptureMode::MouseMacro;
}

CaptureStart MacroRecording::StartRecording(const RecordingOptions& options) {
    const CaptureStart start =
        install(hook_, mode(), options.wantsKeyboard(), options.wantsMouse());
    if (start != CaptureStart::Started) {
        return start;
    }
    options_ = options;
    recorder_.start(hook_.now());
    return start;
}

void MacroRecording::StopRecording() {
    hook_.RemoveHooks();
    recorder_.stop();
}

void MacroRecording::RecordKeyEvent(int keyMessage, const KeyRecord& record) {
    recorded(recorder_.RecordKeyEvent(keyMessage, record, options_, actions_));
}

void MacroRecording::RecordMouseEvent(int mouseMessage, std::uint32_t time) {
    recorded(recorder_.RecordMouseEvent(mouseMessage, time, options_, actions_));
}

void MacroRecording::recorded(const std::optional<RecordedStep>& step) {
    if (step && onRecorded_) {
        onRecorded_(*step);
    }
}

InputCapture::InputCapture(std::unique_ptr<InputHook> hook)
    : hook_(std::move(hook)),
      keyboard_(MacroClass::Keyboard, *hook_),
      mouse_(MacroClass::Mouse, *hook_) {}

InputCapture::~InputCapture() {
    hook_->RemoveHooks();
}

CaptureStart InputCapture::StartSingleKey(CaptureMode mode) {
    return install(*hook_, mode, true, false);
}

MacroRecording& InputCapture::recording(MacroClass macroClass) {
    return macroClass == MacroClass::Keyboard ? keyboard_ : mouse_;
}

}  // namespace korvane::macros
