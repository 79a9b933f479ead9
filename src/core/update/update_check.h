#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/update/update_protocol.h"

namespace korvane::update {

// What is installed and attached, as the connection sequences set it.
struct InstalledVersions {
    std::string software;
    int keyboardShown = 0;  // 0 none, 1 RGB, 2 single-colour, 3 zoned, 4 membrane
    std::uint16_t keyboardFirmware = 0;
    int mouseShown = 0;  // 0 none, 1 Mouse, 2 Mouse2
    std::uint16_t mouseFirmware = 0;
};

// The command code of the shown keyboard or mouse; empty for none.
std::string_view KeyboardCode(int keyboardShown);
std::string_view MouseCode(int mouseShown);

// The start-up check: the software, then the attached keyboard and mouse, each against the
// service's newest version. True when anything is newer (and believable).
bool CheckForUpdates(ServiceClient& service, const InstalledVersions& installed);

}  // namespace korvane::update
