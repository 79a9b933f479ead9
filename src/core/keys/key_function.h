#pragma once

#include <cstddef>
#include <cstdint>

namespace korvane::keys {

// What one key or button does. The three bytes are the same in memory, in key profile
// files and on the wire, so the struct is used directly as the byte layout.
struct KeyFunction {
    std::uint8_t type = 0;
    std::uint8_t p1 = 0;
    std::uint8_t p2 = 0;

    friend constexpr bool operator==(const KeyFunction&, const KeyFunction&) = default;
};
static_assert(sizeof(KeyFunction) == 3);
static_assert(alignof(KeyFunction) == 1);

// Function types the device firmware understands. Types outside this list (0x15, 0x21, 0x50,
// 0x60, 0xB0, 0xC0 and anything else) may arrive from a device or a file; they are kept
// byte for byte.
namespace KeyFunctionType {
inline constexpr std::uint8_t kFactoryDefault = 0x00;
inline constexpr std::uint8_t kNoFunction = 0x05;
inline constexpr std::uint8_t kMouseButton = 0x10;
inline constexpr std::uint8_t kHorizontalScroll = 0x11;
inline constexpr std::uint8_t kVerticalScroll = 0x12;
inline constexpr std::uint8_t kDpiControl = 0x13;
inline constexpr std::uint8_t kFireKey = 0x14;
inline constexpr std::uint8_t kKeyboardKey = 0x20;
inline constexpr std::uint8_t kConsumerKeyAlt = 0x21;  // labelled like kConsumerKey
inline constexpr std::uint8_t kConsumerKey = 0x30;
inline constexpr std::uint8_t kSystemKey = 0x40;
inline constexpr std::uint8_t kMacroRun = 0x70;
inline constexpr std::uint8_t kMacroRepeat = 0x71;
inline constexpr std::uint8_t kGunSequence = 0x72;
inline constexpr std::uint8_t kFnKey = 0xA0;
}  // namespace KeyFunctionType

// HID modifier bits (P1 of a KeyboardKey record).
namespace Modifier {
inline constexpr std::uint8_t kLeftCtrl = 0x01;
inline constexpr std::uint8_t kLeftShift = 0x02;
inline constexpr std::uint8_t kLeftAlt = 0x04;
inline constexpr std::uint8_t kLeftGui = 0x08;
inline constexpr std::uint8_t kRightCtrl = 0x10;
inline constexpr std::uint8_t kRightShift = 0x20;
inline constexpr std::uint8_t kRightAlt = 0x40;
inline constexpr std::uint8_t kRightGui = 0x80;
}  // namespace Modifier

// Mouse button bits (P1 of a MouseButton record).
namespace MouseButtonBit {
inline constexpr std::uint8_t kLeft = 0x01;
inline constexpr std::uint8_t kRight = 0x02;
inline constexpr std::uint8_t kMiddle = 0x04;
inline constexpr std::uint8_t kBack = 0x08;
inline constexpr std::uint8_t kForward = 0x10;
}  // namespace MouseButtonBit

inline constexpr KeyFunction kNoFunction{KeyFunctionType::kNoFunction, 0x05, 0x05};
inline constexpr KeyFunction kFnKeyFunction{KeyFunctionType::kFnKey, 0x02, 0x02};
inline constexpr KeyFunction kLeftClick{KeyFunctionType::kMouseButton, MouseButtonBit::kLeft, 0};

constexpr KeyFunction keyboardKey(std::uint8_t usage) {
    return {KeyFunctionType::kKeyboardKey, 0, usage};
}
constexpr KeyFunction modifierKey(std::uint8_t modifierBit) {
    return {KeyFunctionType::kKeyboardKey, modifierBit, 0};
}
constexpr KeyFunction mouseButton(std::uint8_t buttonBit) {
    return {KeyFunctionType::kMouseButton, buttonBit, 0};
}
constexpr KeyFunction consumerKey(std::uint16_t usage) {
    return {KeyFunctionType::kConsumerKey, static_cast<std::uint8_t>(usage & 0xFF),
            static_cast<std::uint8_t>(usage >> 8)};
}

}  // namespace korvane::keys
