#pragma once

// The keyboard models as the lighting code numbers them, and the modes each
// device kind knows.

#include <cstdint>
#include <optional>

#include "core/device/device_kind.h"

namespace korvane::lighting {

enum class KeyboardKind : std::uint8_t {
    Rgb = 0,
    Mono = 1,
    Region = 2,
    Membrane = 3,
};

constexpr std::optional<KeyboardKind> keyboardKindOf(device::DeviceKind kind) {
    switch (kind) {
        case device::DeviceKind::RgbKeyboard:
            return KeyboardKind::Rgb;
        case device::DeviceKind::MonoKeyboard:
            return KeyboardKind::Mono;
        case device::DeviceKind::RegionKeyboard:
            return KeyboardKind::Region;
        case device::DeviceKind::MembraneKeyboard:
            return KeyboardKind::Membrane;
        default:
            return std::nullopt;
    }
}

constexpr bool isZoned(KeyboardKind kind) {
    return kind == KeyboardKind::Region || kind == KeyboardKind::Membrane;
}

// Number of lighting modes per kind (modes are 0 .. count − 1).
constexpr unsigned keyboardModeCount(KeyboardKind kind) {
    switch (kind) {
        case KeyboardKind::Rgb:
            return 16;
        case KeyboardKind::Mono:
            return 12;
        case KeyboardKind::Region:
        case KeyboardKind::Membrane:
            return 7;
    }
    return 0;
}

inline constexpr unsigned kMouseModeCount = 10;
inline constexpr unsigned kMousePadModeCount = 9;

// The custom colour modes, where the colour edits change the paint colour.
constexpr bool isCustomMode(KeyboardKind kind, std::uint8_t mode) {
    switch (kind) {
        case KeyboardKind::Rgb:
            return mode == 11;
        case KeyboardKind::Mono:
            return mode == 10;
        case KeyboardKind::Region:
        case KeyboardKind::Membrane:
            return mode == 6;
    }
    return false;
}

}  // namespace korvane::lighting
