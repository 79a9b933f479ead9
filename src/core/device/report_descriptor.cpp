#include "core/device/report_descriptor.h"

#include <algorithm>
#include <array>
#include <map>
#include <utility>

namespace korvane::device {

namespace {

// Bounds that keep a hostile descriptor from making us allocate without limit. Real
// devices stay far below them.
constexpr std::size_t kMaxFields = 1024;
constexpr std::size_t kMaxUsageEntries = 2048;  // usage and range items, whole descriptor
constexpr std::uint32_t kMaxReportSize = 256;
constexpr std::uint32_t kMaxReportCount = 4096;
constexpr std::uint64_t kMaxReportBits = 8192 * 8;
constexpr std::size_t kMaxStackDepth = 32;
constexpr std::size_t kMaxCollectionDepth = 64;
constexpr std::size_t kMaxUsageListLength = 512;
constexpr std::size_t kMaxValueItems = 4096;

enum ItemType : std::uint8_t { kMain = 0, kGlobal = 1, kLocal = 2 };

enum MainTag : std::uint8_t {
    kInput = 0x8,
    kOutput = 0x9,
    kCollection = 0xA,
    kFeature = 0xB,
    kEndCollection = 0xC,
};

enum GlobalTag : std::uint8_t {
    kUsagePage = 0x0,
    kLogicalMinimum = 0x1,
    kLogicalMaximum = 0x2,
    kPhysicalMinimum = 0x3,
    kPhysicalMaximum = 0x4,
    kReportSize = 0x7,
    kReportId = 0x8,
    kReportCount = 0x9,
    kPush = 0xA,
    kPop = 0xB,
};

enum LocalTag : std::uint8_t { kUsage = 0x0, kUsageMinimum = 0x1, kUsageMaximum = 0x2 };

struct Globals {
    std::uint16_t usagePage = 0;
    std::int32_t logicalMinimum = 0;
    std::int32_t logicalMaximum = 0;
    std::int32_t physicalMinimum = 0;
    std::int32_t physicalMaximum = 0;
    std::uint32_t reportSize = 0;
    std::uint32_t reportCount = 0;
    std::uint8_t reportId = 0;
};

// A usage as written: extended (4-byte, page included) or to be combined with the usage
// page in effect at the main item.
struct LocalUsage {
    std::uint32_t minimum = 0;
    std::uint32_t maximum = 0;
    bool minimumExtended = false;
    bool maximumExtended = false;
};

struct Locals {
    std::vector<LocalUsage> usages;
    std::optional<std::pair<std::uint32_t, bool>> pendingMinimum;

    void clear() {
        usages.clear();
        pendingMinimum.reset();
    }
};

std::uint32_t resolve(std::uint32_t value, bool extended, std::uint16_t page) {
    return extended ? value : (static_cast<std::uint32_t>(page) << 16) | (value & 0xFFFF);
}

std::int32_t signedData(std::uint32_t value, std::size_t size) {
    switch (size) {
        case 1:
            return static_cast<std::int8_t>(value);
        case 2:
            return static_cast<std::int16_t>(value);
        default:
            return static_cast<std::int32_t>(value);
    }
}

std::int64_t readBits(std::span<const std::uint8_t> data, std::uint64_t bit, std::uint32_t size,
                      bool isSigned) {
    const std::uint32_t taken = std::min<std::uint32_t>(size, 32);
    std::uint64_t value = 0;
    for (std::uint32_t i = 0; i < taken; ++i) {
        const std::uint64_t at = bit + i;
        if ((data[at / 8] >> (at % 8)) & 1U) {
            value |= std::uint64_t{1} << i;
        }
    }
    if (isSigned && taken > 0 && taken < 64 && ((value >> (taken - 1)) & 1U)) {
        return static_cast<std::int64_t>(value) - (std::int64_t{1} << taken);
    }
    return static_cast<std::int64_t>(value);
}

bool fits(std::span<const std::uint8_t> data, std::uint64_t bit, std::uint32_t size) {
    return bit + size <= static_cast<std::uint64_t>(data.size()) * 8;
}

}  // namespace

std::uint64_t HidReportField::usageCount() const {
    std::uint64_t total = 0;
    for (const auto& u : usages) {
        total += u.count();
    }
    return total;
}

std::uint32_t HidReportField::usageAt(std::uint64_t i) const {
    for (const auto& u : usages) {
        if (i < u.count()) {
            return static_cast<std::uint32_t>(u.minimum + i);
        }
        i -= u.count();
    }
    return usages.empty() ? 0 : usages.back().maximum;
}

std::optional<ReportDescriptor> parseReportDescriptor(std::span<const std::uint8_t> bytes) {
    ReportDescriptor result;
    Globals globals;
    std::vector<Globals> stack;
    Locals locals;
    std::size_t depth = 0;
    std::size_t fieldCount = 0;
    std::size_t usageEntries = 0;
    HidCollection* current = nullptr;
    // Bits used so far in each report, by report type and report ID.
    std::map<std::pair<HidReportType, std::uint8_t>, std::uint64_t> reportBits;

    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::uint8_t prefix = bytes[pos];
        if (prefix == 0xFE) {  // long item: skipped, nothing defines one we use
            if (pos + 2 >= bytes.size()) {
                return std::nullopt;
            }
            const std::size_t size = bytes[pos + 1];
            if (pos + 3 + size > bytes.size()) {
                return std::nullopt;
            }
            pos += 3 + size;
            continue;
        }
        static constexpr std::array<std::size_t, 4> kSizes{0, 1, 2, 4};
        const std::size_t size = kSizes[prefix & 0x3];
        const auto type = static_cast<std::uint8_t>((prefix >> 2) & 0x3);
        const auto tag = static_cast<std::uint8_t>(prefix >> 4);
        if (pos + 1 + size > bytes.size()) {
            return std::nullopt;
        }
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < size; ++i) {
            value |= static_cast<std::uint32_t>(bytes[pos + 1 + i]) << (8 * i);
        }
        pos += 1 + size;

