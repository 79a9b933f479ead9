#include "sim/simulated_device.h"

#include <algorithm>
#include <utility>

#include "sim/report_descriptors.h"

namespace korvane::sim {

using device::HidReadStatus;

// An open interface of a simulated device; it keeps the device alive.
class SimulatedHandle final : public device::HidHandle {
  public:
    SimulatedHandle(std::shared_ptr<SimulatedDevice> device, device::HidInterfaceInfo info,
                    SimInterface which, device::HidAccess access)
        : device_(std::move(device)), info_(std::move(info)), access_(access) {
        state_.which = which;
        device_->attach(&state_);
    }
    ~SimulatedHandle() override { device_->detach(&state_); }

    bool write(std::span<const std::uint8_t> report, std::chrono::milliseconds) override {
        // Like a node opened for reading only.
        if (access_ == device::HidAccess::ReadOnly) {
            return false;
        }
        return device_->write(state_, report);
    }
    HidReadStatus read(std::span<std::uint8_t> buffer, std::chrono::milliseconds timeout,
                       std::size_t& bytesRead) override {
        return device_->read(state_, buffer, timeout, bytesRead);
    }
    void abortRead() override { device_->abortRead(state_); }
    std::vector<std::uint8_t> reportDescriptor() const override {
        if (state_.which == SimInterface::Vendor) {
            return device_->vendorDescriptor();
        }
        return {kConsumerReportDescriptor.begin(), kConsumerReportDescriptor.end()};
    }
    const device::HidInterfaceInfo& info() const override { return info_; }

