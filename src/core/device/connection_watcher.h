#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <set>
#include <vector>

#include "core/device/device_changes.h"
#include "core/device/device_commander.h"
#include "core/device/device_kind.h"
#include "core/device/device_matching.h"
#include "core/device/hid_backend.h"
#include "core/platform/stop_event.h"

namespace korvane::device {

inline constexpr std::chrono::milliseconds kAbsentPollInterval{1000};
inline constexpr std::chrono::milliseconds kPresentPollInterval{100};

// Watches for the device of one commander: enumerates while it is absent, probes the open
// interface while it is present. Between passes it sleeps until the devices change (a node
// came or went, another commander connected or lost its device), a request is pending, or
// the poll interval is up: the safety poll while a hotplug monitor watches, else 1000 ms
// absent and 100 ms present. The commander's lock is held across the device-side part
// of a pass and released before any hook that may wait for the main thread runs.
class ConnectionWatcher {
  public:
    struct Hooks {
        // Lock held: the interface was opened and attached; connected is not set yet.
        // Reads what the connection needs from the device.
        std::function<void(DeviceKind kind, const HidInterfaceInfo& info)> readArrived;
        // Lock released: applies what readArrived read.
        std::function<void()> applyArrived;
        // Lock released: the device is still there (every 100 ms).
        std::function<void()> stillPresent;
        // Lock released: the device has gone; connected and synchronised are cleared.
        std::function<void()> lost;
        // Lock released: a matching interface is present but this user may not open it.
        // Once per run and device (vendor and product); a debug line naming the node has
        // been written. Must not wait for the main thread's user.
        std::function<void(const HidInterfaceInfo& info)> permissionDenied;
    };

    enum class Pass { Absent, Arrived, Present, Lost, EnumerationFailed };

    ConnectionWatcher(HidBackend& backend, DeviceCommander& commander, InterfaceRole role,
                      Hooks hooks, DeviceChanges* changes = nullptr);

    // One polling pass.
    Pass runPass();
    // Passes until the stop event is set or enumeration fails; every sleep waits on stop.
    // pending, when given, ends a sleep early (a re-read was requested): it must only read
    // atomics, and whoever makes it true calls stop.wake().
    void run(const platform::StopEvent& stop, const std::function<bool()>& pending = {});

  private:
    bool connectFirstMatch(const std::vector<HidInterfaceInfo>& interfaces, DeviceKind& kind,
                           HidInterfaceInfo& info);
    void noteOpenFailure(const HidInterfaceInfo& candidate, HidAccess access);

    HidBackend& backend_;
    DeviceCommander& commander_;
    InterfaceRole role_;
    Hooks hooks_;
    DeviceChanges* changes_;
    std::set<std::uint32_t> deniedReported_;        // vendor << 16 | product
    std::vector<HidInterfaceInfo> deniedThisPass_;  // to tell once the lock is released
};

}  // namespace korvane::device
