#include "core/keys/stored_key_tables.h"

#include "core/keys/picture_key_map.h"

namespace korvane::keys {

KeyFunction recordAt(const app::TableBytes& table, int index) {
    const auto at = static_cast<std::size_t>(index) * 3;
    return {table[at], table[at + 1], table[at + 2]};
}

void setRecordAt(app::TableBytes& table, int index, const KeyFunction& function) {
    const auto at = static_cast<std::size_t>(index) * 3;
    table[at] = function.type;
    table[at + 1] = function.p1;
    table[at + 2] = function.p2;
}

int StoredKeyTables::liveProfile() const {
    if (class_ == KeyClass::Keyboard) {
        return 0;
    }
    const int profile = stores_.mouseSettings.onboardProfile;
    return profile < kOnboardProfiles ? profile : 0;
}

app::TableBytes& StoredKeyTables::liveTable() {
    if (class_ == KeyClass::Keyboard) {
        return stores_.keyboardTable;
    }
    return stores_.mouseTables[static_cast<std::size_t>(liveProfile())];
}

app::TableBytes& StoredKeyTables::profileZeroTable() {
    return class_ == KeyClass::Keyboard ? stores_.keyboardTable : stores_.mouseTables[0];
}

int StoredKeyTables::keyCount() const {
    if (class_ == KeyClass::Mouse) {
        return kMouseButtons;
    }
    const int n = stores_.keyboardInfo.keyCount();
    return n <= static_cast<int>(kKeyRecords) ? n : 0;
}

KeyFunction StoredKeyTables::record(int key) {
    return validKey(key) ? recordAt(liveTable(), key) : KeyFunction{};
}

void StoredKeyTables::setRecord(int key, const KeyFunction& function) {
    if (validKey(key)) {
        setRecordAt(liveTable(), key, function);
    }
}

KeyFunction StoredKeyTables::defaultRecord(int key) const {
    if (key < 0 || key >= static_cast<int>(kKeyRecords)) {
        return {};
    }
    if (class_ == KeyClass::Keyboard) {
        return recordAt(stores_.keyboardBaseTable, key);
    }
    if (stores_.mouseBaseRead) {
        return recordAt(stores_.mouseBaseTable, key);
    }
    return builtInDefaultTable(KeyClass::Mouse).records[static_cast<std::size_t>(key)];
}

std::optional<int> StoredKeyTables::recordForPosition(int position) const {
    if (class_ != KeyClass::Keyboard) {
        return std::nullopt;
    }
    const auto record = RecordForPosition(stores_.keyboardPictureMap, position);
    if (!record || !validKey(*record)) {
        return std::nullopt;
    }
    return record;
}

std::optional<int> StoredKeyTables::positionForRecord(int key) const {
    if (class_ != KeyClass::Keyboard) {
        return std::nullopt;
    }
    return PositionForRecord(stores_.keyboardPictureMap, key);
}

}  // namespace korvane::keys
