#pragma once

#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "backends/udev/udev_monitor_calls.h"
#include "core/device/hotplug_monitor.h"

namespace korvane::backends {

// hidraw nodes added and removed, from udev's processed events. A thread of its own
// ("kv-hotplug") sleeps in poll() on the monitor and a wake descriptor; it starts with the
// first subscriber and ends with the monitor.
class UdevHotplugMonitor final : public device::HotplugMonitor {
  public:
    explicit UdevHotplugMonitor(std::unique_ptr<UdevMonitorCalls> calls = systemUdevMonitorCalls());
    ~UdevHotplugMonitor() override;
    UdevHotplugMonitor(const UdevHotplugMonitor&) = delete;
    UdevHotplugMonitor& operator=(const UdevHotplugMonitor&) = delete;

    int subscribe(Listener onChange) override;
    void unsubscribe(int id) override;

  private:
    bool startLocked();
    void run(int monitorFd);
    void notify();

    std::unique_ptr<UdevMonitorCalls> calls_;
    std::mutex mutex_;  // guards the fields below; held while listeners run
    std::vector<std::pair<int, Listener>> listeners_;
    int next_ = 1;
    bool failed_ = false;
    int wakeFd_ = -1;
    std::thread thread_;
};

}  // namespace korvane::backends
