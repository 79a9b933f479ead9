#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include "core/lighting/light_records.h"

namespace korvane::lighting {

// A value the main thread publishes and effect threads read whole, without ever blocking the
// publisher for long: readers copy under a tiny lock. The version lets a reader skip work
// when nothing changed.
template <typename T>
class Published {
  public:
    void publish(const T& value) {
        std::lock_guard lock(mutex_);
        value_ = value;
        version_.fetch_add(1, std::memory_order_release);
    }
    T read() const {
        std::lock_guard lock(mutex_);
        return value_;
    }
    std::uint64_t version() const { return version_.load(std::memory_order_acquire); }

  private:
    mutable std::mutex mutex_;
    T value_{};
    std::atomic<std::uint64_t> version_{0};
};

// What the keyboard effect reads each step.
struct KeyboardLightSnapshot {
    LightSettings light;
    CustomSlotWord word;
    CustomColourStore store;
};

// The settings the effect threads draw from, published by whoever changes the live records
// (profile selection, the lighting editors, the connection sequences).
struct LightingSnapshots {
    Published<KeyboardLightSnapshot> keyboard;
    Published<MouseSettingsRecord> mouse;
    Published<MousePadSettingsRecord> mousePad;
    Published<SyncLightSettings> sync;
};

// Raised by the mouse's consumer reports (a button press the lighting reacts to); each
// engine takes its own flag.
struct FlashTriggers {
    std::atomic<bool> mouse{false};
    std::atomic<bool> mousePad{false};
};

}  // namespace korvane::lighting
