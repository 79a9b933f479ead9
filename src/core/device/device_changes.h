#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <utility>
#include <vector>

#include "core/device/hotplug_monitor.h"
#include "core/platform/stop_event.h"

namespace korvane::device {

// Wakes the threads that care when the devices may have changed: a node came or went (from
// the hotplug monitor it follows), or a connection thread connected or lost its device.
// Listeners run on the notifying thread under the hub's lock: they must be quick (set a
// flag, wake a waiter) and must not call back into the hub.
class DeviceChanges {
  public:
    using Listener = std::function<void()>;

    DeviceChanges() = default;
    ~DeviceChanges();
    DeviceChanges(const DeviceChanges&) = delete;
    DeviceChanges& operator=(const DeviceChanges&) = delete;

    // Passes the monitor's events on until this hub is destroyed; one monitor at most.
    // False when the monitor cannot watch.
    bool follow(HotplugMonitor& monitor);
    // Whether a monitor tells when nodes come and go; without one, threads poll as often
    // as they used to.
    bool watching() const { return watching_.load(); }

    int listen(Listener listener);
    // After it returns, that listener never runs again.
    void unlisten(int id);
    void notify();

  private:
    std::mutex mutex_;
    std::vector<std::pair<int, Listener>> listeners_;
    int next_ = 1;
    HotplugMonitor* monitor_ = nullptr;
    int subscription_ = 0;
    std::atomic<bool> watching_{false};
};

// How often a thread that sleeps until devices change looks anyway: a missed event costs
// at most this long.
inline constexpr std::chrono::milliseconds kSafetyPollInterval{5000};

// Puts one thread to sleep until the devices may have changed, its stop event is set, or
// the time is up. A change while the thread was awake ends its next wait at once, so
// nothing that happens during a pass is missed.
class DeviceChangeWaiter {
  public:
    // changes may be null: then only the stop event and the time end a wait.
    DeviceChangeWaiter(DeviceChanges* changes, const platform::StopEvent& stop);
    ~DeviceChangeWaiter();
    DeviceChangeWaiter(const DeviceChangeWaiter&) = delete;
    DeviceChangeWaiter& operator=(const DeviceChangeWaiter&) = delete;

    // True when the stop event is set. alsoReady ends the wait too; it runs under the stop
    // event's lock, so it must only read atomics, and whoever makes it true wakes the event.
    bool wait(std::chrono::milliseconds timeout, const std::function<bool()>& alsoReady = {});
    // The sleep between passes: the safety poll while a monitor watches, else the given
    // poll interval.
    std::chrono::milliseconds interval(std::chrono::milliseconds unwatched) const;

  private:
    DeviceChanges* changes_;
    const platform::StopEvent& stop_;
    std::atomic<bool> changed_{false};
    int id_ = 0;
};

// A listener for the length of a scope.
class ScopedDeviceListener {
  public:
    ScopedDeviceListener(DeviceChanges& changes, DeviceChanges::Listener listener)
        : changes_(changes), id_(changes.listen(std::move(listener))) {}
    ~ScopedDeviceListener() { changes_.unlisten(id_); }
    ScopedDeviceListener(const ScopedDeviceListener&) = delete;
    ScopedDeviceListener& operator=(const ScopedDeviceListener&) = delete;

  private:
    DeviceChanges& changes_;
    int id_;
};

}  // namespace korvane::device
