#pragma once

#include "core/app/device_plugger.h"
#include "sim/simulated_backend.h"

namespace korvane::sim {

// Plugs and unplugs simulated devices for scripted sessions.
class SimDevicePlugger final : public app::DevicePlugger {
public:
    explicit SimDevicePlugger(SimulatedBackend& backend) : backend_(backend) {}

    bool plug(device::DeviceKind kind) override;
    bool unplug(device::DeviceKind kind) override;

private:
    SimulatedBackend& backend_;
};

}  // namespace korvane::sim
