#include "core/lighting/effects/effect_replay.h"

#include <algorithm>

#include "core/lighting/effects/device_steps.h"
#include "core/lighting/effects/keyboard_step.h"
#include "core/lighting/frame_delays.h"
#include "core/lighting/keyboard_kind.h"

namespace korvane::lighting::effects {
namespace {

class CyclingBytes final : public ByteSource {
  public:
    explicit CyclingBytes(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::uint8_t nextByte() override {
        if (bytes_.empty()) {
            return 0;
        }
        const std::uint8_t b = bytes_[next_];
        next_ = (next_ + 1) % bytes_.size();
        return b;
    }

  private:
    std::span<const std::uint8_t> bytes_;
    std::size_t next_ = 0;
};

// The picture as it stands after each step: four bytes per position.
class PictureBytes {
  public:
    explicit PictureBytes(std::size_t positions) : bytes_(4 * positions, 0) {}

    template <std::size_t N>
    void take(const PreviewSet<N>& set) {
        for (std::size_t i = 0; i < N && 4 * i + 3 < bytes_.size(); ++i) {
            const PreviewEntry& e = set[i];
            if (!e.drawn) {
                continue;
            }
            bytes_[4 * i] = e.alpha;
            bytes_[4 * i + 1] = static_cast<std::uint8_t>(e.colour & 0xFF);
            bytes_[4 * i + 2] = static_cast<std::uint8_t>((e.colour >> 16) & 0xFF);
            bytes_[4 * i + 3] = static_cast<std::uint8_t>((e.colour >> 8) & 0xFF);
        }
    }
    std::span<const std::uint8_t> bytes() const { return bytes_; }

  private:
    std::vector<std::uint8_t> bytes_;
};

std::span<const std::uint8_t> sentFrame(bool drawn, const LightFrame& frame) {
    return drawn ? frame.bytes() : std::span<const std::uint8_t>{};
}

void replayKeyboard(const EffectReplay& replay, KeyboardKind kind,
                    const std::function<void(const ReplayedStep&)>& each) {
    CustomColourStore store;
    auto storeBytes = mutableBytesOf(store);
    std::copy_n(replay.custom.begin(), std::min(replay.custom.size(), storeBytes.size()),
                storeBytes.begin());
    KeyboardEffectState state;
    if (replay.initialise) {
        ResetEffectState(state);
        InitialiseKeyboardMode(state, kind, replay.settings.mode);
    }
    CyclingBytes random(replay.random);
    const KeyboardStepInput input{kind, replay.settings, &store.selected(replay.slot)};
    PictureBytes picture(kKeyCount);
    KeyboardStepResult result;
    for (unsigned i = 1; i <= replay.steps; ++i) {
        StepKeyboard(state, input, random, result);
        ++state.hueCounter;
        picture.take(result.preview);
        each({i, sentFrame(result.drawn, result.frame), picture.bytes()});
    }
}

// The mouse and the pad: their state starts as the mode's selection leaves it, the clock
// moves by the frame delay before each step.
template <typename State, typename Result, std::size_t DelayRows>
void replayDevice(const EffectReplay& replay, const std::array<FrameDelayRow, DelayRows>& delays,
                  std::size_t positions, void (*initialise)(State&, const LightSettings&),
                  void (*step)(State&, const DeviceStepInput&, Result&),
                  const std::function<void(const ReplayedStep&)>& each) {
    State state;
    if (replay.initialise) {
        initialise(state, replay.settings);
    }
    const unsigned delay = frameDelayMs(delays, replay.settings.mode, replay.settings.speed);
    DeviceStepInput input{replay.settings, false, 0};
    PictureBytes picture(positions);
    Result result;
    for (unsigned i = 1; i <= replay.steps; ++i) {
        input.nowMs += delay;
        step(state, input, result);
        ++state.hueCounter;
        picture.take(result.preview);
        each({i, sentFrame(result.drawn, result.frame), picture.bytes()});
    }
}

void initialiseMouse(MouseEffectState& state, const LightSettings& light) {
    InitialiseMouseMode(state, light.mode, light.direction);
}

void initialisePad(PadEffectState& state, const LightSettings& light) {
    InitialisePadMode(state, light.mode);
}

}  // namespace

void ReplayEffect(const EffectReplay& replay,
                  const std::function<void(const ReplayedStep&)>& step) {
    if (const auto kind = keyboardKindOf(replay.model)) {
        replayKeyboard(replay, *kind, step);
        return;
    }
    if (device::modelOf(replay.model).deviceClass == device::DeviceClass::Mouse) {
        replayDevice<MouseEffectState, MouseStepResult>(replay, FrameDelayTable::mouse, kMouseLeds,
                                                        initialiseMouse, StepMouse, step);
    } else {
        replayDevice<PadEffectState, PadStepResult>(replay, FrameDelayTable::mousePad, kPadLeds,
                                                    initialisePad, StepMousePad, step);
    }
}

}  // namespace korvane::lighting::effects
