#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "core/keys/key_table.h"
#include "core/keys/picture_key_map.h"

namespace korvane::keys {

// The key tables of one device class: five onboard-profile tables (zero-filled until the
// device or a key profile fills them), the default table (built-in until a device of the
// class was read, then the device's base table) and, for the keyboard, its key count and
// picture map. The application state owns one instance per class and uses it on the main
// thread.
class KeyTables {
  public:
    explicit KeyTables(KeyClass keyClass);

    KeyClass keyClass() const { return keyClass_; }

    // The table of onboard profile 0..4; nullptr for any other index (indices come from
    // device records and files).
    KeyTable* profileTable(int profile);
    const KeyTable* profileTable(int profile) const;

    const KeyTable& defaultTable() const { return defaults_; }
    bool defaultsFromDevice() const { return defaultsFromDevice_; }

    // Records the device uses: the keyboard's reported key count (0 before a keyboard was
    // read), 170 for the mouse.
    int recordCount() const;
    // Records the editors and macro bookkeeping look at: 0..5 on the mouse, 0..n−1 on the
    // keyboard.
    int editableRecordCount() const;
    // Bytes the device receives of a table: 3·n for the keyboard, 512 for the mouse.
    std::size_t wireLength() const;

    // Takes the device's base table as the default table. Keyboard: keyCount must be 0..170
    // and bytes at least 3·keyCount long; the first 3·keyCount bytes replace the start of
    // the default table (the rest is kept) and the picture map is rebuilt. Mouse: bytes must
    // be the whole 512-byte table; keyCount is ignored. False, changing nothing, otherwise.
    bool setBaseTable(std::span<const std::uint8_t> bytes, int keyCount);

    const PictureKeyMap& pictureMap() const { return pictureMap_; }

  private:
    KeyClass keyClass_;
    std::array<KeyTable, kOnboardProfiles> profiles_{};
    KeyTable defaults_;
    bool defaultsFromDevice_ = false;
    int keyCount_ = 0;
    PictureKeyMap pictureMap_;
};

// The record of the class's default table; none for a record outside 0..169.
std::optional<KeyFunction> DefaultFunction(const KeyTables& tables, int record);

// Whether the record of that onboard profile's table equals the default record; false for
// an index out of range.
bool IsDefault(const KeyTables& tables, int profile, int record);

// Whether any MacroRun/MacroRepeat record among the editable records of the five tables
// refers to the macro.
bool MacroInUse(const KeyTables& tables, int macroIndex);

// After the macro at macroIndex was deleted: its MacroRun/MacroRepeat records return to
// their default records and those of later macros move down by one, among the editable
// records of all five tables.
void RemoveMacroBindings(KeyTables& tables, int macroIndex);

}  // namespace korvane::keys
