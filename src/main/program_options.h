#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/device/device_kind.h"
#include "sim/sim_settings.h"

namespace korvane::program {

struct ProgramOptions {
    bool headless = false;
    bool simulate = false;
    std::vector<device::DeviceKind> models;  // with simulate
    sim::SimSettings simSettings;
    std::filesystem::path script;  // headless; "-" reads standard input
    std::filesystem::path skinFolder;
};

struct ProgramParse {
    std::optional<ProgramOptions> options;
    std::string error;  // one line when options is empty
};

// args without the program name; simEnvironment is KORVANE_SIM (null when unset).
ProgramParse parseProgramArguments(const std::vector<std::string_view>& args,
                                   const char* simEnvironment);

std::string_view programUsage();

// The skin folder: KORVANE_SKIN_DIR when set; else <prefix>/share/korvane/skin beside the
// installed program; else the source tree's skin/.
std::filesystem::path defaultSkinFolder();

}  // namespace korvane::program
