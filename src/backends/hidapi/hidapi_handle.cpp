#include "backends/hidapi/hidapi_handle.h"

#include <pthread.h>

#include <algorithm>
#include <atomic>
#include <optional>
#include <thread>

#include "core/device/report_descriptor.h"

namespace korvane::backends {

namespace {

using device::HidReadStatus;
using Clock = std::chrono::steady_clock;

// Reads wait in slices this long, so that abortRead is seen quickly and a waiting write
// gets the device between two slices.
constexpr std::chrono::milliseconds kReadSlice{20};

// One device's turn at hidapi: taken for each hid_write and each hid_read_timeout.
class DeviceTurn {
  public:
    void take() {
        std::unique_lock guard(mutex_);
        free_.wait(guard, [&] { return !taken_; });
        taken_ = true;
    }
    bool tryTakeFor(std::chrono::milliseconds limit) {
        std::unique_lock guard(mutex_);
        if (!free_.wait_for(guard, limit, [&] { return !taken_; })) {
            return false;
        }
        taken_ = true;
        return true;
    }
    void give() {
        {
            std::lock_guard guard(mutex_);
            taken_ = false;
        }
        free_.notify_all();
    }

  private:
    std::mutex mutex_;
    std::condition_variable free_;
    bool taken_ = false;
};

}  // namespace

struct HidapiHandle::Core {
    enum class Slot : std::uint8_t { Empty, Waiting, Sending };

    Core(std::shared_ptr<HidapiLibrary> lib, HidapiDevice* dev)
        : library(std::move(lib)), device(dev) {}
    ~Core() {
        std::lock_guard guard(library->globalMutex);
        library->calls->close(device);
    }

    std::shared_ptr<HidapiLibrary> library;
    HidapiDevice* const device;

    DeviceTurn io;

    std::mutex mutex;  // guards what follows
    std::condition_variable changed;
    Slot slot = Slot::Empty;
    std::vector<std::uint8_t> job;
    std::uint64_t jobNumber = 0;       // of the latest write handed over
    std::uint64_t finishedNumber = 0;  // of the latest write the device took or refused
    bool lastResult = false;
    bool closing = false;
    std::thread writer;

    std::atomic<bool> aborted{false};

    // The writer thread. It owns a reference of its own so that a write still stuck when
    // the handle closes keeps the device open until the kernel gives up on it.
    static void writeLoop(const std::shared_ptr<Core>& self) {
        pthread_setname_np(pthread_self(), "kv-hid-write");
        for (;;) {
            {
                std::unique_lock guard(self->mutex);
                self->changed.wait(guard,
                                   [&] { return self->closing || self->slot == Slot::Waiting; });
                if (self->closing) {
                    return;
                }
            }
            // A read in progress gives the device up within one slice.
            self->io.take();
            std::vector<std::uint8_t> bytes;
            std::uint64_t number = 0;
            {
                std::lock_guard guard(self->mutex);
                if (self->closing || self->slot != Slot::Waiting) {
                    // Closed, or given up while the device was busy: never sent.
                    self->io.give();
                    if (self->closing) {
                        return;
                    }
                    continue;
                }
                self->slot = Slot::Sending;
                bytes = std::move(self->job);
                number = self->jobNumber;
            }
            const int n = self->library->calls->write(self->device, bytes);
            self->io.give();
            {
                std::lock_guard guard(self->mutex);
                self->lastResult = n >= 0 && static_cast<std::size_t>(n) == bytes.size();
                self->finishedNumber = number;
                self->slot = Slot::Empty;
            }
            self->changed.notify_all();
        }
    }
};

bool HidapiHandle::reportsAreNumbered(std::span<const std::uint8_t> descriptor) {
    const auto parsed = device::parseReportDescriptor(descriptor);
    if (!parsed || parsed->collections.empty()) {
        return true;
    }
    return parsed->usesReportIds;
}

HidapiHandle::HidapiHandle(std::shared_ptr<HidapiLibrary> library, HidapiDevice* device,
                           device::HidInterfaceInfo info, std::vector<std::uint8_t> descriptor)
    : core_(std::make_shared<Core>(std::move(library), device)),
      info_(std::move(info)),
      descriptor_(std::move(descriptor)),
      numbered_(reportsAreNumbered(descriptor_)) {
    core_->writer = std::thread([core = core_] { Core::writeLoop(core); });
}

HidapiHandle::~HidapiHandle() {
    bool stuck = false;
    {
        std::lock_guard guard(core_->mutex);
        core_->closing = true;
        stuck = core_->slot == Core::Slot::Sending;
    }
    core_->changed.notify_all();
    if (stuck) {
        // It ends when the kernel lets go of the write, and closes the device then.
        core_->writer.detach();
    } else {
        core_->writer.join();
    }
}

bool HidapiHandle::write(std::span<const std::uint8_t> report, std::chrono::milliseconds timeout) {
    Core& core = *core_;
    std::unique_lock guard(core.mutex);
    if (core.closing || core.slot != Core::Slot::Empty) {
        return false;  // the previous write is still stuck in the device
    }
    core.job.assign(report.begin(), report.end());
    core.slot = Core::Slot::Waiting;
    const std::uint64_t number = ++core.jobNumber;
    core.changed.notify_all();
    const auto finished = [&] { return core.finishedNumber == number || core.closing; };
    if (timeout < std::chrono::milliseconds::zero()) {
        core.changed.wait(guard, finished);
    } else if (!core.changed.wait_for(guard, timeout, finished)) {
        if (core.slot == Core::Slot::Waiting) {
            // Not begun: cancelled, it is never sent.
            core.slot = Core::Slot::Empty;
            core.job.clear();
        }
        // Begun: the device has it; the slot stays taken until the kernel gives up.
        return false;
    }
    return core.finishedNumber == number && core.lastResult;
}

HidReadStatus HidapiHandle::read(std::span<std::uint8_t> buffer, std::chrono::milliseconds timeout,
                                 std::size_t& bytesRead) {
    bytesRead = 0;
    if (buffer.empty()) {
        return HidReadStatus::Failed;
    }
    Core& core = *core_;
    // Without report IDs hidraw hands out bare data; the 0 ID byte goes in front so every
    // reader sees byte 0 as the report ID.
    const std::span<std::uint8_t> target = numbered_ ? buffer : buffer.subspan(1);
    const bool infinite = timeout == kInfinite;
    const auto deadline = Clock::now() + (infinite ? std::chrono::milliseconds{0} : timeout);
    for (;;) {
        if (core.aborted.exchange(false)) {
            return HidReadStatus::Aborted;
        }
        std::chrono::milliseconds slice = kReadSlice;
        if (!infinite) {
            slice =
                std::clamp(std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()),
                           std::chrono::milliseconds{0}, kReadSlice);
        }
        if (core.io.tryTakeFor(slice)) {
            const int n = core.library->calls->readTimeout(core.device, target,
                                                           static_cast<int>(slice.count()));
            core.io.give();
            if (n < 0) {
                return HidReadStatus::Failed;
            }
            if (n > 0) {
                if (!numbered_) {
                    buffer[0] = 0;
                }
                bytesRead =
                    std::min(static_cast<std::size_t>(n) + (numbered_ ? 0 : 1), buffer.size());
                return HidReadStatus::Ok;
            }
        }
        if (!infinite && Clock::now() >= deadline) {
            return HidReadStatus::Timeout;
        }
    }
}

void HidapiHandle::abortRead() {
    core_->aborted.store(true);
}

}  // namespace korvane::backends
