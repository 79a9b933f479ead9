#pragma once

#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "core/macros/input_hook.h"
#include "core/macros/macro_recorder.h"
#include "core/macros/macro_store.h"
#include "core/ui/control_tree.h"

namespace korvane::macros {

// How a request to capture ended.
enum class CaptureStart : std::uint8_t {
    Started,
    Unavailable,  // this desktop does not let the program read other programs' input
    Refused,      // the hook could not be installed (another program holds the keyboard)
};

// The message key that tells the user why capture did not start; empty for Started.
std::string_view CaptureStartMessage(CaptureStart start);

inline constexpr std::string_view kCaptureUnavailableMessage = "capture_unavailable_text";
inline constexpr std::string_view kCaptureRefusedMessage = "capture_refused_text";

// The options as the class's macro page holds them in its check boxes: `kb_macro_keyboard_event`,
// `kb_macro_mouse_click`, `kb_macro_mouse_roller`, `kb_macro_mouse_move`, `kb_macro_check_time`
// (`ms_` for the mouse). A box the skin lacks counts as not selected.
RecordingOptions RecordingOptionsFrom(const ui::ControlTree& tree, MacroClass macroClass);

// The recording of one device class's macro: the actions of the macro being edited, the
// recorder and the options recording started with. The macro editor puts the actions of the
// macro it edits here before recording and reads them back afterwards; setOnRecorded tells
// it about every action appended (and the delay set on the one before it) so that its list
// follows live. Main thread only.
class MacroRecording {
  public:
    MacroRecording(MacroClass macroClass, InputHook& hook);

    MacroClass macroClass() const { return class_; }
    CaptureMode mode() const;

    std::vector<MacroAction>& actions() { return actions_; }
    const std::vector<MacroAction>& actions() const { return actions_; }
    void setOnRecorded(std::function<void(const RecordedStep&)> onRecorded) {
        onRecorded_ = std::move(onRecorded);
    }

    // Installs the hooks the options ask for (keyboard hook for key events, mouse hook for
    // any mouse option) and starts measuring from now. The recording flag is set only when
    // capture started.
    CaptureStart StartRecording(const RecordingOptions& options);
    // Removes the hooks and clears the recording flag.
    void StopRecording();
    // Set from StartRecording to StopRecording, also while the hooks were removed in between
    // (window deactivated): the next press of the record button then stops.
    bool recording() const { return recorder_.recording(); }
    const RecordingOptions& options() const { return options_; }

    // Handlers of the hook messages (keyboard 0x0803 / 0x0804, mouse 0x0812 / 0x0813).
    void RecordKeyEvent(int keyMessage, const KeyRecord& record);
    void RecordMouseEvent(int mouseMessage, std::uint32_t time);

  private:
    void recorded(const std::optional<RecordedStep>& step);

    MacroClass class_;
    InputHook& hook_;
    MacroRecorder recorder_;
    RecordingOptions options_;
    std::vector<MacroAction> actions_;
    std::function<void(const RecordedStep&)> onRecorded_;
};

// The main window's input capture: the one input hook of the program and what uses it, the
// single-key capture of the two key editors and the two macro recordings.
class InputCapture {
  public:
    explicit InputCapture(std::unique_ptr<InputHook> hook);
    ~InputCapture();
    InputCapture(const InputCapture&) = delete;
    InputCapture& operator=(const InputCapture&) = delete;

    InputHook& hook() { return *hook_; }
    const InputHook& hook() const { return *hook_; }

    // Single-key capture of a key editor (CaptureMode::KeyboardSingleKey or MouseSingleKey):
    // the keyboard hook alone, keys swallowed until the hooks are removed.
    CaptureStart StartSingleKey(CaptureMode mode);
    // Window deactivation, a class or tab change, the end of recording, exit.
    void RemoveHooks() { hook_->RemoveHooks(); }

    MacroRecording& recording(MacroClass macroClass);

  private:
    std::unique_ptr<InputHook> hook_;
    MacroRecording keyboard_;
    MacroRecording mouse_;
};

}  // namespace korvane::macros