  private:
    std::shared_ptr<SimulatedDevice> device_;
    device::HidInterfaceInfo info_;
    device::HidAccess access_;
    SimulatedDevice::HandleState state_;
};

SimulatedDevice::SimulatedDevice(device::DeviceKind kind, int serial, SimSettings settings)
    : kind_(kind),
      name_(std::string(device::modelOf(kind).cliName) + "#" + std::to_string(serial)),
      settings_(std::move(settings)),
      firmware_(makeFactoryImage(kind, settings_)) {}

std::string SimulatedDevice::path(SimInterface which) const {
    return "sim:" + name_ + (which == SimInterface::Vendor ? "/vendor" : "/consumer");
}

std::vector<device::HidInterfaceInfo> SimulatedDevice::interfaces() const {
    const auto& model = device::modelOf(kind_);
    device::HidInterfaceInfo vendor;
    vendor.path = path(SimInterface::Vendor);
    vendor.vendorId = device::kVendorPrimary;
    vendor.productId = model.productId;
    vendor.versionNumber = kSimVersionNumber;
    vendor.usagePage = kVendorUsagePage;
    vendor.usage = kVendorUsage;
    vendor.interfaceNumber = 1;
    device::HidInterfaceInfo consumer = vendor;
    consumer.path = path(SimInterface::Consumer);
    consumer.usagePage = kConsumerUsagePage;
    consumer.usage = kConsumerUsage;
    consumer.interfaceNumber = 2;
    return {vendor, consumer};
}

bool SimulatedDevice::ownsPath(const std::string& p) const {
    return p == path(SimInterface::Vendor) || p == path(SimInterface::Consumer);
}

bool SimulatedDevice::present() const {
    std::lock_guard lock(mutex_);
    return present_;
}

void SimulatedDevice::unplug() {
    std::function<void()> vanished;
    {
        std::lock_guard lock(mutex_);
        present_ = false;
        vanished = std::exchange(vanished_, {});
        wakeAllLocked();
    }
    if (vanished) {
        vanished();
    }
}

void SimulatedDevice::setVanishListener(std::function<void()> listener) {
    std::lock_guard lock(mutex_);
    vanished_ = std::move(listener);
}

void SimulatedDevice::emitConsumer(std::uint16_t usage) {
    const std::array<std::uint8_t, kConsumerReportSize> report{
        kConsumerReportId, static_cast<std::uint8_t>(usage & 0xFF),
        static_cast<std::uint8_t>(usage >> 8)};
    {
        std::lock_guard lock(mutex_);
        if (!present_) {
            return;
        }
        pushInput(SimInterface::Consumer, Clock::now(), report);
    }
}

void SimulatedDevice::wakeAllLocked() {
    for (auto* handle : handles_) {
        handle->changed.notify_all();
    }
}

std::uint32_t SimulatedDevice::requestCount() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

std::uint32_t SimulatedDevice::controlRequestCount() const {
    std::lock_guard lock(mutex_);
    return controlRequests_;
}

std::vector<std::uint8_t> SimulatedDevice::vendorDescriptor() const {
    if (settings_.emptyDescriptor) {
        return {};
    }
    return vendorReportDescriptor(settings_.answerReportId);
}

bool SimulatedDevice::permissionDenied() const {
    return settings_.permissionDenied();
}

std::unique_ptr<device::HidHandle> SimulatedDevice::open(const device::HidInterfaceInfo& info,
                                                         device::HidAccess access) {
    if (!present() || permissionDenied()) {
        return nullptr;
    }
    for (const auto& candidate : interfaces()) {
        if (candidate.path == info.path) {
            const auto which = candidate.usagePage == kVendorUsagePage ? SimInterface::Vendor
                                                                       : SimInterface::Consumer;
            return std::make_unique<SimulatedHandle>(shared_from_this(), candidate, which, access);
        }
    }
    return nullptr;
}

void SimulatedDevice::attach(HandleState* handle) {
    std::lock_guard lock(mutex_);
    handles_.push_back(handle);
}

void SimulatedDevice::detach(HandleState* handle) {
    std::lock_guard lock(mutex_);
    std::erase(handles_, handle);
}

void SimulatedDevice::pushInput(SimInterface which, Clock::time_point readyAt,
                                std::span<const std::uint8_t> bytes) {
    for (auto* handle : handles_) {
        if (handle->which != which) {
            continue;
        }
        if (handle->queue.size() >= kInputQueueLimit) {
            handle->queue.pop_front();
        }
        handle->queue.push_back(InputReport{readyAt, {bytes.begin(), bytes.end()}});
        handle->changed.notify_all();
    }
}

std::chrono::milliseconds SimulatedDevice::delayFor(std::uint32_t request) const {
    int delayMs = settings_.latencyMs;
    for (const auto& fault : settings_.faults) {
        if (fault.kind == FaultKind::Late && fault.request == request) {
            delayMs += fault.delayMs;
        }
    }
    return std::chrono::milliseconds(delayMs);
}

const Fault* SimulatedDevice::faultFor(std::uint32_t request) const {
    const Fault* hit = nullptr;
    for (const auto& fault : settings_.faults) {
        if (fault.kind == FaultKind::Late || fault.kind == FaultKind::PermissionDenied) {
            continue;
        }
        const bool applies =
            fault.kind == FaultKind::Silent ? request >= fault.request : request == fault.request;
        // An unplug wins over silence, silence over a status.
        if (applies && (hit == nullptr || fault.kind > hit->kind)) {
            hit = &fault;
        }
    }
    return hit;
}

bool SimulatedDevice::write(HandleState& handle, std::span<const std::uint8_t> report) {
    if (handle.which != SimInterface::Vendor || report.size() != kReportSize ||
        report[0] != kVendorReportId) {
        return false;
    }
    bool accepted = false;
    std::function<void()> vanished;
    {
        std::lock_guard lock(mutex_);
        if (!present_) {
            return false;
        }
        const std::uint32_t request = ++requests_;
        if (report[3] != command::kWriteLightFrame) {
            ++controlRequests_;
        }
        const Fault* fault = faultFor(request);
        const auto readyAt = Clock::now() + delayFor(request);
        const auto requestBytes = report.first<kReportSize>();
        if (fault == nullptr) {
            Report answer = firmware_.handle(requestBytes);
            answer[0] = settings_.answerReportId;
            pushInput(SimInterface::Vendor, readyAt, answer);
        } else if (fault->kind == FaultKind::Unplug) {
            present_ = false;
            vanished = std::exchange(vanished_, {});
            wakeAllLocked();
        } else if (fault->kind == FaultKind::StatusFF || fault->kind == FaultKind::StatusFE) {
            Report answer{};
            std::copy_n(requestBytes.begin(), 7, answer.begin());
            answer[0] = settings_.answerReportId;
            answer[7] = fault->kind == FaultKind::StatusFF ? kStatusRejected : kStatusBusy;
            pushInput(SimInterface::Vendor, readyAt, answer);
        }
        accepted = present_;
    }
    if (vanished) {
        vanished();
    }
    return accepted;
}

HidReadStatus SimulatedDevice::read(HandleState& handle, std::span<std::uint8_t> buffer,
                                    std::chrono::milliseconds timeout, std::size_t& bytesRead) {
    const bool infinite = timeout.count() < 0;
    const auto deadline = Clock::now() + (infinite ? std::chrono::milliseconds(0) : timeout);
    std::unique_lock lock(mutex_);
    for (;;) {
        if (handle.abort) {
            handle.abort = false;
            return HidReadStatus::Aborted;
        }
        if (!present_) {
            return HidReadStatus::Failed;
        }
        const auto now = Clock::now();
        if (!handle.queue.empty() && handle.queue.front().readyAt <= now) {
            const auto& bytes = handle.queue.front().bytes;
            bytesRead = std::min(bytes.size(), buffer.size());
            std::copy_n(bytes.begin(), bytesRead, buffer.begin());
            handle.queue.pop_front();
            return HidReadStatus::Ok;
        }
        if (!infinite && now >= deadline) {
            return HidReadStatus::Timeout;
        }
        if (handle.queue.empty()) {
            if (infinite) {
                handle.changed.wait(lock);
            } else {
                handle.changed.wait_until(lock, deadline);
            }
        } else {
            const auto readyAt = handle.queue.front().readyAt;
            handle.changed.wait_until(lock, infinite ? readyAt : std::min(readyAt, deadline));
        }
    }
}

void SimulatedDevice::abortRead(HandleState& handle) {
    {
        std::lock_guard lock(mutex_);
        handle.abort = true;
        handle.changed.notify_all();
    }
}

}  // namespace korvane::sim
