#include "core/lighting/effects/effect_threads.h"

#include <algorithm>
#include <optional>
#include <random>

#if defined(__linux__)
#include <sys/prctl.h>
#endif

#include "core/lighting/effects/device_steps.h"
#include "core/lighting/effects/frame_sender.h"
#include "core/lighting/effects/keyboard_step.h"
#include "core/lighting/frame_delays.h"

namespace korvane::lighting::effects {
namespace {

using std::chrono::milliseconds;
using namespace std::chrono_literals;

constexpr milliseconds kSyncIdlePoll{10};
constexpr milliseconds kAbsentPoll{100};
// The commanders tell every change of their flags, so no safety poll is needed; this only
// bounds one wait.
constexpr milliseconds kToldWait = std::chrono::hours(1);

class SystemByteSource final : public ByteSource {
  public:
    SystemByteSource() : engine_(std::random_device{}()) {}
    std::uint8_t nextByte() override { return static_cast<std::uint8_t>(engine_() & 0xFF); }

  private:
    std::minstd_rand engine_;
};

// Keeps a copy of a published value and copies again only when it changed.
template <typename T>
class SnapshotCache {
  public:
    explicit SnapshotCache(const Published<T>& source) : source_(source) {}

    // True when the value changed since the last call.
    bool refresh() {
        const std::uint64_t version = source_.version();
        if (version == version_) {
            return false;
        }
        value_ = source_.read();
        version_ = version;
        return true;
    }
    const T& value() const { return value_; }

  private:
    const Published<T>& source_;
    std::uint64_t version_ = ~std::uint64_t{0};
    T value_{};
};

// The colour group (byte 9 of the mouse and pad records) is state of the record that the
// engine advances. The engine takes the record's group only when the record's group byte
// changed (a profile or the device brought another one); a publish of anything else keeps
// the running group. The engine's own advances reach the record through the main thread.
class ColourGroupFollower {
  public:
    void follow(std::uint8_t recordGroup, std::uint8_t& engineGroup) {
        if (seen_ && *seen_ == recordGroup) {
            return;
        }
        seen_ = recordGroup;
        engineGroup = static_cast<std::uint8_t>(recordGroup % 3);
    }

