#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>

#include "core/device/answer_pairing.h"
#include "core/device/device_identity.h"
#include "core/device/hid_backend.h"
#include "core/device/report64.h"

namespace korvane::device {

// Results of every command.
inline constexpr int kResultDone = 1;
inline constexpr int kResultNotDone = 0;  // not connected (nothing sent) or no answer
inline constexpr int kResultWriteFailed = -1;
// A caller's argument does not fit (data longer than a report, output buffer too small);
// nothing is sent.
inline constexpr int kResultBadArgument = -2;
inline constexpr int kResultStatusFF = -102;
inline constexpr int kResultStatusFE = -103;
inline constexpr int kResultBadProfileIndex = -201;

// Command codes on the wire.
enum class CommandCode : std::uint8_t {
    BeginTransfer = 0x01,
    EndTransfer = 0x02,
    ReadDeviceInfo = 0x03,
    ReadRecord = 0x05,
    WriteSettings = 0x06,
    ReadBaseTable = 0x07,
    ReadProfileTable = 0x08,
    WriteProfileTable = 0x09,
    ResetDevice = 0x0D,
    WriteLightFrame = 0x12,
    WriteMacroData = 0x15,
    ReadCursorData = 0x16,
    WriteCursorData = 0x17,
};

inline constexpr std::uint16_t kDefaultTableLength = 512;
inline constexpr int kProfileCount = 5;
inline constexpr std::uint16_t kProfileOffsetStep = 126;
inline constexpr std::chrono::milliseconds kAnswerTimeLimit{300};
inline constexpr std::chrono::milliseconds kEndTransferPause{10};

// The command object of one device class (keyboard, mouse, mouse pad). Thread-safe: every
// exchange takes lock(); the flags are atomics read without it.
class DeviceCommander {
  public:
    using SleepFunction = std::function<void(std::chrono::milliseconds)>;
    // How far a long write has come: bytes the device has taken, of the whole.
    using WriteProgress = std::function<void(std::size_t taken, std::size_t total)>;

    DeviceCommander();
    ~DeviceCommander();
    DeviceCommander(const DeviceCommander&) = delete;
    DeviceCommander& operator=(const DeviceCommander&) = delete;

    DeviceIdentity identity() const;
    void setIdentity(const DeviceIdentity& identity);

    // Total length of the base and profile table commands.
    std::uint16_t TableLength() const { return tableLength_.load(); }
    void setTableLength(std::uint16_t length) { tableLength_.store(length); }

    bool connected() const { return connected_.load(); }
    void setConnected(bool value) {
        if (connected_.exchange(value) != value) {
            stateChanged();
        }
    }
    bool synchronised() const { return synchronised_.load(); }
    void setSynchronised(bool value) {
        if (synchronised_.exchange(value) != value) {
            stateChanged();
        }
    }
    // Runs on the changing thread after connected or synchronised took another value, so that
    // threads sleeping until a device comes can be woken. Set before other threads use the
    // commander; it must be quick and must not take this commander's lock.
    void setStateListener(std::function<void()> listener) { stateListener_ = std::move(listener); }

    // Re-entrant; a connection thread may hold it across a whole polling pass so that other
    // threads' exchanges on this device wait until the pass is over.
    std::recursive_mutex& lock() { return lock_; }

    // Replaces the opened interface (closing the previous one, whose pending read is
    // abandoned first) and takes the report IDs of its answers from its report descriptor.
    // Does not change the connected flag.
    void attach(std::unique_ptr<HidHandle> handle);
    // Abandons a pending read at once, then closes the interface and clears connected.
    void close();
    // The program is ending: the exchange in progress is cut short (its pending read is
    // abandoned, and it makes no further attempt) and every later command returns
    // kResultNotDone without touching the device. Any thread; cannot be undone.
    void stopExchanges();
    bool exchangesStopped() const { return exchangesStopped_.load(); }
    // The opened interface, or null. Shared so that an exchange in progress keeps it alive.
    std::shared_ptr<HidHandle> handle() const;
    // The input report IDs answers of the opened interface arrive under.
    AnswerReportIds answerReportIds() const;

    // How long an exchange waits for each answer; 300 ms unless a test shortens it.
    std::chrono::milliseconds answerTimeLimit() const { return answerTimeLimit_.load(); }
    void setAnswerTimeLimit(std::chrono::milliseconds limit) { answerTimeLimit_.store(limit); }
    // The pause of EndTransfer goes through this; tests can observe it.
    void setSleepFunction(SleepFunction sleep);

    // The commands. Each returns 1, 0, -1, -102, -103, -201 or -2 (see the result constants).
    int BeginTransfer();
    int EndTransfer();
    int ReadDeviceInfo(DeviceInfo& info);
    int ReadRecord(std::uint16_t address, std::size_t length, std::span<std::uint8_t> out);
    int WriteSettings(std::span<const std::uint8_t> data);
    int ReadBaseTable(std::span<std::uint8_t> out);
    int ReadProfileTable(std::span<std::uint8_t> out, int profileIndex);
    int WriteProfileTable(std::span<const std::uint8_t> data, int profileIndex);
    int ResetDevice();
    int WriteLightFrame(std::span<const std::uint8_t> data);
    int WriteMacroData(std::span<const std::uint8_t> data, const WriteProgress& progress = {});
    int ReadCursorData(std::span<std::uint8_t> out);
    int WriteCursorData(std::span<const std::uint8_t> data, const WriteProgress& progress = {});

  private:
    void stateChanged() const {
        if (stateListener_) {
            stateListener_();
        }
    }
    int singleRequest(CommandCode code, std::uint8_t length, std::uint16_t offset,
                      std::span<const std::uint8_t> data, Report64& answer);
    template <typename BeforeSend, typename AfterAnswer>
    int chunked(CommandCode code, std::size_t total, std::uint16_t offsetBase,
                BeforeSend beforeSend, AfterAnswer afterAnswer);
    int chunkedWrite(CommandCode code, std::span<const std::uint8_t> data, std::uint16_t offsetBase,
                     const WriteProgress& progress = {});
    int chunkedRead(CommandCode code, std::span<std::uint8_t> out, std::uint16_t offsetBase);

    std::atomic<std::uint16_t> tableLength_{kDefaultTableLength};
    std::atomic<bool> connected_{false};
    std::atomic<bool> synchronised_{false};
    std::function<void()> stateListener_;
    std::atomic<bool> exchangesStopped_{false};
    std::atomic<std::chrono::milliseconds> answerTimeLimit_{kAnswerTimeLimit};

    mutable std::mutex identityMutex_;
    DeviceIdentity identity_;

    mutable std::mutex handleMutex_;  // guards handle_ only; never held across I/O
    std::shared_ptr<HidHandle> handle_;
    AnswerReportIds answerIds_;

    std::mutex sleepMutex_;
    SleepFunction sleep_;

    std::recursive_mutex lock_;
};

// Status byte of an answer → command result (1 unless 0xFF or 0xFE).
int resultOfStatus(std::uint8_t status);

}  // namespace korvane::device
