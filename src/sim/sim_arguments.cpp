#include "sim/sim_arguments.h"

#include "sim/simulated_backend.h"

namespace korvane::sim {

SimArguments::Take SimArguments::take(const std::vector<std::string_view>& args, std::size_t& i,
                                      std::string& error) {
    const std::string_view arg = args[i];
    if (arg == "--simulate") {
        simulate = true;
        models = parseModelList(kDefaultSimulatedModels).kinds;
        return Take::Taken;
    }
    if (arg.starts_with("--simulate=")) {
        simulate = true;
        auto list = parseModelList(arg.substr(11));
        if (!list.error.empty()) {
            error = "--simulate: " + list.error;
            return Take::Error;
        }
        models = std::move(list.kinds);
        return Take::Taken;
    }
    if (arg == "--sim-set") {
        if (i + 1 == args.size()) {
            error = "--sim-set needs KEY=VALUE";
            return Take::Error;
        }
        sets_.push_back(args[++i]);
        return Take::Taken;
    }
    if (arg.starts_with("--sim-set=")) {
        sets_.push_back(arg.substr(10));
        return Take::Taken;
    }
    return Take::NotMine;
}

std::optional<std::string> SimArguments::finish(const char* simEnvironment) {
    if (!sets_.empty() && !simulate) {
        return "--sim-set needs --simulate";
    }
    if (simulate && simEnvironment != nullptr) {
        if (auto error = applySimSettingList(simEnvironment, settings)) {
            return "KORVANE_SIM: " + *error;
        }
    }
    for (const std::string_view setting : sets_) {
        if (auto error = applySimSetting(setting, settings)) {
            return "--sim-set: " + *error;
        }
    }
    return std::nullopt;
}

}  // namespace korvane::sim
