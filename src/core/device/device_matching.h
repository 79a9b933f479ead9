#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "core/device/device_identity.h"
#include "core/device/device_kind.h"
#include "core/device/hid_backend.h"

namespace korvane::device {

// Which interface of a device each owner looks for.
enum class InterfaceRole : std::uint8_t {
    KeyboardCommander,
    MouseCommander,
    MousePadCommander,
    KeyboardConsumerListener,
    MouseConsumerListener,
};

inline constexpr std::uint16_t kVendorUsagePage = 0xFF1C;
inline constexpr std::uint16_t kVendorUsage = 0x0092;
inline constexpr std::uint16_t kConsumerUsagePage = 0x000C;
inline constexpr std::uint16_t kConsumerUsage = 0x0001;

// An interface is accepted when its vendor and product are among the candidates (what a
// scan looks at first), also among the accepted ones (what is checked after opening), and
// its collection has the usage page and usage.
struct InterfaceMatch {
    InterfaceRole role;
    std::span<const std::uint16_t> candidateVendors;
    std::span<const std::uint16_t> candidateProducts;
    std::span<const std::uint16_t> acceptedVendors;
    std::span<const std::uint16_t> acceptedProducts;
    std::uint16_t usagePage;
    std::uint16_t usage;
    HidAccess access;
};

namespace match_ids {
inline constexpr std::array<std::uint16_t, 2> kKeyboardVendors{kVendorPrimary, kVendorSecondary};
inline constexpr std::array<std::uint16_t, 1> kPrimaryVendor{kVendorPrimary};
inline constexpr std::array<std::uint16_t, 4> kKeyboardProducts{0x8611, 0x6556, 0x6523, 0x5006};
inline constexpr std::array<std::uint16_t, 3> kMouseProducts{0x5523, 0x6656, 0x764D};
inline constexpr std::array<std::uint16_t, 1> kMousePadProducts{0x5104};
inline constexpr std::array<std::uint16_t, 2> kKeyboardConsumerCandidates{0x8611, 0x6556};
inline constexpr std::array<std::uint16_t, 1> kKeyboardConsumerProducts{0x8611};
}  // namespace match_ids

inline constexpr std::array<InterfaceMatch, 5> kInterfaceMatches{{
    {InterfaceRole::KeyboardCommander, match_ids::kKeyboardVendors, match_ids::kKeyboardProducts,
     match_ids::kKeyboardVendors, match_ids::kKeyboardProducts, kVendorUsagePage, kVendorUsage,
     HidAccess::ReadWrite},
    {InterfaceRole::MouseCommander, match_ids::kPrimaryVendor, match_ids::kMouseProducts,
     match_ids::kPrimaryVendor, match_ids::kMouseProducts, kVendorUsagePage, kVendorUsage,
     HidAccess::ReadWrite},
    {InterfaceRole::MousePadCommander, match_ids::kPrimaryVendor, match_ids::kMousePadProducts,
     match_ids::kPrimaryVendor, match_ids::kMousePadProducts, kVendorUsagePage, kVendorUsage,
     HidAccess::ReadWrite},
    {InterfaceRole::KeyboardConsumerListener, match_ids::kPrimaryVendor,
     match_ids::kKeyboardConsumerCandidates, match_ids::kPrimaryVendor,
     match_ids::kKeyboardConsumerProducts, kConsumerUsagePage, kConsumerUsage, HidAccess::ReadOnly},
    {InterfaceRole::MouseConsumerListener, match_ids::kPrimaryVendor, match_ids::kMouseProducts,
     match_ids::kPrimaryVendor, match_ids::kMouseProducts, kConsumerUsagePage, kConsumerUsage,
     HidAccess::ReadOnly},
}};

constexpr const InterfaceMatch& interfaceMatch(InterfaceRole role) {
    return kInterfaceMatches[static_cast<std::size_t>(role)];
}

// The identity each commander is given when the main window is ready.
struct CommanderIdentity {
    DeviceClass deviceClass;
    InterfaceRole role;
    DeviceIdentity identity;
};

inline constexpr std::array<CommanderIdentity, 3> kCommanderIdentities{{
    {DeviceClass::Keyboard,
     InterfaceRole::KeyboardCommander,
     {kVendorPrimary, 0x8611, kVendorUsage, kVendorUsagePage}},
    {DeviceClass::Mouse,
     InterfaceRole::MouseCommander,
     {kVendorPrimary, 0x5523, kVendorUsage, kVendorUsagePage}},
    {DeviceClass::MousePad,
     InterfaceRole::MousePadCommander,
     {kVendorPrimary, 0x5104, kVendorUsage, kVendorUsagePage}},
}};

constexpr const CommanderIdentity& commanderIdentity(DeviceClass deviceClass) {
    return kCommanderIdentities[static_cast<std::size_t>(deviceClass)];
}

// Whether the collection described by info is the one role looks for.
bool matchesInterface(InterfaceRole role, const HidInterfaceInfo& info);

// The model behind an accepted commander interface (by its product ID); nullopt for a
// consumer listener's role or an interface of another role.
std::optional<DeviceKind> acceptedKind(InterfaceRole role, const HidInterfaceInfo& info);

}  // namespace korvane::device
