#pragma once

// One frame of LED colour bytes as the devices receive it.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "core/lighting/keyboard_kind.h"
#include "core/lighting/led_maps.h"
#include "core/lighting/rgb.h"

namespace korvane::lighting {

inline constexpr std::size_t kRgbKeyboardFrameBytes = 378;   // 126 LEDs × R, G, B
inline constexpr std::size_t kMonoKeyboardFrameBytes = 126;  // 126 intensities
inline constexpr std::size_t kZonedKeyboardFrameBytes = 36;  // 12 LED groups × R, G, B
inline constexpr std::size_t kMouseFrameBytes = 60;          // 20 LEDs × R, G, B
inline constexpr std::size_t kMouseBlinkFrameBytes = 30;     // the blink modes send 10 LEDs
inline constexpr std::size_t kPadFrameBytes = 45;            // 15 LEDs × R, G, B
inline constexpr std::size_t kPadLongFrameBytes = 60;        // two pad modes send 60
inline constexpr std::size_t kMaxFrameBytes = kRgbKeyboardFrameBytes;

constexpr std::size_t keyboardFrameBytes(KeyboardKind kind) {
    switch (kind) {
        case KeyboardKind::Rgb:
            return kRgbKeyboardFrameBytes;
        case KeyboardKind::Mono:
            return kMonoKeyboardFrameBytes;
        case KeyboardKind::Region:
        case KeyboardKind::Membrane:
            return kZonedKeyboardFrameBytes;
    }
    return 0;
}

constexpr const ZoneGroupPositionTable& zoneGroupPositions(KeyboardKind kind) {
    return kind == KeyboardKind::Membrane ? ZoneGroupPositions::membrane
                                          : ZoneGroupPositions::region;
}

// A frame of up to 378 bytes with its length. Plain bytes, so a frame can be
// handed between threads by copy. Writes outside the frame are dropped: a
// position of 126 ("no LED") or a stray index never reaches other memory.
class LightFrame {
  public:
    constexpr LightFrame() = default;
    constexpr explicit LightFrame(std::size_t size) : size_(std::min(size, kMaxFrameBytes)) {}

    static constexpr LightFrame forKeyboard(KeyboardKind kind) {
        return LightFrame(keyboardFrameBytes(kind));
    }

    constexpr std::size_t size() const { return size_; }
    std::span<const std::uint8_t> bytes() const { return {bytes_.data(), size_}; }
    constexpr std::uint8_t operator[](std::size_t i) const { return i < size_ ? bytes_[i] : 0; }

    constexpr void clear() { bytes_.fill(0); }

    constexpr void setByte(std::size_t i, std::uint8_t value) {
        if (i < size_) {
            bytes_[i] = value;
        }
    }

    // LED position p of an RGB frame occupies bytes 3p, 3p + 1, 3p + 2.
    constexpr void setLed(std::size_t position, Rgb colour) {
        if (position >= size_ / 3) {
            return;
        }
        bytes_[3 * position] = colour.red;
        bytes_[3 * position + 1] = colour.green;
        bytes_[3 * position + 2] = colour.blue;
    }

    // LED group g of a zoned keyboard frame, at the kind's byte positions.
    constexpr void setZoneGroup(KeyboardKind kind, std::size_t group, Rgb colour) {
        if (group >= kZoneGroupCount) {
            return;
        }
        const auto& pos = zoneGroupPositions(kind);
        setByte(pos[3 * group], colour.red);
        setByte(pos[3 * group + 1], colour.green);
        setByte(pos[3 * group + 2], colour.blue);
    }

    // Zone z drives LED groups 2z and 2z + 1.
    constexpr void setZone(KeyboardKind kind, std::size_t zone, Rgb colour) {
        if (zone >= kZoneCount) {
            return;
        }
        setZoneGroup(kind, 2 * zone, colour);
        setZoneGroup(kind, 2 * zone + 1, colour);
    }

    friend constexpr bool operator==(const LightFrame&, const LightFrame&) = default;

  private:
    std::array<std::uint8_t, kMaxFrameBytes> bytes_{};
    std::size_t size_ = 0;
};

static_assert(std::is_trivially_copyable_v<LightFrame>);

}  // namespace korvane::lighting
