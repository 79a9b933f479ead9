#pragma once

#include <cstdint>

#include "core/device/device_kind.h"

namespace korvane::app {

// Attaches and removes devices at run time; only simulated devices can.
class DevicePlugger {
  public:
    virtual ~DevicePlugger() = default;
    virtual bool plug(device::DeviceKind kind) = 0;
    // Removes the most recently attached device of that model; false when none is attached.
    virtual bool unplug(device::DeviceKind kind) = 0;
    // The most recently attached device of that model sends a consumer-control report with
    // that usage (0x0401, 0x0402, 0x0403, …); false when none is attached.
    virtual bool consumerReport(device::DeviceKind kind, std::uint16_t usage) = 0;
};

}  // namespace korvane::app
