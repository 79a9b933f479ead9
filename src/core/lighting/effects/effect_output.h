#pragma once

// What one effect step produces: the frame for the device and the colours and alphas of the
// picture elements it drew. Elements a step does not draw keep their last preview.

#include <array>
#include <cstddef>
#include <cstdint>

#include "core/lighting/light_frame.h"
#include "core/lighting/rgb.h"
#include "core/lighting/scaling.h"

namespace korvane::lighting::effects {

struct PreviewEntry {
    std::uint32_t colour = 0;  // packed (green << 16) | (blue << 8) | red
    std::uint8_t alpha = 0;
    bool drawn = false;

    friend constexpr bool operator==(const PreviewEntry&, const PreviewEntry&) = default;
};

template <std::size_t N>
struct PreviewSet {
    std::array<PreviewEntry, N> entries{};

    constexpr void set(std::size_t i, Rgb colour, std::uint8_t alpha) {
        if (i < N) {
            entries[i] = {packPreviewColour(colour), alpha, true};
        }
    }
    constexpr void setPacked(std::size_t i, std::uint32_t colour, std::uint8_t alpha) {
        if (i < N) {
            entries[i] = {colour, alpha, true};
        }
    }
    constexpr const PreviewEntry& operator[](std::size_t i) const { return entries[i]; }
    constexpr void clear() { entries.fill({}); }
};

// The random bytes of the random-colour pulses.
class ByteSource {
  public:
    virtual ~ByteSource() = default;
    virtual std::uint8_t nextByte() = 0;
};

}  // namespace korvane::lighting::effects
