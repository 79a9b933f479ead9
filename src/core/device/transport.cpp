#include "core/device/transport.h"

#include <algorithm>
#include <mutex>

#include "core/device/device_commander.h"

namespace korvane::device {

namespace {

using Clock = std::chrono::steady_clock;

HidReadStatus readOnce(HidHandle& handle, std::span<std::uint8_t> buffer,
                       std::chrono::milliseconds timeLimit, std::size_t& bytesRead) {
    bytesRead = 0;
    std::size_t got = 0;
    const HidReadStatus status = handle.read(buffer, timeLimit, got);
    if (status == HidReadStatus::Ok) {
        bytesRead = std::min(got, buffer.size());
    }
    return status;
}

// Reads until a report with the vendor report ID arrives. Anything else on the node (the
// consumer collection can share it) is passed over within the same time limit.
HidReadStatus readAnswer(HidHandle& handle, Report64& answer, std::chrono::milliseconds timeLimit) {
    const auto deadline = Clock::now() + timeLimit;
    for (;;) {
        answer.bytes.fill(0);
        const auto left =
            std::max(std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()),
                     std::chrono::milliseconds{0});
        std::size_t got = 0;
        const HidReadStatus status = readOnce(handle, answer.bytes, left, got);
        if (status != HidReadStatus::Ok) {
            return status;
        }
        if (got > 0 && answer.reportId() == kVendorReportId) {
            return HidReadStatus::Ok;
        }
        if (left.count() == 0) {
            return HidReadStatus::Timeout;
        }
    }
}

}  // namespace

bool WriteReport(HidHandle& handle, std::span<const std::uint8_t> report,
                 std::size_t& bytesWritten) {
    bytesWritten = 0;
    if (!handle.write(report, kWriteTimeLimit)) {
        return false;
    }
    bytesWritten = report.size();
    return true;
}

bool ReadReport(HidHandle& handle, std::span<std::uint8_t> buffer,
                std::chrono::milliseconds timeLimit, std::size_t& bytesRead) {
    return readOnce(handle, buffer, timeLimit, bytesRead) == HidReadStatus::Ok;
}

int ExchangeReport(DeviceCommander& commander, const Report64& request, Report64& answer) {
    if (!commander.connected()) {
        return 0;
    }
    const Report64 sent = request;
    const auto timeLimit = commander.answerTimeLimit();
    for (int attempt = 0; attempt < kExchangeAttempts; ++attempt) {
        std::lock_guard guard(commander.lock());
        // Looked at once the lock is ours: the wait for it may have outlasted the program.
        if (commander.exchangesStopped()) {
            return 0;
        }
        const std::shared_ptr<HidHandle> handle = commander.handle();
        if (!handle) {
            return 0;
        }
        std::size_t written = 0;
        if (!WriteReport(*handle, sent.bytes, written)) {
            return -1;
        }
        const HidReadStatus status = readAnswer(*handle, answer, timeLimit);
        if (status == HidReadStatus::Ok) {
            return 1;
        }
        if (status == HidReadStatus::Aborted) {
            // The interface is being closed: further attempts cannot succeed.
            return 0;
        }
    }
    return 0;
}

int ExchangeReportOnce(DeviceCommander& commander, Report64& request) {
    if (!commander.connected()) {
        return 0;
    }
    const Report64 sent = request;
    std::lock_guard guard(commander.lock());
    if (commander.exchangesStopped()) {
        return 0;
    }
    const std::shared_ptr<HidHandle> handle = commander.handle();
    if (!handle) {
        return 0;
    }
    std::size_t written = 0;
    (void)WriteReport(*handle, sent.bytes, written);
    return readAnswer(*handle, request, commander.answerTimeLimit()) == HidReadStatus::Ok ? 1 : 0;
}

}  // namespace korvane::device
