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

constexpr std::array<CommandName, 9> kCommands{{
    {"list", CtlCommand::List, 0},
    {"info", CtlCommand::Info, 1},
    {"table", CtlCommand::Table, 2},
    {"frame", CtlCommand::Frame, 2},
    {"write-table", CtlCommand::WriteTable, 3},
    {"record", CtlCommand::Record, 3},
    {"reset", CtlCommand::Reset, 1},
    {"effect", CtlCommand::Effect, 0},
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

constexpr std::uint32_t kMaxEffectSteps = 1000000;
constexpr std::size_t kMaxRandomBytes = 4096;

CtlParse effectFail(std::string message) {
    return fail("effect: " + message + "; " + std::string(effectUsage()));
}

// MODE,BRIGHT,SPEED,DIR,COLOURFUL,R,G,B: eight bytes.
std::optional<lighting::LightSettings> parseSettings(std::string_view text) {
    std::array<std::uint8_t, 8> bytes{};
    std::size_t n = 0;
    while (true) {
        const std::size_t comma = text.find(',');
        const auto value = parseUnsigned(text.substr(0, comma), 255);
        if (!value || n == bytes.size()) {
            return std::nullopt;
        }
        bytes[n++] = static_cast<std::uint8_t>(*value);
        if (comma == std::string_view::npos) {
            break;
        }
        text.remove_prefix(comma + 1);
    }
    if (n != bytes.size()) {
        return std::nullopt;
    }
    return lighting::recordFromBytes<lighting::LightSettings>(bytes);
}

CtlParse parseEffect(CtlOptions options, const std::vector<std::string_view>& rest) {
    if (rest.empty()) {
        return effectFail("no model given");
    }
    const auto model = device::kindFromCliName(rest[0]);
    if (!model) {
        return effectFail("unknown model '" + std::string(rest[0]) + "'");
    }
    lighting::effects::EffectReplay& effect = options.effect;
    effect.model = *model;
    bool haveSettings = false;
    for (std::size_t i = 1; i < rest.size(); ++i) {
        const std::string_view option = rest[i];
        if (option == "--no-init") {
            effect.initialise = false;
            continue;
        }
        if (i + 1 == rest.size()) {
            return effectFail("'" + std::string(option) + "' needs a value");
        }
        const std::string_view value = rest[++i];
        if (option == "--settings") {
            const auto settings = parseSettings(value);
            if (!settings) {
                return effectFail("--settings needs eight numbers 0..255 separated by commas");
            }
            effect.settings = *settings;
            haveSettings = true;
        } else if (option == "--steps") {
            const auto steps = parseUnsigned(value, kMaxEffectSteps);
            if (!steps) {
                return effectFail("--steps needs a number 0.." + std::to_string(kMaxEffectSteps));
            }
            effect.steps = *steps;
        } else if (option == "--random") {
            auto bytes = parseHex(value, kMaxRandomBytes);
            if (!bytes) {
                return effectFail("--random needs hex bytes");
            }
            effect.random = std::move(*bytes);
        } else if (option == "--custom") {
            auto bytes = parseHex(value, sizeof(lighting::CustomColourStore));
            if (!bytes) {
                return effectFail("--custom needs hex bytes, at most " +
                                  std::to_string(sizeof(lighting::CustomColourStore)));
            }
            effect.custom = std::move(*bytes);
        } else if (option == "--slot") {
            const auto slot = parseUnsigned(value, lighting::kOnboardProfileCount - 1);
            if (!slot) {
                return effectFail("--slot needs a slot 0..4");
            }
            effect.slot = static_cast<std::uint8_t>(*slot);
        } else {
            return effectFail("unknown option '" + std::string(option) + "'");
        }
    }
    if (!haveSettings) {
        return effectFail("--settings is required");
    }
    return CtlParse{std::move(options), {}};
}

}  // namespace

std::string_view ctlUsage() {
    return "usage: korvanectl [--simulate[=MODELS]] [--sim-set KEY=VALUE]... COMMAND\n"
           "  MODELS   comma list of rgb-keyboard mono-keyboard region-keyboard\n"
           "           membrane-keyboard mouse mouse-alt mouse2 mousepad, or none\n"
           "           (default rgb-keyboard,mouse,mousepad)\n"
           "  KEY      keys, macro-units, sensor, dpi-step, dpi-max, latency-ms, fault,\n"
           "           answer-id, descriptor\n"
           "           (also KORVANE_SIM=K=V,...)\n"
           "commands:\n"
           "  list\n"
           "  info CLASS\n"
           "  table CLASS base|0..4\n"
           "  frame CLASS HEX\n"
           "  write-table CLASS 0..4 HEX\n"
           "  record CLASS ADDRESS LENGTH\n"
           "  reset CLASS\n"
           "  effect MODEL --settings MODE,BRIGHT,SPEED,DIR,COLOURFUL,R,G,B [--steps N]\n"
           "         [--random HEX] [--custom HEX] [--slot S] [--no-init]\n"
           "  CLASS    keyboard, mouse or mousepad\n";
}

std::string_view effectUsage() {
    return "usage: korvanectl effect MODEL --settings MODE,BRIGHT,SPEED,DIR,COLOURFUL,R,G,B "
           "[--steps N] [--random HEX] [--custom HEX] [--slot S] [--no-init]";
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
        return fail(
            "no command given (list, info, table, frame, write-table, record, reset, effect)");
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
    if (command->command == CtlCommand::Effect) {
        options.command = CtlCommand::Effect;
        return parseEffect(std::move(options), rest);
    }
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
