#include "core/device/transport.h"

#include <algorithm>
#include <mutex>

#include "core/device/answer_pairing.h"
#include "core/device/device_commander.h"

namespace korvane::device {

namespace {

using Clock = std::chrono::steady_clock;

// More than a hidraw node queues (64 reports), so a full queue is emptied in one go, but a
// device that never stops sending cannot keep a request from going out.
constexpr int kDiscardLimit = 128;

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

// Empties what the node has queued before a request goes out: nothing read so far can be
// its answer. Aborted when the interface is being closed.
HidReadStatus discardQueuedInput(HidHandle& handle) {
    Report64 scrap;
    for (int i = 0; i < kDiscardLimit; ++i) {
        std::size_t got = 0;
        const HidReadStatus status =
            readOnce(handle, scrap.bytes, std::chrono::milliseconds{0}, got);
        if (status == HidReadStatus::Aborted) {
            return status;
        }
        if (status != HidReadStatus::Ok) {
            break;
        }
    }
    return HidReadStatus::Ok;
}

// Reads until the answer to request arrives. Reports of other collections on the node and
// late answers to earlier requests are passed over within the same time limit.
HidReadStatus readAnswer(HidHandle& handle, const Report64& request, const AnswerReportIds& ids,
                         Report64& answer, std::chrono::milliseconds timeLimit) {
    const auto deadline = Clock::now() + timeLimit;
    for (;;) {
        Report64 candidate;
        const auto left =
            std::max(std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()),
                     std::chrono::milliseconds{0});
        std::size_t got = 0;
        const HidReadStatus status = readOnce(handle, candidate.bytes, left, got);
        if (status != HidReadStatus::Ok) {
            return status;
        }
        if (got > 0 && ids.contains(candidate.reportId()) && AnswerBelongsTo(request, candidate)) {
            answer = candidate;
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
    // Held across every attempt: no other thread's request can come between a request and
    // its retry, so whatever arrives late can only belong to this exchange or an earlier one.
    std::lock_guard guard(commander.lock());
    const std::shared_ptr<HidHandle> handle = commander.handle();
    if (!handle) {
        return 0;
    }
    const AnswerReportIds ids = commander.answerReportIds();
    for (int attempt = 0; attempt < kExchangeAttempts; ++attempt) {
        // Looked at before every attempt: the program may have ended while this one waited
        // for the lock or for an answer.
        if (commander.exchangesStopped()) {
            return 0;
        }
        if (discardQueuedInput(*handle) == HidReadStatus::Aborted) {
            return 0;
        }
        std::size_t written = 0;
        if (!WriteReport(*handle, sent.bytes, written)) {
            return -1;
        }
        const HidReadStatus status = readAnswer(*handle, sent, ids, answer, timeLimit);
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
    const std::shared_ptr<HidHandle> handle = commander.handle();
    if (!handle || commander.exchangesStopped()) {
        return 0;
    }
    if (discardQueuedInput(*handle) == HidReadStatus::Aborted) {
        return 0;
    }
    std::size_t written = 0;
    (void)WriteReport(*handle, sent.bytes, written);
    return readAnswer(*handle, sent, commander.answerReportIds(), request,
                      commander.answerTimeLimit()) == HidReadStatus::Ok
               ? 1
               : 0;
}

}  // namespace korvane::device
