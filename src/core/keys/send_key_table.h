#pragma once

#include <cstdint>
#include <span>
#include "core/device/device_commander.h"

#include "core/keys/key_tables.h"

namespace korvane::keys {

// Writes the key table of that onboard profile to the device inside one transfer: the
// commander's TableLength bytes of it (3·n for a keyboard, 512 for a mouse). Returns the
// result of WriteProfileTable; -201 without sending anything for a profile outside 0..4.
int SendKeyTable(device::DeviceCommander& commander, const KeyTables& tables, int profile);
// The same for a table held as its 512 bytes.
int SendKeyTable(device::DeviceCommander& commander,
                 std::span<const std::uint8_t, kKeyTableBytes> table, int profile);

}  // namespace korvane::keys
