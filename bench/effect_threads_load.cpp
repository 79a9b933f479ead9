// The four effect threads at their fastest modes and speeds against the three simulated
// devices with 1 ms answer latency: CPU time of the whole process (simulated firmware
// included), frames per second each device received, and that rate against the wire
// limit 1000 / (frame delay + exchanges × latency). Also the CPU per report exchanged (µs)
// next to the CPU of one bare thread wake-up measured in the same run (a timed wait that
// times out, as an exchange's wait for its answer does), and their ratio. The simulated
// firmware runs on the threads that write to it, so its share is in the per-report figure.
//
//   build/default/bench/korvane_bench_effect_threads_load

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <time.h>

#include <chrono>
#include <thread>

#include "core/lighting/effects/effect_threads.h"
#include "core/lighting/frame_delays.h"
#include "core/platform/worker.h"
#include "sim/simulated_backend.h"
#include "sim/simulated_device.h"

namespace {

using namespace std::chrono_literals;
using namespace korvane;
using namespace korvane::lighting;
using namespace korvane::lighting::effects;

constexpr int kLatencyMs = 1;
constexpr std::size_t kChunkBytes = 56;

double processCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// Voluntary context switches of the whole process: each is a wait that slept.
double contextSwitches() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_nvcsw + usage.ru_nivcsw);
}

double threadCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// CPU of one wake-up of a thread that sleeps 1 ms on its stop event and nothing else.
double bareWakeupMicroseconds() {
    constexpr int kWakeups = 2000;
    double cpu = 0;
    std::thread sleeper([&cpu] {
        platform::StopEvent stop;
        const double before = threadCpuSeconds();
        for (int i = 0; i < kWakeups; ++i) {
            stop.wait(1ms);
        }
        cpu = threadCpuSeconds() - before;
    });
    sleeper.join();
    return cpu / kWakeups * 1e6;
}

double wireLimitFps(unsigned delayMs, std::size_t frameBytes) {
    const std::size_t exchanges = (frameBytes + kChunkBytes - 1) / kChunkBytes;
    return 1000.0 / (delayMs + static_cast<double>(exchanges) * kLatencyMs);
}

void attach(sim::SimulatedBackend& backend, device::DeviceCommander& commander,
            const sim::SimulatedDevice& device) {
    const auto list = backend.enumerate();
    for (const auto& info : *list) {
        if (info.path == device.path(sim::SimInterface::Vendor)) {
            commander.attach(backend.open(info, device::HidAccess::ReadWrite));
        }
    }
    commander.setConnected(true);
}

std::uint64_t frames(const sim::SimulatedDevice& device) {
    return device.inspect([](const sim::Firmware& f) { return f.frameCount(); });
}

