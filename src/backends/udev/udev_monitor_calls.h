#pragma once

#include <memory>
#include <optional>
#include <string>

namespace korvane::backends {

// One device event as udev reports it.
struct UdevEvent {
    std::string action;     // "add", "remove", "change", "bind", …
    std::string subsystem;  // "hidraw", …
    std::string devnode;    // "/dev/hidraw3"; may be empty
};

// libudev's monitor behind a seam, so that the hotplug monitor's own rules (which events
// count, how it ends) can be tested without the kernel.
class UdevMonitorCalls {
  public:
    virtual ~UdevMonitorCalls() = default;

    // Opens a monitor of processed device events (after the rules ran, so a node's
    // permissions are final) filtered to hidraw; the descriptor to poll, -1 when none can
    // be opened.
    virtual int open() = 0;
    // The next queued event once the descriptor is readable; nullopt when none is left.
    virtual std::optional<UdevEvent> receive() = 0;
};

// The real calls: libudev.
std::unique_ptr<UdevMonitorCalls> systemUdevMonitorCalls();

}  // namespace korvane::backends
