#include "backends/hidapi/hidapi_backend.h"

#include <hidapi.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <mutex>
#include <system_error>

#include "backends/hidapi/hid_enumeration.h"
#include "core/device/report_descriptor.h"

namespace korvane::backends {

namespace {

using device::HidAccess;
using device::HidHandle;
using device::HidInterfaceInfo;
using device::HidReadStatus;

// Reads wait in slices this long so that abortRead from another thread is seen quickly.
constexpr int kReadSliceMs = 20;

std::optional<std::vector<std::uint8_t>> descriptorOf(const std::string& path) {
    const std::string file = sysfsDescriptorPath(path);
    if (file.empty()) {
        return std::nullopt;
    }
    return readDescriptorFile(file);
}

class HidapiHandle : public HidHandle {
  public:
    HidapiHandle(hid_device* device, HidInterfaceInfo info, std::vector<std::uint8_t> descriptor)
        : device_(device), info_(std::move(info)), descriptor_(std::move(descriptor)) {
        const auto parsed = device::parseReportDescriptor(descriptor_);
        // Without report IDs hidraw hands out bare data; we put the 0 ID byte in front so
        // every reader sees byte 0 as the report ID.
        numbered_ = !parsed || parsed->usesReportIds;
    }
    ~HidapiHandle() override { hid_close(device_); }

    // hidraw writes are bounded by the kernel's own USB time limit; hidapi offers no shorter
    // one, so the timeout argument cannot make a write end sooner.
    bool write(std::span<const std::uint8_t> report, std::chrono::milliseconds) override {
        std::lock_guard guard(writeMutex_);
        const int n = hid_write(device_, report.data(), report.size());
        return n >= 0 && static_cast<std::size_t>(n) == report.size();
    }

    HidReadStatus read(std::span<std::uint8_t> buffer, std::chrono::milliseconds timeout,
                       std::size_t& bytesRead) override {
        bytesRead = 0;
        if (buffer.empty()) {
            return HidReadStatus::Failed;
        }
        std::span<std::uint8_t> target = numbered_ ? buffer : buffer.subspan(1);
        const bool infinite = timeout == kInfinite;
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            if (aborted_.exchange(false)) {
                return HidReadStatus::Aborted;
            }
            int slice = kReadSliceMs;
            if (!infinite) {
                const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                                      deadline - std::chrono::steady_clock::now())
                                      .count();
                slice = static_cast<int>(std::clamp<long long>(left, 0, kReadSliceMs));
            }
            const int n = hid_read_timeout(device_, target.data(), target.size(), slice);
            if (n < 0) {
                return HidReadStatus::Failed;
            }
            if (n > 0) {
                if (!numbered_) {
                    buffer[0] = 0;
                }
                bytesRead = static_cast<std::size_t>(n) + (numbered_ ? 0 : 1);
                return HidReadStatus::Ok;
            }
            if (!infinite && std::chrono::steady_clock::now() >= deadline) {
                return HidReadStatus::Timeout;
            }
        }
    }

    void abortRead() override { aborted_.store(true); }
    std::vector<std::uint8_t> reportDescriptor() const override { return descriptor_; }
    const HidInterfaceInfo& info() const override { return info_; }

  private:
    hid_device* device_;
    HidInterfaceInfo info_;
    std::vector<std::uint8_t> descriptor_;
    bool numbered_ = true;
    std::mutex writeMutex_;
    std::atomic<bool> aborted_{false};
};

class HidapiBackend : public device::HidBackend {
  public:
    HidapiBackend() { initialised_ = hid_init() == 0; }

    std::optional<std::vector<HidInterfaceInfo>> enumerate() override {
        if (!initialised_) {
            return std::nullopt;
        }
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
        return interfacesFromEnumeration(entries, descriptorOf);
    }

    std::unique_ptr<HidHandle> open(const HidInterfaceInfo& info, HidAccess) override {
        if (!initialised_) {
            return nullptr;
        }
        hid_device* device = hid_open_path(info.path.c_str());
        if (device == nullptr) {
            return nullptr;
        }
        return std::make_unique<HidapiHandle>(
            device, info, descriptorOf(info.path).value_or(std::vector<std::uint8_t>{}));
    }

    bool isStillPresent(const std::string& path) override {
        std::error_code error;
        return std::filesystem::exists(path, error);
    }

  private:
    bool initialised_ = false;
};

}  // namespace

std::unique_ptr<device::HidBackend> makeHidapiBackend() {
    return std::make_unique<HidapiBackend>();
}

}  // namespace korvane::backends