        if (type == kGlobal) {
            switch (tag) {
                case kUsagePage:
                    globals.usagePage = static_cast<std::uint16_t>(value);
                    break;
                case kLogicalMinimum:
                    globals.logicalMinimum = signedData(value, size);
                    break;
                case kLogicalMaximum:
                    // Many descriptors write 255 as one byte; read unsigned unless the
                    // minimum is negative.
                    globals.logicalMaximum = globals.logicalMinimum < 0
                                                 ? signedData(value, size)
                                                 : static_cast<std::int32_t>(value);
                    break;
                case kPhysicalMinimum:
                    globals.physicalMinimum = signedData(value, size);
                    break;
                case kPhysicalMaximum:
                    globals.physicalMaximum = globals.physicalMinimum < 0
                                                  ? signedData(value, size)
                                                  : static_cast<std::int32_t>(value);
                    break;
                case kReportSize:
                    if (value > kMaxReportSize) {
                        return std::nullopt;
                    }
                    globals.reportSize = value;
                    break;
                case kReportId:
                    if (value == 0 || value > 0xFF) {
                        return std::nullopt;
                    }
                    globals.reportId = static_cast<std::uint8_t>(value);
                    result.usesReportIds = true;
                    break;
                case kReportCount:
                    if (value > kMaxReportCount) {
                        return std::nullopt;
                    }
                    globals.reportCount = value;
                    break;
                case kPush:
                    if (stack.size() >= kMaxStackDepth) {
                        return std::nullopt;
                    }
                    stack.push_back(globals);
                    break;
                case kPop:
                    if (stack.empty()) {
                        return std::nullopt;
                    }
                    globals = stack.back();
                    stack.pop_back();
                    break;
                default:
                    break;  // unit, unit exponent: not needed
            }
            continue;
        }

        if (type == kLocal) {
            const bool extended = size == 4;
            switch (tag) {
                case kUsage:
                    if (++usageEntries > kMaxUsageEntries) {
                        return std::nullopt;
                    }
                    locals.usages.push_back({value, value, extended, extended});
                    break;
                case kUsageMinimum:
                    locals.pendingMinimum = {value, extended};
                    break;
                case kUsageMaximum:
                    if (locals.pendingMinimum) {
                        if (++usageEntries > kMaxUsageEntries) {
                            return std::nullopt;
                        }
                        locals.usages.push_back({locals.pendingMinimum->first, value,
                                                 locals.pendingMinimum->second, extended});
                        locals.pendingMinimum.reset();
                    }
                    break;
                default:
                    break;  // designators, strings, delimiters
            }
            continue;
        }

