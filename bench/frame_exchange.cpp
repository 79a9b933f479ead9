// A 378-byte light frame (seven 56-byte chunks, seven request/answer exchanges) through the
// commander and the simulated keyboard, with and without the simulated answer latency.
// The counters give the time per frame and, with latency, the time each exchange costs beyond
// the latency itself. The second argument 1 narrows the waiting thread's timer slack to 1 µs
// (Linux pads timed sleeps by 50 µs by default), to show how much of the cost is the kernel's
// padding rather than the simulation.
#include <benchmark/benchmark.h>
#include <sys/prctl.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

#include "core/device/device_commander.h"
#include "sim/simulated_backend.h"

namespace {

using namespace korvane;

constexpr std::size_t kFrameBytes = 378;
constexpr int kExchangesPerFrame = 7;

void frameExchange(benchmark::State& state) {
    const int latencyMs = static_cast<int>(state.range(0));
    const unsigned long defaultSlackNs = static_cast<unsigned long>(prctl(PR_GET_TIMERSLACK));
    if (state.range(1) == 1) {
        prctl(PR_SET_TIMERSLACK, 1000UL);
    }
    sim::SimSettings settings;
    settings.latencyMs = latencyMs;
    sim::SimulatedBackend backend(settings);
    const auto keyboard = backend.plug(device::DeviceKind::RgbKeyboard);
    device::DeviceCommander commander;
    commander.attach(backend.open(keyboard->interfaces().front(), device::HidAccess::ReadWrite));
    commander.setConnected(true);

    std::vector<std::uint8_t> frame(kFrameBytes);
    std::uint8_t shade = 0;
    int failures = 0;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        std::fill(frame.begin(), frame.end(), ++shade);
        failures += commander.WriteLightFrame(frame) != device::kResultDone;
    }
    const std::chrono::duration<double, std::micro> elapsed =
        std::chrono::steady_clock::now() - start;
    const double perFrameUs = elapsed.count() / static_cast<double>(state.iterations());
    state.counters["us_per_frame"] = perFrameUs;
    state.counters["us_over_latency_per_exchange"] =
        (perFrameUs - kExchangesPerFrame * latencyMs * 1000.0) / kExchangesPerFrame;
    state.counters["failures"] = failures;
    prctl(PR_SET_TIMERSLACK, defaultSlackNs);
    keyboard->inspect([&](const sim::Firmware& fw) {
        state.counters["frames_seen"] = static_cast<double>(fw.frameCount());
    });
}

BENCHMARK(frameExchange)
    ->ArgNames({"latency_ms", "tight_slack"})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Args({0, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The same seven 1 ms waits with nothing simulated: how late this machine wakes a thread
// from a timed wait. The frame's overhead beyond this is the simulation's and the commander's.
void timedWaitBaseline(benchmark::State& state) {
    std::mutex mutex;
    std::condition_variable never;
    std::unique_lock lock(mutex);
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        for (int i = 0; i < kExchangesPerFrame; ++i) {
            const auto due = std::chrono::steady_clock::now() + std::chrono::milliseconds(1);
            while (std::chrono::steady_clock::now() < due) {
                never.wait_until(lock, due);
            }
        }
    }
    const std::chrono::duration<double, std::micro> elapsed =
        std::chrono::steady_clock::now() - start;
    const double perFrameUs = elapsed.count() / static_cast<double>(state.iterations());
    state.counters["us_over_latency_per_wait"] =
        (perFrameUs - kExchangesPerFrame * 1000.0) / kExchangesPerFrame;
}

BENCHMARK(timedWaitBaseline)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
