#include "core/macros/device_transfers.h"

#include <algorithm>
#include <mutex>

#include "core/keys/send_key_table.h"
#include "core/profiles/profile_store.h"

namespace korvane::macros {

namespace {

// True when the device took the write and both ends of the transfer.
template <typename Write>
bool inTransfer(device::DeviceCommander& commander, Write write) {
    std::lock_guard guard(commander.lock());
    const bool begun = commander.BeginTransfer() == device::kResultDone;
    const bool written = write() == device::kResultDone;
    const bool ended = commander.EndTransfer() == device::kResultDone;
    return begun && written && ended;
}

// Percent of the whole for bytes taken so far; told only when it changes.
class PercentOf {
  public:
    PercentOf(std::size_t whole, const TransferProgress& progress)
        : whole_(whole), progress_(progress) {}
    void taken(std::size_t bytes) {
        if (!progress_ || whole_ == 0) {
            return;
        }
        const int percent = static_cast<int>(std::min(bytes, whole_) * 100 / whole_);
        if (percent != told_) {
            told_ = percent;
            progress_(percent);
        }
    }

  private:
    std::size_t whole_;
    const TransferProgress& progress_;
    int told_ = -1;
};

}  // namespace

int SendMacroDownload(device::DeviceCommander& commander, std::span<const std::uint8_t> image,
                      std::span<const std::uint8_t, keys::kKeyTableBytes> liveTable,
                      int liveProfile, const TransferProgress& progress) {
    // The key table is short next to an image: it counts as its bytes at the end.
    const std::size_t tableBytes = commander.TableLength();
    PercentOf percent(image.size() + tableBytes, progress);
    percent.taken(0);
    bool taken = true;
    if (!image.empty()) {
        taken = inTransfer(commander, [&] {
            return commander.WriteMacroData(
                image, [&](std::size_t bytes, std::size_t) { percent.taken(bytes); });
        });
    }
    if (keys::SendKeyTable(commander, liveTable, liveProfile) != device::kResultDone) {
        taken = false;
    }
    percent.taken(image.size() + tableBytes);
    return taken ? kDownloadSent : kDownloadNotTaken;
}

void SaveDownloadedKeyProfile(MacroClass macroClass,
                              std::span<const std::uint8_t, keys::kKeyTableBytes> table) {
    if (macroClass == MacroClass::Keyboard) {
        profiles::SaveKeyboardKeys(table);
    } else {
        profiles::SaveMouseKeys(table);
    }
}

int DownloadMacros(const MacroStore& store, device::DeviceCommander& commander,
                   std::uint8_t memoryUnits, const keys::KeyTables& tables, int liveProfile,
                   MacroDownloadPlan* planOut) {
    const keys::KeyTable* live = tables.profileTable(liveProfile);
    const keys::KeyTable* zero = tables.profileTable(0);
    const auto liveBytes = (live != nullptr ? *live : keys::KeyTable{}).toBytes();
    const auto zeroBytes = zero->toBytes();
    return DownloadMacros(store, commander, memoryUnits, liveBytes, liveProfile, zeroBytes,
                          planOut);
}

int DownloadMacros(const MacroStore& store, device::DeviceCommander& commander,
                   std::uint8_t memoryUnits,
                   std::span<const std::uint8_t, keys::kKeyTableBytes> liveTable, int liveProfile,
                   std::span<const std::uint8_t, keys::kKeyTableBytes> profileZeroTable,
                   MacroDownloadPlan* planOut) {
    MacroDownloadPlan plan = PrepareMacroDownload(store, memoryUnits);
    const auto outcome = plan.outcome;
    if (outcome == MacroDownloadPlan::Outcome::TooLarge ||
        outcome == MacroDownloadPlan::Outcome::OutOfMemory) {
        if (planOut != nullptr) {
            *planOut = std::move(plan);
        }
        return kDownloadRefused;
    }
    const int result = SendMacroDownload(commander,
                                         outcome == MacroDownloadPlan::Outcome::Ready
                                             ? std::span<const std::uint8_t>(plan.image)
                                             : std::span<const std::uint8_t>(),
                                         liveTable, liveProfile);
    SaveDownloadedKeyProfile(store.macroClass(), profileZeroTable);
    if (planOut != nullptr) {
        *planOut = std::move(plan);
    }
    return result;
}

bool SendCursorImage(device::DeviceCommander& commander, std::span<const std::uint8_t> image,
                     const TransferProgress& progress) {
    PercentOf percent(image.size(), progress);
    percent.taken(0);
    return inTransfer(commander, [&] {
        return commander.WriteCursorData(
            image, [&](std::size_t bytes, std::size_t) { percent.taken(bytes); });
    });
}

CursorSendResult SendCursorSequences(const CursorStore& store, device::DeviceCommander& commander) {
    const CursorImagePlan plan = store.PrepareCursorImage();
    switch (plan.outcome) {
        case CursorImagePlan::Outcome::NothingToSend:
            return CursorSendResult::NothingToSend;
        case CursorImagePlan::Outcome::Refused:
            return CursorSendResult::TooLarge;
        case CursorImagePlan::Outcome::Ready:
            break;
    }
    return SendCursorImage(commander, plan.image) ? CursorSendResult::Sent
                                                  : CursorSendResult::NotTaken;
}

CursorMemoryReader CommanderCursorReader(device::DeviceCommander& commander) {
    return [&commander](std::size_t length) -> std::optional<std::vector<std::uint8_t>> {
        std::vector<std::uint8_t> bytes(length, 0);
        if (commander.ReadCursorData(bytes) != device::kResultDone) {
            return std::nullopt;
        }
        return bytes;
    };
}

ReceiveResult ReceiveCursorImage(CursorStore& store, device::DeviceCommander& commander,
                                 const EventNameLookup& lookup) {
    return ReceiveCursorImage(store, CommanderCursorReader(commander), lookup);
}

}  // namespace korvane::macros
