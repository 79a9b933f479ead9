#include <cstdlib>
#include <iostream>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "backends/hidapi/hidapi_backend.h"
#include "cli/ctl_commands.h"
#include "cli/ctl_effect.h"
#include "cli/ctl_options.h"
#include "core/device/hid_trace.h"
#include "sim/simulated_backend.h"

namespace {

using namespace korvane;

std::unique_ptr<device::HidBackend> makeBackend(const cli::CtlOptions& options) {
    if (options.simulate) {
        auto backend = std::make_unique<sim::SimulatedBackend>(options.simSettings);
        for (const auto kind : options.models) {
            backend->plug(kind);
        }
        return device::withTraceFromEnvironment(std::move(backend));
    }
    return device::withTraceFromEnvironment(backends::makeHidapiBackend());
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    const auto parsed = cli::parseCtlArguments(args, std::getenv("KORVANE_SIM"));
    if (!parsed.options) {
        std::cerr << "korvanectl: " << parsed.error << '\n';
        return cli::kExitUsage;
    }
    if (parsed.options->command == cli::CtlCommand::Help) {
        std::cout << cli::ctlUsage();
        return cli::kExitDone;
    }
    if (parsed.options->command == cli::CtlCommand::Effect) {
        return cli::runEffectCommand(parsed.options->effect, std::cout);
    }
    auto backend = makeBackend(*parsed.options);
    return cli::runCtlCommand(*parsed.options, *backend, std::cout, std::cerr);
}
