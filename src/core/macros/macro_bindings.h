#pragma once

#include <cstddef>
#include <functional>
#include <span>

#include "core/keys/key_function.h"
#include "core/keys/key_table.h"

namespace korvane::macros {

// The key records a macro deletion looks at: records 0 .. recordCount − 1 of each table
// (the mouse's buttons of its five onboard profiles, the keyboard's keys).
struct BindingTables {
    std::span<std::array<std::uint8_t, keys::kKeyTableBytes>> tables;
    int recordCount = 0;
};

// True when a MacroRun or MacroRepeat record runs the macro at `index`.
bool AnyKeyRunsMacro(const BindingTables& bindings, std::size_t index);

// After the macro at `deleted` is gone: its keys get their default records, keys of later
// macros run the same macro under its new index (P1 − 1). Returns the records changed.
int RenumberMacroBindings(const BindingTables& bindings, std::size_t deleted,
                          const std::function<keys::KeyFunction(int record)>& defaultRecord);

}  // namespace korvane::macros
