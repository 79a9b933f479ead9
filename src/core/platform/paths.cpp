#include "core/platform/paths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#ifndef KORVANE_SOURCE_DATA_DIR
#define KORVANE_SOURCE_DATA_DIR ""
#endif
// Relative paths from the installed bin folder, fixed by the build's install layout.
#ifndef KORVANE_INSTALLED_DATA_FROM_BIN
#define KORVANE_INSTALLED_DATA_FROM_BIN "../share/korvane"
#endif
#ifndef KORVANE_INSTALLED_UDEV_FROM_BIN
#define KORVANE_INSTALLED_UDEV_FROM_BIN "../lib/udev/rules.d"
#endif

namespace korvane::platform {
namespace {

namespace fs = std::filesystem;

std::optional<std::string> env(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') {
        return std::nullopt;
    }
    return std::string(value);
}

fs::path homeFolder() {
    if (auto home = env("HOME")) {
        return *home;
    }
    std::vector<char> buffer(16384);
    passwd pw{};
    passwd* result = nullptr;
    if (::getpwuid_r(::getuid(), &pw, buffer.data(), buffer.size(), &result) == 0 &&
        result != nullptr && result->pw_dir != nullptr) {
        return result->pw_dir;
    }
    return "/tmp";
}

// One value of user-dirs.dirs: "$HOME/relative" or "/absolute", in double quotes, with
// backslash escapes. Anything else is ignored as xdg-user-dirs does.
std::optional<fs::path> parseUserDirValue(std::string_view value, const fs::path& home) {
    if (value.size() < 2 || value.front() != '"') {
        return std::nullopt;
    }
    std::string text;
    bool closed = false;
    for (std::size_t i = 1; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '\\' && i + 1 < value.size()) {
            text.push_back(value[++i]);
        } else if (c == '"') {
            closed = true;
            break;
        } else {
            text.push_back(c);
        }
    }
    if (!closed) {
        return std::nullopt;
    }
    constexpr std::string_view kHome = "$HOME";
    if (text.compare(0, kHome.size(), kHome) == 0) {
        std::string_view rest = std::string_view(text).substr(kHome.size());
        if (!rest.empty() && rest.front() != '/') {
            return std::nullopt;
        }
        while (!rest.empty() && rest.front() == '/') {
            rest.remove_prefix(1);
        }
        return rest.empty() ? home : home / rest;
    }
    if (!text.empty() && text.front() == '/') {
        return fs::path(text);
    }
    return std::nullopt;
}

std::optional<fs::path> documentsFromUserDirs(const fs::path& home) {
    fs::path configHome = home / ".config";
    if (auto xdg = env("XDG_CONFIG_HOME"); xdg && fs::path(*xdg).is_absolute()) {
        configHome = *xdg;
    }
    std::ifstream in(configHome / "user-dirs.dirs");
    if (!in) {
        return std::nullopt;
    }
    constexpr std::string_view kKey = "XDG_DOCUMENTS_DIR";
    std::optional<fs::path> found;
    std::string line;
    // The file is a few lines; a runaway one is not read past a sane length.
    for (int count = 0; count < 1000 && std::getline(in, line); ++count) {
        std::string_view view = line;
        while (!view.empty() && (view.front() == ' ' || view.front() == '\t')) {
            view.remove_prefix(1);
        }
        if (view.compare(0, kKey.size(), kKey) != 0) {
            continue;
        }
        view.remove_prefix(kKey.size());
        if (view.empty() || view.front() != '=') {
            continue;
        }
        view.remove_prefix(1);
        if (auto value = parseUserDirValue(view, home)) {
            found = value;  // the last assignment wins, as in the shell
        }
    }
    return found;
}

fs::path documentsFolder() {
    if (auto xdg = env("XDG_DOCUMENTS_DIR"); xdg && fs::path(*xdg).is_absolute()) {
        return *xdg;
    }
    const fs::path home = homeFolder();
    if (auto fromFile = documentsFromUserDirs(home)) {
        return *fromFile;
    }
    return home / "Documents";
}

// Failures are left to the file operations that follow, which report them.
fs::path ensureFolder(fs::path folder) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    return folder;
}

}  // namespace

fs::path ExecutableFolder() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : exe.parent_path();
}

fs::path InstalledFolder(InstalledPart part, const fs::path& executableFolder) {
    if (executableFolder.empty()) {
        return {};
    }
    const char* relative = part == InstalledPart::Data ? KORVANE_INSTALLED_DATA_FROM_BIN
                                                       : KORVANE_INSTALLED_UDEV_FROM_BIN;
    const fs::path folder = (executableFolder / relative).lexically_normal();
    std::error_code ec;
    return fs::is_directory(folder, ec) ? folder : fs::path();
}

fs::path DataRoot() {
    if (auto root = env("KORVANE_DATA_ROOT")) {
        return ensureFolder(*root);
    }
    return ensureFolder(documentsFolder() / "QV");
}

fs::path KeyboardFolder() {
    return ensureFolder(DataRoot() / "kb");
}
fs::path MouseFolder() {
    return ensureFolder(DataRoot() / "ms");
}
fs::path MousePadFolder() {
    return ensureFolder(DataRoot() / "mp");
}

fs::path MainIniPath() {
    return DataRoot() / "main.ini";
}

fs::path ProgramFolder() {
    if (auto folder = env("KORVANE_PROGRAM_FOLDER")) {
        return *folder;
    }
    if (fs::path installed = InstalledFolder(InstalledPart::Data, ExecutableFolder());
        !installed.empty()) {
        return installed;
    }
    return fs::path(KORVANE_SOURCE_DATA_DIR);
}

bool IsSourceTreeDataFolder(const fs::path& folder) {
    const fs::path source(KORVANE_SOURCE_DATA_DIR);
    if (source.empty()) {
        return false;
    }
    std::error_code ec;
    const bool same = fs::equivalent(folder, source, ec);
    return !ec && same;
}

}  // namespace korvane::platform
