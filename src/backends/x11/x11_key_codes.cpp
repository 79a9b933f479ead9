#include "backends/x11/x11_key_codes.h"

namespace korvane::backends::x11 {

std::optional<VirtualKey> TranslateKeycode(unsigned keycode) {
    for (const KeycodeRow& row : kKeycodeRows) {
        if (row.keycode == keycode) {
            return row.key;
        }
    }
    return std::nullopt;
}

std::optional<std::uint8_t> KeycodeForVirtualKey(std::uint16_t vkCode, bool extended) {
    // Keys the catalogue tells apart by the flag share their code (Enter); elsewhere the flag
    // only describes the key.
    const KeycodeRow* any = nullptr;
    for (const KeycodeRow& row : kKeycodeRows) {
        if (row.key.vkCode != vkCode) {
            continue;
        }
        if (row.key.extended == extended) {
            return row.keycode;
        }
        any = any != nullptr ? any : &row;
    }
    if (any != nullptr && vkCode != 0x0D) {
        return any->keycode;
    }
    return std::nullopt;
}

}  // namespace korvane::backends::x11