  private:
    std::optional<std::uint8_t> seen_;
};

// One step of the mouse or pad engine, its settings taken under the engine's lock (a mode
// selection changes them and the engine state together). True when the step advanced the
// colour group.
template <typename State, typename Record, typename Result>
bool stepDevice(Guarded<State>& engine, SnapshotCache<Record>& snapshot, ColourGroupFollower& group,
                std::uint8_t Record::*recordGroup, std::uint8_t State::*engineGroup,
                std::atomic<bool>& flash, bool (*isFlashMode)(std::uint8_t), std::uint64_t now,
                void (*step)(State&, const DeviceStepInput&, Result&), Result& result) {
    bool advanced = false;
    engine.with([&](State& state) {
        snapshot.refresh();
        const Record& record = snapshot.value();
        group.follow(record.*recordGroup, state.*engineGroup);
        const std::uint8_t before = state.*engineGroup;
        const DeviceStepInput input{record.light,
                                    isFlashMode(record.light.mode) && flash.exchange(false), now};
        step(state, input, result);
        ++state.hueCounter;
        advanced = state.*engineGroup != before;
    });
    return advanced;
}

KeyboardKind keyboardKindOf(int value) {
    return static_cast<KeyboardKind>(std::clamp(value, 0, 3));
}

std::uint64_t nowMs(const EffectContext& context) {
    if (context.nowMs) {
        return context.nowMs();
    }
    return static_cast<std::uint64_t>(std::chrono::duration_cast<milliseconds>(
                                          std::chrono::steady_clock::now().time_since_epoch())
                                          .count());
}

// A frame costs a frame delay and one wait per report exchanged; the default timer slack
// (50 µs per wait) would add most of a millisecond to a keyboard frame.
void tightenTimerSlack() {
#if defined(__linux__)
    prctl(PR_SET_TIMERSLACK, 1000UL, 0UL, 0UL, 0UL);
#endif
}

// Every sleep below is a wait on the stop event, so the loops test the event instead of
// polling it with a sleep of their own, which would only lower the frame rate.

// Sleeps that end early at shutdown; true when the thread must end.
bool sleepFor(platform::StopEvent& stop, unsigned ms) {
    return ms != 0 ? stop.wait(milliseconds(ms)) : stop.isSet();
}

// Sleeps until ready holds (a device connected, synchronisation changed): the commanders
// wake the thread through the device changes. Without them it sleeps `poll` and lets the
// caller look again. True when the thread must end. ready must only read atomics.
bool sleepUntil(const EffectContext& context, platform::StopEvent& stop,
                const std::function<bool()>& ready, milliseconds poll) {
    if (context.changes == nullptr) {
        return poll.count() != 0 ? stop.wait(poll) : stop.isSet();
    }
    device::DeviceChangeWaiter waiter(context.changes, stop);
    while (!ready()) {
        if (waiter.wait(kToldWait, ready)) {
            return true;
        }
    }
    return stop.isSet();
}

// The device is absent or follows the synchronised effect: its frames start afresh once it
// draws on its own again. True when the thread must end.
bool sleepWhileNotDrawing(const EffectContext& context, platform::StopEvent& stop,
                          device::DeviceCommander& device, FrameSender& sender) {
    sender.forget();
    const bool absent = !device.connected();
    return sleepUntil(
        context, stop, [&device] { return device.connected() && !device.synchronised(); },
        absent ? kAbsentPoll : 0ms);
}

template <std::size_t N>
void previewKeyboard(ui::PreviewBuffer& preview, const PreviewSet<N>& set) {
    for (std::size_t i = 0; i < N; ++i) {
        if (set[i].drawn) {
            preview.setKeyboard(static_cast<int>(i), set[i].colour, set[i].alpha);
        }
    }
}

void previewMouse(const EffectContext& context, const PreviewSet<kMouseLeds>& set) {
    for (std::size_t i = 0; i < kMouseLeds; ++i) {
        if (set[i].drawn &&
            context.engines.mousePictureVisible[i].load(std::memory_order_relaxed)) {
            context.preview.setMouse(static_cast<int>(i), set[i].colour, set[i].alpha);
        }
    }
}

void previewPad(ui::PreviewBuffer& preview, const PreviewSet<kPadLeds>& set) {
    for (std::size_t i = 0; i < kPadLeds; ++i) {
        if (set[i].drawn) {
            preview.setMousePad(static_cast<int>(i), set[i].colour, set[i].alpha);
        }
    }
}

// Asks the main thread for fresh picture visibility every so often.
class VisibilityRefresher {
  public:
    explicit VisibilityRefresher(const EffectContext& context) : context_(context) {}

    void tick() {
        if (!context_.refreshMouseVisibility) {
            return;
        }
        const auto now = std::chrono::steady_clock::now();
        if (now - last_ < context_.timing.visibilityRefresh) {
            return;
        }
        last_ = now;
        context_.refreshMouseVisibility();
    }

