#include "core/app/autostart.h"

#include <cstdlib>
#include <string>
#include <system_error>

#include "core/platform/atomic_file.h"

namespace korvane::app {
namespace {

std::filesystem::path configHomeFromEnvironment() {
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && *xdg == '/') {
        return xdg;
    }
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        return std::filesystem::path(home) / ".config";
    }
    return {};
}

// Desktop entry Exec values quote arguments with double quotes and escape \ " ` $.
std::string quoteExec(const std::string& path) {
    std::string quoted = "\"";
    for (const char c : path) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') {
            quoted.push_back('\\');
        }
        quoted.push_back(c);
    }
    quoted.push_back('"');
    return quoted;
}

}  // namespace

XdgAutostart::XdgAutostart(std::filesystem::path configHome)
    : configHome_(configHome.empty() ? configHomeFromEnvironment() : std::move(configHome)) {}

std::filesystem::path XdgAutostart::entryPath() const {
    return configHome_ / "autostart" / "korvane.desktop";
}

bool XdgAutostart::exists() const {
    std::error_code ec;
    return !configHome_.empty() && std::filesystem::is_regular_file(entryPath(), ec);
}

bool XdgAutostart::create(const std::filesystem::path& program) {
    if (configHome_.empty()) {
        return false;
    }
    std::error_code ec;
    std::filesystem::create_directories(entryPath().parent_path(), ec);
    if (ec) {
        return false;
    }
    const std::string entry =
        "[Desktop Entry]\n"
        "Type=Application\n"
        "Name=Qv Korvane Gaming Software 3.0\n"
        "Comment=Lighting, keys and macros of your gaming peripherals\n"
        "Exec=" +
        quoteExec(program.string()) +
        "\n"
        "Terminal=false\n"
        "X-GNOME-Autostart-enabled=true\n";
    return platform::writeFileAtomically(
        entryPath(), {reinterpret_cast<const std::uint8_t*>(entry.data()), entry.size()});
}

bool XdgAutostart::remove() {
    std::error_code ec;
    return !configHome_.empty() && std::filesystem::remove(entryPath(), ec) && !ec;
}

}  // namespace korvane::app
