#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "core/device/hid_backend.h"

namespace korvane::device {

// The udev rule that lets the user at the seat open the devices' hidraw nodes; shipped in
// the folder of default files.
inline constexpr std::string_view kUdevRuleName = "70-korvane.rules";

// <ProgramFolder>/udev/70-korvane.rules
std::filesystem::path UdevRulePath();

// The one command line that installs the rule and applies it to devices already plugged in.
std::string UdevInstallCommand(const std::filesystem::path& rule);

// "<path> (<vid>:<pid>) was found but cannot be opened: permission denied; install the
// device rule: <command>" — the diagnostic line and the advice of the command-line tool.
std::string PermissionDeniedText(const HidInterfaceInfo& info);

}  // namespace korvane::device