        if (type != kMain) {
            return std::nullopt;  // reserved item type
        }
        switch (tag) {
            case kCollection:
                if (depth >= kMaxCollectionDepth) {
                    return std::nullopt;
                }
                if (depth == 0) {
                    HidCollection collection;
                    collection.usagePage = globals.usagePage;
                    if (!locals.usages.empty()) {
                        const LocalUsage& first = locals.usages.front();
                        const std::uint32_t usage =
                            resolve(first.minimum, first.minimumExtended, globals.usagePage);
                        collection.usagePage = static_cast<std::uint16_t>(usage >> 16);
                        collection.usage = static_cast<std::uint16_t>(usage & 0xFFFF);
                    }
                    result.collections.push_back(std::move(collection));
                    current = &result.collections.back();
                }
                ++depth;
                break;
            case kEndCollection:
                if (depth == 0) {
                    return std::nullopt;
                }
                if (--depth == 0) {
                    current = nullptr;
                }
                break;
            case kInput:
            case kOutput:
            case kFeature: {
                const HidReportType reportType = tag == kInput    ? HidReportType::Input
                                                 : tag == kOutput ? HidReportType::Output
                                                                  : HidReportType::Feature;
                std::uint64_t& bits = reportBits[{reportType, globals.reportId}];
                HidReportField field;
                field.type = reportType;
                field.reportId = globals.reportId;
                field.bitOffset = static_cast<std::uint32_t>(bits);
                field.reportSize = globals.reportSize;
                field.reportCount = globals.reportCount;
                field.flags = value;
                field.logicalMinimum = globals.logicalMinimum;
                field.logicalMaximum = globals.logicalMaximum;
                field.physicalMinimum = globals.physicalMinimum;
                field.physicalMaximum = globals.physicalMaximum;
                for (const LocalUsage& u : locals.usages) {
                    HidUsageRange range{resolve(u.minimum, u.minimumExtended, globals.usagePage),
                                        resolve(u.maximum, u.maximumExtended, globals.usagePage)};
                    if (range.minimum <= range.maximum) {
                        field.usages.push_back(range);
                    }
                }
                bits += static_cast<std::uint64_t>(globals.reportSize) * globals.reportCount;
                if (bits > kMaxReportBits) {
                    return std::nullopt;
                }
                if (current != nullptr) {
                    if (++fieldCount > kMaxFields) {
                        return std::nullopt;
                    }
                    if (reportType == HidReportType::Input) {
                        current->inputReportLength =
                            std::max<std::size_t>(current->inputReportLength,
                                                  1 + static_cast<std::size_t>((bits + 7) / 8));
                    }
                    current->fields.push_back(std::move(field));
                }
                break;
            }
            default:
                return std::nullopt;
        }
        locals.clear();
    }
    return result;
}

namespace {

std::size_t maxUsageListLength(const HidCollection& collection, std::uint16_t page) {
    std::size_t total = 0;
    for (const auto& f : collection.fields) {
        if (f.type != HidReportType::Input || f.isConstant() || !f.isButton()) {
            continue;
        }
        const bool onPage = std::any_of(f.usages.begin(), f.usages.end(), [&](const auto& u) {
            return (u.minimum >> 16) == page || (u.maximum >> 16) == page;
        });
        if (onPage) {
            total += f.reportCount;
        }
    }
    return std::min(total, kMaxUsageListLength);
}

}  // namespace

std::vector<HidDataItem> buildInputDataItems(const HidCollection& collection) {
    std::vector<HidDataItem> buttons;
    std::vector<HidDataItem> values;
    for (std::size_t fi = 0; fi < collection.fields.size(); ++fi) {
        const HidReportField& f = collection.fields[fi];
        if (f.type != HidReportType::Input || f.isConstant() || f.usages.empty() ||
            f.reportSize == 0 || f.reportCount == 0) {
            continue;
        }
        if (f.isButton()) {
            for (const HidUsageRange& u : f.usages) {
                HidDataItem item;
                item.isButton = true;
                item.usagePage = static_cast<std::uint16_t>(u.minimum >> 16);
                item.reportId = f.reportId;
                item.usageMinimum = static_cast<std::uint16_t>(u.minimum & 0xFFFF);
                item.usageMaximum = (u.maximum >> 16) == (u.minimum >> 16)
                                        ? static_cast<std::uint16_t>(u.maximum & 0xFFFF)
                                        : std::uint16_t{0xFFFF};
                item.maximumUsageCount = maxUsageListLength(collection, item.usagePage);
                item.usages.assign(item.maximumUsageCount, 0);
                buttons.push_back(std::move(item));
            }
            continue;
        }
        // Values: one item per usage, counted out over ranges, as far as the field has slots.
        const std::uint64_t slots = std::min<std::uint64_t>(f.usageCount(), f.reportCount);
        for (std::uint64_t s = 0; s < slots && values.size() < kMaxValueItems; ++s) {
            const std::uint32_t usage = f.usageAt(s);
            HidDataItem item;
            item.usagePage = static_cast<std::uint16_t>(usage >> 16);
            item.usage = static_cast<std::uint16_t>(usage & 0xFFFF);
            item.reportId = f.reportId;
            item.fieldIndex = fi;
            item.slot = static_cast<std::uint32_t>(s);
            values.push_back(std::move(item));
        }
    }
    buttons.insert(buttons.end(), std::make_move_iterator(values.begin()),
                   std::make_move_iterator(values.end()));
    return buttons;
}

