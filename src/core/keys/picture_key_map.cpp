#include "core/keys/picture_key_map.h"

#include <algorithm>

namespace korvane::keys {

PictureKeyMap BuildPictureKeyMap(const KeyTable& baseTable, int keyCount) {
    const int n = std::clamp(keyCount, 0, static_cast<int>(kKeyRecords));
    PictureKeyMap map;
    for (std::size_t pos = 0; pos < kPicturePositions; ++pos) {
        for (int j = 0; j < n; ++j) {
            if (baseTable.records[j] == kKeyboardPictureLayout[pos]) {
                map.records[pos] = static_cast<std::int16_t>(j);
                break;
            }
        }
    }
    return map;
}

std::optional<int> RecordForPosition(const PictureKeyMap& map, int position) {
    if (position < 0 || position >= static_cast<int>(kPicturePositions)) {
        return std::nullopt;
    }
    const int record = map.records[position];
    if (record == PictureKeyMap::kNoRecord) {
        return std::nullopt;
    }
    return record;
}

std::optional<int> PositionForRecord(const PictureKeyMap& map, int record) {
    if (record < 0) {
        return std::nullopt;
    }
    for (std::size_t pos = 0; pos < kPicturePositions; ++pos) {
        if (map.records[pos] == record) {
            return static_cast<int>(pos);
        }
    }
    return std::nullopt;
}

}  // namespace korvane::keys
