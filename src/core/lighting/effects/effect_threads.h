#pragma once

// The four lighting effect threads: keyboard, mouse, mouse pad and synchronised. Each runs
// one step after its frame delay, previews into the picture buffer and sends the frame.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>

#include "core/device/device_changes.h"
#include "core/device/device_commander.h"
#include "core/lighting/effects/effect_engines.h"
#include "core/lighting/settings_snapshot.h"
#include "core/platform/stop_event.h"
#include "core/ui/preview_buffer.h"

namespace korvane::lighting::effects {

struct EffectTiming {
    std::chrono::milliseconds keyboardStart{1000};
    std::chrono::milliseconds mouseStart{3000};
    std::chrono::milliseconds mousePadStart{3000};
    // How often the mouse thread asks for fresh picture visibility.
    std::chrono::milliseconds visibilityRefresh{100};
};

// What the threads read and write; everything here is safe to touch from a worker.
struct EffectContext {
    device::DeviceCommander& keyboard;
    device::DeviceCommander& mouse;
    device::DeviceCommander& mousePad;
    const std::atomic<int>& keyboardKind;  // KeyboardKind 0..3
    const LightingSnapshots& snapshots;
    FlashTriggers& flash;
    ui::PreviewBuffer& preview;
    const std::atomic<bool>& streamingEnabled;
    EffectEngines& engines;
    // Queues a refresh of engines.mousePictureVisible on the main thread; empty: the
    // flags stay as they are.
    std::function<void()> refreshMouseVisibility;
    // Millisecond tick count of the flash modes; empty: the steady clock.
    std::function<std::uint64_t()> nowMs;
    EffectTiming timing;
    // The mouse or pad engine advanced its colour group; the main thread copies it into the
    // live record. Empty: the record is not told.
    std::function<void(device::DeviceClass)> colourGroupAdvanced;
    // Wakes a thread that sleeps while its device is absent or follows another effect; null:
    // such a thread looks again every 100 ms (or at its next frame).
    device::DeviceChanges* changes = nullptr;
};

void RunKeyboardEffect(const EffectContext& context, platform::StopEvent& stop);
void RunMouseEffect(const EffectContext& context, platform::StopEvent& stop);
void RunMousePadEffect(const EffectContext& context, platform::StopEvent& stop);
void RunSyncEffect(const EffectContext& context, platform::StopEvent& stop);

}  // namespace korvane::lighting::effects
