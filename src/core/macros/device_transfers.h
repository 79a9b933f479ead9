#pragma once

#include <cstdint>
#include <span>

#include "core/device/device_commander.h"
#include "core/keys/key_tables.h"
#include "core/macros/cursor_store.h"
#include "core/macros/cursor_transfer.h"
#include "core/macros/event_names.h"
#include "core/macros/macro_download.h"
#include "core/macros/macro_store.h"

namespace korvane::macros {

// Saving the key settings to a device: the macro image (when there are macros and they fit
// the memory), then the live key table, then the key table of onboard profile 0 into the
// selected key profile file. Returns 1 when sent; 0 when refused, with nothing sent — the
// plan then says which message to show. Device errors during the transfer do not stop it.
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

// All listed cursor sequences to the mouse in one transfer. True when sent or when there
// is nothing to send; false, without a message, for an image above 3072 bytes.
bool SendCursorSequences(const CursorStore& store, device::DeviceCommander& commander);

// The mouse's cursor memory read through its commander.
CursorMemoryReader CommanderCursorReader(device::DeviceCommander& commander);

// At a mouse connection: the mouse's copy of its cursor sequences replaces the files.
ReceiveResult ReceiveCursorImage(CursorStore& store, device::DeviceCommander& commander,
                                 const EventNameLookup& lookup = EventNameFor);

}  // namespace korvane::macros
