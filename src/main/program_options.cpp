#include "main/program_options.h"

#include <cstdlib>
#include <system_error>

#include "core/platform/paths.h"
#include "sim/sim_arguments.h"

namespace korvane::program {
namespace {

ProgramParse fail(std::string message) {
    return {std::nullopt, std::move(message)};
}

}  // namespace

std::string_view programUsage() {
    return "usage: korvane [--simulate[=MODELS]] [--sim-set KEY=VALUE]... [--skin DIR]\n"
           "       korvane --headless [--simulate[=MODELS]] [--sim-set KEY=VALUE]...\n"
           "               --script FILE\n"
           "  MODELS: comma list of rgb-keyboard mono-keyboard region-keyboard\n"
           "          membrane-keyboard mouse mouse-alt mouse2 mousepad, or none\n"
           "          (default rgb-keyboard,mouse,mousepad)\n"
           "  --script FILE: run the scripted session in FILE (- for standard input)\n";
}

ProgramParse parseProgramArguments(const std::vector<std::string_view>& args,
                                   const char* simEnvironment) {
    ProgramOptions options;
    sim::SimArguments simArguments;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string error;
        switch (simArguments.take(args, i, error)) {
            case sim::SimArguments::Take::Taken:
                continue;
            case sim::SimArguments::Take::Error:
                return fail(error);
            case sim::SimArguments::Take::NotMine:
                break;
        }
        const std::string_view arg = args[i];
        const auto value = [&]() -> std::optional<std::string_view> {
            if (i + 1 >= args.size()) {
                return std::nullopt;
            }
            return args[++i];
        };
        if (arg == "--headless") {
            options.headless = true;
        } else if (arg == "--script") {
            const auto file = value();
            if (!file) {
                return fail("--script needs a file");
            }
            options.script = std::filesystem::path(*file);
        } else if (arg == "--skin") {
            const auto dir = value();
            if (!dir) {
                return fail("--skin needs a folder");
            }
            options.skinFolder = std::filesystem::path(*dir);
        } else {
            return fail("unknown argument '" + std::string(arg) + "'");
        }
    }
    if (auto error = simArguments.finish(simEnvironment)) {
        return fail(*error);
    }
    options.simulate = simArguments.simulate;
    options.models = std::move(simArguments.models);
    options.simSettings = simArguments.settings;
    if (options.headless && options.script.empty()) {
        return fail("--headless needs --script FILE");
    }
    if (!options.headless && !options.script.empty()) {
        return fail("--script needs --headless");
    }
    if (options.skinFolder.empty()) {
        options.skinFolder = defaultSkinFolder();
    }
    return {std::move(options), {}};
}

std::filesystem::path defaultSkinFolder() {
    if (const char* dir = std::getenv("KORVANE_SKIN_DIR"); dir != nullptr && *dir != '\0') {
        return dir;
    }
    const std::filesystem::path data =
        platform::InstalledFolder(platform::InstalledPart::Data, platform::ExecutableFolder());
    std::error_code ec;
    if (!data.empty() && std::filesystem::is_directory(data / "skin", ec)) {
        return data / "skin";
    }
    return KORVANE_SOURCE_SKIN_DIR;
}

}  // namespace korvane::program
