#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <type_traits>

#include "core/device/device_kind.h"
#include "core/keys/key_function.h"

namespace korvane::keys {

inline constexpr std::size_t kKeyRecords = 170;
inline constexpr std::size_t kKeyTableBytes = 512;
inline constexpr int kOnboardProfiles = 5;
inline constexpr int kMouseButtons = 6;

// One record per key or button, then two reserved bytes: the body of a key profile file and
// the unit of the profile-table commands. Record i sits at byte 3·i.
struct KeyTable {
    std::array<KeyFunction, kKeyRecords> records{};
    std::array<std::uint8_t, 2> reserved{};

    friend bool operator==(const KeyTable&, const KeyTable&) = default;

    std::array<std::uint8_t, kKeyTableBytes> toBytes() const;
    static KeyTable fromBytes(std::span<const std::uint8_t, kKeyTableBytes> bytes);
    // Copies min(bytes.size(), 512) bytes over the start of the table; the rest is kept.
    void overwritePrefix(std::span<const std::uint8_t> bytes);
};
static_assert(sizeof(KeyTable) == kKeyTableBytes);
static_assert(std::is_trivially_copyable_v<KeyTable>);

// The classes of device that carry key tables.
enum class KeyClass : std::uint8_t { Keyboard, Mouse };

// The key class of a device class; none for the mouse pad, which has no keys.
constexpr std::optional<KeyClass> keyClassOf(device::DeviceClass deviceClass) {
    switch (deviceClass) {
        case device::DeviceClass::Keyboard:
            return KeyClass::Keyboard;
        case device::DeviceClass::Mouse:
            return KeyClass::Mouse;
        default:
            return std::nullopt;
    }
}

// Defaults that apply before a device of the class was read.
KeyTable builtInDefaultTable(KeyClass keyClass);

}  // namespace korvane::keys
