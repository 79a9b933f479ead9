#include "core/macros/event_names.h"

#include "core/keys/key_code_table.h"

namespace korvane::macros {

namespace {

// Modifier rows carry their bit in P1; every other ordinary key its usage in P2.
bool rowMatches(const keys::KeyCodeRow& row, std::uint8_t eventKind, std::uint8_t code) {
    if (eventKind == kKindModifierKey) {
        return row.function.p2 == 0 && row.function.p1 == code;
    }
    return row.function.p2 != 0 && row.function.p2 == code;
}

}  // namespace

std::string EventNameFor(std::uint8_t kind, std::uint8_t code) {
    const std::uint8_t eventKind = kind & 0x7F;
    if (eventKind != kKindModifierKey && eventKind != kKindKeyboardKey) {
        return std::string(MouseEventName(kind, code));
    }
    for (std::size_t i = 0; i < keys::kMacroKeyRows; ++i) {
        if (rowMatches(keys::kKeyCodeTable[i], eventKind, code)) {
            return std::string(keys::kKeyCodeTable[i].textId);
        }
    }
    return {};
}

std::optional<MacroAction> MakeKeyAction(std::size_t row, bool press) {
    if (row >= keys::kMacroKeyRows) {
        return std::nullopt;
    }
    const keys::KeyCodeRow& key = keys::kKeyCodeTable[row];
    MacroAction action;
    const bool usage = key.function.p2 != 0;
    action.kind = usage ? kKindKeyboardKey : kKindModifierKey;
    if (press) {
        action.kind |= kKindPressBit;
    }
    action.code = usage ? key.function.p2 : key.function.p1;
    action.down = press ? 1 : 0;
    action.name = std::string(key.textId);
    return action;
}

}  // namespace korvane::macros
