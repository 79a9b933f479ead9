#include "core/keys/send_key_table.h"

#include <mutex>

namespace korvane::keys {

int SendKeyTable(device::DeviceCommander& commander, const KeyTables& tables, int profile) {
    const KeyTable* table = tables.profileTable(profile);
    if (table == nullptr) {
        return device::kResultBadProfileIndex;
    }
    const auto bytes = table->toBytes();
    return SendKeyTable(commander, bytes, profile);
}

int SendKeyTable(device::DeviceCommander& commander,
                 std::span<const std::uint8_t, kKeyTableBytes> table, int profile) {
    if (profile < 0 || profile >= kOnboardProfiles) {
        return device::kResultBadProfileIndex;
    }
    // One lock over the whole transfer keeps other threads' reports out of it.
    std::lock_guard guard(commander.lock());
    commander.BeginTransfer();
    const int result = commander.WriteProfileTable(table, profile);
    commander.EndTransfer();
    return result;
}

}  // namespace korvane::keys
