#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/macros/input_hook.h"
#include "core/macros/macro_action.h"

namespace korvane::macros {

// What recording captures: the check boxes `kb_macro_keyboard_event` ... `kb_macro_check_time`
// (and their `ms_` twins) when recording starts.
struct RecordingOptions {
    bool keyboardEvents = true;
    bool mouseClick = true;
    bool mouseRoller = false;
    bool mouseMove = false;
    bool fixedDelay = false;  // every delay is recorded as 50 ms

    // The hooks recording needs: the keyboard hook for key events, the mouse hook for any of
    // the three mouse options (wheel and pointer moves are not recorded, only hooked).
    bool wantsKeyboard() const { return keyboardEvents; }
    bool wantsMouse() const { return mouseClick || mouseRoller || mouseMove; }
};

// Delays longer than this are cut to it (65535 counts of 10 ms).
inline constexpr std::uint32_t kMaxRecordedDelayMs = 655350;
inline constexpr std::uint32_t kFixedDelayMs = 50;

// What one recorded event did to the action list: the index of the appended action, and the
// index of the action before it when its delay was set.
struct RecordedStep {
    std::size_t appended = 0;
    std::optional<std::size_t> delayed;
};

// Turns hook events into macro actions while recording, one per device class. Delays are the
// distance between the events' own times (when they happened, not when they were handled);
// the time from the start of recording to the first event is measured but only stored when
// the list already held actions. A held key gives one press and one release: a press of the
// key pressed last is an auto-repeat.
class MacroRecorder {
  public:
    // Reference time = now (the hook's clock); the repeat filters start empty.
    void start(std::uint32_t now);
    void stop();
    bool recording() const { return recording_; }

    // Appends the action of a key of the ordinary keys (key code table rows 0..103); other
    // keys, repeats and events while not recording change nothing (none returned).
    std::optional<RecordedStep> RecordKeyEvent(int keyMessage, const KeyRecord& record,
                                               const RecordingOptions& options,
                                               std::vector<MacroAction>& actions);
    // Appends a left, right or middle click (press or release) when the mouse-click option is
    // on; every other mouse message is ignored, as is a message equal to the previous one.
    std::optional<RecordedStep> RecordMouseEvent(int mouseMessage, std::uint32_t time,
                                                 const RecordingOptions& options,
                                                 std::vector<MacroAction>& actions);

  private:
    RecordedStep append(MacroAction action, std::uint32_t time, const RecordingOptions& options,
                        std::vector<MacroAction>& actions);

    bool recording_ = false;
    std::uint32_t reference_ = 0;
    std::uint32_t lastKey_ = 0;
    int lastMouse_ = 0;
};

}  // namespace korvane::macros
