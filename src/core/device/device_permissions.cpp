#include "core/device/device_permissions.h"

#include <array>
#include <cstdio>
#include <system_error>

#include "core/platform/paths.h"

namespace korvane::device {
namespace {

namespace fs = std::filesystem;

// The folders systemd-udevd reads rules from.
constexpr std::array<std::string_view, 5> kUdevRuleFolders = {
    "/etc/udev/rules.d",     "/run/udev/rules.d", "/usr/local/lib/udev/rules.d",
    "/usr/lib/udev/rules.d", "/lib/udev/rules.d",
};

constexpr std::string_view kReloadCommand = "sudo udevadm control --reload && sudo udevadm trigger";

bool isThere(const fs::path& file) {
    std::error_code ec;
    return fs::exists(file, ec);
}

// A build tree's rule lies in the folder of default files; an installed program has none
// there.
fs::path programFolderRule() {
    return platform::ProgramFolder() / "udev" / kUdevRuleName;
}

}  // namespace

fs::path UdevRulePath() {
    const fs::path shipped = programFolderRule();
    if (isThere(shipped)) {
        return shipped;
    }
    const fs::path installed =
        platform::InstalledFolder(platform::InstalledPart::UdevRules, platform::ExecutableFolder());
    if (!installed.empty() && isThere(installed / kUdevRuleName)) {
        return installed / kUdevRuleName;
    }
    return shipped;
}

bool InUdevRulesFolder(const fs::path& rule) {
    const fs::path folder = rule.lexically_normal().parent_path();
    for (const std::string_view known : kUdevRuleFolders) {
        if (folder == fs::path(known)) {
            return true;
        }
    }
    return false;
}

std::string UdevInstallCommand(const fs::path& rule) {
    if (InUdevRulesFolder(rule)) {
        return std::string(kReloadCommand);
    }
    // Quoted for the shell the user pastes it into, when it needs to be.
    const std::string path = rule.string();
    std::string shown = path;
    if (path.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                               "0123456789/._-+") != std::string::npos) {
        shown = "'";
        for (const char c : path) {
            shown += c == '\'' ? std::string("'\\''") : std::string(1, c);
        }
        shown += "'";
    }
    return "sudo cp " + shown + " /etc/udev/rules.d/ && " + std::string(kReloadCommand);
}

std::string PermissionDeniedText(const HidInterfaceInfo& info) {
    char ids[16];
    std::snprintf(ids, sizeof ids, "%04x:%04x", info.vendorId, info.productId);
    return info.path + " (" + ids +
           ") was found but cannot be opened: permission denied; install the device rule: " +
           UdevInstallCommand(UdevRulePath());
}

std::string_view DeviceAccessMessageKey() {
    return isThere(programFolderRule()) ? "message_device_access"
                                        : "message_device_access_installed";
}

}  // namespace korvane::device
