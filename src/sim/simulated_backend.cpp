#include "sim/simulated_backend.h"

#include <algorithm>
#include <utility>

namespace korvane::sim {

SimulatedBackend::SimulatedBackend(SimSettings settings) : settings_(std::move(settings)) {}

std::shared_ptr<SimulatedDevice> SimulatedBackend::plug(device::DeviceKind kind) {
    return plug(kind, settings_);
}

std::shared_ptr<SimulatedDevice> SimulatedBackend::plug(device::DeviceKind kind,
                                                        SimSettings settings) {
    std::shared_ptr<SimulatedDevice> device;
    {
        std::lock_guard lock(mutex_);
        device = std::make_shared<SimulatedDevice>(kind, nextSerial_++, std::move(settings));
        device->setVanishListener([weak = std::weak_ptr(subscribers_)] {
            if (const auto subscribers = weak.lock()) {
                subscribers->notify();
            }
        });
        devices_.push_back(device);
    }
    subscribers_->notify();
    return device;
}

int SimulatedBackend::subscribe(Listener onChange) {
    std::lock_guard lock(subscribers_->mutex);
    const int id = subscribers_->next++;
    subscribers_->listeners.emplace_back(id, std::move(onChange));
    return id;
}

void SimulatedBackend::unsubscribe(int id) {
    std::lock_guard lock(subscribers_->mutex);
    std::erase_if(subscribers_->listeners, [id](const auto& entry) { return entry.first == id; });
}

void SimulatedBackend::Subscribers::notify() {
    std::lock_guard lock(mutex);
    for (const auto& [id, listener] : listeners) {
        listener();
    }
}

bool SimulatedBackend::unplug(std::string_view nameOrPath) {
    std::shared_ptr<SimulatedDevice> device;
    {
        std::lock_guard lock(mutex_);
        device = findLocked(nameOrPath);
        if (!device) {
            return false;
        }
        std::erase(devices_, device);
    }
    device->unplug();
    return true;
}

std::vector<std::shared_ptr<SimulatedDevice>> SimulatedBackend::devices() const {
    std::lock_guard lock(mutex_);
    pruneLocked();
    return devices_;
}

std::shared_ptr<SimulatedDevice> SimulatedBackend::find(std::string_view nameOrPath) const {
    std::lock_guard lock(mutex_);
    return findLocked(nameOrPath);
}

std::shared_ptr<SimulatedDevice> SimulatedBackend::findLocked(std::string_view nameOrPath) const {
    const std::string key(nameOrPath);
    for (const auto& device : devices_) {
        if (device->present() && (device->name() == key || device->ownsPath(key))) {
            return device;
        }
    }
    return nullptr;
}

// A device that vanished through an injected fault leaves the list at the next look.
void SimulatedBackend::pruneLocked() const {
    std::erase_if(devices_, [](const auto& device) { return !device->present(); });
}

std::optional<std::vector<device::HidInterfaceInfo>> SimulatedBackend::enumerate() {
    std::lock_guard lock(mutex_);
    pruneLocked();
    std::vector<device::HidInterfaceInfo> result;
    for (const auto& device : devices_) {
        auto interfaces = device->interfaces();
        result.insert(result.end(), interfaces.begin(), interfaces.end());
    }
    return result;
}

std::unique_ptr<device::HidHandle> SimulatedBackend::open(const device::HidInterfaceInfo& info,
                                                          device::HidAccess access) {
    const auto device = find(info.path);
    return device ? device->open(info, access) : nullptr;
}

bool SimulatedBackend::isStillPresent(const std::string& path) {
    return find(path) != nullptr;
}

device::HidOpenFailure SimulatedBackend::whyNotOpened(const device::HidInterfaceInfo& info,
                                                      device::HidAccess) {
    const auto device = find(info.path);
    return device && device->permissionDenied() ? device::HidOpenFailure::PermissionDenied
                                                : device::HidOpenFailure::Other;
}

ModelList parseModelList(std::string_view list) {
    ModelList result;
    if (list == "none") {
        return result;
    }
    while (true) {
        const auto comma = list.find(',');
        const auto name = list.substr(0, comma);
        const auto kind = device::kindFromCliName(name);
        if (!kind) {
            result.kinds.clear();
            result.error = "unknown model '" + std::string(name) +
                           "' (expected rgb-keyboard, mono-keyboard, region-keyboard, "
                           "membrane-keyboard, mouse, mouse-alt, mouse2, mousepad or none)";
            return result;
        }
        result.kinds.push_back(*kind);
        if (comma == std::string_view::npos) {
            return result;
        }
        list.remove_prefix(comma + 1);
    }
}

}  // namespace korvane::sim
