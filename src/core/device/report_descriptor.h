#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace korvane::device {

enum class HidReportType : std::uint8_t { Input, Output, Feature };

// A usage or usage range of a main item, as extended usages (page << 16 | id).
struct HidUsageRange {
    std::uint32_t minimum = 0;
    std::uint32_t maximum = 0;

    std::uint32_t count() const { return maximum - minimum + 1; }
};

// One Input, Output or Feature main item.
struct HidReportField {
    HidReportType type = HidReportType::Input;
    std::uint8_t reportId = 0;
    std::uint32_t bitOffset = 0;  // from the first data byte (after a report ID byte)
    std::uint32_t reportSize = 0;
    std::uint32_t reportCount = 0;
    std::uint32_t flags = 0;  // the main item's data: bit 0 constant, bit 1 variable, ...
    std::int32_t logicalMinimum = 0;
    std::int32_t logicalMaximum = 0;
    std::int32_t physicalMinimum = 0;
    std::int32_t physicalMaximum = 0;
    std::vector<HidUsageRange> usages;  // in descriptor order; empty for padding

    bool isConstant() const { return (flags & 0x01) != 0; }
    bool isArray() const { return (flags & 0x02) == 0; }
    // Arrays and one-bit variables report usages that are on; the rest report values.
    bool isButton() const { return isArray() || reportSize == 1; }
    // Total number of usages the field names (ranges counted out).
    std::uint64_t usageCount() const;
    // The usage of array index or variable slot i: ranges and single usages in order, the
    // last one repeating for slots beyond the list. 0 when the field names none.
    std::uint32_t usageAt(std::uint64_t i) const;
};

// One top-level (application) collection with the main items inside it.
struct HidCollection {
    std::uint16_t usagePage = 0;
    std::uint16_t usage = 0;
    std::vector<HidReportField> fields;
    // Longest input report of this collection in bytes, the report ID byte included (which
    // is 0 when the descriptor uses none).
    std::size_t inputReportLength = 0;
};

struct ReportDescriptor {
    std::vector<HidCollection> collections;
    bool usesReportIds = false;
};

// Parses a HID report descriptor. nullopt for a malformed one (item running past the end,
// report ID 0, Pop without Push, End Collection without Collection, sizes out of bounds).
std::optional<ReportDescriptor> parseReportDescriptor(std::span<const std::uint8_t> bytes);

enum class HidDecodeStatus : std::uint8_t {
    NotDecoded,
    Ok,
    ValueOutOfRange,  // raw value outside the logical range: no scaled value
    ReportTooShort,
};

// One decoded element of an input report: a button item (usage range, and the usages of
// that range found on) or a value item (one usage with its raw and scaled value).
struct HidDataItem {
    bool isButton = false;
    std::uint16_t usagePage = 0;
    HidDecodeStatus status = HidDecodeStatus::NotDecoded;
    std::uint8_t reportId = 0;
    bool isSet = false;

    // Button items.
    std::uint16_t usageMinimum = 0;
    std::uint16_t usageMaximum = 0;
    std::size_t maximumUsageCount = 0;
    std::vector<std::uint16_t> usages;  // maximumUsageCount entries; a 0 ends a shorter list

    // Value items.
    std::uint16_t usage = 0;
    std::uint32_t rawValue = 0;
    std::int32_t scaledValue = 0;

    // Where a value item comes from: field index in the collection and slot in the field.
    std::size_t fieldIndex = 0;
    std::uint32_t slot = 0;
};

// The input data items of a collection: one per usage or usage range of each button field,
// then one per usage of each value field (a range counted out, bounded by the report count).
std::vector<HidDataItem> buildInputDataItems(const HidCollection& collection);

// Fills the items whose report ID equals report[0] (0 for descriptors without report IDs,
// whose reports are passed with a 0 byte in front). False when a value cannot be read
// because the report is too short; the items before it are filled.
bool DecodeInputReport(const HidCollection& collection, std::span<HidDataItem> items,
                       std::span<const std::uint8_t> report);

}  // namespace korvane::device
