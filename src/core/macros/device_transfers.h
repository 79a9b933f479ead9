#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "core/device/device_commander.h"
#include "core/keys/key_tables.h"
#include "core/macros/cursor_store.h"
#include "core/macros/cursor_transfer.h"
#include "core/macros/event_names.h"
#include "core/macros/macro_download.h"
#include "core/macros/macro_store.h"

namespace korvane::macros {

// How far a transfer to a device has come, in percent (0..100); called on the thread that
// runs the transfer.
using TransferProgress = std::function<void(int percent)>;

// Results of the device halves below and of DownloadMacros.
inline constexpr int kDownloadSent = 1;
inline constexpr int kDownloadRefused = 0;
// Device errors during a transfer do not stop it, but they are not success: the device may
// not hold what was meant for it.
inline constexpr int kDownloadNotTaken = -1;

// The device half of saving the key settings, for the thread that owns the device: the
// macro image (none when empty) in one transfer, then the live key table as onboard profile
// liveProfile in another. kDownloadSent, or kDownloadNotTaken when any report failed.
int SendMacroDownload(device::DeviceCommander& commander, std::span<const std::uint8_t> image,
                      std::span<const std::uint8_t, keys::kKeyTableBytes> liveTable,
                      int liveProfile, const TransferProgress& progress = {});

// Saving the key settings to a device in one go: the macro image (when there are macros and
// they fit the memory), then the live key table, then the key table of onboard profile 0
// into the selected key profile file. Returns kDownloadSent; kDownloadRefused, with nothing
// sent, when the plan says which message to show; kDownloadNotTaken when the device failed
// part of it (the profile file is saved all the same).
int DownloadMacros(const MacroStore& store, device::DeviceCommander& commander,
                   std::uint8_t memoryUnits, const keys::KeyTables& tables, int liveProfile,
                   MacroDownloadPlan* plan = nullptr);
// The same for tables held as their bytes: the live table goes to the device as profile
// liveProfile, the table of onboard profile 0 into the selected key profile file.
int DownloadMacros(const MacroStore& store, device::DeviceCommander& commander,
                   std::uint8_t memoryUnits,
                   std::span<const std::uint8_t, keys::kKeyTableBytes> liveTable, int liveProfile,
                   std::span<const std::uint8_t, keys::kKeyTableBytes> profileZeroTable,
                   MacroDownloadPlan* plan = nullptr);
// Writes the table of onboard profile 0 into the class's selected key profile file, as a
// download does after the device half.
void SaveDownloadedKeyProfile(MacroClass macroClass,
                              std::span<const std::uint8_t, keys::kKeyTableBytes> table);

// All listed cursor sequences to the mouse in one transfer; nothing is shown to the user.
enum class CursorSendResult {
    Sent,
    NothingToSend,
    TooLarge,  // above 3072 bytes: nothing sent
    NotTaken,  // the mouse did not take every report of it
};
CursorSendResult SendCursorSequences(const CursorStore& store, device::DeviceCommander& commander);
// The device half: a prepared cursor image in one transfer. True when the mouse took it all.
bool SendCursorImage(device::DeviceCommander& commander, std::span<const std::uint8_t> image,
                     const TransferProgress& progress = {});

// The mouse's cursor memory read through its commander.
CursorMemoryReader CommanderCursorReader(device::DeviceCommander& commander);

// At a mouse connection: the mouse's copy of its cursor sequences replaces the files.
ReceiveResult ReceiveCursorImage(CursorStore& store, device::DeviceCommander& commander,
                                 const EventNameLookup& lookup = EventNameFor);

}  // namespace korvane::macros
