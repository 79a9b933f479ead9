#pragma once

#include <filesystem>

namespace korvane::platform {

// DataRoot: <Documents>/QV, where Documents is XDG_DOCUMENTS_DIR (from the environment
// or xdg-user-dirs' user-dirs.dirs), else $HOME/Documents. KORVANE_DATA_ROOT replaces the
// whole path (tests never touch the real home). Created when missing, every time it is built.
std::filesystem::path DataRoot();
// The device folders "kb", "ms", "mp" under DataRoot, created every time the path is built,
// so a folder deleted while the program runs is repaired by the next operation.
std::filesystem::path KeyboardFolder();
std::filesystem::path MouseFolder();
std::filesystem::path MousePadFolder();
// <DataRoot>/main.ini
std::filesystem::path MainIniPath();

// The folder with the shipped default files: KORVANE_PROGRAM_FOLDER when set; else the
// installed data folder next to the executable (<prefix>/share/korvane) when it exists;
// else the source tree's data/ folder (running from a build tree).
std::filesystem::path ProgramFolder();

// The folder of the running executable (from /proc/self/exe); empty when it cannot be read.
std::filesystem::path ExecutableFolder();

// What `cmake --install` puts beside the programs under the same prefix, found from the
// programs' folder (<prefix>/bin) alone, so an installed program needs no settings:
// Data is <prefix>/share/korvane (skin, default files), UdevRules <prefix>/lib/udev/rules.d.
// Empty when that folder does not exist there (a run from a build tree).
enum class InstalledPart { Data, UdevRules };
std::filesystem::path InstalledFolder(InstalledPart part,
                                      const std::filesystem::path& executableFolder);

// Whether the folder is the source tree's data/ (a run from a build tree): its files are
// committed, so the program never writes there.
bool IsSourceTreeDataFolder(const std::filesystem::path& folder);

}  // namespace korvane::platform
