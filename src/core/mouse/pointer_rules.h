#pragma once

// How the pointer-speed slider and the wheel buttons turn into the desktop values that the
// mouse profile keeps (pointer speed 2..20 in even steps, wheel lines 1..10).

#include <algorithm>
#include <cstdint>

#include "core/mouse/system_pointer.h"

namespace korvane::mouse {

// The slider's positions; a skin with a wider slider still stays inside the speeds.
inline constexpr int kFirstSpeedPosition = 0;
inline constexpr int kLastSpeedPosition = 9;

// Position p gives (p + 1) × 2; a negative position counts as 0.
constexpr std::uint8_t speedOfSlider(int position) {
    return static_cast<std::uint8_t>(
        (std::clamp(position, kFirstSpeedPosition, kLastSpeedPosition) + 1) * 2);
}

// The position that gives a stored speed back (odd speeds show the position below them).
constexpr int sliderOfSpeed(std::uint8_t speed) {
    const int even = std::min<int>(speed, SystemPointer::kFastestSpeed);
    return std::clamp(even / 2 - 1, kFirstSpeedPosition, kLastSpeedPosition);
}

// What reaches the desktop for a stored speed: 0 as the slowest, above 20 as the fastest.
constexpr int appliedSpeed(std::uint8_t stored) {
    return std::clamp<int>(stored, SystemPointer::kSlowestSpeed, SystemPointer::kFastestSpeed);
}

constexpr int appliedWheelLines(std::uint8_t stored) {
    return std::clamp<int>(stored, SystemPointer::kFewestLines, SystemPointer::kMostLines);
}

// The wheel buttons, given the number in the edit (an empty edit counts as 0).
constexpr int wheelLinesUp(long shown) {
    const long n = shown <= 0 ? SystemPointer::kFewestLines : shown;
    return static_cast<int>(std::min<long>(n, SystemPointer::kMostLines - 1) + 1);
}

constexpr int wheelLinesDown(long shown) {
    const long n = shown > SystemPointer::kMostLines ? SystemPointer::kMostLines : shown;
    return static_cast<int>(std::max<long>(n, SystemPointer::kFewestLines + 1) - 1);
}

}  // namespace korvane::mouse
