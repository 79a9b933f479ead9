// korvane: the program. With --headless it runs a scripted session without a display.

#include <fstream>
#include <iostream>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "backends/curl/curl_http_client.h"
#include "backends/hidapi/hidapi_backend.h"
#include "core/app/headless_app.h"
#include "core/app/scripted_session.h"
#include "core/device/hid_trace.h"
#include "core/platform/debug_line.h"
#include "core/platform/keep_until_exit.h"
#include "core/platform/paths.h"
#include "main/program_options.h"
#include "sim/sim_device_plugger.h"
#include "sim/simulated_backend.h"

#ifdef KORVANE_WITH_GUI
#include "gui/gui_main.h"
#endif

namespace {

using namespace korvane;

std::filesystem::path programFile(const char* argv0) {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path(argv0) : exe;
}

int runHeadless(const program::ProgramOptions& options, const char* argv0) {
    std::unique_ptr<device::HidBackend> backend;
    std::unique_ptr<sim::SimDevicePlugger> plugger;
    if (options.simulate) {
        auto simulated = std::make_unique<sim::SimulatedBackend>(options.simSettings);
        for (const device::DeviceKind kind : options.models) {
            simulated->plug(kind);
        }
        // The trace wrapper owns the simulator; the plugger keeps using it through it.
        plugger = std::make_unique<sim::SimDevicePlugger>(*simulated);
        backend = device::withTraceFromEnvironment(std::move(simulated));
    } else {
        backend = device::withTraceFromEnvironment(backends::makeHidapiBackend());
    }

    const std::unique_ptr<update::HttpClient> http = backends::makeCurlHttpClient();
    std::mutex outputMutex;
    app::HeadlessAppOptions appOptions;
    appOptions.skinFolder = options.skinFolder;
    appOptions.programFile = programFile(argv0);
    appOptions.installerFile = platform::ProgramFolder() / "install.ini";
    appOptions.hid = backend.get();
    appOptions.http = http.get();
    appOptions.output = [&](std::string_view line) {
        std::lock_guard lock(outputMutex);
        std::cout << line << std::endl;
    };
    app::HeadlessApp headless(std::move(appOptions));
    std::string error;
    if (!headless.start(error)) {
        std::cerr << "korvane: " << error << '\n';
        return 1;
    }
    std::ifstream file;
    std::istream* script = &std::cin;
    if (options.script != "-") {
        file.open(options.script);
        if (!file) {
            std::cerr << "korvane: cannot read script " << options.script << '\n';
            headless.shutdown();
            return 2;
        }
        script = &file;
    }
    const int code = app::RunScript(headless, plugger.get(), *script, std::cout, std::cerr);
    if (headless.workersAbandoned()) {
        // A worker stuck in a device call still uses the devices and the window.
        platform::EndProcessNow(code);
    }
    return code;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string_view> args(argv + 1, argv + argc);
    const program::ProgramParse parse =
        program::parseProgramArguments(args, std::getenv("KORVANE_SIM"));
    if (!parse.options) {
        std::cerr << "korvane: " << parse.error << '\n' << program::programUsage();
        return 2;
    }
    // Which installation the program took its files from, for a user chasing a missing file.
    platform::debugLine("skin folder " + parse.options->skinFolder.string() + ", program folder " +
                        platform::ProgramFolder().string());
    if (parse.options->headless) {
        return runHeadless(*parse.options, argv[0]);
    }
#ifdef KORVANE_WITH_GUI
    return gui::runWindowed(*parse.options, argc, argv);
#else
    std::cerr << "korvane: this build has no window (Qt front end not built); "
                 "use --headless --script FILE\n";
    return 2;
#endif
}
