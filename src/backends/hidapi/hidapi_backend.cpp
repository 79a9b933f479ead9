#include "backends/hidapi/hidapi_backend.h"

#include <hidapi.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <future>
#include <mutex>
#include <system_error>
#include <thread>

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
        writer_ = std::thread([this] { writeLoop(); });
    }
    ~HidapiHandle() override {
        {
            std::lock_guard guard(writeMutex_);
            stopping_ = true;
        }
        writeWanted_.notify_all();
        writer_.join();
        hid_close(device_);
    }

    // hidraw writes block until the kernel's own USB time limit, which is longer than ours.
    // They run on the handle's writer thread; a write that is not done within the timeout
    // reports failure while its copy of the report stays with the writer until it ends.
    bool write(std::span<const std::uint8_t> report, std::chrono::milliseconds timeout) override {
        auto job = std::make_shared<WriteJob>();
        job->bytes.assign(report.begin(), report.end());
        std::future<bool> done = job->done.get_future();
        {
            std::lock_guard guard(writeMutex_);
            if (stopping_) {
                return false;
            }
            jobs_.push_back(job);
        }
        writeWanted_.notify_one();
        if (timeout < std::chrono::milliseconds::zero()) {
            return done.get();
        }
        if (done.wait_for(timeout) != std::future_status::ready) {
            return false;
        }
        return done.get();
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
    struct WriteJob {
        std::vector<std::uint8_t> bytes;
        std::promise<bool> done;
    };

    void writeLoop() {
        for (;;) {
            std::shared_ptr<WriteJob> job;
            {
                std::unique_lock guard(writeMutex_);
                writeWanted_.wait(guard, [this] { return stopping_ || !jobs_.empty(); });
                if (jobs_.empty()) {
                    return;
                }
                job = std::move(jobs_.front());
                jobs_.pop_front();
            }
            const int n = hid_write(device_, job->bytes.data(), job->bytes.size());
            job->done.set_value(n >= 0 && static_cast<std::size_t>(n) == job->bytes.size());
        }
    }

    hid_device* device_;
    HidInterfaceInfo info_;
    std::vector<std::uint8_t> descriptor_;
    bool numbered_ = true;
    std::atomic<bool> aborted_{false};

    std::mutex writeMutex_;
    std::condition_variable writeWanted_;
    std::deque<std::shared_ptr<WriteJob>> jobs_;
    bool stopping_ = false;
    std::thread writer_;
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
