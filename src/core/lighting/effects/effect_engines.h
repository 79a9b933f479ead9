#pragma once

// The effect engines' state as the main window owns it: each engine's state is stepped by
// its thread and reset or initialised by the lighting editors, so it sits behind a small
// lock held only for one step or one initialisation.

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

#include "core/lighting/effects/device_effect_state.h"
#include "core/lighting/effects/keyboard_effect_state.h"
#include "core/lighting/effects/sync_step.h"

namespace korvane::lighting::effects {

template <typename State>
class Guarded {
  public:
    template <typename F>
    decltype(auto) with(F&& f) {
        std::lock_guard lock(mutex_);
        return f(state_);
    }
    State copy() const {
        std::lock_guard lock(mutex_);
        return state_;
    }

  private:
    mutable std::mutex mutex_;
    State state_{};
};

class EffectEngines {
  public:
    // Mode selection in the editors. `publish` publishes the settings with the new mode; it
    // runs under the engine's lock together with the reset and the initialisation, so a
    // step never draws the old mode on the new state, nor the new mode on the old state.
    void selectKeyboardMode(KeyboardKind kind, std::uint8_t mode,
                            const std::function<void()>& publish) {
        keyboard.with([&](KeyboardEffectState& s) {
            ResetEffectState(s);
            InitialiseKeyboardMode(s, kind, mode);
            publish();
        });
    }
    void requestStackingRestart() {
        keyboard.with([&](KeyboardEffectState& s) { RequestStackingRestart(s); });
    }
    void selectMouseMode(std::uint8_t mode, std::uint8_t direction,
                         const std::function<void()>& publish) {
        mouse.with([&](MouseEffectState& s) {
            InitialiseMouseMode(s, mode, direction);
            publish();
        });
    }
    void selectPadMode(std::uint8_t mode, const std::function<void()>& publish) {
        pad.with([&](PadEffectState& s) {
            InitialisePadMode(s, mode);
            publish();
        });
    }

    Guarded<KeyboardEffectState> keyboard;
    Guarded<MouseEffectState> mouse;
    Guarded<PadEffectState> pad;
    Guarded<SyncEffectState> sync;

    // Whether each mouse LED picture is on screen, published by the main thread (the
    // control tree is the main thread's); the mouse previews only what is visible.
    std::array<std::atomic<bool>, kMouseLeds> mousePictureVisible{};
    // A refresh of the flags is queued on the main thread and not yet run.
    std::atomic<bool> visibilityRefreshPending{false};
    // Lets queued main-thread tasks see whether the engines still exist.
    std::shared_ptr<const bool> alive = std::make_shared<const bool>(true);
};

}  // namespace korvane::lighting::effects