  private:
    const EffectContext& context_;
    std::chrono::steady_clock::time_point last_{};
};

}  // namespace

void RunKeyboardEffect(const EffectContext& context, platform::StopEvent& stop) {
    tightenTimerSlack();
    if (stop.wait(context.timing.keyboardStart)) {
        return;
    }
    SystemByteSource random;
    SnapshotCache snapshot(context.snapshots.keyboard);
    KeyboardStepResult result;
    FrameSender sender;
    while (!stop.isSet()) {
        snapshot.refresh();
        const LightSettings& before = snapshot.value().light;
        if (sleepFor(stop, frameDelayMs(FrameDelayTable::keyboard, before.mode, before.speed))) {
            break;
        }
        if (!context.keyboard.connected() || context.keyboard.synchronised()) {
            if (sleepWhileNotDrawing(context, stop, context.keyboard, sender)) {
                break;
            }
            continue;
        }
        snapshot.refresh();
        const KeyboardKind kind = keyboardKindOf(context.keyboardKind.load());
        if (sleepFor(stop, keyboardExtraSleepMs(kind, snapshot.value().light.mode))) {
            break;
        }
        // The settings are taken under the engine's lock: a mode selection changes them and
        // the engine state together.
        context.engines.keyboard.with([&](KeyboardEffectState& state) {
            snapshot.refresh();
            const KeyboardLightSnapshot& settings = snapshot.value();
            const KeyboardStepInput input{kind, settings.light,
                                          &settings.store.selected(settings.word.slot)};
            StepKeyboard(state, input, random, result);
            ++state.hueCounter;
        });
        if (!result.drawn) {
            continue;
        }
        previewKeyboard(context.preview, result.preview);
        if (context.streamingEnabled.load()) {
            sender.send(context.keyboard, result.frame.bytes());
        } else {
            sender.forget();
        }
    }
}

void RunMouseEffect(const EffectContext& context, platform::StopEvent& stop) {
    tightenTimerSlack();
    if (stop.wait(context.timing.mouseStart)) {
        return;
    }
    SnapshotCache snapshot(context.snapshots.mouse);
    ColourGroupFollower group;
    VisibilityRefresher visibility(context);
    MouseStepResult result;
    FrameSender sender;
    while (!stop.isSet()) {
        snapshot.refresh();
        const LightSettings light = snapshot.value().light;
        if (sleepFor(stop, frameDelayMs(FrameDelayTable::mouse, light.mode, light.speed))) {
            break;
        }
        if (!context.mouse.connected() || context.mouse.synchronised()) {
            if (sleepWhileNotDrawing(context, stop, context.mouse, sender)) {
                break;
            }
            continue;
        }
        visibility.tick();
        if (sleepFor(stop, mouseExtraSleepMs(light.mode))) {
            break;
        }
        const bool advanced =
            stepDevice(context.engines.mouse, snapshot, group, &MouseSettingsRecord::colourGroup,
                       &MouseEffectState::colourGroup, context.flash.mouse, isMouseFlashMode,
                       nowMs(context), StepMouse, result);
        if (advanced && context.colourGroupAdvanced) {
            context.colourGroupAdvanced(device::DeviceClass::Mouse);
        }
        if (!result.drawn) {
            continue;
        }
        previewMouse(context, result.preview);
        if (context.streamingEnabled.load()) {
            sender.send(context.mouse, result.frame.bytes());
        } else {
            sender.forget();
        }
    }
}

void RunMousePadEffect(const EffectContext& context, platform::StopEvent& stop) {
    tightenTimerSlack();
    if (stop.wait(context.timing.mousePadStart)) {
        return;
    }
    SnapshotCache snapshot(context.snapshots.mousePad);
    ColourGroupFollower group;
    PadStepResult result;
    FrameSender sender;
    while (!stop.isSet()) {
        snapshot.refresh();
        const LightSettings light = snapshot.value().light;
        if (sleepFor(stop, frameDelayMs(FrameDelayTable::mousePad, light.mode, light.speed))) {
            break;
        }
        if (!context.mousePad.connected() || context.mousePad.synchronised()) {
            if (sleepWhileNotDrawing(context, stop, context.mousePad, sender)) {
                break;
            }
            continue;
        }
        if (sleepFor(stop, padExtraSleepMs(light.mode, light.speed))) {
            break;
        }
        const bool advanced =
            stepDevice(context.engines.pad, snapshot, group, &MousePadSettingsRecord::extra,
                       &PadEffectState::group, context.flash.mousePad, isPadFlashMode,
                       nowMs(context), StepMousePad, result);
        if (advanced && context.colourGroupAdvanced) {
            context.colourGroupAdvanced(device::DeviceClass::MousePad);
        }
        if (!result.drawn) {
            continue;
        }
        previewPad(context.preview, result.preview);
        // The pad's frames do not depend on the lighting-output flag.
        sender.send(context.mousePad, result.frame.bytes());
        if (sleepFor(stop, result.sleepAfterMs)) {
            break;
        }
    }
}

void RunSyncEffect(const EffectContext& context, platform::StopEvent& stop) {
    tightenTimerSlack();
    SystemByteSource random;
    SnapshotCache snapshot(context.snapshots.sync);
    VisibilityRefresher visibility(context);
    SyncStepResult result;
    FrameSender keyboardSender;
    FrameSender keyboardRgbSender;
    FrameSender mouseSender;
    FrameSender padSender;
    while (!stop.isSet()) {
        snapshot.refresh();
        const SyncLightSettings light = snapshot.value();
        const unsigned speed = std::min<unsigned>(light.speed, kSpeedSteps - 1);
        if (sleepFor(stop, 4 * speed)) {
            break;
        }
        const auto anyConnected = [&context] {
            return context.keyboard.connected() || context.mouse.connected() ||
                   context.mousePad.connected();
        };
        const auto anyFollows = [&context] {
            return context.keyboard.synchronised() || context.mouse.synchronised() ||
                   context.mousePad.synchronised();
        };
        if (!anyConnected() || !anyFollows()) {
            // Nothing follows the effect: sleep until a device does (turning synchronisation
            // on is a user action; the commanders wake this thread).
            for (FrameSender* sender :
                 {&keyboardSender, &keyboardRgbSender, &mouseSender, &padSender}) {
                sender->forget();
            }
            const bool absent = !anyConnected();
            if (sleepUntil(
                    context, stop, [&] { return anyConnected() && anyFollows(); },
                    absent ? 1000ms : kSyncIdlePoll)) {
                break;
            }
            continue;
        }
        const bool keyboard = context.keyboard.synchronised();
        const bool mouse = context.mouse.synchronised();
        const bool pad = context.mousePad.synchronised();
        // A device that does not follow draws on its own: its frames start afresh later.
        if (!keyboard) {
            keyboardSender.forget();
            keyboardRgbSender.forget();
        }
        if (!mouse) {
            mouseSender.forget();
        }
        if (!pad) {
            padSender.forget();
        }
        const KeyboardKind kind = keyboardKindOf(context.keyboardKind.load());
        context.engines.sync.with([&](SyncEffectState& state) {
            StepSync(state, {light, kind}, random, result);
        });
        if (!result.drawn) {
            continue;
        }
        const bool streaming = context.streamingEnabled.load();
        if (keyboard) {
            previewKeyboard(context.preview, result.keyboardPreview);
            if (streaming) {
                keyboardSender.send(context.keyboard, result.keyboardFrame.bytes());
                if (kind == KeyboardKind::Region) {
                    keyboardRgbSender.send(context.keyboard, result.keyboardRgbFrame.bytes());
                }
            } else {
                keyboardSender.forget();
                keyboardRgbSender.forget();
            }
        }
        if (mouse) {
            visibility.tick();
            previewMouse(context, result.mousePreview);
            if (streaming) {
                mouseSender.send(context.mouse, result.mouseFrame.bytes());
            } else {
                mouseSender.forget();
            }
        } else if (stop.wait(1ms)) {
            break;
        }
        if (pad) {
            previewPad(context.preview, result.padPreview);
            padSender.send(context.mousePad, result.padFrame.bytes());
        } else if (stop.wait(1ms)) {
            break;
        }
        if (sleepFor(stop, syncAfterSleepMs(light.mode))) {
            break;
        }
    }
}

}  // namespace korvane::lighting::effects
