#include "core/device/device_commander.h"

#include <algorithm>
#include <thread>
#include <utility>

#include "core/device/transport.h"

namespace korvane::device {

namespace {

// Chunk offsets are 16-bit on the wire; longer data could not be addressed.
constexpr std::size_t kMaxChunkedLength = 0x10000;

bool validProfileIndex(int index) {
    return index >= 0 && index < kProfileCount;
}

std::uint16_t profileOffsetBase(int index) {
    return static_cast<std::uint16_t>(index * kProfileOffsetStep);
}

Report64 newRequest(CommandCode code) {
    Report64 request;
    request.setReportId(kVendorReportId);
    request.setCommand(static_cast<std::uint8_t>(code));
    return request;
}

}  // namespace

int resultOfStatus(std::uint8_t status) {
    if (status == kStatusFF) {
        return kResultStatusFF;
    }
    if (status == kStatusFE) {
        return kResultStatusFE;
    }
    return kResultDone;
}

DeviceCommander::DeviceCommander()
    : sleep_([](std::chrono::milliseconds d) { std::this_thread::sleep_for(d); }) {}

DeviceCommander::~DeviceCommander() {
    setIdentity({});
    close();
}

DeviceIdentity DeviceCommander::identity() const {
    std::lock_guard guard(identityMutex_);
    return identity_;
}

void DeviceCommander::setIdentity(const DeviceIdentity& identity) {
    std::lock_guard guard(identityMutex_);
    identity_ = identity;
}

void DeviceCommander::attach(std::unique_ptr<HidHandle> handle) {
    std::shared_ptr<HidHandle> previous = this->handle();
    if (previous) {
        previous->abortRead();
    }
    AnswerReportIds ids;
    if (handle) {
        const HidInterfaceInfo& info = handle->info();
        ids =
            AnswerReportIds::fromDescriptor(handle->reportDescriptor(), info.usagePage, info.usage);
    }
    std::lock_guard guard(lock_);
    std::lock_guard handleGuard(handleMutex_);
    handle_ = std::move(handle);
    answerIds_ = ids;
}

void DeviceCommander::close() {
    connected_.store(false);
    std::shared_ptr<HidHandle> previous = handle();
    if (previous) {
        // Ends a read another thread is waiting in, so the lock below comes free at once.
        previous->abortRead();
    }
    std::lock_guard guard(lock_);
    std::lock_guard handleGuard(handleMutex_);
    handle_.reset();
}

void DeviceCommander::stopExchanges() {
    // Set before the abort: an exchange that misses the abort still sees the flag before
    // its next attempt.
    exchangesStopped_.store(true);
    if (const std::shared_ptr<HidHandle> current = handle()) {
        current->abortRead();
    }
}

std::shared_ptr<HidHandle> DeviceCommander::handle() const {
    std::lock_guard guard(handleMutex_);
    return handle_;
}

AnswerReportIds DeviceCommander::answerReportIds() const {
    std::lock_guard guard(handleMutex_);
    return answerIds_;
}

void DeviceCommander::setSleepFunction(SleepFunction sleep) {
    std::lock_guard guard(sleepMutex_);
    sleep_ = std::move(sleep);
}

int DeviceCommander::singleRequest(CommandCode code, std::uint8_t length, std::uint16_t offset,
                                   std::span<const std::uint8_t> data, Report64& answer) {
    Report64 request = newRequest(code);
    request.setLength(length);
    request.setOffset(offset);
    std::copy_n(data.begin(), std::min(data.size(), kReportDataSize), request.data().begin());
    request.applyChecksum();
    const int result = ExchangeReport(*this, request, answer);
    if (result != kResultDone) {
        return result;
    }
    return resultOfStatus(answer.status());
}

// One request per 56-byte chunk of a total length, each acknowledged before the next.
// beforeSend fills a chunk's data (writes); afterAnswer takes it from the answer (reads).
template <typename BeforeSend, typename AfterAnswer>
int DeviceCommander::chunked(CommandCode code, std::size_t total, std::uint16_t offsetBase,
                             BeforeSend beforeSend, AfterAnswer afterAnswer) {
    if (total == 0) {
        return kResultDone;
    }
    if (total > kMaxChunkedLength) {
        return kResultBadArgument;
    }
    // The data area is deliberately not cleared between chunks: a short last chunk goes out
    // with the tail of the previous one behind it, which the devices expect to see.
    Report64 request = newRequest(code);
    Report64 answer;
    for (std::size_t o = 0; o < total; o += kReportDataSize) {
        const std::size_t length = o + kReportDataSize < total ? kReportDataSize : total - o;
        request.setLength(static_cast<std::uint8_t>(length));
        request.setOffset(static_cast<std::uint16_t>(offsetBase + o));
        beforeSend(request, o, length);
        request.applyChecksum();
        const int result = ExchangeReport(*this, request, answer);
        if (result != kResultDone) {
            return result;
        }
        const int status = resultOfStatus(answer.status());
        if (status != kResultDone) {
            return status;
        }
        afterAnswer(answer, o, length);
    }
    return kResultDone;
}

int DeviceCommander::chunkedWrite(CommandCode code, std::span<const std::uint8_t> data,
                                  std::uint16_t offsetBase, const WriteProgress& progress) {
    return chunked(
        code, data.size(), offsetBase,
        [&](Report64& request, std::size_t o, std::size_t length) {
            std::copy_n(data.begin() + static_cast<std::ptrdiff_t>(o), length,
                        request.data().begin());
        },
        [&](const Report64&, std::size_t o, std::size_t length) {
            if (progress) {
                progress(o + length, data.size());
            }
        });
}

int DeviceCommander::chunkedRead(CommandCode code, std::span<std::uint8_t> out,
                                 std::uint16_t offsetBase) {
    return chunked(
        code, out.size(), offsetBase, [](Report64&, std::size_t, std::size_t) {},
        [&](const Report64& answer, std::size_t o, std::size_t length) {
            std::copy_n(answer.data().begin(), length,
                        out.begin() + static_cast<std::ptrdiff_t>(o));
        });
}

int DeviceCommander::BeginTransfer() {
    Report64 answer;
    return singleRequest(CommandCode::BeginTransfer, 0, 0, {}, answer);
}

int DeviceCommander::EndTransfer() {
    SleepFunction sleep;
    {
        std::lock_guard guard(sleepMutex_);
        sleep = sleep_;
    }
    // The device needs the pause after the last transfer, whether or not we send.
    sleep(kEndTransferPause);
    Report64 answer;
    return singleRequest(CommandCode::EndTransfer, 0, 0, {}, answer);
}

int DeviceCommander::ReadDeviceInfo(DeviceInfo& info) {
    Report64 answer;
    const int result = singleRequest(CommandCode::ReadDeviceInfo,
                                     static_cast<std::uint8_t>(DeviceInfo::kSize), 0, {}, answer);
    if (result == kResultDone) {
        std::copy_n(answer.data().begin(), DeviceInfo::kSize, info.bytes.begin());
    }
    return result;
}

int DeviceCommander::ReadRecord(std::uint16_t address, std::size_t length,
                                std::span<std::uint8_t> out) {
    if (length > kReportDataSize || out.size() < length) {
        return kResultBadArgument;
    }
    Report64 answer;
    const int result = singleRequest(CommandCode::ReadRecord, static_cast<std::uint8_t>(length),
                                     address, {}, answer);
    if (result == kResultDone) {
        std::copy_n(answer.data().begin(), length, out.begin());
    }
    return result;
}

int DeviceCommander::WriteSettings(std::span<const std::uint8_t> data) {
    // Settings written by hand take the device out of synchronised lighting, sent or not.
    synchronised_.store(false);
    if (data.size() > kReportDataSize) {
        return kResultBadArgument;
    }
    Report64 answer;
    return singleRequest(CommandCode::WriteSettings, static_cast<std::uint8_t>(data.size()), 0,
                         data, answer);
}

int DeviceCommander::ReadBaseTable(std::span<std::uint8_t> out) {
    const std::size_t total = TableLength();
    if (out.size() < total) {
        return kResultBadArgument;
    }
    return chunkedRead(CommandCode::ReadBaseTable, out.first(total), 0);
}

int DeviceCommander::ReadProfileTable(std::span<std::uint8_t> out, int profileIndex) {
    if (!validProfileIndex(profileIndex)) {
        return kResultBadProfileIndex;
    }
    const std::size_t total = TableLength();
    if (out.size() < total) {
        return kResultBadArgument;
    }
    return chunkedRead(CommandCode::ReadProfileTable, out.first(total),
                       profileOffsetBase(profileIndex));
}

int DeviceCommander::WriteProfileTable(std::span<const std::uint8_t> data, int profileIndex) {
    if (!validProfileIndex(profileIndex)) {
        return kResultBadProfileIndex;
    }
    const std::size_t total = TableLength();
    if (data.size() < total) {
        return kResultBadArgument;
    }
    return chunkedWrite(CommandCode::WriteProfileTable, data.first(total),
                        profileOffsetBase(profileIndex));
}

int DeviceCommander::ResetDevice() {
    // Goes out without a checksum and is not retried: the device restarts on it.
    Report64 request = newRequest(CommandCode::ResetDevice);
    return ExchangeReportOnce(*this, request);
}

int DeviceCommander::WriteLightFrame(std::span<const std::uint8_t> data) {
    return chunkedWrite(CommandCode::WriteLightFrame, data, 0);
}

int DeviceCommander::WriteMacroData(std::span<const std::uint8_t> data,
                                    const WriteProgress& progress) {
    return chunkedWrite(CommandCode::WriteMacroData, data, 0, progress);
}

int DeviceCommander::ReadCursorData(std::span<std::uint8_t> out) {
    return chunkedRead(CommandCode::ReadCursorData, out, 0);
}

int DeviceCommander::WriteCursorData(std::span<const std::uint8_t> data,
                                     const WriteProgress& progress) {
    return chunkedWrite(CommandCode::WriteCursorData, data, 0, progress);
}

}  // namespace korvane::device
