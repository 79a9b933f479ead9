#pragma once

// What the mouse says about its sensor (DeviceInfo bytes 9..12) and the DPI range the page
// shows for the sensors it knows.

#include <array>
#include <cstdint>
#include <string_view>

#include "core/device/report64.h"

namespace korvane::mouse {

struct SensorDescription {
    std::uint16_t id = 0;
    std::uint8_t dpiPerStep = 0;
    std::uint8_t sliderMaximum = 0;
};

constexpr SensorDescription sensorOf(const device::DeviceInfo& info) {
    constexpr std::size_t at = device::DeviceInfo::kSensorAt;
    return {static_cast<std::uint16_t>(info.bytes[at] | (info.bytes[at + 1] << 8)),
            info.bytes[at + 2], info.bytes[at + 3]};
}

struct SensorRange {
    std::uint16_t id;
    int minimumDpi;
    std::string_view minimumLabel;
    std::string_view maximumLabel;
};

inline constexpr std::array<SensorRange, 3> kSensorRanges{{
    {0x3325, 200, "200", "5000"},
    {0x3050, 250, "250", "4000"},
    {0x3360, 100, "100", "12000"},
}};

// Null for a sensor the table does not know.
constexpr const SensorRange* rangeOfSensor(std::uint16_t id) {
    for (const SensorRange& range : kSensorRanges) {
        if (range.id == id) {
            return &range;
        }
    }
    return nullptr;
}

}  // namespace korvane::mouse
