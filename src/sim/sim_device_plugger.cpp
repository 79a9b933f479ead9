#include "sim/sim_device_plugger.h"

namespace korvane::sim {

bool SimDevicePlugger::plug(device::DeviceKind kind) { return backend_.plug(kind) != nullptr; }

bool SimDevicePlugger::unplug(device::DeviceKind kind) {
    const auto devices = backend_.devices();
    for (auto it = devices.rbegin(); it != devices.rend(); ++it) {
        if ((*it)->kind() == kind) {
            return backend_.unplug((*it)->name());
        }
    }
    return false;
}

}  // namespace korvane::sim
