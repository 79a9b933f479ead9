// Report descriptors and input reports from a device are outside input: parse and decode
// whatever comes. The first byte says how much of the rest is descriptor; the remainder is
// offered to every collection as an input report.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "core/device/report_descriptor.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    const std::span<const std::uint8_t> input(data + 1, size - 1);
    const std::size_t split = input.size() * data[0] / 255;
    const auto descriptor = input.first(split);
    const auto report = input.subspan(split);

    const auto parsed = korvane::device::parseReportDescriptor(descriptor);
    if (!parsed) {
        return 0;
    }
    for (const auto& collection : parsed->collections) {
        auto items = korvane::device::buildInputDataItems(collection);
        (void)korvane::device::DecodeInputReport(collection, items, report);
        for (const auto& item : items) {
            if (item.isButton && item.usages.size() != item.maximumUsageCount) {
                __builtin_trap();
            }
        }
    }
    return 0;
}
