#include "core/keys/key_code_table.h"

namespace korvane::keys {

std::optional<std::size_t> LookupKeyCode(std::uint32_t code, std::uint32_t hookFlags,
                                         KeyCodeRows rows) {
    constexpr std::uint32_t kReturn = 0x0D;
    if (code == kReturn && (hookFlags == 0x01 || hookFlags == 0x81)) {
        code = kCodeNumpadEnter;
    }
    const std::size_t limit = rows == KeyCodeRows::MacroKeys ? kMacroKeyRows : kKeyCodeRows;
    for (std::size_t i = 0; i < limit; ++i) {
        if (kKeyCodeTable[i].code == code) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::size_t> FindKeyCodeRowByParameters(std::uint8_t p1, std::uint8_t p2) {
    for (std::size_t i = 0; i < kKeyCodeRows; ++i) {
        if (kKeyCodeTable[i].function.p1 == p1 && kKeyCodeTable[i].function.p2 == p2) {
            return i;
        }
    }
    return std::nullopt;
}

}  // namespace korvane::keys
