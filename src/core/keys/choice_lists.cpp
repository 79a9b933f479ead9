#include "core/keys/choice_lists.h"

namespace korvane::keys {

std::optional<std::size_t> findChoice(std::span<const KeyChoice> choices, const KeyFunction& f) {
    for (std::size_t i = 0; i < choices.size(); ++i) {
        if (choices[i].function.p1 == f.p1 && choices[i].function.p2 == f.p2) {
            return i;
        }
    }
    return std::nullopt;
}

std::span<const std::uint8_t> classOrder(KeyClass keyClass) {
    if (keyClass == KeyClass::Mouse) {
        return kMouseClassOrder;
    }
    return kKeyboardClassOrder;
}

std::optional<std::size_t> classIndexOfType(KeyClass keyClass, std::uint8_t type) {
    if (type == KeyFunctionType::kMacroRepeat) {
        type = KeyFunctionType::kMacroRun;
    }
    const auto order = classOrder(keyClass);
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (order[i] == type) {
            return i;
        }
    }
    return std::nullopt;
}

}  // namespace korvane::keys
