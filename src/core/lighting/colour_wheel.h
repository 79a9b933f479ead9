#pragma once

// The hue wheel of the colourful effects and the fixed colour lists built on it.

#include <array>
#include <cstddef>
#include <cstdint>

#include "core/lighting/rgb.h"

namespace korvane::lighting {

inline constexpr std::size_t kWheelSteps = 192;

namespace detail {

// Rising and falling channel values of one 32-step wheel segment.
inline constexpr auto kWheelUp = std::to_array<std::uint8_t>(
    {1,  3,  5,  7,   10,  14,  18,  22,  26,  32,  38,  44,  50,  57,  65,  73,
     81, 89, 99, 109, 119, 129, 140, 152, 164, 176, 188, 200, 213, 227, 241, 255});
inline constexpr auto kWheelDown = std::to_array<std::uint8_t>(
    {248, 234, 220, 206, 194, 182, 170, 158, 146, 134, 124, 114, 104, 94, 85, 77,
     69,  61,  53,  47,  41,  35,  29,  24,  20,  16,  12,  8,   6,   4,  2,  0});
static_assert(kWheelUp.size() == 32 && kWheelDown.size() == 32);

constexpr std::array<Rgb, 256> colourWheel() {
    std::array<Rgb, 256> wheel{};
    for (std::size_t i = 0; i < 32; ++i) {
        const std::uint8_t u = kWheelUp[i];
        const std::uint8_t d = kWheelDown[i];
        wheel[i] = {255, u, 0};        // red to yellow
        wheel[32 + i] = {d, 255, 0};   // yellow to green
        wheel[64 + i] = {0, 255, u};   // green to cyan
        wheel[96 + i] = {0, d, 255};   // cyan to blue
        wheel[128 + i] = {u, 0, 255};  // blue to magenta
        wheel[160 + i] = {255, 0, d};  // magenta to red
    }
    // Effects index the wheel with a raw byte; 192..255 repeat the start.
    for (std::size_t i = kWheelSteps; i < wheel.size(); ++i) {
        wheel[i] = wheel[i - kWheelSteps];
    }
    return wheel;
}

}  // namespace detail

// 192 hues, stored with 256 entries so that any byte indexes it.
inline constexpr std::array<Rgb, 256> ColourWheel = detail::colourWheel();

namespace detail {

// Palette of the palette twinkle mode: eight fixed colours, then the wheel
// walked in strides of 13 steps (13 and 192 share no factor, so consecutive
// entries jump across the hues instead of fading slowly).
constexpr std::array<Rgb, 256> twinklePalette() {
    std::array<Rgb, 256> palette{{
        {255, 0, 0},
        {255, 96, 0},
        {255, 255, 0},
        {0, 255, 0},
        {0, 255, 255},
        {0, 0, 255},
        {128, 0, 255},
        {255, 255, 255},
    }};
    for (std::size_t i = 8; i < palette.size(); ++i) {
        palette[i] = ColourWheel[((i - 8) * 13) % kWheelSteps];
    }
    return palette;
}

inline constexpr std::size_t kMouseColourGroupSize = 8;  // seven colours and a black entry

inline constexpr auto kMouseColourHead = std::to_array<Rgb>({
    // yellow group
    {255, 255, 0},
    {200, 255, 0},
    {170, 255, 0},
    {140, 255, 0},
    {110, 255, 0},
    {80, 255, 0},
    {70, 255, 0},
    {0, 0, 0},
    // cyan group
    {0, 255, 255},
    {0, 200, 255},
    {0, 170, 255},
    {0, 140, 255},
    {0, 110, 255},
    {0, 80, 255},
    {0, 70, 255},
    {0, 0, 0},
    // magenta group
    {245, 0, 255},
    {245, 0, 200},
    {245, 0, 170},
    {245, 0, 140},
    {245, 0, 110},
    {245, 0, 80},
    {245, 0, 70},
    {0, 0, 0},
    // single colours
    {255, 60, 80},
    {255, 255, 40},
    {80, 255, 80},
    {0, 255, 255},
    {255, 0, 200},
    {255, 128, 40},
    {40, 128, 0},
    {50, 0, 255},
    {255, 0, 0},
    {255, 80, 0},
    {0, 255, 0},
    {0, 0, 255},
    {0, 0, 0},
});
static_assert(kMouseColourHead.size() == 37);

inline constexpr std::size_t kMouseShadeGroups = 15;
inline constexpr std::size_t kMouseShades = 6;

// The listed colours, then groups of six shades: group k takes the wheel hue
// 13k and dims it to 255, 215, 175, 135, 95 and 55 of 256.
constexpr std::array<Rgb, 37 + kMouseShadeGroups * kMouseShades> mouseColourList() {
    std::array<Rgb, 37 + kMouseShadeGroups * kMouseShades> list{};
    for (std::size_t i = 0; i < kMouseColourHead.size(); ++i) {
        list[i] = kMouseColourHead[i];
    }
    for (std::size_t k = 0; k < kMouseShadeGroups; ++k) {
        const Rgb hue = ColourWheel[(13 * k) % kWheelSteps];
        for (std::size_t s = 0; s < kMouseShades; ++s) {
            const unsigned factor = 255 - 40 * static_cast<unsigned>(s);
            list[37 + k * kMouseShades + s] = {
                static_cast<std::uint8_t>(hue.red * factor >> 8),
                static_cast<std::uint8_t>(hue.green * factor >> 8),
                static_cast<std::uint8_t>(hue.blue * factor >> 8),
            };
        }
    }
    return list;
}

}  // namespace detail

// Colours of the palette twinkle mode, indexed by a byte.
inline constexpr std::array<Rgb, 256> kTwinklePalette = detail::twinklePalette();

// Colours of the mouse: the colour-group pulse takes group g from entries
// 8g..8g+6; the blink modes index it with a counter 0..125.
inline constexpr auto kMouseColourList = detail::mouseColourList();
static_assert(kMouseColourList.size() >= 126);

// Colour c (0..6) of group g (0..2) of the colour-group pulse.
constexpr Rgb mouseGroupColour(std::size_t group, std::size_t column) {
    return kMouseColourList[(group % 3) * detail::kMouseColourGroupSize + column % 7];
}

}  // namespace korvane::lighting
