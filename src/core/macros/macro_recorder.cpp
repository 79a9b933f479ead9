#include "core/macros/macro_recorder.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "core/keys/key_code_table.h"
#include "core/macros/event_names.h"

namespace korvane::macros {
namespace {

constexpr std::uint32_t kReturn = 0x0D;

struct ClickMapping {
    int message;
    std::uint8_t kind;
    std::uint8_t code;
    std::string_view name;
};

constexpr std::array<ClickMapping, 6> kClicks{{
    {mouse_message::kLeftDown, 0x81, kButtonLeft, "mouse_key_left"},
    {mouse_message::kLeftUp, 0x01, kButtonLeft, "mouse_key_left"},
    {mouse_message::kRightDown, 0x81, kButtonRight, "mouse_key_right"},
    {mouse_message::kRightUp, 0x01, kButtonRight, "mouse_key_right"},
    {mouse_message::kMiddleDown, 0x81, kButtonMiddle, "mouse_key_middle"},
    {mouse_message::kMiddleUp, 0x01, kButtonMiddle, "mouse_key_middle"},
}};

}  // namespace

void MacroRecorder::start(std::uint32_t now) {
    recording_ = true;
    reference_ = now;
    lastKey_ = 0;
    lastMouse_ = 0;
}

void MacroRecorder::stop() {
    recording_ = false;
}

std::optional<RecordedStep> MacroRecorder::RecordKeyEvent(int keyMessage, const KeyRecord& record,
                                                          const RecordingOptions& options,
                                                          std::vector<MacroAction>& actions) {
    if (!recording_) {
        return std::nullopt;
    }
    std::uint32_t code = record.vkCode;
    if (code == kReturn && (record.flags == 0x01 || record.flags == 0x81)) {
        code = keys::kCodeNumpadEnter;
    }
    const bool down = key_message::isDown(keyMessage);
    if (down) {
        if (code == lastKey_) {
            return std::nullopt;
        }
        lastKey_ = code;
    } else if (code == lastKey_) {
        lastKey_ = 0;
    }
    const auto row = keys::LookupKeyCode(record.vkCode, record.flags, keys::KeyCodeRows::MacroKeys);
    if (!row) {
        return std::nullopt;
    }
    auto action = MakeKeyAction(*row, down);
    if (!action) {
        return std::nullopt;
    }
    return append(std::move(*action), record.time, options, actions);
}

std::optional<RecordedStep> MacroRecorder::RecordMouseEvent(int mouseMessage, std::uint32_t time,
                                                            const RecordingOptions& options,
                                                            std::vector<MacroAction>& actions) {
    if (!recording_ || !options.mouseClick) {
        return std::nullopt;
    }
    const auto click = std::find_if(kClicks.begin(), kClicks.end(), [&](const ClickMapping& c) {
        return c.message == mouseMessage;
    });
    if (click == kClicks.end() || mouseMessage == lastMouse_) {
        return std::nullopt;
    }
    lastMouse_ = mouseMessage;
    MacroAction action;
    action.kind = click->kind;
    action.code = click->code;
    action.down = static_cast<std::uint8_t>(click->kind >> 7);
    action.name = std::string(click->name);
    return append(std::move(action), time, options, actions);
}

RecordedStep MacroRecorder::append(MacroAction action, std::uint32_t time,
                                   const RecordingOptions& options,
                                   std::vector<MacroAction>& actions) {
    // Unsigned: the clock wraps after 49 days and the distance stays right across it.
    std::uint32_t delay = time - reference_;
    reference_ = time;
    delay = std::min(delay, kMaxRecordedDelayMs);
    if (options.fixedDelay) {
        delay = kFixedDelayMs;
    }
    RecordedStep step;
    if (!actions.empty()) {
        actions.back().setDelayCount(static_cast<std::uint16_t>(delay / 10));
        step.delayed = actions.size() - 1;
    }
    action.setDelayCount(0);
    actions.push_back(std::move(action));
    step.appended = actions.size() - 1;
    return step;
}

}  // namespace korvane::macros
