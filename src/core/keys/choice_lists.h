#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "core/keys/key_function.h"
#include "core/keys/key_table.h"

namespace korvane::keys {

// One item of an editor combo box: the record it stands for and its text ID.
struct KeyChoice {
    std::string_view textId;
    KeyFunction function;
};

inline constexpr std::array<KeyChoice, 5> kButtonChoices{{
    {"mouse_key_left", {0x10, 0x01, 0}},
    {"mouse_key_middle", {0x10, 0x04, 0}},
    {"mouse_key_right", {0x10, 0x02, 0}},
    {"mouse_key_forward", {0x10, 0x10, 0}},
    {"mouse_key_back", {0x10, 0x08, 0}},
}};

inline constexpr std::array<KeyChoice, 3> kDpiChoices{{
    {"mouse_key_DPI_add", {0x13, 1, 0}},
    {"mouse_key_DPI_sub", {0x13, 2, 0}},
    {"mouse_key_DPI_loop", {0x13, 3, 0}},
}};

inline constexpr std::array<KeyChoice, 18> kConsumerChoices{{
    {"media_text", consumerKey(0x0183)},
    {"media_play", consumerKey(0x00CD)},
    {"media_stop", consumerKey(0x00B7)},
    {"media_prev", consumerKey(0x00B6)},
    {"media_next", consumerKey(0x00B5)},
    {"media_vol_sub", consumerKey(0x00EA)},
    {"media_vol_add", consumerKey(0x00E9)},
    {"media_mute", consumerKey(0x00E2)},
    {"web_text", consumerKey(0x0223)},
    {"web_refresh", consumerKey(0x0227)},
    {"wed_stop", consumerKey(0x0226)},
    {"wed_back", consumerKey(0x0224)},
    {"wed_forward", consumerKey(0x0225)},
    {"wed_favorite", consumerKey(0x022A)},
    {"web_search", consumerKey(0x0221)},
    {"media_mypc", consumerKey(0x0194)},
    {"media_calc", consumerKey(0x0192)},
    {"media_mail", consumerKey(0x018A)},
}};

inline constexpr std::array<KeyChoice, 3> kSystemChoices{{
    {"system_power", {0x40, 0x01, 0}},
    {"system_sleep", {0x40, 0x02, 0}},
    {"system_wake_up", {0x40, 0x04, 0}},
}};

inline constexpr std::array<KeyChoice, 4> kGunChoices{{
    {"GUN_1", {0x72, 0, 0}},
    {"GUN_2", {0x72, 1, 0}},
    {"GUN_3", {0x72, 2, 0}},
    {"GUN_4", {0x72, 3, 0}},
}};

// The index of the first item whose P1 and P2 equal the record's, or none.
std::optional<std::size_t> findChoice(std::span<const KeyChoice> choices, const KeyFunction& f);

// The function types in the order of the class combo box (kb_key_fct_combo / ms_key_fct_combo);
// kFactoryDefault is the default class, kMacroRun the macro class (which also produces
// kMacroRepeat).
inline constexpr std::array<std::uint8_t, 11> kMouseClassOrder{
    KeyFunctionType::kFactoryDefault,   KeyFunctionType::kMouseButton,
    KeyFunctionType::kHorizontalScroll, KeyFunctionType::kVerticalScroll,
    KeyFunctionType::kDpiControl,       KeyFunctionType::kFireKey,
    KeyFunctionType::kKeyboardKey,      KeyFunctionType::kConsumerKey,
    KeyFunctionType::kSystemKey,        KeyFunctionType::kMacroRun,
    KeyFunctionType::kGunSequence};
inline constexpr std::array<std::uint8_t, 10> kKeyboardClassOrder{
    KeyFunctionType::kFactoryDefault, KeyFunctionType::kKeyboardKey,
    KeyFunctionType::kMouseButton,    KeyFunctionType::kHorizontalScroll,
    KeyFunctionType::kVerticalScroll, KeyFunctionType::kDpiControl,
    KeyFunctionType::kFireKey,        KeyFunctionType::kConsumerKey,
    KeyFunctionType::kSystemKey,      KeyFunctionType::kMacroRun};

std::span<const std::uint8_t> classOrder(KeyClass keyClass);

// The class combo index of a function type in that editor, or none when the editor cannot
// produce it.
std::optional<std::size_t> classIndexOfType(KeyClass keyClass, std::uint8_t type);

}  // namespace korvane::keys
