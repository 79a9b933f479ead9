#include "core/macros/macro_action.h"

#include <array>

#include "core/platform/text.h"

namespace korvane::macros {

namespace {

struct ButtonName {
    std::uint8_t code;
    std::string_view name;
};

constexpr std::array<ButtonName, 5> kButtonNames{{
    {kButtonLeft, "mouse_key_left"},
    {kButtonMiddle, "mouse_key_middle"},
    {kButtonRight, "mouse_key_right"},
    {kButtonForward, "mouse_key_forward"},
    {kButtonBack, "mouse_key_back"},
}};

std::optional<std::uint8_t> byteField(std::string_view text) {
    const long value = platform::parseLong(text);
    if (value < 0 || value > 255) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(value);
}

}  // namespace

std::optional<MacroAction> ParseAction(std::string_view text) {
    // Positions of the last five commas, rightmost first.
    std::array<std::size_t, 5> commas{};
    std::size_t end = text.size();
    for (std::size_t i = 0; i < commas.size(); ++i) {
        if (end == 0) {
            return std::nullopt;
        }
        const std::size_t pos = text.rfind(',', end - 1);
        if (pos == std::string_view::npos) {
            return std::nullopt;
        }
        commas[i] = pos;
        end = pos;
    }
    auto between = [&](std::size_t left, std::size_t right) {
        return text.substr(left + 1, right - left - 1);
    };
    const auto delayLow = byteField(text.substr(0, commas[4]));
    const auto delayHigh = byteField(between(commas[4], commas[3]));
    const auto kind = byteField(between(commas[3], commas[2]));
    const auto code = byteField(between(commas[2], commas[1]));
    if (!delayLow || !delayHigh || !kind || !code) {
        return std::nullopt;
    }
    MacroAction action;
    action.delayLow = *delayLow;
    action.delayHigh = *delayHigh;
    action.kind = *kind;
    action.code = *code;
    action.down = platform::parseLong(between(commas[1], commas[0])) != 0 ? 1 : 0;
    action.name = std::string(text.substr(commas[0] + 1));
    return action;
}

std::string FormatAction(const MacroAction& action) {
    std::string text;
    for (const int value : {int{action.delayLow}, int{action.delayHigh}, int{action.kind},
                            int{action.code}, int{action.down}}) {
        text += std::to_string(value);
        text += ',';
    }
    // The text is read from the right, so a comma in the name would shift every field.
    for (const char c : action.name) {
        if (c != ',') {
            text += c;
        }
    }
    return text;
}

std::array<std::uint8_t, 4> ActionWireBytes(std::string_view text) {
    if (const auto action = ParseAction(text)) {
        return action->wireBytes();
    }
    return {0, 0, 0, 0};
}

MacroAction MakeHorizontalMove(bool left, std::uint8_t distance) {
    MacroAction action;
    action.kind = left ? (kKindHorizontalMove | kKindPressBit) : kKindHorizontalMove;
    action.code = distance;
    action.down = left ? 1 : 0;
    action.name = std::string(left ? kMoveLeftName : kMoveRightName);
    return action;
}

MacroAction MakeVerticalMove(bool up, std::uint8_t distance) {
    MacroAction action;
    action.kind = up ? (kKindVerticalMove | kKindPressBit) : kKindVerticalMove;
    action.code = distance;
    action.down = up ? 1 : 0;
    action.name = std::string(up ? kMoveUpName : kMoveDownName);
    return action;
}

MacroAction MakeMouseButton(std::uint8_t button, bool press) {
    MacroAction action;
    action.kind = press ? (kKindMouseButton | kKindPressBit) : kKindMouseButton;
    action.code = button;
    action.down = press ? 1 : 0;
    action.name = std::string(MouseEventName(action.kind, button));
    return action;
}

std::uint16_t DelayCountFromMs(long ms) {
    if (ms <= 0) {
        return 0;
    }
    const long count = ms / 10;
    return count > kMaxDelayCount ? kMaxDelayCount : static_cast<std::uint16_t>(count);
}

std::string_view MouseEventName(std::uint8_t kind, std::uint8_t code) {
    const bool high = (kind & kKindPressBit) != 0;
    switch (kind & 0x7F) {
        case kKindMouseButton:
            for (const auto& button : kButtonNames) {
                if (button.code == code) {
                    return button.name;
                }
            }
            return {};
        case kKindHorizontalMove:
            return high ? kMoveLeftName : kMoveRightName;
        case kKindVerticalMove:
            return high ? kMoveUpName : kMoveDownName;
        default:
            return {};
    }
}

}  // namespace korvane::macros
