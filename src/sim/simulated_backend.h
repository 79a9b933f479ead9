#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/device/device_kind.h"
#include "core/device/hid_backend.h"
#include "core/device/hotplug_monitor.h"
#include "sim/sim_settings.h"
#include "sim/simulated_device.h"

namespace korvane::sim {

// Virtual devices behind the HID seam. Devices can be plugged and unplugged from any thread
// while other threads enumerate, open and talk to them. It is its own hotplug monitor: a
// plug, an unplug or a device vanishing by an injected fault tells the subscribers.
class SimulatedBackend final : public device::HidBackend, public device::HotplugMonitor {
  public:
    explicit SimulatedBackend(SimSettings settings = {});

    // Plugs a new device of that model with the backend's settings (or the given ones).
    std::shared_ptr<SimulatedDevice> plug(device::DeviceKind kind);
    std::shared_ptr<SimulatedDevice> plug(device::DeviceKind kind, SimSettings settings);
    // Unplugs the device of that name ("mouse#2") or owning that path; false when none is.
    bool unplug(std::string_view nameOrPath);
    // Present devices in plugging order.
    std::vector<std::shared_ptr<SimulatedDevice>> devices() const;
    std::shared_ptr<SimulatedDevice> find(std::string_view nameOrPath) const;

    std::optional<std::vector<device::HidInterfaceInfo>> enumerate() override;
    std::unique_ptr<device::HidHandle> open(const device::HidInterfaceInfo& info,
                                            device::HidAccess access) override;
    bool isStillPresent(const std::string& path) override;
    device::HidOpenFailure whyNotOpened(const device::HidInterfaceInfo& info,
                                        device::HidAccess access) override;
    device::HotplugMonitor* hotplugMonitor() override { return this; }

    int subscribe(Listener onChange) override;
    void unsubscribe(int id) override;

  private:
    std::shared_ptr<SimulatedDevice> findLocked(std::string_view nameOrPath) const;
    void pruneLocked() const;

    const SimSettings settings_;
    mutable std::mutex mutex_;
    mutable std::vector<std::shared_ptr<SimulatedDevice>> devices_;
    int nextSerial_ = 1;

    // Shared with the devices, which may outlive the backend.
    struct Subscribers {
        std::mutex mutex;
        std::vector<std::pair<int, Listener>> listeners;
        int next = 1;
        void notify();
    };
    std::shared_ptr<Subscribers> subscribers_ = std::make_shared<Subscribers>();
};

// The models a --simulate list names: "rgb-keyboard,mouse,mousepad", or "none" for no
// device. An error message names the first unknown model.
struct ModelList {
    std::vector<device::DeviceKind> kinds;
    std::string error;  // empty on success
};
ModelList parseModelList(std::string_view list);

inline constexpr std::string_view kDefaultSimulatedModels = "rgb-keyboard,mouse,mousepad";

}  // namespace korvane::sim