void BM_EffectThreadsAtFullSpeed(benchmark::State& state) {
    const auto seconds = std::chrono::seconds(state.range(0));
    sim::SimSettings settings;
    settings.latencyMs = kLatencyMs;
    sim::SimulatedBackend backend(settings);
    const auto keyboardDevice = backend.plug(device::DeviceKind::RgbKeyboard);
    const auto mouseDevice = backend.plug(device::DeviceKind::Mouse);
    const auto padDevice = backend.plug(device::DeviceKind::MousePad);
    device::DeviceCommander keyboard;
    device::DeviceCommander mouse;
    device::DeviceCommander mousePad;
    attach(backend, keyboard, *keyboardDevice);
    attach(backend, mouse, *mouseDevice);
    attach(backend, mousePad, *padDevice);

    // Fastest rows: keyboard mode 0 (2 ms; a static colour, so after its first frame nothing
    // more is sent) or mode 4 (3 ms, the fastest that animates), mouse mode 2 (5 ms), pad
    // mode 0 (9 ms).
    const auto keyboardMode = static_cast<std::uint8_t>(state.range(1));
    const LightSettings keyboardLight{keyboardMode, 14, 0, 1, 1, 255, 255, 255};
    const LightSettings mouseLight{2, 14, 0, 1, 1, 255, 255, 255};
    const LightSettings padLight{0, 14, 0, 1, 1, 255, 255, 255};
    std::atomic<int> kind{0};
    LightingSnapshots snapshots;
    KeyboardLightSnapshot keyboardSnapshot;
    keyboardSnapshot.light = keyboardLight;
    snapshots.keyboard.publish(keyboardSnapshot);
    MouseSettingsRecord mouseRecord;
    mouseRecord.light = mouseLight;
    snapshots.mouse.publish(mouseRecord);
    MousePadSettingsRecord padRecord;
    padRecord.light = padLight;
    snapshots.mousePad.publish(padRecord);
    snapshots.sync.publish({0, 14, 0, 1, 1, 255, 255, 255});
    FlashTriggers flash;
    ui::PreviewBuffer preview;
    std::atomic<bool> streaming{true};
    EffectEngines engines;
    EffectTiming timing;
    timing.keyboardStart = 0ms;
    timing.mouseStart = 0ms;
    timing.mousePadStart = 0ms;
    // As in the program: a thread with nothing to draw sleeps until a device changes.
    device::DeviceChanges changes;
    const EffectContext context{keyboard,  mouse,   mousePad, kind, snapshots, flash, preview,
                                streaming, engines, {},       {},   timing,    {},    &changes};

    for (auto _ : state) {
        std::array<std::unique_ptr<platform::Worker>, 4> workers;
        const std::array<void (*)(const EffectContext&, platform::StopEvent&), 4> bodies{
            RunKeyboardEffect, RunMouseEffect, RunMousePadEffect, RunSyncEffect};
        for (std::size_t i = 0; i < workers.size(); ++i) {
            workers[i] = std::make_unique<platform::Worker>("effect");
            workers[i]->start(
                [&context, body = bodies[i]](platform::StopEvent& stop) { body(context, stop); });
        }
        std::this_thread::sleep_for(500ms);  // settle
        const auto kb0 = frames(*keyboardDevice);
        const auto ms0 = frames(*mouseDevice);
        const auto mp0 = frames(*padDevice);
        const auto reports = [&] {
            return static_cast<double>(keyboardDevice->requestCount() +
                                       mouseDevice->requestCount() + padDevice->requestCount());
        };
        const double reports0 = reports();
        const double cpu0 = processCpuSeconds();
        const double switches0 = contextSwitches();
        const auto wall0 = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(seconds);
        const double cpu = processCpuSeconds() - cpu0;
        const double switches = contextSwitches() - switches0;
        const double exchanged = reports() - reports0;
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
        const double kbFps = static_cast<double>(frames(*keyboardDevice) - kb0) / wall;
        const double msFps = static_cast<double>(frames(*mouseDevice) - ms0) / wall;
        const double mpFps = static_cast<double>(frames(*padDevice) - mp0) / wall;
        for (auto& w : workers) {
            w->requestStop();
        }
        workers = {};

        const double wakeUs = bareWakeupMicroseconds();
        state.counters["cpu_pct_of_core"] = 100.0 * cpu / wall;
        state.counters["reports_per_s"] = exchanged / wall;
        state.counters["us_cpu_per_report"] = exchanged > 0 ? cpu / exchanged * 1e6 : 0;
        state.counters["us_cpu_per_bare_wakeup"] = wakeUs;
        state.counters["report_to_wakeup_ratio"] =
            exchanged > 0 && wakeUs > 0 ? cpu / exchanged * 1e6 / wakeUs : 0;
        state.counters["switches_per_s"] = switches / wall;
        state.counters["kb_fps"] = kbFps;
        state.counters["ms_fps"] = msFps;
        state.counters["mp_fps"] = mpFps;
        const auto delay = [](const auto& table, const LightSettings& l) {
            return frameDelayMs(table, l.mode, l.speed);
        };
        state.counters["kb_wire_pct"] =
            100.0 * kbFps / wireLimitFps(delay(FrameDelayTable::keyboard, keyboardLight), 378);
        state.counters["ms_wire_pct"] =
            100.0 * msFps / wireLimitFps(delay(FrameDelayTable::mouse, mouseLight), 60);
        state.counters["mp_wire_pct"] =
            100.0 * mpFps / wireLimitFps(delay(FrameDelayTable::mousePad, padLight), 45);
    }
}

BENCHMARK(BM_EffectThreadsAtFullSpeed)
    ->ArgNames({"seconds", "kb_mode"})
    ->Args({5, 0})
    ->Args({5, 4})
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

}  // namespace
