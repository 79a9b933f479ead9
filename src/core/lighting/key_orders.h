#pragma once

// Key sequences of the keyboard effects: the serpentine and running-light
// orders, the order in which rain drops start, and the start phases of the
// column twinkles.

#include <array>
#include <cstddef>
#include <cstdint>

#include "core/lighting/table_builder.h"

namespace korvane::lighting {

inline constexpr std::size_t kSnakeLength = 110;

namespace detail {

// The RGB keyboard's top-right keys 17..20 are 122..125 on the mono keyboard.
constexpr std::array<std::uint8_t, kSnakeLength> snakeOrder(bool mono) {
    TableBuilder<kSnakeLength> b;
    if (mono) {
        b.add({122, 123, 124, 125});
    } else {
        b.add({17, 18, 19, 20});
    }
    return b.run(15, 0)
        .add({21, 42, 63, 84, 105})
        .run(106, 119)
        .run(41, 22)
        .add({43, 64, 85})
        .run(86, 99)
        .add({78})
        .run(61, 44)
        .run(65, 77)
        .add({126, 126})
        .build();
}

constexpr std::array<std::uint8_t, kSnakeLength> runOrder(bool mono) {
    TableBuilder<kSnakeLength> b;
    b.run(0, 15);
    if (mono) {
        b.add({122, 123, 124, 125});
    } else {
        b.add({17, 18, 19, 20});
    }
    return b.run(41, 21)
        .run(42, 61)
        .add({119, 78, 77, 76, 75, 126})
        .run(74, 63)
        .add({84, 126})
        .run(85, 99)
        .run(118, 105)
        .build();
}

}  // namespace detail

// Serpentine path over the keys; 126 entries are skipped.
inline constexpr std::array<std::uint8_t, kSnakeLength> SnakeOrder = detail::snakeOrder(false);
inline constexpr std::array<std::uint8_t, kSnakeLength> MonoSnakeOrder = detail::snakeOrder(true);

// Path of the running light; 126 entries are skipped.
inline constexpr std::array<std::uint8_t, kSnakeLength> RunOrder = detail::runOrder(false);
inline constexpr std::array<std::uint8_t, kSnakeLength> MonoRunOrder = detail::runOrder(true);

// A fixed permutation of 0..103; its entries index SnakeOrder or
// MonoSnakeOrder to pick the keys on which rain drops start.
inline constexpr auto RandomKeyOrder = std::to_array<std::uint8_t>(
    {88, 24, 101, 57, 49, 20, 5,  14, 16, 69, 35, 34, 83, 94, 6,  61, 10,  23, 39, 3,  102,
     17, 65, 22,  36, 51, 78, 18, 38, 53, 2,  62, 64, 90, 96, 74, 91, 80,  86, 89, 43, 28,
     58, 59, 12,  66, 97, 9,  48, 95, 77, 70, 72, 56, 44, 99, 68, 98, 71,  27, 81, 1,  0,
     87, 92, 40,  25, 26, 7,  30, 50, 84, 15, 60, 54, 21, 45, 67, 19, 103, 33, 41, 55, 52,
     13, 47, 42,  93, 46, 75, 37, 73, 32, 79, 8,  29, 31, 4,  85, 76, 100, 82, 11, 63});
static_assert(RandomKeyOrder.size() == 104);

// Start phases of the column twinkles, indexed 6 × column + row.
inline constexpr auto TwinkleStart = std::to_array<std::uint8_t>(
    {72,  52,  32,  12,  182, 162, 72,  52,  32,  12,  182, 162, 120, 100, 80, 60,  40,  20,
     92,  82,  72,  62,  52,  42,  160, 140, 120, 100, 80,  60,  80,  70,  60, 50,  20,  10,
     90,  30,  0,   160, 130, 100, 50,  30,  10,  180, 160, 140, 32,  22,  12, 2,   182, 172,
     120, 100, 80,  60,  40,  20,  20,  5,   185, 170, 155, 140, 60,  35,  15, 180, 155, 130,
     120, 110, 100, 90,  80,  70,  192, 162, 132, 102, 72,  32,  80,  70,  60, 50,  20,  10,
     100, 95,  90,  85,  80,  75,  90,  80,  70,  60,  50,  40,  140, 110, 80, 50,  20,  180,
     70,  55,  40,  25,  10,  190, 120, 100, 80,  60,  40,  20,  92,  82,  72, 62,  52,  42,
     60,  50,  40,  30,  20,  10,  192, 162, 132, 102, 72,  32});
static_assert(TwinkleStart.size() == 138);

}  // namespace korvane::lighting
