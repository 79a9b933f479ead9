#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/keys/key_function.h"
#include "core/keys/key_table.h"

namespace korvane::keys {

// What a key shows in the pictures, tool tips and lists: a text ID to translate through the
// language texts, or a macro name, shown as it stands.
struct KeyLabel {
    enum class Kind : std::uint8_t { TextId, Verbatim };
    Kind kind = Kind::TextId;
    std::string text;

    friend bool operator==(const KeyLabel&, const KeyLabel&) = default;
};

// Shown for types outside the catalogue, NoFunction, and a gun sequence on a keyboard. It goes
// through the language texts like any text ID, so a language may give it its own word.
inline constexpr std::string_view kOffLabel = "关闭";

// The label of a record, or none when the record has no label (the caller keeps the previous
// one). macroNames are the class's macro names in index order (MACRONAME 0 .. MACROCOUNT − 1);
// a macro record whose index is not below their number has no label.
std::optional<KeyLabel> FunctionLabel(KeyClass keyClass, const KeyFunction& record,
                                      std::span<const std::string> macroNames);

using TranslateText = std::function<std::string(std::string_view textId)>;

// The tool tip of a keyboard picture key: the default key's text, the "Key_Set" text and the
// current label; the default text alone when the current label is the default's text ID.
// None when the current record has no label (the previous tool tip stays).
std::optional<std::string> KeyboardKeyToolTip(const KeyFunction& defaultRecord,
                                              const KeyFunction& current,
                                              std::span<const std::string> macroNames,
                                              const TranslateText& translate);

// The text a label shows: translated for a text ID, as it stands otherwise.
std::string labelText(const KeyLabel& label, const TranslateText& translate);

}  // namespace korvane::keys
