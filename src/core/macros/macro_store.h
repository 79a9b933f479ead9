#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace korvane::macros {

// The keyboard and the mouse each keep their own macros.
enum class MacroClass { Keyboard, Mouse };

inline constexpr std::size_t kMaxMacros = 50;
inline constexpr std::string_view kKeyboardMacroListFile = "kbMacro.ini";
inline constexpr std::string_view kMouseMacroListFile = "msMacro.ini";
inline constexpr std::string_view kMacroFileExtension = ".mac";
inline constexpr std::string_view kMacroCountSection = "MACROCOUNT";
inline constexpr std::string_view kMacroNameSection = "MACRONAME";

// One class's macro collection on disk: the list file (names in index order) and one
// ".mac" file per macro, both in the class's device folder. Every name passes the one
// file-name check before it is used as a file name or stored as one. File names match as
// profile file names do: the exact name, else an existing file whose name differs only in
// case (files copied from a case-insensitive file system keep working, and no second file
// differing only in case is created).
class MacroStore {
  public:
    MacroStore(MacroClass macroClass, std::filesystem::path folder);
    // The class's collection in the data folder.
    static MacroStore forClass(MacroClass macroClass);

    MacroClass macroClass() const { return class_; }
    const std::filesystem::path& folder() const { return folder_; }
    std::filesystem::path listFile() const;
    // Path of the macro's ".mac" file; nullopt for a name that cannot be a file name.
    std::optional<std::filesystem::path> macroFile(std::string_view name) const;

    // MACROCOUNT; missing, negative or non-numeric reads as 0, above the limit as the limit.
    std::size_t ReadMacroCount() const;
    // Names of macros 0 .. count − 1.
    std::vector<std::string> ReadMacroList() const;
    // Count values outside 0 .. kMaxMacros are refused.
    bool WriteMacroCount(long count);
    // Refused for an index at or above the limit and for names that cannot be file names.
    bool WriteMacroName(std::size_t index, std::string_view name);
    // The name at index and the count index + 1 in one write, so the list never counts a
    // macro without its name.
    bool WriteLastMacroName(std::size_t index, std::string_view name);
    // Deletes the list file and writes it anew with the given names (macro deletion);
    // the mouse file gets its four cursor sequence entries back as well.
    bool RewriteMacroList(std::span<const std::string> names);

    // Action texts of the macro; a missing file (or an unusable name) is an empty macro.
    std::vector<std::string> ReadMacro(std::string_view name) const;
    // MACROACTIONCOUNT of the macro's file, as claimed by the file.
    std::uint64_t ReadMacroActionCount(std::string_view name) const;
    bool WriteMacro(std::string_view name, std::span<const std::string> actionTexts);
    // Renames the ".mac" file. False when either name is unusable, the target exists or
    // the file system refuses; the old file then stays as it was.
    bool RenameMacroFile(std::string_view from, std::string_view to);
    // Deleting the file of a macro that was never saved is harmless (true).
    bool DeleteMacroFile(std::string_view name);

  private:
    MacroClass class_;
    std::filesystem::path folder_;
};

}  // namespace korvane::macros
