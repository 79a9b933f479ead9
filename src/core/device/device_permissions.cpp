#include "core/device/device_permissions.h"

#include <cstdio>

#include "core/platform/paths.h"

namespace korvane::device {

std::filesystem::path UdevRulePath() {
    return platform::ProgramFolder() / "udev" / kUdevRuleName;
}

std::string UdevInstallCommand(const std::filesystem::path& rule) {
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
    return "sudo cp " + shown +
           " /etc/udev/rules.d/ && sudo udevadm control --reload && sudo udevadm trigger";
}

std::string PermissionDeniedText(const HidInterfaceInfo& info) {
    char ids[16];
    std::snprintf(ids, sizeof ids, "%04x:%04x", info.vendorId, info.productId);
    return info.path + " (" + ids +
           ") was found but cannot be opened: permission denied; install the device rule: " +
           UdevInstallCommand(UdevRulePath());
}

}  // namespace korvane::device
