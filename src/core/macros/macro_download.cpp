#include "core/macros/macro_download.h"

#include <new>
#include <string>

#include "core/macros/sequence_image.h"

namespace korvane::macros {

std::uint64_t ActionsOverCapacity(std::uint64_t imageSize, std::uint64_t capacityBytes) {
    if (imageSize <= capacityBytes) {
        return 0;
    }
    return (imageSize - capacityBytes) / kImageActionSize + 1;
}

MacroDownloadPlan PrepareMacroDownload(const MacroStore& store, std::uint8_t memoryUnits) {
    MacroDownloadPlan plan;
    const std::vector<std::string> names = store.ReadMacroList();
    if (names.empty()) {
        return plan;
    }
    std::vector<std::uint64_t> counts;
    counts.reserve(names.size());
    for (const auto& name : names) {
        counts.push_back(store.ReadMacroActionCount(name));
    }
    plan.imageSize = SequenceImageSize(counts);
    plan.actionsToRemove = ActionsOverCapacity(plan.imageSize, memoryUnits * kMacroMemoryUnit);
    if (plan.actionsToRemove > 0) {
        plan.outcome = MacroDownloadPlan::Outcome::TooLarge;
        return plan;
    }
    try {
        // Every count fits the memory now, so reading the texts is bounded by it.
        std::vector<std::vector<std::string>> texts;
        texts.reserve(names.size());
        for (const auto& name : names) {
            texts.push_back(store.ReadMacro(name));
        }
        auto image = BuildSequenceImage(texts);
        // A file changed between the two reads must not slip past the check.
        if (!image || image->size() > memoryUnits * kMacroMemoryUnit) {
            plan.outcome = MacroDownloadPlan::Outcome::TooLarge;
            return plan;
        }
        plan.image = std::move(*image);
    } catch (const std::bad_alloc&) {
        plan.outcome = MacroDownloadPlan::Outcome::OutOfMemory;
        return plan;
    }
    plan.outcome = MacroDownloadPlan::Outcome::Ready;
    return plan;
}

}  // namespace korvane::macros
