#pragma once

#include <cstdint>

namespace korvane::device {

// What a commander expects of its interface.
struct DeviceIdentity {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint16_t usage = 0;
    std::uint16_t usagePage = 0;

    friend bool operator==(const DeviceIdentity&, const DeviceIdentity&) = default;
};

}  // namespace korvane::device
