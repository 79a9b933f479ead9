#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "core/device/hid_backend.h"

namespace korvane::device {

// The udev rule that lets the user at the seat open the devices' hidraw nodes; shipped in
// the folder of default files.
inline constexpr std::string_view kUdevRuleName = "70-korvane.rules";

// The rule this program came with: <ProgramFolder>/udev/70-korvane.rules when it is there
// (a build tree's data/); else the one installed under the program's prefix
// (<prefix>/lib/udev/rules.d); else the first path, for the advice to name.
std::filesystem::path UdevRulePath();

// Whether udev reads rules from the folder that holds this file (/etc/udev/rules.d,
// /run/udev/rules.d, /usr/local/lib/udev/rules.d, /usr/lib/udev/rules.d, /lib/udev/rules.d).
bool InUdevRulesFolder(const std::filesystem::path& rule);

// The one command line that makes the rule apply to devices already plugged in: udev reload
// and trigger when the rule already lies where udev reads rules, else a copy into
// /etc/udev/rules.d before them.
std::string UdevInstallCommand(const std::filesystem::path& rule);

// "<path> (<vid>:<pid>) was found but cannot be opened: permission denied; install the
// device rule: <command>" — the diagnostic line and the advice of the command-line tool.
std::string PermissionDeniedText(const HidInterfaceInfo& info);

// The message box for a device this user may not open: "message_device_access" (copy the
// rule from the source folder) for a program run from its build tree,
// "message_device_access_installed" (the rule came with the installation) otherwise.
std::string_view DeviceAccessMessageKey();

}  // namespace korvane::device
