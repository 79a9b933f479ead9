#include "core/macros/macro_bindings.h"

#include <algorithm>

#include "core/keys/stored_key_tables.h"

namespace korvane::macros {
namespace {

bool runsMacro(const keys::KeyFunction& f) {
    return f.type == keys::KeyFunctionType::kMacroRun ||
           f.type == keys::KeyFunctionType::kMacroRepeat;
}

int records(const BindingTables& bindings) {
    return std::clamp(bindings.recordCount, 0, static_cast<int>(keys::kKeyRecords));
}

}  // namespace

bool AnyKeyRunsMacro(const BindingTables& bindings, std::size_t index) {
    for (const auto& table : bindings.tables) {
        for (int key = 0; key < records(bindings); ++key) {
            const keys::KeyFunction f = keys::recordAt(table, key);
            if (runsMacro(f) && f.p1 == index) {
                return true;
            }
        }
    }
    return false;
}

int RenumberMacroBindings(const BindingTables& bindings, std::size_t deleted,
                          const std::function<keys::KeyFunction(int record)>& defaultRecord) {
    int changed = 0;
    for (auto& table : bindings.tables) {
        for (int key = 0; key < records(bindings); ++key) {
            keys::KeyFunction f = keys::recordAt(table, key);
            if (!runsMacro(f) || f.p1 < deleted) {
                continue;
            }
            if (f.p1 == deleted) {
                f = defaultRecord(key);
            } else {
                --f.p1;
            }
            keys::setRecordAt(table, key, f);
            ++changed;
        }
    }
    return changed;
}

}  // namespace korvane::macros