namespace {

// The usages on the page that are on in the report's button fields; false when the report
// is too short for one of them.
bool usagesOn(const HidCollection& collection, std::uint8_t reportId, std::uint16_t page,
              std::span<const std::uint8_t> data, std::vector<std::uint16_t>& on) {
    bool complete = true;
    for (const HidReportField& f : collection.fields) {
        if (f.type != HidReportType::Input || f.reportId != reportId || f.isConstant() ||
            !f.isButton() || f.usages.empty()) {
            continue;
        }
        for (std::uint32_t slot = 0; slot < f.reportCount; ++slot) {
            const std::uint64_t bit = f.bitOffset + static_cast<std::uint64_t>(slot) * f.reportSize;
            if (!fits(data, bit, f.reportSize)) {
                complete = false;
                break;
            }
            std::uint32_t usage = 0;
            if (f.isArray()) {
                const std::int64_t v = readBits(data, bit, f.reportSize, f.logicalMinimum < 0);
                if (v < f.logicalMinimum || v > f.logicalMaximum) {
                    continue;
                }
                const auto index = static_cast<std::uint64_t>(v - f.logicalMinimum);
                if (index >= f.usageCount()) {
                    continue;
                }
                usage = f.usageAt(index);
            } else {
                // Slots beyond the named usages are padding, not more of the last button.
                if (slot >= f.usageCount() || readBits(data, bit, 1, false) == 0) {
                    continue;
                }
                usage = f.usageAt(slot);
            }
            if ((usage >> 16) == page && (usage & 0xFFFF) != 0) {
                on.push_back(static_cast<std::uint16_t>(usage & 0xFFFF));
            }
        }
    }
    return complete;
}

}  // namespace

bool DecodeInputReport(const HidCollection& collection, std::span<HidDataItem> items,
                       std::span<const std::uint8_t> report) {
    if (report.empty()) {
        return false;
    }
    const std::uint8_t reportId = report[0];
    const std::span<const std::uint8_t> data = report.subspan(1);
    std::map<std::uint16_t, std::pair<bool, std::vector<std::uint16_t>>> onByPage;

    for (HidDataItem& item : items) {
        if (item.reportId != reportId) {
            continue;
        }
        if (item.isButton) {
            auto found = onByPage.find(item.usagePage);
            if (found == onByPage.end()) {
                std::vector<std::uint16_t> on;
                const bool complete = usagesOn(collection, reportId, item.usagePage, data, on);
                found =
                    onByPage.emplace(item.usagePage, std::make_pair(complete, std::move(on))).first;
            }
            item.usages.assign(item.maximumUsageCount, 0);
            std::size_t kept = 0;
            for (std::uint16_t usage : found->second.second) {
                if (kept < item.maximumUsageCount && usage >= item.usageMinimum &&
                    usage <= item.usageMaximum) {
                    item.usages[kept++] = usage;
                }
            }
            item.status =
                found->second.first ? HidDecodeStatus::Ok : HidDecodeStatus::ReportTooShort;
            item.isSet = true;
            continue;
        }
        if (item.fieldIndex >= collection.fields.size()) {
            item.status = HidDecodeStatus::ReportTooShort;
            return false;
        }
        const HidReportField& f = collection.fields[item.fieldIndex];
        const std::uint64_t bit =
            f.bitOffset + static_cast<std::uint64_t>(item.slot) * f.reportSize;
        if (f.reportSize == 0 || !fits(data, bit, f.reportSize)) {
            item.status = HidDecodeStatus::ReportTooShort;
            return false;
        }
        item.rawValue = static_cast<std::uint32_t>(readBits(data, bit, f.reportSize, false));
        const std::int64_t v = readBits(data, bit, f.reportSize, f.logicalMinimum < 0);
        std::int64_t physMin = f.physicalMinimum;
        std::int64_t physMax = f.physicalMaximum;
        if (physMin == 0 && physMax == 0) {
            physMin = f.logicalMinimum;
            physMax = f.logicalMaximum;
        }
        if (f.logicalMinimum >= f.logicalMaximum || v < f.logicalMinimum || v > f.logicalMaximum) {
            item.scaledValue = 0;
            item.status = HidDecodeStatus::ValueOutOfRange;
        } else {
            // In floating point: the product of two 32-bit ranges overflows 64 bits.
            const double scaled =
                static_cast<double>(physMin) +
                static_cast<double>(v - f.logicalMinimum) * static_cast<double>(physMax - physMin) /
                    static_cast<double>(static_cast<std::int64_t>(f.logicalMaximum) -
                                        f.logicalMinimum);
            item.scaledValue = static_cast<std::int32_t>(
                std::clamp(scaled, static_cast<double>(INT32_MIN), static_cast<double>(INT32_MAX)));
            item.status = HidDecodeStatus::Ok;
        }
        item.isSet = true;
    }
    return true;
}

}  // namespace korvane::device
