#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "core/keys/key_function.h"

namespace korvane::keys {

inline constexpr std::size_t kPicturePositions = 126;

namespace layout_detail {
constexpr KeyFunction K(std::uint8_t usage) {
    return keyboardKey(usage);
}
constexpr KeyFunction M(std::uint8_t modifierBit) {
    return modifierKey(modifierBit);
}
// A picture position without a key of its own; no base record carries it, so it never maps.
inline constexpr KeyFunction kNone{KeyFunctionType::kKeyboardKey, 0, 0};
inline constexpr KeyFunction kFn = kFnKeyFunction;
}  // namespace layout_detail

// The function each of the 126 keyboard picture positions carries by default. The picture
// is six rows of 21 positions; the comments give the first position of each row.
inline constexpr std::array<KeyFunction, kPicturePositions> kKeyboardPictureLayout = [] {
    using namespace layout_detail;
    return std::array<KeyFunction, kPicturePositions>{
        // 0: Esc, F1..F12, Print Screen, Scroll Lock, Pause, 16..20 empty
        K(0x29), K(0x3A), K(0x3B), K(0x3C), K(0x3D), K(0x3E), K(0x3F), K(0x40), K(0x41), K(0x42),
        K(0x43), K(0x44), K(0x45), K(0x46), K(0x47), K(0x48), kNone, kNone, kNone, kNone, kNone,
        // 21: ` 1..0 - = BackSpace Insert Home PageUp NumLock Num/ Num* Num-
        K(0x35), K(0x1E), K(0x1F), K(0x20), K(0x21), K(0x22), K(0x23), K(0x24), K(0x25), K(0x26),
        K(0x27), K(0x2D), K(0x2E), K(0x2A), K(0x49), K(0x4A), K(0x4B), K(0x53), K(0x54), K(0x55),
        K(0x56),
        // 42: Tab Q..P [ ] \ Delete End PageDown Num7 Num8 Num9, 62 empty
        K(0x2B), K(0x14), K(0x1A), K(0x08), K(0x15), K(0x17), K(0x1C), K(0x18), K(0x0C), K(0x12),
        K(0x13), K(0x2F), K(0x30), K(0x31), K(0x4C), K(0x4D), K(0x4E), K(0x5F), K(0x60), K(0x61),
        kNone,
        // 63: CapsLock A..L ; ' Enter Num4 Num5 Num6, 79..83 empty
        K(0x39), K(0x04), K(0x16), K(0x07), K(0x09), K(0x0A), K(0x0B), K(0x0D), K(0x0E), K(0x0F),
        K(0x33), K(0x34), K(0x28), K(0x5C), K(0x5D), K(0x5E), kNone, kNone, kNone, kNone, kNone,
        // 84: LShift Z..M , . / RShift Up Num1 Num2 Num3, 100..101 empty, 102 ISO key, 103..104
        M(Modifier::kLeftShift), K(0x1D), K(0x1B), K(0x06), K(0x19), K(0x05), K(0x11), K(0x10),
        K(0x36), K(0x37), K(0x38), M(Modifier::kRightShift), K(0x52), K(0x59), K(0x5A), K(0x5B),
        kNone, kNone, K(0x64), kNone, kNone,
        // 105: LCtrl LGui LAlt Space RAlt Fn App RCtrl Left Down Right Num0 Num. NumEnter Num+,
        // 120..124 empty, 125 RGui
        M(Modifier::kLeftCtrl), M(Modifier::kLeftGui), M(Modifier::kLeftAlt), K(0x2C),
        M(Modifier::kRightAlt), kFn, K(0x65), M(Modifier::kRightCtrl), K(0x50), K(0x51), K(0x4F),
        K(0x62), K(0x63), K(0x58), K(0x57), kNone, kNone, kNone, kNone, kNone,
        M(Modifier::kRightGui)};
}();

// Whether the position shows a key of its own (not an empty place of the picture).
constexpr bool isKeyPosition(std::size_t position) {
    return position < kPicturePositions && kKeyboardPictureLayout[position] != layout_detail::kNone;
}

}  // namespace korvane::keys
