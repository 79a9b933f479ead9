#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/device/device_kind.h"
#include "core/lighting/effects/effect_replay.h"
#include "sim/sim_settings.h"

namespace korvane::cli {

enum class CtlCommand : std::uint8_t {
    List,
    Info,
    Table,
    Frame,
    WriteTable,
    Record,
    Reset,
    Effect,
    Help
};

inline constexpr int kBaseTable = -1;  // "table CLASS base"

struct CtlOptions {
    bool simulate = false;
    std::vector<device::DeviceKind> models;  // with simulate
    sim::SimSettings simSettings;
    CtlCommand command = CtlCommand::Help;
    device::DeviceClass deviceClass = device::DeviceClass::Keyboard;
    int table = kBaseTable;          // table, write-table: base or 0..4
    std::vector<std::uint8_t> data;  // frame, write-table
    std::uint16_t address = 0;       // record
    std::uint8_t length = 0;         // record
    lighting::effects::EffectReplay effect;
};

struct CtlParse {
    std::optional<CtlOptions> options;
    std::string error;  // one line, set when options is empty
};

// args without the program name; simEnvironment is the KORVANE_SIM value (null when unset),
// applied before the --sim-set options so that these override it.
CtlParse parseCtlArguments(const std::vector<std::string_view>& args, const char* simEnvironment);

std::string_view ctlUsage();

// The one usage line of the effect command.
std::string_view effectUsage();

}  // namespace korvane::cli
