#include "core/macros/device_transfers.h"

#include <mutex>

#include "core/keys/send_key_table.h"
#include "core/profiles/profile_store.h"

namespace korvane::macros {

namespace {

template <typename Write>
void inTransfer(device::DeviceCommander& commander, Write write) {
    std::lock_guard guard(commander.lock());
    commander.BeginTransfer();
    write();
    commander.EndTransfer();
}

}  // namespace

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
    if (outcome == MacroDownloadPlan::Outcome::Ready) {
        inTransfer(commander, [&] { commander.WriteMacroData(plan.image); });
    }
    if (planOut != nullptr) {
        *planOut = std::move(plan);
    }
    if (outcome == MacroDownloadPlan::Outcome::TooLarge ||
        outcome == MacroDownloadPlan::Outcome::OutOfMemory) {
        return 0;
    }
    keys::SendKeyTable(commander, liveTable, liveProfile);
    if (store.macroClass() == MacroClass::Keyboard) {
        profiles::SaveKeyboardKeys(profileZeroTable);
    } else {
        profiles::SaveMouseKeys(profileZeroTable);
    }
    return 1;
}

bool SendCursorSequences(const CursorStore& store, device::DeviceCommander& commander) {
    const CursorImagePlan plan = store.PrepareCursorImage();
    switch (plan.outcome) {
        case CursorImagePlan::Outcome::NothingToSend:
            return true;
        case CursorImagePlan::Outcome::Refused:
            return false;
        case CursorImagePlan::Outcome::Ready:
            break;
    }
    inTransfer(commander, [&] { commander.WriteCursorData(plan.image); });
    return true;
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
