#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace korvane::gui {

// Where one element of a device picture sits, in grid units of the picture (keyboards:
// quarter key widths; mouse and pad: a 100 × 100 field). Width 0: no element there.
struct PictureCell {
    std::int16_t x;
    std::int16_t y;
    std::int16_t w;
    std::int16_t h;
    std::string_view label;
};

enum class PictureKind : std::uint8_t { Keyboard, Mouse, MousePad };

// The 126 keyboard picture positions (six rows of 21) placed as on the keyboard: function
// row, main block with the ISO key beside the left Shift, navigation block and number pad,
// and the lighted positions above the number pad.
inline constexpr std::array<PictureCell, 126> kKeyboardCells = [] {
    std::array<PictureCell, 126> cells{};
    auto at = [&cells](int position, int x, int y, int w, int h, std::string_view label) {
        cells[static_cast<std::size_t>(position)] = {
            static_cast<std::int16_t>(x), static_cast<std::int16_t>(y),
            static_cast<std::int16_t>(w), static_cast<std::int16_t>(h), label};
    };
    // Row 0: Esc, F1..F12 in groups of four, Print Screen, Scroll Lock, Pause.
    constexpr std::array<std::string_view, 16> fRow{"Esc", "F1",  "F2",  "F3", "F4",  "F5",
                                                    "F6",  "F7",  "F8",  "F9", "F10", "F11",
                                                    "F12", "Prt", "Scr", "Pau"};
    constexpr std::array<int, 16> fX{0, 8, 12, 16, 20, 26, 30, 34, 38, 44, 48, 52, 56, 61, 65, 69};
    for (int i = 0; i < 16; ++i) {
        at(i, fX[static_cast<std::size_t>(i)], 0, 4, 4, fRow[static_cast<std::size_t>(i)]);
    }
    // Row 1 (y 5): ` 1..0 - = BackSpace, Insert Home PageUp, NumLock / * -.
    constexpr std::array<std::string_view, 13> numbers{"`", "1", "2", "3", "4", "5", "6",
                                                       "7", "8", "9", "0", "-", "="};
    for (int i = 0; i < 13; ++i) {
        at(21 + i, 4 * i, 5, 4, 4, numbers[static_cast<std::size_t>(i)]);
    }
    at(34, 52, 5, 8, 4, "Back");
    at(35, 61, 5, 4, 4, "Ins");
    at(36, 65, 5, 4, 4, "Home");
    at(37, 69, 5, 4, 4, "PgUp");
    at(38, 74, 5, 4, 4, "Num");
    at(39, 78, 5, 4, 4, "/");
    at(40, 82, 5, 4, 4, "*");
    at(41, 86, 5, 4, 4, "-");
    // Row 2 (y 9): Tab Q..] \, Delete End PageDown, 7 8 9.
    at(42, 0, 9, 6, 4, "Tab");
    constexpr std::array<std::string_view, 12> qRow{"Q", "W", "E", "R", "T", "Y",
                                                    "U", "I", "O", "P", "[", "]"};
    for (int i = 0; i < 12; ++i) {
        at(43 + i, 6 + 4 * i, 9, 4, 4, qRow[static_cast<std::size_t>(i)]);
    }
    at(55, 54, 9, 6, 4, "\\");
    at(56, 61, 9, 4, 4, "Del");
    at(57, 65, 9, 4, 4, "End");
    at(58, 69, 9, 4, 4, "PgDn");
    at(59, 74, 9, 4, 4, "7");
    at(60, 78, 9, 4, 4, "8");
    at(61, 82, 9, 4, 4, "9");
    // Row 3 (y 13): CapsLock A..' Enter, 4 5 6.
    at(63, 0, 13, 7, 4, "Caps");
    constexpr std::array<std::string_view, 11> aRow{"A", "S", "D", "F", "G", "H",
                                                    "J", "K", "L", ";", "'"};
    for (int i = 0; i < 11; ++i) {
        at(64 + i, 7 + 4 * i, 13, 4, 4, aRow[static_cast<std::size_t>(i)]);
    }
    at(75, 51, 13, 9, 4, "Enter");
    at(76, 74, 13, 4, 4, "4");
    at(77, 78, 13, 4, 4, "5");
    at(78, 82, 13, 4, 4, "6");
    // Row 4 (y 17): LShift, ISO key, Z../ RShift, Up, 1 2 3.
    at(84, 0, 17, 5, 4, "Shift");
    at(102, 5, 17, 4, 4, "\\");
    constexpr std::array<std::string_view, 10> zRow{"Z", "X", "C", "V", "B",
                                                    "N", "M", ",", ".", "/"};
    for (int i = 0; i < 10; ++i) {
        at(85 + i, 9 + 4 * i, 17, 4, 4, zRow[static_cast<std::size_t>(i)]);
    }
    at(95, 49, 17, 11, 4, "Shift");
    at(96, 65, 17, 4, 4, "↑");
    at(97, 74, 17, 4, 4, "1");
    at(98, 78, 17, 4, 4, "2");
    at(99, 82, 17, 4, 4, "3");
    // Row 5 (y 21): Ctrl Win Alt Space Alt Win Fn Menu Ctrl, arrows, 0 . and the tall keys.
    at(105, 0, 21, 5, 4, "Ctrl");
    at(106, 5, 21, 5, 4, "Win");
    at(107, 10, 21, 5, 4, "Alt");
    at(108, 15, 21, 25, 4, "");
    at(109, 40, 21, 4, 4, "Alt");
    at(125, 44, 21, 4, 4, "Win");
    at(110, 48, 21, 4, 4, "Fn");
    at(111, 52, 21, 4, 4, "Menu");
    at(112, 56, 21, 4, 4, "Ctrl");
    at(113, 61, 21, 4, 4, "←");
    at(114, 65, 21, 4, 4, "↓");
    at(115, 69, 21, 4, 4, "→");
    at(116, 74, 21, 8, 4, "0");
    at(117, 82, 21, 4, 4, ".");
    // Above the number pad: three lighted keys of the lighting matrices that carry no key
    // function of their own.
    at(122, 74, 0, 4, 4, "");
    at(123, 78, 0, 4, 4, "");
    at(124, 82, 0, 4, 4, "");
    at(118, 86, 17, 4, 8, "Ent");
    at(119, 86, 9, 4, 8, "+");
    return cells;
}();
inline constexpr int kKeyboardGridWidth = 90;
// Positions that light up but carry no key function.
inline constexpr std::array<int, 3> kLightOnlyPositions{122, 123, 124};
inline constexpr int kKeyboardGridHeight = 25;

