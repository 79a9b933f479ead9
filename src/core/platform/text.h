#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvane::platform {

// Text is UTF-8 inside the program; files from other installations may be UTF-16LE.
// Invalid sequences become U+FFFD rather than failing.
std::u16string utf8ToUtf16(std::string_view text);
std::string utf16ToUtf8(std::u16string_view text);

// Whether the bytes are well-formed UTF-8 (no overlong forms, surrogates or cut sequences).
bool isValidUtf8(std::string_view bytes);

// Windows-1252, the single-byte text of settings files written by other installations. The
// five bytes the code page leaves undefined map to the C1 controls of the same value, as the
// system's own conversion does, so every byte survives the way there and back.
std::string windows1252ToUtf8(std::string_view bytes);
// nullopt when the text holds a character the code page has no byte for.
std::optional<std::string> utf8ToWindows1252(std::string_view utf8);

// Number of UTF-16 code units the text takes (the unit of the 259-character limits).
std::size_t utf16Length(std::string_view utf8);
// The longest prefix of at most maxUnits UTF-16 code units, never splitting a character.
std::string truncateUtf16(std::string_view utf8, std::size_t maxUnits);

// Case-insensitive comparison of names (profiles, macros, INI sections and keys):
// simple case folding for at least Latin (with accents), Greek and Cyrillic letters.
std::string foldCase(std::string_view utf8);
bool equalsIgnoreCase(std::string_view a, std::string_view b);

// The C wide-string-to-long conversion the settings files rely on: leading white
// space and a sign allowed, conversion stops at the first non-digit, no digits
// give 0, out-of-range values clamp to the long range.
long parseLong(std::string_view text);
// A whole text that is a number: decimal (with an optional sign), or hexadecimal after
// "0x"/"0X". Anything else, trailing characters included, gives nullopt. For numbers typed on
// command lines, in scripts and in skin files, where a half-read value is an error.
std::optional<std::int64_t> parseWholeNumber(std::string_view text);

// "%d".
std::string formatInt(long value);

}  // namespace korvane::platform
