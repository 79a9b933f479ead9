// Connection timings against simulated devices:
//  - KeyboardSync: the keyboard's device reads (ReadKeyboard) at a given per-answer latency,
//    with the number of exchanges per sync as a counter;
//  - PlugToWindowShown: the whole program without a display, from plugging a keyboard to
//    the main window being shown (the plug wakes the connection thread; the keyboard's settle
//    time before its first read is included).

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/app/connection_sequences.h"
#include "core/app/headless_app.h"
#include "core/device/device_matching.h"
#include "core/platform/stop_event.h"
#include "sim/simulated_backend.h"

namespace {

using namespace korvane;
using namespace std::chrono_literals;

void KeyboardSync(benchmark::State& state) {
    sim::SimSettings settings;
    settings.latencyMs = static_cast<int>(state.range(0));
    sim::SimulatedBackend backend(settings);
    auto keyboard = backend.plug(device::DeviceKind::RgbKeyboard);
    device::DeviceCommander commander;
    const auto interfaces = backend.enumerate();
    for (const auto& info : interfaces.value_or(std::vector<device::HidInterfaceInfo>{})) {
        if (device::matchesInterface(device::InterfaceRole::KeyboardCommander, info)) {
            commander.attach(backend.open(info, device::HidAccess::ReadWrite));
            break;
        }
    }
    commander.setConnected(true);
    std::uint64_t exchanges = 0;
    std::chrono::duration<double, std::milli> spent{0};
    for (auto _ : state) {
        const auto before = keyboard->requestCount();
        const auto start = std::chrono::steady_clock::now();
        std::lock_guard lock(commander.lock());
        auto read = app::ReadKeyboardDevice(commander);
        benchmark::DoNotOptimize(read);
        spent += std::chrono::steady_clock::now() - start;
        exchanges += keyboard->requestCount() - before;
    }
    state.counters["exchanges"] =
        static_cast<double>(exchanges) / static_cast<double>(state.iterations());
    state.counters["ms_per_exchange"] = spent.count() / static_cast<double>(exchanges);
}
BENCHMARK(KeyboardSync)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The source tree: KORVANE_SOURCE_DIR, else three folders above build/<preset>/bench/<exe>.
std::filesystem::path sourceDir() {
    if (const char* dir = std::getenv("KORVANE_SOURCE_DIR")) {
        return dir;
    }
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::current_path()
              : exe.parent_path().parent_path().parent_path().parent_path();
}

void PlugToWindowShown(benchmark::State& state) {
    const auto source = sourceDir();
    const auto root = std::filesystem::temp_directory_path() / "korvane-bench-connection";
    std::filesystem::remove_all(root);
    setenv("KORVANE_DATA_ROOT", (root / "QV").c_str(), 1);
    setenv("KORVANE_PROGRAM_FOLDER", (source / "data").c_str(), 1);
    sim::SimSettings settings;
    settings.latencyMs = 1;
    sim::SimulatedBackend backend(settings);
    app::HeadlessAppOptions options;
    options.skinFolder = source / "skin";
    options.installerFile = root / "install.ini";
    options.configHome = root / "config";
    options.hid = &backend;
    app::HeadlessApp program(options);
    std::string error;
    if (!program.start(error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    const auto waitVisible = [&](bool visible) {
        while (program.windowHost().isVisible() != visible) {
            platform::StopEvent().wait(1ms);
        }
    };
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        auto keyboard = backend.plug(device::DeviceKind::RgbKeyboard);
        waitVisible(true);
        const auto shown = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(shown - start).count());
        keyboard->unplug();
        waitVisible(false);
    }
    program.shutdown();
    std::filesystem::remove_all(root);
}
BENCHMARK(PlugToWindowShown)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
