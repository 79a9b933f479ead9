#include "core/device/device_matching.h"

#include <algorithm>

namespace korvane::device {

namespace {

bool contains(std::span<const std::uint16_t> ids, std::uint16_t id) {
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

}  // namespace

bool matchesInterface(InterfaceRole role, const HidInterfaceInfo& info) {
    const InterfaceMatch& m = interfaceMatch(role);
    return contains(m.candidateVendors, info.vendorId) &&
           contains(m.candidateProducts, info.productId) &&
           contains(m.acceptedVendors, info.vendorId) &&
           contains(m.acceptedProducts, info.productId) && info.usagePage == m.usagePage &&
           info.usage == m.usage;
}

std::optional<DeviceKind> acceptedKind(InterfaceRole role, const HidInterfaceInfo& info) {
    const bool commander = role == InterfaceRole::KeyboardCommander ||
                           role == InterfaceRole::MouseCommander ||
                           role == InterfaceRole::MousePadCommander;
    if (!commander || !matchesInterface(role, info)) {
        return std::nullopt;
    }
    return kindFromProductId(info.productId);
}

}  // namespace korvane::device
