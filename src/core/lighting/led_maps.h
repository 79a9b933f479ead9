#pragma once

// Key index → LED position maps of the keyboards, and where the zoned
// keyboards expect each LED group in their frame.

#include <array>
#include <cstddef>
#include <cstdint>

#include "core/lighting/table_builder.h"

namespace korvane::lighting {

inline constexpr std::size_t kKeyCount = 126;
inline constexpr std::uint8_t kNoLed = 126;  // the key drives no LED

using LedMap = std::array<std::uint8_t, kKeyCount>;

inline constexpr LedMap RgbLedMap = std::to_array<std::uint8_t>({
    0,   1,   2,   3,   4,   5,   6,   7,   8,   9,   10,  11,  12,  14,  15,  16,  17,  17,
    18,  19,  20,  21,  22,  23,  24,  25,  26,  27,  28,  29,  30,  31,  32,  33,  34,  35,
    36,  37,  38,  39,  40,  41,  42,  43,  44,  45,  46,  47,  48,  49,  50,  51,  52,  53,
    54,  55,  56,  57,  58,  59,  60,  61,  126, 63,  64,  65,  66,  67,  68,  69,  70,  71,
    72,  73,  74,  76,  80,  81,  82,  126, 126, 126, 126, 126, 84,  86,  87,  88,  89,  90,
    91,  92,  93,  94,  95,  97,  99,  101, 102, 103, 126, 126, 126, 126, 126, 105, 106, 107,
    108, 109, 110, 111, 113, 119, 120, 121, 123, 124, 104, 62,  126, 126, 126, 126, 126, 126,
});

inline constexpr LedMap MonoLedMap = std::to_array<std::uint8_t>({
    0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10,  11,  12,  13,  14,  15,  126, 126, 126, 126, 126,
    18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28,  29,  30,  31,  32,  33,  34,  53,  35,  71,  89,
    36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46,  47,  48,  49,  50,  51,  52,  68,  69,  70,  126,
    54, 55, 56, 57, 58, 59, 60, 61, 62, 63, 64,  65,  67,  86,  87,  88,  126, 126, 126, 126, 126,
    72, 74, 75, 76, 77, 78, 79, 80, 81, 82, 83,  84,  85,  103, 104, 105, 126, 126, 126, 126, 126,
    90, 91, 92, 93, 94, 95, 96, 97, 98, 99, 100, 101, 102, 106, 107, 126, 126, 122, 123, 124, 125,
});

// Custom painting of the zoned keyboards maps a key to the key whose zone it
// paints.
inline constexpr LedMap kZonedPaintLedMap = detail::TableBuilder<kKeyCount>()
                                                .run(0, 15)
                                                .add({17, 17})
                                                .run(18, 61)
                                                .add({126})
                                                .run(63, 78)
                                                .repeat(126, 5)
                                                .run(84, 99)
                                                .repeat(126, 5)
                                                .run(105, 119)
                                                .repeat(126, 6)
                                                .build();

inline constexpr std::size_t kZoneCount = 6;
inline constexpr std::size_t kZoneGroupCount = 12;  // zone z drives groups 2z and 2z + 1

using ZoneGroupPositionTable = std::array<std::uint8_t, 3 * kZoneGroupCount>;

namespace detail {

inline constexpr ZoneGroupPositionTable kRegionGroupPositions = std::to_array<std::uint8_t>(
    {16, 15, 17, 19, 18, 20, 22, 21, 23, 13, 12, 14, 10, 9,  11, 4,  3,  5,
     7,  6,  8,  1,  0,  2,  25, 24, 26, 34, 33, 35, 31, 30, 32, 28, 27, 29});

constexpr ZoneGroupPositionTable membraneGroupPositions() {
    ZoneGroupPositionTable table = kRegionGroupPositions;
    constexpr std::array<std::uint8_t, 6> swapped{7, 6, 8, 4, 3, 5};
    for (std::size_t i = 0; i < swapped.size(); ++i) {
        table[15 + i] = swapped[i];
    }
    return table;
}

}  // namespace detail

// Byte positions of red, green and blue of LED group g at entries 3g..3g+2.
struct ZoneGroupPositions {
    static constexpr ZoneGroupPositionTable region = detail::kRegionGroupPositions;
    static constexpr ZoneGroupPositionTable membrane = detail::membraneGroupPositions();
};

}  // namespace korvane::lighting
