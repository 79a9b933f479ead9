#pragma once

// Phase wrapping, decays and the ripple bitmaps shared by the effect steps.

#include <array>
#include <cstddef>
#include <cstdint>

#include "core/lighting/colour_wheel.h"
#include "core/lighting/curves.h"
#include "core/lighting/key_matrices.h"

namespace korvane::lighting::effects {

// Phase ±1 mod n: counting up wraps n to 0, counting down wraps below 0 to n − 1. A phase
// left out of range by another mode restarts inside the range.
constexpr void stepPhase(std::uint8_t& phase, bool forward, unsigned n) {
    if (forward) {
        phase = static_cast<std::uint8_t>(phase + 1u >= n ? 0 : phase + 1);
    } else {
        phase = static_cast<std::uint8_t>(phase == 0 || phase >= n ? n - 1 : phase - 1);
    }
}

// (base + offset) mod n, computed exactly.
constexpr std::uint8_t offsetMod(unsigned base, unsigned offset, unsigned n) {
    return static_cast<std::uint8_t>((base + offset) % n);
}

// Twinkle phases are kept below 192 by the steps; a stray larger phase reads dark instead
// of past the curve.
constexpr std::uint8_t fadeAt(std::uint8_t phase) {
    return phase < FadeCurve.size() ? FadeCurve[phase] : 0;
}

// Per-key decay of the ripple, running-light and rain modes.
constexpr std::uint8_t decayA(std::uint8_t life) {
    if (life >= 128)
        return static_cast<std::uint8_t>(life - 20);
    if (life >= 64)
        return static_cast<std::uint8_t>(life - 10);
    if (life >= 32)
        return static_cast<std::uint8_t>(life - 8);
    if (life >= 17)
        return static_cast<std::uint8_t>(life - 5);
    if (life >= 9)
        return static_cast<std::uint8_t>(life - 4);
    return 0;
}

// Faster decay that leaves a faint glow (9..16) standing.
constexpr std::uint8_t decayB(std::uint8_t life) {
    if (life >= 128)
        return static_cast<std::uint8_t>(life - 40);
    if (life >= 64)
        return static_cast<std::uint8_t>(life - 30);
    if (life >= 32)
        return static_cast<std::uint8_t>(life - 10);
    if (life >= 17)
        return static_cast<std::uint8_t>(life - 8);
    if (life >= 9)
        return life;
    return 0;
}

// Column decay of the mouse and mouse-pad travelling pulses.
constexpr std::uint8_t decayC(std::uint8_t life) {
    if (life >= 128)
        return static_cast<std::uint8_t>(life - 15);
    if (life >= 64)
        return static_cast<std::uint8_t>(life - 10);
    if (life >= 32)
        return static_cast<std::uint8_t>(life - 7);
    if (life >= 17)
        return static_cast<std::uint8_t>(life - 3);
    if (life >= 1)
        return static_cast<std::uint8_t>(life - 1);
    return 0;
}

// The fast column decay of the pad's travelling pulse: the steps of decay B, so a pulse
// fades 255, 215, 175 … and leaves a faint glow (9..16) standing.
constexpr std::uint8_t decayCFast(std::uint8_t life) {
    return decayB(life);
}

// Fade of the stacking blocks once all six zones are filled.
constexpr std::uint8_t fadeLevelStep(std::uint8_t level) {
    if (level >= 128)
        return static_cast<std::uint8_t>(level - 40);
    if (level >= 64)
        return static_cast<std::uint8_t>(level - 30);
    if (level >= 32)
        return static_cast<std::uint8_t>(level - 10);
    if (level >= 17)
        return static_cast<std::uint8_t>(level - 8);
    return 0;
}

// Four bitmaps of one byte per picture column, bit r = row r. B0 and B3 travel towards
// column 0, B1 and B2 towards column 22; B0 and B1 move down a row per step, B2 and B3 up.
using RippleBitmaps = std::array<std::array<std::uint8_t, kMatrixColumns>, 4>;

constexpr void propagateRipple(RippleBitmaps& b) {
    auto& b0 = b[0];
    auto& b1 = b[1];
    auto& b2 = b[2];
    auto& b3 = b[3];
    b3[0] = static_cast<std::uint8_t>(b3[0] >> 1);
    b0[0] = static_cast<std::uint8_t>(b0[0] << 1);
    for (std::size_t i = 0; i + 1 < kMatrixColumns; ++i) {
        b3[i] |= b3[i + 1];
        b3[i + 1] = static_cast<std::uint8_t>(b3[i + 1] >> 1);
        b0[i] |= b0[i + 1];
        b0[i + 1] = static_cast<std::uint8_t>(b0[i + 1] << 1);
    }
    b2[22] = static_cast<std::uint8_t>(b2[21] | (b2[22] >> 1));
    b2[21] = static_cast<std::uint8_t>(b2[21] >> 1);
    b1[22] = static_cast<std::uint8_t>(b1[21] | (b1[22] << 1));
    b1[21] = static_cast<std::uint8_t>(b1[21] << 1);
    for (int i = 20; i >= 0; --i) {
        const auto u = static_cast<std::size_t>(i);
        b2[u + 1] |= b2[u];
        b1[u + 1] |= b1[u];
        b2[u] = static_cast<std::uint8_t>(b2[u] >> 1);
        b1[u] = static_cast<std::uint8_t>(b1[u] << 1);
    }
}

constexpr std::uint8_t rippleColumn(const RippleBitmaps& b, std::size_t column) {
    return static_cast<std::uint8_t>(b[0][column] | b[1][column] | b[2][column] | b[3][column]);
}

constexpr void orRippleColumn(RippleBitmaps& b, std::size_t column, std::uint8_t bits) {
    for (auto& bitmap : b) {
        bitmap[column] |= bits;
    }
}

inline constexpr std::size_t kRippleCentreColumn = 9;

}  // namespace korvane::lighting::effects
