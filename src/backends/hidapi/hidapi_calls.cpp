#include "backends/hidapi/hidapi_calls.h"

#include <hidapi.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace korvane::backends {

struct HidapiDevice {
    hid_device* device = nullptr;
};

namespace {

class SystemHidapiCalls final : public HidapiCalls {
  public:
    bool init() override { return hid_init() == 0; }

    std::vector<EnumeratedInterface> enumerate() override {
        hid_device_info* list = hid_enumerate(0, 0);
        std::vector<EnumeratedInterface> entries;
        for (hid_device_info* d = list; d != nullptr; d = d->next) {
            EnumeratedInterface e;
            e.path = d->path != nullptr ? d->path : "";
            e.vendorId = d->vendor_id;
            e.productId = d->product_id;
            e.releaseNumber = d->release_number;
            e.usagePage = d->usage_page;
            e.usage = d->usage;
            e.interfaceNumber = d->interface_number;
            if (!e.path.empty()) {
                entries.push_back(std::move(e));
            }
        }
        hid_free_enumeration(list);
        return entries;
    }

    HidapiDevice* openPath(const std::string& path) override {
        hid_device* device = hid_open_path(path.c_str());
        if (device == nullptr) {
            return nullptr;
        }
        return new HidapiDevice{device};
    }

    void close(HidapiDevice* device) override {
        if (device != nullptr) {
            hid_close(device->device);
            delete device;
        }
    }

    int write(HidapiDevice* device, std::span<const std::uint8_t> report) override {
        return hid_write(device->device, report.data(), report.size());
    }

    int readTimeout(HidapiDevice* device, std::span<std::uint8_t> buffer,
                    int milliseconds) override {
        return hid_read_timeout(device->device, buffer.data(), buffer.size(), milliseconds);
    }

    int accessError(const std::string& path, bool write) override {
        // access() asks the kernel the question open() would, ACLs (uaccess) included,
        // without opening the node.
        if (::access(path.c_str(), R_OK | (write ? W_OK : 0)) == 0) {
            return 0;
        }
        return errno;
    }

    std::optional<std::vector<std::uint8_t>> reportDescriptor(const std::string& path) override {
        const std::string file = sysfsDescriptorPath(path);
        if (file.empty()) {
            return std::nullopt;
        }
        return readDescriptorFile(file);
    }

    bool exists(const std::string& path) override {
        std::error_code error;
        return std::filesystem::exists(path, error);
    }
};

}  // namespace

std::shared_ptr<HidapiCalls> systemHidapiCalls() {
    return std::make_shared<SystemHidapiCalls>();
}

}  // namespace korvane::backends
