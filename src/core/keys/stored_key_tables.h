#pragma once

#include <optional>

#include "core/app/device_stores.h"
#include "core/keys/key_function.h"
#include "core/keys/key_table.h"

namespace korvane::keys {

// The key tables of one class as the main window's stores hold them, seen the way the key
// editor works on them: the live table (the mouse's onboard profile from its settings record;
// the keyboard keeps the table of profile 0 only), the default records (the device's base
// table once read, the built-in defaults before) and the records that belong to a key.
// Main thread, like the stores.
class StoredKeyTables {
  public:
    StoredKeyTables(KeyClass keyClass, app::DeviceStores& stores)
        : class_(keyClass), stores_(stores) {}

    KeyClass keyClass() const { return class_; }
    // The onboard profile the editor and the device download use; a profile byte outside
    // 0..4 from a device reads as 0.
    int liveProfile() const;
    app::TableBytes& liveTable();
    // The table key profile files are loaded into and saved from.
    app::TableBytes& profileZeroTable();

    // Records the editor can reach: buttons 0..5 of the mouse, 0..n−1 of the keyboard (none
    // before a keyboard was read, or when it reported more than 170 keys).
    int keyCount() const;
    bool validKey(int key) const { return key >= 0 && key < keyCount(); }

    KeyFunction record(int key);
    void setRecord(int key, const KeyFunction& function);
    KeyFunction defaultRecord(int key) const;
    bool isDefault(int key) { return record(key) == defaultRecord(key); }

    // Keyboard picture positions and records (PictureKeyMap); none for the mouse.
    std::optional<int> recordForPosition(int position) const;
    std::optional<int> positionForRecord(int key) const;

  private:
    KeyClass class_;
    app::DeviceStores& stores_;
};

KeyFunction recordAt(const app::TableBytes& table, int index);
void setRecordAt(app::TableBytes& table, int index, const KeyFunction& function);

}  // namespace korvane::keys
