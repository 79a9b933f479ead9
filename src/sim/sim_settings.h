#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane::sim {

// What goes wrong on purpose, counted in requests written to one device (the first is 1).
enum class FaultKind : std::uint8_t {
    StatusFF,          // that one request is answered with status 0xFF
    StatusFE,          // that one request is answered with status 0xFE
    Silent,            // that request and every later one go unanswered
    Unplug,            // the device vanishes when that request is written
    Late,              // the answer to that one request comes delayMs later than the others
    PermissionDenied,  // the device is listed but this user may not open it (no request)
};

struct Fault {
    FaultKind kind = FaultKind::Silent;
    std::uint32_t request = 1;
    int delayMs = 0;  // Late only

    friend bool operator==(const Fault&, const Fault&) = default;
};

inline constexpr int kMaxLatencyMs = 10'000;

// Settings of the simulated devices; unset values keep each model's factory value.
struct SimSettings {
    std::optional<std::uint8_t> keys;        // keyboard key count (DeviceInfo byte 5)
    std::optional<std::uint8_t> macroUnits;  // macro memory in 128-byte units (byte 6)
    std::optional<std::uint16_t> sensor;     // mouse sensor identifier (bytes 9..10)
    std::optional<std::uint8_t> dpiStep;     // mouse DPI per slider step (byte 11)
    std::optional<std::uint8_t> dpiMaximum;  // mouse slider maximum (byte 12)
    int latencyMs = 0;                       // delay before an answer becomes readable
    std::vector<Fault> faults;
    // Input report ID of the vendor collection, as its report descriptor declares it and its
    // answers carry it (requests keep 0x04).
    std::uint8_t answerReportId = 0x04;
    bool emptyDescriptor = false;  // the vendor node's report descriptor cannot be had

    bool permissionDenied() const;

    friend bool operator==(const SimSettings&, const SimSettings&) = default;
};

// Applies one "KEY=VALUE" setting. On failure returns a one-line message and leaves
// settings unchanged.
std::optional<std::string> applySimSetting(std::string_view keyValue, SimSettings& settings);

// Applies a comma-separated list of settings, as the KORVANE_SIM variable holds them.
// Empty items are ignored. On the first bad item returns its message and leaves settings
// unchanged.
std::optional<std::string> applySimSettingList(std::string_view list, SimSettings& settings);

std::string_view faultKindName(FaultKind kind);

}  // namespace korvane::sim
