#include "core/device/device_changes.h"

#include <algorithm>

namespace korvane::device {

DeviceChanges::~DeviceChanges() {
    if (monitor_ != nullptr && subscription_ != 0) {
        monitor_->unsubscribe(subscription_);
    }
}

bool DeviceChanges::follow(HotplugMonitor& monitor) {
    if (monitor_ != nullptr) {
        return subscription_ != 0;
    }
    monitor_ = &monitor;
    subscription_ = monitor.subscribe([this] { notify(); });
    watching_.store(subscription_ != 0);
    return subscription_ != 0;
}

int DeviceChanges::listen(Listener listener) {
    std::lock_guard lock(mutex_);
    const int id = next_++;
    listeners_.emplace_back(id, std::move(listener));
    return id;
}

void DeviceChanges::unlisten(int id) {
    std::lock_guard lock(mutex_);
    std::erase_if(listeners_, [id](const auto& entry) { return entry.first == id; });
}

void DeviceChanges::notify() {
    std::lock_guard lock(mutex_);
    for (const auto& [id, listener] : listeners_) {
        listener();
    }
}

DeviceChangeWaiter::DeviceChangeWaiter(DeviceChanges* changes, const platform::StopEvent& stop)
    : changes_(changes), stop_(stop) {
    if (changes_ != nullptr) {
        id_ = changes_->listen([this] {
            changed_.store(true);
            stop_.wake();
        });
    }
}

DeviceChangeWaiter::~DeviceChangeWaiter() {
    if (changes_ != nullptr) {
        changes_->unlisten(id_);
    }
}

bool DeviceChangeWaiter::wait(std::chrono::milliseconds timeout,
                              const std::function<bool()>& alsoReady) {
    const bool stopped =
        stop_.waitUntil([&] { return changed_.load() || (alsoReady && alsoReady()); }, timeout);
    changed_.store(false);
    return stopped;
}

std::chrono::milliseconds DeviceChangeWaiter::interval(std::chrono::milliseconds unwatched) const {
    return changes_ != nullptr && changes_->watching() ? kSafetyPollInterval : unwatched;
}

}  // namespace korvane::device
