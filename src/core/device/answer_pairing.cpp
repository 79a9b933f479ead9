#include "core/device/answer_pairing.h"

#include <optional>

#include "core/device/report_descriptor.h"

namespace korvane::device {

AnswerReportIds::AnswerReportIds() {
    ids_.set(kVendorReportId);
}

bool AnswerReportIds::isDefault() const {
    return ids_.count() == 1 && ids_.test(kVendorReportId);
}

AnswerReportIds AnswerReportIds::fromDescriptor(std::span<const std::uint8_t> descriptor,
                                                std::uint16_t usagePage, std::uint16_t usage) {
    AnswerReportIds result;
    const std::optional<ReportDescriptor> parsed = parseReportDescriptor(descriptor);
    if (!parsed) {
        return result;
    }
    std::bitset<256> found;
    for (const HidCollection& collection : parsed->collections) {
        if (collection.usagePage != usagePage || collection.usage != usage) {
            continue;
        }
        for (const HidReportField& field : collection.fields) {
            if (field.type == HidReportType::Input) {
                found.set(field.reportId);
            }
        }
    }
    if (found.any()) {
        result.ids_ = found;
    }
    return result;
}

bool AnswerBelongsTo(const Report64& request, const Report64& answer) {
    if (answer.command() != request.command()) {
        return false;
    }
    const bool echoed = answer.length() == request.length() && answer.offset() == request.offset();
    const bool blank = answer.length() == 0 && answer.offset() == 0;
    return echoed || blank;
}

}  // namespace korvane::device
