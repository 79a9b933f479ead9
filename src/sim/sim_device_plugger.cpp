#include "sim/sim_device_plugger.h"

namespace korvane::sim {

bool SimDevicePlugger::plug(device::DeviceKind kind) {
    return backend_.plug(kind) != nullptr;
}

std::shared_ptr<SimulatedDevice> SimDevicePlugger::latest(device::DeviceKind kind) const {
    const auto devices = backend_.devices();
    for (auto it = devices.rbegin(); it != devices.rend(); ++it) {
        if ((*it)->kind() == kind) {
            return *it;
        }
    }
    return nullptr;
}

bool SimDevicePlugger::unplug(device::DeviceKind kind) {
    const auto device = latest(kind);
    return device != nullptr && backend_.unplug(device->name());
}

bool SimDevicePlugger::consumerReport(device::DeviceKind kind, std::uint16_t usage) {
    const auto device = latest(kind);
    if (device == nullptr) {
        return false;
    }
    device->emitConsumer(usage);
    return true;
}

}  // namespace korvane::sim
