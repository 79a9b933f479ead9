#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace korvane::device {

// Every request and answer is one 64-byte report. Requests carry the vendor report ID,
// a checksum over bytes 3..63, the command code, the data length, a 16-bit offset or
// address and 56 data bytes; answers reuse the layout with a status at byte 7.
inline constexpr std::size_t kReportSize = 64;
inline constexpr std::size_t kReportDataSize = 56;
inline constexpr std::uint8_t kVendorReportId = 0x04;

inline constexpr std::size_t kReportIdAt = 0;
inline constexpr std::size_t kChecksumAt = 1;
inline constexpr std::size_t kCommandAt = 3;
inline constexpr std::size_t kLengthAt = 4;
inline constexpr std::size_t kOffsetAt = 5;
inline constexpr std::size_t kStatusAt = 7;
inline constexpr std::size_t kDataAt = 8;

static_assert(kDataAt + kReportDataSize == kReportSize);

// Answer status bytes that end a command with an error.
inline constexpr std::uint8_t kStatusFF = 0xFF;
inline constexpr std::uint8_t kStatusFE = 0xFE;

struct Report64 {
    std::array<std::uint8_t, kReportSize> bytes{};

    std::uint8_t reportId() const { return bytes[kReportIdAt]; }
    void setReportId(std::uint8_t id) { bytes[kReportIdAt] = id; }
    std::uint16_t checksum() const {
        return static_cast<std::uint16_t>(bytes[kChecksumAt] | (bytes[kChecksumAt + 1] << 8));
    }
    std::uint8_t command() const { return bytes[kCommandAt]; }
    void setCommand(std::uint8_t code) { bytes[kCommandAt] = code; }
    std::uint8_t length() const { return bytes[kLengthAt]; }
    void setLength(std::uint8_t n) { bytes[kLengthAt] = n; }
    std::uint16_t offset() const {
        return static_cast<std::uint16_t>(bytes[kOffsetAt] | (bytes[kOffsetAt + 1] << 8));
    }
    void setOffset(std::uint16_t value) {
        bytes[kOffsetAt] = static_cast<std::uint8_t>(value & 0xFF);
        bytes[kOffsetAt + 1] = static_cast<std::uint8_t>(value >> 8);
    }
    std::uint8_t status() const { return bytes[kStatusAt]; }
    void setStatus(std::uint8_t value) { bytes[kStatusAt] = value; }

    std::span<std::uint8_t, kReportDataSize> data() {
        return std::span<std::uint8_t, kReportSize>(bytes).subspan<kDataAt, kReportDataSize>();
    }
    std::span<const std::uint8_t, kReportDataSize> data() const {
        return std::span<const std::uint8_t, kReportSize>(bytes)
            .subspan<kDataAt, kReportDataSize>();
    }

    // Sum of bytes 3..63 as unsigned bytes, wrapping at 16 bits.
    std::uint16_t computeChecksum() const {
        std::uint16_t sum = 0;
        for (std::size_t i = kCommandAt; i < kReportSize; ++i) {
            sum = static_cast<std::uint16_t>(sum + bytes[i]);
        }
        return sum;
    }
    // Stores computeChecksum() little-endian at bytes 1..2; call once every other field is set.
    void applyChecksum() {
        const std::uint16_t sum = computeChecksum();
        bytes[kChecksumAt] = static_cast<std::uint8_t>(sum & 0xFF);
        bytes[kChecksumAt + 1] = static_cast<std::uint8_t>(sum >> 8);
    }

    friend bool operator==(const Report64&, const Report64&) = default;
};
static_assert(sizeof(Report64) == kReportSize);

// The information record a device answers to ReadDeviceInfo (answer bytes 8..38).
struct DeviceInfo {
    static constexpr std::size_t kSize = 31;
    static constexpr std::size_t kKeyCountAt = 5;
    static constexpr std::size_t kMacroUnitsAt = 6;
    static constexpr std::size_t kSensorAt = 9;

    std::array<std::uint8_t, kSize> bytes{};

    // Keyboards: number of keys in the key tables.
    std::uint8_t keyCount() const { return bytes[kKeyCountAt]; }
    // Macro memory size in 128-byte units.
    std::uint8_t macroUnits() const { return bytes[kMacroUnitsAt]; }

    friend bool operator==(const DeviceInfo&, const DeviceInfo&) = default;
};
static_assert(sizeof(DeviceInfo) == DeviceInfo::kSize);

}  // namespace korvane::device
