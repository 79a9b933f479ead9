#pragma once

// Brightness and intensity curves of the effects.

#include <array>
#include <cstddef>
#include <cstdint>

#include "core/lighting/table_builder.h"

namespace korvane::lighting {

// Scale factor per brightness setting 0..14.
inline constexpr auto BrightnessCurve = std::to_array<std::uint8_t>(
    {0, 30, 75, 90, 105, 120, 135, 150, 165, 180, 195, 210, 225, 240, 255});
static_assert(BrightnessCurve.size() == 15);

namespace detail {

// The rising half shared by the breathing and pulse curves.
inline constexpr auto kBreathRise = std::to_array<std::uint8_t>(
    {22,  24,  27,  30,  33,  36,  39,  42,  45,  49,  53,  57,  61,  65,  69,  73,
     77,  81,  85,  89,  94,  99,  104, 109, 114, 119, 124, 129, 134, 140, 146, 152,
     158, 164, 170, 176, 182, 188, 194, 200, 206, 213, 220, 227, 234, 241, 248, 255});
static_assert(kBreathRise.size() == 48);

// `rise` followed by the same values in reverse order.
template <std::size_t N>
constexpr std::array<std::uint8_t, 2 * N> mirrored(const std::array<std::uint8_t, N>& rise) {
    std::array<std::uint8_t, 2 * N> out{};
    for (std::size_t i = 0; i < N; ++i) {
        out[i] = rise[i];
        out[2 * N - 1 - i] = rise[i];
    }
    return out;
}

constexpr std::array<std::uint8_t, 64> pulseRise() {
    std::array<std::uint8_t, 64> out{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 14, 16, 18, 20};
    for (std::size_t i = 0; i < kBreathRise.size(); ++i) {
        out[16 + i] = kBreathRise[i];
    }
    return out;
}

inline constexpr auto kFadeHead = std::to_array<std::uint8_t>(
    {0,   4,   8,   14,  22,  33,  45,  61,  77,  94,  114, 134, 158, 182, 206, 234, 255,
     248, 241, 234, 227, 220, 213, 206, 200, 194, 188, 182, 176, 170, 164, 158, 152, 146,
     140, 134, 129, 124, 119, 114, 109, 104, 99,  94,  89,  85,  81,  77,  73,  69,  65,
     61,  57,  53,  49,  45,  42,  39,  36,  33,  30,  27,  24,  22,  20,  18,  16,  14,
     12,  10,  9,   8,   7,   6,   5,   4,   3,   2,   2,   1,   0});
static_assert(kFadeHead.size() == 81);

constexpr std::array<std::uint8_t, 192> fadeCurve() {
    std::array<std::uint8_t, 192> out{};  // entries 81..191 are 0
    for (std::size_t i = 0; i < kFadeHead.size(); ++i) {
        out[i] = kFadeHead[i];
    }
    return out;
}

}  // namespace detail

// Breathing intensity over 96 phases: up to 255 and back.
inline constexpr std::array<std::uint8_t, 96> BreathCurve = detail::mirrored(detail::kBreathRise);

// Pulse intensity over 128 phases: from 0 up to 255 and back to 0.
inline constexpr std::array<std::uint8_t, 128> PulseCurve = detail::mirrored(detail::pulseRise());

// Twinkle intensity over 192 phases: a quick rise, a slow fall, then dark.
inline constexpr std::array<std::uint8_t, 192> FadeCurve = detail::fadeCurve();

}  // namespace korvane::lighting
