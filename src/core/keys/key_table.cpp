#include "core/keys/key_table.h"

#include <algorithm>
#include <cstring>

namespace korvane::keys {

std::array<std::uint8_t, kKeyTableBytes> KeyTable::toBytes() const {
    std::array<std::uint8_t, kKeyTableBytes> bytes{};
    std::memcpy(bytes.data(), this, kKeyTableBytes);
    return bytes;
}

KeyTable KeyTable::fromBytes(std::span<const std::uint8_t, kKeyTableBytes> bytes) {
    KeyTable table;
    std::memcpy(&table, bytes.data(), kKeyTableBytes);
    return table;
}

void KeyTable::overwritePrefix(std::span<const std::uint8_t> bytes) {
    const std::size_t n = std::min(bytes.size(), kKeyTableBytes);
    if (n > 0) {
        std::memcpy(reinterpret_cast<std::uint8_t*>(this), bytes.data(), n);
    }
}

KeyTable builtInDefaultTable(KeyClass keyClass) {
    KeyTable table;
    table.records.fill(kNoFunction);
    if (keyClass == KeyClass::Mouse) {
        table.records[0] = mouseButton(MouseButtonBit::kLeft);
        table.records[1] = mouseButton(MouseButtonBit::kMiddle);
        table.records[2] = mouseButton(MouseButtonBit::kRight);
        table.records[3] = mouseButton(MouseButtonBit::kForward);
        table.records[4] = mouseButton(MouseButtonBit::kBack);
        table.records[5] = {KeyFunctionType::kDpiControl, 0x03, 0x00};
    }
    return table;
}

}  // namespace korvane::keys
