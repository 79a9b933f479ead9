// Cost of one effect step per device kind and mode.

#include <benchmark/benchmark.h>

#include "core/lighting/effects/device_steps.h"
#include "core/lighting/effects/keyboard_step.h"
#include "core/lighting/effects/sync_step.h"

namespace {

using namespace korvane::lighting;
using namespace korvane::lighting::effects;

class CountingBytes final : public ByteSource {
  public:
    std::uint8_t nextByte() override { return static_cast<std::uint8_t>(++n_ * 37); }

  private:
    unsigned n_ = 0;
};

void keyboardStep(benchmark::State& state, KeyboardKind kind) {
    const auto mode = static_cast<std::uint8_t>(state.range(0));
    KeyboardEffectState engine;
    InitialiseKeyboardMode(engine, kind, mode);
    CustomColourSlot slot{};
    slot.fill(255);
    const KeyboardStepInput input{kind, {mode, 14, 0, 1, 1, 10, 20, 30}, &slot};
    CountingBytes random;
    KeyboardStepResult result;
    for (auto _ : state) {
        StepKeyboard(engine, input, random, result);
        ++engine.hueCounter;
        benchmark::DoNotOptimize(result);
    }
}

void BM_RgbKeyboardStep(benchmark::State& state) {
    keyboardStep(state, KeyboardKind::Rgb);
}
void BM_MonoKeyboardStep(benchmark::State& state) {
    keyboardStep(state, KeyboardKind::Mono);
}
void BM_ZonedKeyboardStep(benchmark::State& state) {
    keyboardStep(state, KeyboardKind::Region);
}

void BM_MouseStep(benchmark::State& state) {
    MouseEffectState engine;
    const auto mode = static_cast<std::uint8_t>(state.range(0));
    InitialiseMouseMode(engine, mode, 1);
    DeviceStepInput input{{mode, 14, 0, 1, 1, 10, 20, 30}, false, 0};
    MouseStepResult result;
    for (auto _ : state) {
        ++input.nowMs;
        StepMouse(engine, input, result);
        benchmark::DoNotOptimize(result);
    }
}

void BM_PadStep(benchmark::State& state) {
    PadEffectState engine;
    const auto mode = static_cast<std::uint8_t>(state.range(0));
    InitialisePadMode(engine, mode);
    DeviceStepInput input{{mode, 14, 0, 1, 1, 10, 20, 30}, false, 0};
    PadStepResult result;
    for (auto _ : state) {
        ++input.nowMs;
        StepMousePad(engine, input, result);
        benchmark::DoNotOptimize(result);
    }
}

void BM_SyncStep(benchmark::State& state) {
    SyncEffectState engine;
    const SyncStepInput input{{static_cast<std::uint8_t>(state.range(0)), 14, 0, 1, 1, 10, 20, 30},
                              KeyboardKind::Region};
    CountingBytes random;
    SyncStepResult result;
    for (auto _ : state) {
        StepSync(engine, input, random, result);
        benchmark::DoNotOptimize(result);
    }
}

BENCHMARK(BM_RgbKeyboardStep)->DenseRange(0, 15);
BENCHMARK(BM_MonoKeyboardStep)->DenseRange(0, 11);
BENCHMARK(BM_ZonedKeyboardStep)->DenseRange(0, 6);
BENCHMARK(BM_MouseStep)->DenseRange(0, 7);
BENCHMARK(BM_PadStep)->DenseRange(0, 8);
BENCHMARK(BM_SyncStep)->DenseRange(0, 3);

}  // namespace
