#include "backends/hidapi/hidapi_backend.h"

#include <cerrno>
#include <mutex>

#include "backends/hidapi/hid_enumeration.h"
#include "backends/hidapi/hidapi_handle.h"
#include "backends/udev/udev_hotplug_monitor.h"

namespace korvane::backends {

namespace {

using device::HidAccess;
using device::HidHandle;
using device::HidInterfaceInfo;

class HidapiBackend final : public device::HidBackend {
  public:
    HidapiBackend(std::shared_ptr<HidapiLibrary> library,
                  std::unique_ptr<device::HotplugMonitor> hotplug)
        : library_(std::move(library)), hotplug_(std::move(hotplug)) {
        std::lock_guard guard(library_->globalMutex);
        // Before any thread opens a device, as hidapi asks.
        initialised_ = library_->calls->init();
    }

    std::optional<std::vector<HidInterfaceInfo>> enumerate() override {
        if (!initialised_) {
            return std::nullopt;
        }
        std::vector<EnumeratedInterface> entries;
        {
            std::lock_guard guard(library_->globalMutex);
            entries = library_->calls->enumerate();
        }
        return interfacesFromEnumeration(entries, [this](const std::string& path) {
            return library_->calls->reportDescriptor(path);
        });
    }

    std::unique_ptr<HidHandle> open(const HidInterfaceInfo& info, HidAccess) override {
        if (!initialised_) {
            return nullptr;
        }
        HidapiDevice* device = nullptr;
        {
            std::lock_guard guard(library_->globalMutex);
            device = library_->calls->openPath(info.path);
        }
        if (device == nullptr) {
            return nullptr;
        }
        return std::make_unique<HidapiHandle>(
            library_, device, info,
            library_->calls->reportDescriptor(info.path).value_or(std::vector<std::uint8_t>{}));
    }

    bool isStillPresent(const std::string& path) override { return library_->calls->exists(path); }

    device::HidOpenFailure whyNotOpened(const HidInterfaceInfo& info, HidAccess access) override {
        const int error = library_->calls->accessError(info.path, access == HidAccess::ReadWrite);
        return error == EACCES || error == EPERM ? device::HidOpenFailure::PermissionDenied
                                                 : device::HidOpenFailure::Other;
    }

    device::HotplugMonitor* hotplugMonitor() override { return hotplug_.get(); }

  private:
    std::shared_ptr<HidapiLibrary> library_;
    std::unique_ptr<device::HotplugMonitor> hotplug_;
    bool initialised_ = false;
};

}  // namespace

std::unique_ptr<device::HidBackend> makeHidapiBackend() {
    // One library object per process: every backend shares its lock.
    static const std::shared_ptr<HidapiLibrary> library =
        std::make_shared<HidapiLibrary>(systemHidapiCalls());
    return makeHidapiBackend(library, std::make_unique<UdevHotplugMonitor>());
}

std::unique_ptr<device::HidBackend> makeHidapiBackend(
    std::shared_ptr<HidapiLibrary> library, std::unique_ptr<device::HotplugMonitor> hotplug) {
    return std::make_unique<HidapiBackend>(std::move(library), std::move(hotplug));
}

}  // namespace korvane::backends
