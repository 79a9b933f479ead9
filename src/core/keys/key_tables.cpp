#include "core/keys/key_tables.h"

namespace korvane::keys {
namespace {

bool isMacroRecord(const KeyFunction& f) {
    return f.type == KeyFunctionType::kMacroRun || f.type == KeyFunctionType::kMacroRepeat;
}

}  // namespace

KeyTables::KeyTables(KeyClass keyClass)
    : keyClass_(keyClass), defaults_(builtInDefaultTable(keyClass)) {}

KeyTable* KeyTables::profileTable(int profile) {
    if (profile < 0 || profile >= kOnboardProfiles) {
        return nullptr;
    }
    return &profiles_[static_cast<std::size_t>(profile)];
}

const KeyTable* KeyTables::profileTable(int profile) const {
    return const_cast<KeyTables*>(this)->profileTable(profile);
}

int KeyTables::recordCount() const {
    return keyClass_ == KeyClass::Mouse ? static_cast<int>(kKeyRecords) : keyCount_;
}

int KeyTables::editableRecordCount() const {
    return keyClass_ == KeyClass::Mouse ? kMouseButtons : keyCount_;
}

std::size_t KeyTables::wireLength() const {
    return keyClass_ == KeyClass::Mouse ? kKeyTableBytes : 3 * static_cast<std::size_t>(keyCount_);
}

bool KeyTables::setBaseTable(std::span<const std::uint8_t> bytes, int keyCount) {
    if (keyClass_ == KeyClass::Mouse) {
        if (bytes.size() != kKeyTableBytes) {
            return false;
        }
        defaults_ = KeyTable::fromBytes(bytes.first<kKeyTableBytes>());
        defaultsFromDevice_ = true;
        return true;
    }
    if (keyCount < 0 || keyCount > static_cast<int>(kKeyRecords) ||
        bytes.size() < 3 * static_cast<std::size_t>(keyCount)) {
        return false;
    }
    defaults_.overwritePrefix(bytes.first(3 * static_cast<std::size_t>(keyCount)));
    defaultsFromDevice_ = true;
    keyCount_ = keyCount;
    pictureMap_ = BuildPictureKeyMap(defaults_, keyCount_);
    return true;
}

std::optional<KeyFunction> DefaultFunction(const KeyTables& tables, int record) {
    if (record < 0 || record >= static_cast<int>(kKeyRecords)) {
        return std::nullopt;
    }
    return tables.defaultTable().records[static_cast<std::size_t>(record)];
}

bool IsDefault(const KeyTables& tables, int profile, int record) {
    const KeyTable* table = tables.profileTable(profile);
    const auto def = DefaultFunction(tables, record);
    return table != nullptr && def && table->records[static_cast<std::size_t>(record)] == *def;
}

bool MacroInUse(const KeyTables& tables, int macroIndex) {
    for (int p = 0; p < kOnboardProfiles; ++p) {
        const KeyTable& table = *tables.profileTable(p);
        for (int r = 0; r < tables.editableRecordCount(); ++r) {
            const KeyFunction& f = table.records[static_cast<std::size_t>(r)];
            if (isMacroRecord(f) && f.p1 == macroIndex) {
                return true;
            }
        }
    }
    return false;
}

void RemoveMacroBindings(KeyTables& tables, int macroIndex) {
    for (int p = 0; p < kOnboardProfiles; ++p) {
        KeyTable& table = *tables.profileTable(p);
        for (int r = 0; r < tables.editableRecordCount(); ++r) {
            KeyFunction& f = table.records[static_cast<std::size_t>(r)];
            if (!isMacroRecord(f)) {
                continue;
            }
            if (f.p1 == macroIndex) {
                f = tables.defaultTable().records[static_cast<std::size_t>(r)];
            } else if (f.p1 > macroIndex) {
                f.p1 = static_cast<std::uint8_t>(f.p1 - 1);
            }
        }
    }
}

}  // namespace korvane::keys
