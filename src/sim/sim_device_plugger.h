#pragma once

#include <memory>
#include "core/app/device_plugger.h"

#include "sim/simulated_backend.h"
#include "sim/simulated_device.h"

namespace korvane::sim {

// Plugs and unplugs simulated devices for scripted sessions.
class SimDevicePlugger final : public app::DevicePlugger {
  public:
    explicit SimDevicePlugger(SimulatedBackend& backend) : backend_(backend) {}

    bool plug(device::DeviceKind kind) override;
    bool unplug(device::DeviceKind kind) override;
    bool consumerReport(device::DeviceKind kind, std::uint16_t usage) override;

  private:
    std::shared_ptr<SimulatedDevice> latest(device::DeviceKind kind) const;

    SimulatedBackend& backend_;
};

}  // namespace korvane::sim
