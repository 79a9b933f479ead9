#pragma once

// Picture layouts of the mouse and mouse-pad effects.

#include <array>
#include <cstddef>
#include <cstdint>

namespace korvane::lighting {

inline constexpr std::size_t kMouseLeds = 20;
inline constexpr std::size_t kPadLeds = 15;

// Seven columns of three mouse LEDs.
inline constexpr std::array<std::array<std::uint8_t, 3>, 7> MouseColumns{{
    {{0, 7, 19}},
    {{1, 8, 18}},
    {{2, 9, 9}},
    {{3, 10, 14}},
    {{4, 11, 15}},
    {{5, 12, 16}},
    {{6, 13, 17}},
}};

// The 15 pad LEDs as 7 columns, stored as 5 rows of 7 columns; -1 = none.
// Column 0 holds LEDs 0..4, columns 1..5 LED 4 + c, column 6 LEDs 14 down to 10.
inline constexpr std::array<std::array<std::int8_t, 7>, 5> PadColumns{{
    {{0, -1, -1, -1, -1, -1, 14}},
    {{1, -1, -1, -1, -1, -1, 13}},
    {{2, -1, -1, -1, -1, -1, 12}},
    {{3, -1, -1, -1, -1, -1, 11}},
    {{4, 5, 6, 7, 8, 9, 10}},
}};

}  // namespace korvane::lighting
