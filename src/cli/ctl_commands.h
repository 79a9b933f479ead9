#pragma once

#include <ostream>

#include "cli/ctl_options.h"
#include "core/device/hid_backend.h"

namespace korvane::cli {

inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// Runs one parsed command against the devices of backend. Output goes to out; problems, one
// line each, to err. Returns the exit code: 0 when the device command gave 1, 1 otherwise,
// 2 for a usage error found only once the device is known (a table of the wrong length).
int runCtlCommand(const CtlOptions& options, device::HidBackend& backend, std::ostream& out,
                  std::ostream& err);

// "1.0.5" for version word 0x0105: the word in hex with dots after its first two digits.
std::string firmwareVersionText(std::uint16_t version);

}  // namespace korvane::cli
