#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "core/device/device_commander.h"
#include "sim/simulated_backend.h"
#include "sim/simulated_device.h"

namespace korvane::sim::testing {

// One simulated device of a model, connected to a commander as a connection thread would.
struct SimRig {
    explicit SimRig(device::DeviceKind kind, SimSettings settings = {})
        : backend(settings), device(backend.plug(kind)) {
        const auto list = backend.enumerate();
        for (const auto& info : *list) {
            if (info.path == device->path(SimInterface::Vendor)) {
                commander.attach(backend.open(info, device::HidAccess::ReadWrite));
            }
        }
        commander.setConnected(true);
        commander.setSleepFunction([](std::chrono::milliseconds) {});
    }

    std::unique_ptr<device::HidHandle> openInterface(SimInterface which) {
        const auto list = backend.enumerate();
        for (const auto& info : *list) {
            if (info.path == device->path(which)) {
                return backend.open(info, device::HidAccess::ReadWrite);
            }
        }
        return nullptr;
    }

    SimulatedBackend backend;
    std::shared_ptr<SimulatedDevice> device;
    device::DeviceCommander commander;
};

}  // namespace korvane::sim::testing
