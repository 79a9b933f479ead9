#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "core/keys/key_table.h"
#include "core/keys/keyboard_picture_layout.h"

namespace korvane::keys {

// Keyboard picture position → record index in the keyboard's tables; -1 = no record.
struct PictureKeyMap {
    static constexpr std::int16_t kNoRecord = -1;
    std::array<std::int16_t, kPicturePositions> records;

    PictureKeyMap() { records.fill(kNoRecord); }
};

// Position N maps to the first record j < keyCount of the base table that equals the
// position's layout record. keyCount is clamped to 0..170; nothing of an earlier map survives.
PictureKeyMap BuildPictureKeyMap(const KeyTable& baseTable, int keyCount);

// The record the picture position stands for, or none (also for positions outside 0..125).
std::optional<int> RecordForPosition(const PictureKeyMap& map, int position);

// The first picture position mapped to the record, or none.
std::optional<int> PositionForRecord(const PictureKeyMap& map, int record);

}  // namespace korvane::keys