// The mouse's 20 LEDs on a 100 × 100 field: wheel, logo, then nine down each side strip.
inline constexpr std::array<PictureCell, 20> kMouseCells = [] {
    std::array<PictureCell, 20> cells{};
    cells[0] = {46, 14, 8, 12, ""};
    cells[1] = {44, 64, 12, 10, ""};
    for (int i = 0; i < 9; ++i) {
        const auto y = static_cast<std::int16_t>(12 + 8 * i);
        cells[static_cast<std::size_t>(2 + i)] = {24, y, 5, 6, ""};
        cells[static_cast<std::size_t>(11 + i)] = {71, y, 5, 6, ""};
    }
    return cells;
}();

// The pad's 15 LEDs along its edge on a 100 × 100 field: five on top, five at the bottom
// (right to left), and the logo corner with five around it on the right.
inline constexpr std::array<PictureCell, 15> kMousePadCells = [] {
    std::array<PictureCell, 15> cells{};
    for (int i = 0; i < 5; ++i) {
        cells[static_cast<std::size_t>(i)] = {static_cast<std::int16_t>(8 + 18 * i), 6, 12, 5, ""};
        cells[static_cast<std::size_t>(5 + i)] = {93, static_cast<std::int16_t>(10 + 17 * i), 5, 12,
                                                  ""};
        cells[static_cast<std::size_t>(10 + i)] = {static_cast<std::int16_t>(80 - 18 * i), 89, 12,
                                                   5, ""};
    }
    return cells;
}();

// The cells of a kind and its grid size.
struct PictureLayout {
    std::span<const PictureCell> cells;
    int gridWidth;
    int gridHeight;
};
PictureLayout layoutOf(PictureKind kind);
// The "picture" name of the skin ("keyboard", "keyboard_region", "keyboard_membrane",
// "mouse", "mouse2", "mousepad").
PictureKind pictureKindOf(std::string_view picture);

}  // namespace korvane::gui
