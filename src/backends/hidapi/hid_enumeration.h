#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/device/hid_backend.h"

namespace korvane::backends {

// What the system's enumeration says about one entry (hidapi may list a node once per
// collection, or once for all of them).
struct EnumeratedInterface {
    std::string path;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint16_t releaseNumber = 0;
    std::uint16_t usagePage = 0;
    std::uint16_t usage = 0;
    int interfaceNumber = -1;  // -1 when the bus has none
};

// The report descriptor of the node at a path; nullopt when it cannot be read.
using DescriptorReader =
    std::function<std::optional<std::vector<std::uint8_t>>(const std::string&)>;

// One HidInterfaceInfo per top-level collection of each node, in enumeration order. The
// collections come from the node's report descriptor; collection numbers count from 1 when
// a node has several, else 0. A node whose descriptor cannot be read or parsed keeps what the
// enumeration said about it.
std::vector<device::HidInterfaceInfo> interfacesFromEnumeration(
    std::span<const EnumeratedInterface> entries, const DescriptorReader& readDescriptor);

// "/dev/hidraw3" → "/sys/class/hidraw/hidraw3/device/report_descriptor"; empty for a path
// that is not a hidraw node.
std::string sysfsDescriptorPath(const std::string& devicePath);

// Reads at most the largest descriptor a HID device may have (4096 bytes).
std::optional<std::vector<std::uint8_t>> readDescriptorFile(const std::string& file);

}  // namespace korvane::backends
