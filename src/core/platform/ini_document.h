#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace korvane::platform {

// How the bytes of a settings file encode its text. A file is written back the way it was
// read, so another installation can still read it: UTF-16 with its byte-order mark stays
// UTF-16, a single-byte legacy file stays Windows-1252 until it must hold a character that
// code page lacks (then it becomes UTF-16LE with a byte-order mark), and a new file is UTF-8.
enum class TextEncoding : std::uint8_t { Utf8, Utf8Bom, Utf16LE, Utf16BE, Windows1252 };

// The text of one INI file with the lookups and edits of private-profile calls, kept as
// its lines so that everything a call does not touch (comments, unknown lines, other
// sections, line endings) is written back as it was. IniFile adds the file, the locking
// and the value limit.
class IniDocument {
  public:
    // UTF-16LE or UTF-16BE with a byte-order mark, UTF-8 (with or without one), or, for bytes
    // without a mark that are not well-formed UTF-8, Windows-1252; held as UTF-8 inside.
    static IniDocument fromBytes(std::span<const std::uint8_t> bytes);

    TextEncoding encoding() const { return encoding_; }

    // The value of the key in the first section of that name, trimmed, or nullopt.
    // Not limited in length; the value ends at a NUL, as it would in a C buffer.
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

    // Each line ended by a line break, in the encoding the file was read in (see
    // TextEncoding); a new document is UTF-8.
    std::vector<std::uint8_t> toBytes() const;

  private:
    std::vector<std::string> lines_;  // without '\n'; a trailing '\r' stays with its line
    TextEncoding encoding_ = TextEncoding::Utf8;
    bool crlf_ = true;  // line ending of lines this class adds
};

}  // namespace korvane::platform
