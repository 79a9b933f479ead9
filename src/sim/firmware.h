#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <vector>

#include "core/device/device_kind.h"
#include "sim/sim_settings.h"

namespace korvane::sim {

inline constexpr std::size_t kReportSize = 64;
using Report = std::array<std::uint8_t, kReportSize>;

inline constexpr std::size_t kChunkSize = 56;
inline constexpr std::size_t kDeviceInfoSize = 31;
inline constexpr std::size_t kTableSize = 512;
inline constexpr int kProfileCount = 5;
inline constexpr std::uint16_t kProfileStride = 126;
inline constexpr std::size_t kRecordSlotSize = 64;
inline constexpr std::size_t kRecordMemorySize = kRecordSlotSize * kProfileCount;
inline constexpr std::size_t kMacroUnitSize = 128;
inline constexpr std::size_t kCursorMemorySize = 3072;
// Longest light frame the LED controller takes; the longest the host sends is 378.
inline constexpr std::size_t kMaxFrameSize = 1024;

inline constexpr std::uint8_t kStatusOk = 0x00;
inline constexpr std::uint8_t kStatusRejected = 0xFF;
inline constexpr std::uint8_t kStatusBusy = 0xFE;

// Command codes as the firmware knows them.
namespace command {
inline constexpr std::uint8_t kBeginTransfer = 0x01;
inline constexpr std::uint8_t kEndTransfer = 0x02;
inline constexpr std::uint8_t kReadDeviceInfo = 0x03;
inline constexpr std::uint8_t kReadRecord = 0x05;
inline constexpr std::uint8_t kWriteSettings = 0x06;
inline constexpr std::uint8_t kReadBaseTable = 0x07;
inline constexpr std::uint8_t kReadProfileTable = 0x08;
inline constexpr std::uint8_t kWriteProfileTable = 0x09;
inline constexpr std::uint8_t kResetDevice = 0x0D;
inline constexpr std::uint8_t kWriteLightFrame = 0x12;
inline constexpr std::uint8_t kWriteMacroData = 0x15;
inline constexpr std::uint8_t kReadCursorData = 0x16;
inline constexpr std::uint8_t kWriteCursorData = 0x17;
}  // namespace command

// Where a chunk of a profile table lands.
struct ProfileChunk {
    int index = 0;
    std::size_t offset = 0;

    friend bool operator==(const ProfileChunk&, const ProfileChunk&) = default;
};

// The host sends index × 126 + o in a 16-bit field, o a multiple of 56 inside the 512-byte
// table. That sum is not unique: 4 × 126 + 0 = 0 × 126 + 504. The firmware takes the
// smallest index whose remainder is a chunk start with the whole chunk inside the table; a
// chunk of more than 8 bytes cannot start at 504, so the clash only remains for tables of
// 8 bytes or less, where profile 4 is read as profile 0's last chunk. nullopt when no
// index fits.
std::optional<ProfileChunk> decodeProfileOffset(std::uint16_t field, std::size_t length);

// What a model holds when it leaves the factory, after the simulation settings.
struct FactoryImage {
    device::DeviceKind kind = device::DeviceKind::RgbKeyboard;
    std::array<std::uint8_t, kDeviceInfoSize> deviceInfo{};
    std::array<std::uint8_t, kTableSize> baseTable{};
    std::array<std::uint8_t, kRecordMemorySize> records{};
};

FactoryImage makeFactoryImage(device::DeviceKind kind, const SimSettings& settings);

// The sum of bytes 3..63 as the host computes it.
std::uint16_t requestChecksum(std::span<const std::uint8_t, kReportSize> report);

// The device's memory and its command interpreter. Not thread-safe: the owner serialises.
class Firmware {
  public:
    explicit Firmware(FactoryImage factory);

    // Carries out one request and returns the answer (header echoed, status at byte 7, read
    // data from byte 8).
    Report handle(std::span<const std::uint8_t, kReportSize> request);
    // Back to the factory contents; the observation counters stay.
    void resetToFactory();

    device::DeviceKind kind() const { return factory_.kind; }
    const std::array<std::uint8_t, kDeviceInfoSize>& deviceInfo() const { return deviceInfo_; }
    const std::array<std::uint8_t, kTableSize>& baseTable() const { return baseTable_; }
    const std::array<std::uint8_t, kTableSize>& profileTable(int index) const;
    const std::array<std::uint8_t, kRecordMemorySize>& records() const { return records_; }
    std::uint8_t activeProfile() const { return records_[0]; }
    std::size_t macroCapacity() const { return macroMemory_.size(); }
    std::span<const std::uint8_t> macroMemory() const { return macroMemory_; }
    const std::array<std::uint8_t, kCursorMemorySize>& cursorMemory() const {
        return cursorMemory_;
    }
    // The last complete light frame of that length, if one came.
    std::optional<std::vector<std::uint8_t>> lastFrame(std::size_t length) const;
    std::uint64_t frameCount() const { return frameCount_; }
    std::uint64_t badChecksumCount() const { return badChecksums_; }
    std::uint64_t settingsWriteCount() const { return settingsWrites_; }
    std::uint64_t resetCount() const { return resets_; }
    bool inTransfer() const { return inTransfer_; }

  private:
    std::uint8_t execute(std::uint8_t code, std::size_t length, std::uint16_t field,
                         std::span<const std::uint8_t> data, std::span<std::uint8_t> out);
    std::uint8_t readBlock(std::span<const std::uint8_t> memory, std::size_t offset,
                           std::size_t length, std::span<std::uint8_t> out) const;
    std::uint8_t writeBlock(std::span<std::uint8_t> memory, std::size_t offset,
                            std::span<const std::uint8_t> data);
    std::uint8_t writeSettings(std::span<const std::uint8_t> data);
    std::uint8_t takeFrameChunk(std::size_t offset, std::span<const std::uint8_t> data);
    void completeFrame();

    FactoryImage factory_;
    std::array<std::uint8_t, kDeviceInfoSize> deviceInfo_{};
    std::array<std::uint8_t, kTableSize> baseTable_{};
    std::array<std::array<std::uint8_t, kTableSize>, kProfileCount> profiles_{};
    std::array<std::uint8_t, kRecordMemorySize> records_{};
    std::vector<std::uint8_t> macroMemory_;
    std::array<std::uint8_t, kCursorMemorySize> cursorMemory_{};

    std::vector<std::uint8_t> frameAssembly_;
    std::map<std::size_t, std::vector<std::uint8_t>> lastFrames_;
    std::uint64_t frameCount_ = 0;
    std::uint64_t badChecksums_ = 0;
    std::uint64_t settingsWrites_ = 0;
    std::uint64_t resets_ = 0;
    bool inTransfer_ = false;
};

}  // namespace korvane::sim
