#pragma once

// The effect engines' state as the main window owns it: each engine's state is stepped by
// its thread and reset or initialised by the lighting editors, so it sits behind a small
// lock held only for one step or one initialisation.

#include <array>
#include <atomic>
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
    // Called by the editors on every mode selection.
    void selectKeyboardMode(KeyboardKind kind, std::uint8_t mode) {
        keyboard.with([&](KeyboardEffectState& s) {
            ResetEffectState(s);
            InitialiseKeyboardMode(s, kind, mode);
        });
    }
    void requestStackingRestart(bool optionSelected) {
        keyboard.with([&](KeyboardEffectState& s) { RequestStackingRestart(s, optionSelected); });
    }
    void selectMouseMode(std::uint8_t mode) {
        mouse.with([&](MouseEffectState& s) { InitialiseMouseMode(s, mode); });
    }
    void selectPadMode(std::uint8_t mode) {
        pad.with([&](PadEffectState& s) { InitialisePadMode(s, mode); });
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
