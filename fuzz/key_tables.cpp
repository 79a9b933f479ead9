// Key tables as a device or a file delivers them: arbitrary base tables, key counts and
// profile tables must give labels, maps and tool tips without reading out of bounds.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/keys/function_label.h"
#include "core/keys/key_tables.h"

using namespace korvane::keys;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    const std::span<const std::uint8_t> input(data, size);
    const int keyCount = static_cast<std::int8_t>(input[0]) * 2;  // also negative and > 170
    const int profile = static_cast<std::int8_t>(input[1]) % 7;
    const auto body = input.subspan(2);
    const std::vector<std::string> macroNames(input[1] % 4, "m");
    const auto translate = [](std::string_view id) { return std::string(id); };

    for (const auto keyClass : {KeyClass::Keyboard, KeyClass::Mouse}) {
        KeyTables tables(keyClass);
        tables.setBaseTable(body, keyCount);
        if (KeyTable* table = tables.profileTable(profile)) {
            table->overwritePrefix(body);
        }
        for (int record = -1; record <= static_cast<int>(kKeyRecords); ++record) {
            const auto def = DefaultFunction(tables, record);
            IsDefault(tables, profile, record);
            RecordForPosition(tables.pictureMap(), record);
            if (const KeyTable* table = tables.profileTable(profile); table && def) {
                const auto& current = table->records[static_cast<std::size_t>(record)];
                FunctionLabel(keyClass, current, macroNames);
                KeyboardKeyToolTip(*def, current, macroNames, translate);
            }
        }
        if (!body.empty()) {
            RemoveMacroBindings(tables, body[0]);
        }
    }
    return 0;
}
