#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace korvane::backends::x11 {

// A physical key as the key catalogue knows it: the virtual-key code (with the catalogue's
// pseudo codes 0x103..0x105 for power, sleep and wake), the PC scan code and the extended flag
// (right-hand modifiers, navigation block, numeric-pad Enter and slash, media keys).
struct VirtualKey {
    std::uint16_t vkCode;
    std::uint16_t scanCode;
    bool extended;
};

// One row of the translation: the X keycode of the key under the evdev keycodes every X server
// with a current keyboard driver uses (Linux input code + 8), and what the key is. Keys are
// translated by position, not by the layout's symbols: the key left of S is A whatever it
// prints, as the device sends it.
struct KeycodeRow {
    std::uint8_t keycode;
    VirtualKey key;
};

// clang-format off
inline constexpr std::array<KeycodeRow, 125> kKeycodeRows{{
    // Modifiers.
    {37, {0xA2, 0x1D, false}},   // left Ctrl
    {50, {0xA0, 0x2A, false}},   // left Shift
    {64, {0xA4, 0x38, false}},   // left Alt
    {133, {0x5B, 0x5B, true}},   // left Super
    {105, {0xA3, 0x1D, true}},   // right Ctrl
    {62, {0xA1, 0x36, false}},   // right Shift
    {108, {0xA5, 0x38, true}},   // right Alt (AltGr)
    {134, {0x5C, 0x5C, true}},   // right Super
    // Letters.
    {38, {0x41, 0x1E, false}}, {56, {0x42, 0x30, false}}, {54, {0x43, 0x2E, false}},
    {40, {0x44, 0x20, false}}, {26, {0x45, 0x12, false}}, {41, {0x46, 0x21, false}},
    {42, {0x47, 0x22, false}}, {43, {0x48, 0x23, false}}, {31, {0x49, 0x17, false}},
    {44, {0x4A, 0x24, false}}, {45, {0x4B, 0x25, false}}, {46, {0x4C, 0x26, false}},
    {58, {0x4D, 0x32, false}}, {57, {0x4E, 0x31, false}}, {32, {0x4F, 0x18, false}},
    {33, {0x50, 0x19, false}}, {24, {0x51, 0x10, false}}, {27, {0x52, 0x13, false}},
    {39, {0x53, 0x1F, false}}, {28, {0x54, 0x14, false}}, {30, {0x55, 0x16, false}},
    {55, {0x56, 0x2F, false}}, {25, {0x57, 0x11, false}}, {53, {0x58, 0x2D, false}},
    {29, {0x59, 0x15, false}}, {52, {0x5A, 0x2C, false}},
    // Digits 1..9, 0.
    {10, {0x31, 0x02, false}}, {11, {0x32, 0x03, false}}, {12, {0x33, 0x04, false}},
    {13, {0x34, 0x05, false}}, {14, {0x35, 0x06, false}}, {15, {0x36, 0x07, false}},
    {16, {0x37, 0x08, false}}, {17, {0x38, 0x09, false}}, {18, {0x39, 0x0A, false}},
    {19, {0x30, 0x0B, false}},
    // Enter, Esc, Backspace, Tab, Space.
    {36, {0x0D, 0x1C, false}}, {9, {0x1B, 0x01, false}}, {22, {0x08, 0x0E, false}},
    {23, {0x09, 0x0F, false}}, {65, {0x20, 0x39, false}},
    // - = [ ] \ ; ' ` , . /
    {20, {0xBD, 0x0C, false}}, {21, {0xBB, 0x0D, false}}, {34, {0xDB, 0x1A, false}},
    {35, {0xDD, 0x1B, false}}, {51, {0xDC, 0x2B, false}}, {47, {0xBA, 0x27, false}},
    {48, {0xDE, 0x28, false}}, {49, {0xC0, 0x29, false}}, {59, {0xBC, 0x33, false}},
    {60, {0xBE, 0x34, false}}, {61, {0xBF, 0x35, false}},
    // Caps Lock, F1..F12.
    {66, {0x14, 0x3A, false}},
    {67, {0x70, 0x3B, false}}, {68, {0x71, 0x3C, false}}, {69, {0x72, 0x3D, false}},
    {70, {0x73, 0x3E, false}}, {71, {0x74, 0x3F, false}}, {72, {0x75, 0x40, false}},
    {73, {0x76, 0x41, false}}, {74, {0x77, 0x42, false}}, {75, {0x78, 0x43, false}},
    {76, {0x79, 0x44, false}}, {95, {0x7A, 0x57, false}}, {96, {0x7B, 0x58, false}},
    // Print Screen, Scroll Lock, Pause.
    {107, {0x2C, 0x37, true}}, {78, {0x91, 0x46, false}}, {127, {0x13, 0x45, false}},
    // Insert, Home, Page Up, Delete, End, Page Down.
    {118, {0x2D, 0x52, true}}, {110, {0x24, 0x47, true}}, {112, {0x21, 0x49, true}},
    {119, {0x2E, 0x53, true}}, {115, {0x23, 0x4F, true}}, {117, {0x22, 0x51, true}},
    // Right, Left, Down, Up.
    {114, {0x27, 0x4D, true}}, {113, {0x25, 0x4B, true}}, {116, {0x28, 0x50, true}},
    {111, {0x26, 0x48, true}},
    // Numeric pad: Num Lock, / * - +, Enter, 1..9, 0, decimal point.
    {77, {0x90, 0x45, true}}, {106, {0x6F, 0x35, true}}, {63, {0x6A, 0x37, false}},
    {82, {0x6D, 0x4A, false}}, {86, {0x6B, 0x4E, false}}, {104, {0x0D, 0x1C, true}},
    {87, {0x61, 0x4F, false}}, {88, {0x62, 0x50, false}}, {89, {0x63, 0x51, false}},
    {83, {0x64, 0x4B, false}}, {84, {0x65, 0x4C, false}}, {85, {0x66, 0x4D, false}},
    {79, {0x67, 0x47, false}}, {80, {0x68, 0x48, false}}, {81, {0x69, 0x49, false}},
    {90, {0x60, 0x52, false}}, {91, {0x6E, 0x53, false}},
    // Menu (application) key.
    {135, {0x5D, 0x5D, true}},
    // Launch and browser keys, media keys.
    {148, {0xB7, 0x21, true}},   // calculator (launch application 2)
    {180, {0xAC, 0x32, true}},   // browser home
    {172, {0xB3, 0x22, true}},   // play / pause
    {225, {0xAA, 0x65, true}},   // browser search
    {163, {0xB4, 0x6C, true}},   // mail
    {123, {0xAF, 0x30, true}},   // volume up
    {121, {0xAD, 0x20, true}},   // mute
    {174, {0xB2, 0x24, true}},   // stop
    {122, {0xAE, 0x2E, true}},   // volume down
    {164, {0xAB, 0x66, true}},   // browser favourites
    {167, {0xA7, 0x69, true}},   // browser forward
    {166, {0xA6, 0x6A, true}},   // browser back
    {173, {0xB1, 0x10, true}},   // previous track
    {171, {0xB0, 0x19, true}},   // next track
    {165, {0xB6, 0x6B, true}},   // my computer (launch application 1)
    {181, {0xA8, 0x67, true}},   // browser refresh
    {234, {0xB5, 0x6D, true}},   // media select
    // Power, sleep, wake.
    {124, {0x103, 0x5E, true}},
    {150, {0x104, 0x5F, true}},
    {151, {0x105, 0x63, true}},
    // The extra key of ISO keyboards (left of Z), which the catalogue does not list.
    {94, {0xE2, 0x56, false}},
}};
// clang-format on

// The key of an X keycode; none for keycodes the table does not list.
std::optional<VirtualKey> TranslateKeycode(unsigned keycode);

// The X keycode of a virtual-key code with that extended flag (the numeric-pad Enter is 0x0D
// extended); none when no key gives it.
std::optional<std::uint8_t> KeycodeForVirtualKey(std::uint16_t vkCode, bool extended);

}  // namespace korvane::backends::x11
