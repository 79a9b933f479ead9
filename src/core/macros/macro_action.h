#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvane::macros {

// Event kinds of an action (the low 7 bits of its kind byte); bit 7 is the press flag
// (for moves: left or up).
inline constexpr std::uint8_t kKindMouseButton = 0x01;
inline constexpr std::uint8_t kKindHorizontalMove = 0x04;
inline constexpr std::uint8_t kKindVerticalMove = 0x05;
inline constexpr std::uint8_t kKindModifierKey = 0x09;
inline constexpr std::uint8_t kKindKeyboardKey = 0x0A;
inline constexpr std::uint8_t kKindPressBit = 0x80;

// Mouse button codes of kind 0x01.
inline constexpr std::uint8_t kButtonLeft = 0x01;
inline constexpr std::uint8_t kButtonRight = 0x02;
inline constexpr std::uint8_t kButtonMiddle = 0x04;
inline constexpr std::uint8_t kButtonBack = 0x08;
inline constexpr std::uint8_t kButtonForward = 0x10;

inline constexpr std::string_view kMoveLeftName = "mouse_move_to_left_text";
inline constexpr std::string_view kMoveRightName = "mouse_move_to_right_text";
inline constexpr std::string_view kMoveUpName = "mouse_move_to_up_text";
inline constexpr std::string_view kMoveDownName = "mouse_move_to_down_text";

// The largest delay count (units of 10 ms) and pointer move distance an action can carry.
inline constexpr std::uint16_t kMaxDelayCount = 65535;
inline constexpr std::uint8_t kMaxMoveDistance = 255;

// One step of a macro or cursor sequence. Only the four leading bytes reach the device;
// the down flag and the name (a text ID) exist for the lists and the files.
struct MacroAction {
    std::uint8_t delayLow = 0;
    std::uint8_t delayHigh = 0;
    std::uint8_t kind = 0;
    std::uint8_t code = 0;
    std::uint8_t down = 0;  // 0 or 1
    std::string name;

    std::uint16_t delayCount() const {
        return static_cast<std::uint16_t>(delayHigh * 256 + delayLow);
    }
    void setDelayCount(std::uint16_t count) {
        delayLow = static_cast<std::uint8_t>(count & 0xFF);
        delayHigh = static_cast<std::uint8_t>(count >> 8);
    }
    // The delay as lists show it: count x 10 ms.
    long delayMs() const { return static_cast<long>(delayCount()) * 10; }

    std::uint8_t eventKind() const { return kind & 0x7F; }
    bool isPress() const { return (kind & kKindPressBit) != 0; }
    // Kinds below the modifier key are mouse events (buttons and moves).
    bool isMouseEvent() const { return eventKind() < kKindModifierKey; }
    bool isMove() const {
        return eventKind() == kKindHorizontalMove || eventKind() == kKindVerticalMove;
    }

    std::array<std::uint8_t, 4> wireBytes() const { return {delayLow, delayHigh, kind, code}; }

    bool operator==(const MacroAction&) const = default;
};

// Reads an action text "delay low,delay high,kind,code,down,name" from the right: the name
// is everything after the last comma, the four numbers before it sit between the preceding
// commas, and delay low is whatever precedes the fifth comma from the right. Numbers use
// the settings files' conversion (leading blanks and a sign allowed, no digits read as 0).
// Not an action: fewer than five commas, or a byte field outside 0..255 (a damaged file
// must not turn into a different event). The down flag is 1 for any non-zero value.
std::optional<MacroAction> ParseAction(std::string_view text);

// "%d,%d,%d,%d,%d,%s". Names are text IDs and contain no comma; one that does loses its
// commas, so that the text still reads back as the same action.
std::string FormatAction(const MacroAction& action);

// The four bytes an action text contributes to a device image: four zero bytes when the
// text is not an action (a missing key reads as "0").
std::array<std::uint8_t, 4> ActionWireBytes(std::string_view text);

// Builders for the events the editors insert. Delay counts default to 0.
MacroAction MakeHorizontalMove(bool left, std::uint8_t distance);
MacroAction MakeVerticalMove(bool up, std::uint8_t distance);
MacroAction MakeMouseButton(std::uint8_t button, bool press);

// Delay entered in milliseconds → delay count: ms / 10, clamped to 0..65535.
std::uint16_t DelayCountFromMs(long ms);

// The text ID of a mouse event: buttons by code ("mouse_key_left" ...), moves by direction.
// Empty for keyboard kinds and unknown codes.
std::string_view MouseEventName(std::uint8_t kind, std::uint8_t code);

}  // namespace korvane::macros
