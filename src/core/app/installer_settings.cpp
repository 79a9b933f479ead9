#include "core/app/installer_settings.h"

#include <system_error>

#include "core/platform/ini_file.h"

namespace korvane::app {
namespace {

// A value that cannot occur in the file tells "absent" from any real value.
constexpr std::string_view kAbsent = "\x01";

}  // namespace

IniInstallerSettings::IniInstallerSettings(std::filesystem::path file) : file_(std::move(file)) {}

std::optional<std::string> IniInstallerSettings::read(std::string_view key) const {
    std::string value = platform::IniFile(file_).readString(kSection, key, kAbsent);
    if (value == kAbsent) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::string> IniInstallerSettings::language() const {
    return read("LANGUAGE");
}

bool IniInstallerSettings::setLanguage(std::string_view code) {
    // Only an installation has the file; a program run from elsewhere (a build tree) has
    // nothing to tell the installer and must not leave such a file behind.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file_, ec)) {
        return false;
    }
    return platform::IniFile(file_).writeString(kSection, "LANGUAGE", code);
}

std::optional<std::string> IniInstallerSettings::installPath() const {
    return read("InstPath");
}

}  // namespace korvane::app
