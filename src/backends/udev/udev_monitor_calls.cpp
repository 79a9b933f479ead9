#include "backends/udev/udev_monitor_calls.h"

#include <libudev.h>

namespace korvane::backends {
namespace {

std::string textOf(const char* text) {
    return text != nullptr ? std::string(text) : std::string();
}

class SystemUdevMonitorCalls final : public UdevMonitorCalls {
  public:
    ~SystemUdevMonitorCalls() override {
        if (monitor_ != nullptr) {
            udev_monitor_unref(monitor_);
        }
        if (udev_ != nullptr) {
            udev_unref(udev_);
        }
    }

    int open() override {
        if (monitor_ != nullptr) {
            return udev_monitor_get_fd(monitor_);
        }
        udev_ = udev_new();
        if (udev_ == nullptr) {
            return -1;
        }
        monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
        if (monitor_ == nullptr ||
            udev_monitor_filter_add_match_subsystem_devtype(monitor_, "hidraw", nullptr) < 0 ||
            udev_monitor_enable_receiving(monitor_) < 0) {
            return -1;
        }
        return udev_monitor_get_fd(monitor_);
    }

    std::optional<UdevEvent> receive() override {
        if (monitor_ == nullptr) {
            return std::nullopt;
        }
        udev_device* device = udev_monitor_receive_device(monitor_);
        if (device == nullptr) {
            return std::nullopt;
        }
        UdevEvent event{textOf(udev_device_get_action(device)),
                        textOf(udev_device_get_subsystem(device)),
                        textOf(udev_device_get_devnode(device))};
        udev_device_unref(device);
        return event;
    }

  private:
    udev* udev_ = nullptr;
    udev_monitor* monitor_ = nullptr;
};

}  // namespace

std::unique_ptr<UdevMonitorCalls> systemUdevMonitorCalls() {
    return std::make_unique<SystemUdevMonitorCalls>();
}

}  // namespace korvane::backends
