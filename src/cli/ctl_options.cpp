#include "cli/ctl_options.h"

#include "sim/sim_arguments.h"

#include <array>

#include "cli/hex_text.h"
#include "sim/simulated_backend.h"

namespace korvane::cli {
namespace {

using device::DeviceClass;

constexpr std::size_t kMaxFrameBytes = 4096;
constexpr std::size_t kMaxTableBytes = 512;
constexpr std::uint32_t kMaxRecordLength = 56;

struct CommandName {
    std::string_view name;
    CtlCommand command;
    std::size_t arguments;
};

constexpr std::array<CommandName, 8> kCommands{{
    {"list", CtlCommand::List, 0},
    {"info", CtlCommand::Info, 1},
    {"table", CtlCommand::Table, 2},
    {"frame", CtlCommand::Frame, 2},
    {"write-table", CtlCommand::WriteTable, 3},
    {"record", CtlCommand::Record, 3},
    {"reset", CtlCommand::Reset, 1},
    {"help", CtlCommand::Help, 0},
}};

struct ClassName {
    std::string_view name;
    DeviceClass deviceClass;
};

constexpr std::array<ClassName, 3> kClasses{{
    {"keyboard", DeviceClass::Keyboard},
    {"mouse", DeviceClass::Mouse},
    {"mousepad", DeviceClass::MousePad},
}};

CtlParse fail(std::string message) {
    return CtlParse{std::nullopt, std::move(message)};
}

std::optional<int> parseProfileIndex(std::string_view text) {
    const auto n = parseUnsigned(text, 4);
    return n ? std::optional<int>(static_cast<int>(*n)) : std::nullopt;
}

}  // namespace

std::string_view ctlUsage() {
    return "usage: korvanectl [--simulate[=MODELS]] [--sim-set KEY=VALUE]... COMMAND\n"
           "  MODELS   comma list of rgb-keyboard mono-keyboard region-keyboard\n"
           "           membrane-keyboard mouse mouse-alt mouse2 mousepad, or none\n"
           "           (default rgb-keyboard,mouse,mousepad)\n"
           "  KEY      keys, macro-units, sensor, latency-ms, fault, answer-id, descriptor\n"
           "           (also KORVANE_SIM=K=V,...)\n"
           "commands:\n"
           "  list\n"
           "  info CLASS\n"
           "  table CLASS base|0..4\n"
           "  frame CLASS HEX\n"
           "  write-table CLASS 0..4 HEX\n"
           "  record CLASS ADDRESS LENGTH\n"
           "  reset CLASS\n"
           "  CLASS    keyboard, mouse or mousepad\n";
}

CtlParse parseCtlArguments(const std::vector<std::string_view>& args, const char* simEnvironment) {
    CtlOptions options;
    sim::SimArguments simArguments;
    std::size_t i = 0;
    for (; i < args.size() && args[i].starts_with("--"); ++i) {
        std::string error;
        switch (simArguments.take(args, i, error)) {
            case sim::SimArguments::Take::Taken:
                continue;
            case sim::SimArguments::Take::Error:
                return fail(error);
            case sim::SimArguments::Take::NotMine:
                break;
        }
        if (args[i] == "--help") {
            options.command = CtlCommand::Help;
            return CtlParse{options, {}};
        }
        return fail("unknown option '" + std::string(args[i]) + "'");
    }
    if (auto error = simArguments.finish(simEnvironment)) {
        return fail(*error);
    }
    options.simulate = simArguments.simulate;
    options.models = std::move(simArguments.models);
    options.simSettings = simArguments.settings;

    if (i == args.size()) {
        return fail("no command given (list, info, table, frame, write-table, record, reset)");
    }
    const auto name = args[i++];
    const CommandName* command = nullptr;
    for (const auto& entry : kCommands) {
        if (entry.name == name) {
            command = &entry;
        }
    }
    if (command == nullptr) {
        return fail("unknown command '" + std::string(name) + "'");
    }
    const std::vector<std::string_view> rest(args.begin() + static_cast<std::ptrdiff_t>(i),
                                             args.end());
    if (rest.size() != command->arguments) {
        return fail(std::string(name) + " takes " + std::to_string(command->arguments) +
                    " argument(s), got " + std::to_string(rest.size()));
    }
    options.command = command->command;
    if (rest.empty()) {
        return CtlParse{options, {}};
    }

    const ClassName* deviceClass = nullptr;
    for (const auto& entry : kClasses) {
        if (entry.name == rest[0]) {
            deviceClass = &entry;
        }
    }
    if (deviceClass == nullptr) {
        return fail("unknown device class '" + std::string(rest[0]) +
                    "' (keyboard, mouse or mousepad)");
    }
    options.deviceClass = deviceClass->deviceClass;

    switch (options.command) {
        case CtlCommand::Table:
            if (rest[1] != "base") {
                const auto index = parseProfileIndex(rest[1]);
                if (!index) {
                    return fail("table: '" + std::string(rest[1]) + "' is not base or 0..4");
                }
                options.table = *index;
            }
            break;
        case CtlCommand::Frame: {
            auto bytes = parseHex(rest[1], kMaxFrameBytes);
            if (!bytes) {
                return fail("frame: not hex bytes, or more than " + std::to_string(kMaxFrameBytes));
            }
            options.data = std::move(*bytes);
            break;
        }
        case CtlCommand::WriteTable: {
            const auto index = parseProfileIndex(rest[1]);
            if (!index) {
                return fail("write-table: profile '" + std::string(rest[1]) + "' is not 0..4");
            }
            options.table = *index;
            auto bytes = parseHex(rest[2], kMaxTableBytes);
            if (!bytes) {
                return fail("write-table: not hex bytes, or more than " +
                            std::to_string(kMaxTableBytes));
            }
            options.data = std::move(*bytes);
            break;
        }
        case CtlCommand::Record: {
            const auto address = parseUnsigned(rest[1], 0xFFFF);
            const auto length = parseUnsigned(rest[2], kMaxRecordLength);
            if (!address) {
                return fail("record: address '" + std::string(rest[1]) + "' is not 0..65535");
            }
            if (!length) {
                return fail("record: length '" + std::string(rest[2]) + "' is not 0..56");
            }
            options.address = static_cast<std::uint16_t>(*address);
            options.length = static_cast<std::uint8_t>(*length);
            break;
        }
        default:
            break;
    }
    return CtlParse{options, {}};
}

}  // namespace korvane::cli
