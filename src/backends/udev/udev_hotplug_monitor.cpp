#include "backends/udev/udev_hotplug_monitor.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>

#include "core/platform/debug_line.h"
#include "core/platform/thread_name.h"

namespace korvane::backends {
namespace {

// The events that change which nodes exist; "change", "bind" and the like do not.
bool addsOrRemovesNode(const UdevEvent& event) {
    return event.subsystem == "hidraw" && (event.action == "add" || event.action == "remove");
}

}  // namespace

UdevHotplugMonitor::UdevHotplugMonitor(std::unique_ptr<UdevMonitorCalls> calls)
    : calls_(std::move(calls)) {}

UdevHotplugMonitor::~UdevHotplugMonitor() {
    if (thread_.joinable()) {
        const std::uint64_t one = 1;
        // The eventfd cannot be full at 1; nothing else could end the poll.
        [[maybe_unused]] const auto written = ::write(wakeFd_, &one, sizeof one);
        thread_.join();
    }
    if (wakeFd_ >= 0) {
        ::close(wakeFd_);
    }
}

int UdevHotplugMonitor::subscribe(Listener onChange) {
    std::lock_guard lock(mutex_);
    if (!startLocked()) {
        return 0;
    }
    const int id = next_++;
    listeners_.emplace_back(id, std::move(onChange));
    return id;
}

void UdevHotplugMonitor::unsubscribe(int id) {
    std::lock_guard lock(mutex_);
    std::erase_if(listeners_, [id](const auto& entry) { return entry.first == id; });
}

bool UdevHotplugMonitor::startLocked() {
    if (thread_.joinable() || failed_) {
        return !failed_;
    }
    const int monitorFd = calls_->open();
    wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (monitorFd < 0 || wakeFd_ < 0) {
        failed_ = true;
        platform::debugLine("udev monitor unavailable: devices are looked for every few seconds");
        return false;
    }
    thread_ = std::thread([this, monitorFd] {
        platform::nameThisThread("kv-hotplug");
        run(monitorFd);
    });
    return true;
}

void UdevHotplugMonitor::run(int monitorFd) {
    std::array<pollfd, 2> fds{{{monitorFd, POLLIN, 0}, {wakeFd_, POLLIN, 0}}};
    for (;;) {
        fds[0].revents = 0;
        fds[1].revents = 0;
        if (::poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        if ((fds[1].revents & POLLIN) != 0) {
            return;
        }
        if ((fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
            platform::debugLine("udev monitor closed: devices are looked for every few seconds");
            return;
        }
        bool changed = false;
        while (const auto event = calls_->receive()) {
            changed = changed || addsOrRemovesNode(*event);
        }
        if (changed) {
            notify();
        }
    }
}

void UdevHotplugMonitor::notify() {
    std::lock_guard lock(mutex_);
    for (const auto& [id, listener] : listeners_) {
        listener();
    }
}

}  // namespace korvane::backends
