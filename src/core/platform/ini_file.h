#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace korvane::platform {

// Private-profile INI semantics, one key per call:
//  - a missing file, section or key reads as the default;
//  - sections and keys match case-insensitively, blanks around names and values are trimmed,
//    the first of duplicate sections wins;
//  - values come back at most kMaxValueUnits UTF-16 code units long;
//  - reads UTF-8 files and UTF-16LE files with a byte-order mark, writes UTF-8;
//  - every write replaces the whole file atomically (temp file + rename) and returns false,
//    changing nothing, when it cannot; a missing folder is not created.
// Calls on the same path from several threads are serialised, so each call is whole.
class IniFile {
  public:
    static constexpr std::size_t kMaxValueUnits = 259;

    explicit IniFile(std::filesystem::path path);

    std::string readString(std::string_view section, std::string_view key,
                           std::string_view defaultValue = "0") const;
    // readString with the default "0", converted with parseLong.
    long readInt(std::string_view section, std::string_view key) const;

    // std::nullopt deletes the key.
    bool writeString(std::string_view section, std::string_view key,
                     std::optional<std::string_view> value);
    bool writeInt(std::string_view section, std::string_view key, long value);

    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

}  // namespace korvane::platform
