#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace korvane::sim {

inline constexpr std::uint16_t kVendorUsagePage = 0xFF1C;
inline constexpr std::uint16_t kVendorUsage = 0x0092;
inline constexpr std::uint8_t kVendorReportId = 0x04;
inline constexpr std::size_t kVendorReportSize = 64;  // report ID included

inline constexpr std::uint16_t kConsumerUsagePage = 0x000C;
inline constexpr std::uint16_t kConsumerUsage = 0x0001;
// Not the vendor's ID, so that a host reading both collections from one node can tell them
// apart.
inline constexpr std::uint8_t kConsumerReportId = 0x02;
inline constexpr std::size_t kConsumerReportSize = 3;  // report ID, 16-bit usage

// Vendor collection: one 63-byte input and one 63-byte output report behind report ID 4.
inline constexpr std::array<std::uint8_t, 29> kVendorReportDescriptor{{
    0x06, 0x1C, 0xFF,  // Usage Page (0xFF1C, vendor defined)
    0x09, 0x92,        // Usage (0x92)
    0xA1, 0x01,        // Collection (Application)
    0x85, 0x04,        //   Report ID (4)
    0x15, 0x00,        //   Logical Minimum (0)
    0x26, 0xFF, 0x00,  //   Logical Maximum (255)
    0x75, 0x08,        //   Report Size (8)
    0x95, 0x3F,        //   Report Count (63)
    0x09, 0x01,        //   Usage (0x01)
    0x81, 0x02,        //   Input (Data, Variable, Absolute)
    0x95, 0x3F,        //   Report Count (63)
    0x09, 0x02,        //   Usage (0x02)
    0x91, 0x02,        //   Output (Data, Variable, Absolute)
    0xC0,              // End Collection
}};

// The vendor collection with its input report under another ID than the output report's
// (kVendorReportDescriptor itself for ID 4).
inline std::vector<std::uint8_t> vendorReportDescriptor(std::uint8_t inputReportId) {
    constexpr std::size_t kInputIdAt = 8;       // value of the Report ID item before Input
    constexpr std::size_t kOutputFieldAt = 22;  // Report Count of the Output field
    std::vector<std::uint8_t> bytes(kVendorReportDescriptor.begin(), kVendorReportDescriptor.end());
    if (inputReportId != kVendorReportId) {
        bytes[kInputIdAt] = inputReportId;
        const std::array<std::uint8_t, 2> outputId{0x85, kVendorReportId};  // Report ID (4)
        bytes.insert(bytes.begin() + kOutputFieldAt, outputId.begin(), outputId.end());
    }
    return bytes;
}

// Consumer control: one array field that carries the usage being pressed (0 = none).
inline constexpr std::array<std::uint8_t, 25> kConsumerReportDescriptor{{
    0x05, 0x0C,        // Usage Page (Consumer)
    0x09, 0x01,        // Usage (Consumer Control)
    0xA1, 0x01,        // Collection (Application)
    0x85, 0x02,        //   Report ID (2)
    0x15, 0x00,        //   Logical Minimum (0)
    0x26, 0xFF, 0x0F,  //   Logical Maximum (0x0FFF)
    0x19, 0x00,        //   Usage Minimum (0)
    0x2A, 0xFF, 0x0F,  //   Usage Maximum (0x0FFF)
    0x75, 0x10,        //   Report Size (16)
    0x95, 0x01,        //   Report Count (1)
    0x81, 0x00,        //   Input (Data, Array, Absolute)
    0xC0,              // End Collection
}};

}  // namespace korvane::sim
