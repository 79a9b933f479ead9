#pragma once

// Milliseconds an effect thread sleeps before each step, by mode and speed.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

namespace korvane::lighting {

inline constexpr std::size_t kSpeedSteps = 15;  // speed 0 (fastest) .. 14

using FrameDelayRow = std::array<std::uint8_t, kSpeedSteps>;

inline constexpr FrameDelayRow kStandardDelayRow{9,  13, 17, 21, 25, 29, 33, 37,
                                                 41, 45, 49, 53, 57, 61, 65};

namespace detail {

template <std::size_t Rows>
constexpr std::array<FrameDelayRow, Rows> standardRows() {
    std::array<FrameDelayRow, Rows> rows{};
    rows.fill(kStandardDelayRow);
    return rows;
}

constexpr std::array<FrameDelayRow, 17> keyboardFrameDelays() {
    auto rows = standardRows<17>();
    rows[0] = {2, 13, 17, 21, 24, 27, 30, 33, 36, 39, 42, 45, 48, 51, 54};
    rows[1] = {9, 13, 17, 21, 24, 27, 30, 33, 36, 39, 42, 45, 48, 51, 54};
    rows[4][0] = 3;
    rows[7][0] = 3;
    rows[10][14] = 63;
    rows[13][14] = 63;
    rows[15][14] = 63;
    return rows;
}

constexpr std::array<FrameDelayRow, 9> mouseFrameDelays() {
    auto rows = standardRows<9>();
    rows[2] = {5, 10, 17, 21, 25, 29, 33, 37, 41, 45, 49, 53, 57, 61, 63};
    return rows;
}

}  // namespace detail

// FrameDelayTable of each device class. The keyboard table is indexed by the
// mode of whichever keyboard kind is attached.
struct FrameDelayTable {
    static constexpr std::array<FrameDelayRow, 17> keyboard = detail::keyboardFrameDelays();
    static constexpr std::array<FrameDelayRow, 9> mouse = detail::mouseFrameDelays();
    static constexpr std::array<FrameDelayRow, 18> mousePad = detail::standardRows<18>();
};

// The delay for a mode and speed. Mode and speed come from files and devices,
// so values past the table end read the standard row and the slowest column
// instead of memory beyond it.
template <std::size_t Rows>
constexpr unsigned frameDelayMs(const std::array<FrameDelayRow, Rows>& table, unsigned mode,
                                unsigned speed) {
    const FrameDelayRow& row = mode < Rows ? table[mode] : kStandardDelayRow;
    return row[std::min<unsigned>(speed, kSpeedSteps - 1)];
}

}  // namespace korvane::lighting
