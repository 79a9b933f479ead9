#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace korvane::platform {

// The text of one INI file with the lookups and edits of private-profile calls, kept as
// its lines so that everything a call does not touch (comments, unknown lines, other
// sections, line endings) is written back as it was. IniFile adds the file, the locking
// and the value limit.
class IniDocument {
  public:
    // UTF-16LE or UTF-16BE with a byte-order mark are converted to UTF-8; anything else is
    // taken as UTF-8 (a UTF-8 byte-order mark is kept for the way back).
    static IniDocument fromBytes(std::span<const std::uint8_t> bytes);

    // The value of the key in the first section of that name, trimmed, or nullopt.
    // Not limited in length; bytes that are not UTF-8 come back as U+FFFD and the value
    // ends at a NUL, as it would in a C buffer.
    std::optional<std::string> find(std::string_view section, std::string_view key) const;

    // Whether the names and value can be stored so that they read back as written: names
    // not empty after trimming, no line breaks or NULs anywhere, no '=' in the key and no
    // ']' in the section, and a key that does not look like a section or a comment.
    static bool isWritable(std::string_view section, std::string_view key,
                           std::optional<std::string_view> value);

    // Sets the key (creating the section at the end when missing) or, with nullopt,
    // removes every entry of the key from the first section of that name. Returns whether
    // the text changed; false as well when !isWritable.
    bool set(std::string_view section, std::string_view key, std::optional<std::string_view> value);

    // UTF-8, each line ended by a line break.
    std::vector<std::uint8_t> toBytes() const;

  private:
    std::vector<std::string> lines_;  // without '\n'; a trailing '\r' stays with its line
    bool utf8Bom_ = false;
    bool crlf_ = true;  // line ending of lines this class adds
};

}  // namespace korvane::platform
