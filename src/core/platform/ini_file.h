#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace korvane::platform {

class IniDocument;

// Private-profile INI semantics, one key per call:
//  - a missing file, section or key reads as the default;
//  - sections and keys match case-insensitively, blanks around names and values are trimmed,
//    the first of duplicate sections wins;
//  - values come back at most kMaxValueUnits UTF-16 code units long;
//  - a file keeps the encoding it was read in (see TextEncoding): UTF-16 with a byte-order
//    mark stays so, bytes that are not UTF-8 are Windows-1252, new files are UTF-8;
//  - every write replaces the whole file atomically (temp file + rename) and returns false,
//    changing nothing, when it cannot; a missing folder is not created. A file that exists
//    but cannot be read is never written (that would throw its other keys away). A failed
//    write leaves one debug line naming the file.
// Calls on the same path from several threads are serialised, so each call is whole.
class IniFile {
  public:
    static constexpr std::size_t kMaxValueUnits = 259;

    // Missing: no file (a first run); Unreadable: something is there that cannot be read as a
    // settings file (no permission, a folder, larger than any settings file).
    enum class State { Missing, Readable, Unreadable };

    explicit IniFile(std::filesystem::path path);

    State state() const;

    std::string readString(std::string_view section, std::string_view key,
                           std::string_view defaultValue = "0") const;
    // readString with the default "0", converted with parseLong.
    long readInt(std::string_view section, std::string_view key) const;

    // std::nullopt deletes the key.
    bool writeString(std::string_view section, std::string_view key,
                     std::optional<std::string_view> value);
    bool writeInt(std::string_view section, std::string_view key, long value);

    // Several changes as one write: the file is read once, changed by `change` and written
    // atomically as a whole, so no reader ever sees part of them. Nothing is written when
    // the text did not change (a missing file stays missing) or when `change` returns false
    // (it gave up: the result is then false). False as well when the file cannot be read or
    // written.
    bool update(const std::function<bool(IniDocument&)>& change);

    // Reads the file once and hands it to `read` (an empty document for a missing file), for
    // callers that need many keys of one moment. False, without calling it, when the file
    // cannot be read.
    bool read(const std::function<void(const IniDocument&)>& read) const;

    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

}  // namespace korvane::platform
