#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/device/device_kind.h"
#include "sim/sim_settings.h"

namespace korvane::sim {

// The simulator's part of a program's command line: --simulate[=MODELS],
// --sim-set KEY=VALUE (or --sim-set=KEY=VALUE), with the KORVANE_SIM variable under them.
class SimArguments {
  public:
    enum class Take { NotMine, Taken, Error };

    // Looks at args[i]; an option with a separate value consumes it (advancing i).
    Take take(const std::vector<std::string_view>& args, std::size_t& i, std::string& error);
    // After the last argument: applies KORVANE_SIM (null when unset), then the --sim-set
    // values, so the command line wins. The message of the first fault, or nullopt.
    std::optional<std::string> finish(const char* simEnvironment);

    bool simulate = false;
    std::vector<device::DeviceKind> models;
    SimSettings settings;

  private:
    std::vector<std::string_view> sets_;
};

}  // namespace korvane::sim
