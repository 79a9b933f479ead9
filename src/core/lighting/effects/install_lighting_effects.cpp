#include "core/lighting/effects/install_lighting_effects.h"

#include "core/app/main_window.h"
#include "core/lighting/effects/effect_threads.h"

namespace korvane::lighting::effects {
namespace {

// The tree belongs to the main thread: the mouse thread asks it to copy the pictures'
// visibility into atomics, at most one request queued at a time.
std::function<void()> mouseVisibilityRefresher(app::MainWindow& main) {
    return [&main] {
        EffectEngines& engines = main.effectEngines();
        if (engines.visibilityRefreshPending.exchange(true)) {
            return;
        }
        std::weak_ptr<const bool> alive = engines.alive;
        main.loop().post([&main, alive] {
            if (alive.expired()) {
                return;
            }
            EffectEngines& current = main.effectEngines();
            const auto& pictures = main.mousePictures();
            for (std::size_t i = 0; i < pictures.size(); ++i) {
                current.mousePictureVisible[i].store(pictures[i] != nullptr &&
                                                     pictures[i]->shownOnScreen());
            }
            current.visibilityRefreshPending.store(false);
        });
    };
}

// The engine advanced a colour group: the live record takes the engine's current group (it
// may have moved on again by the time this runs) and is published again, so that a later
// publish of the record carries it. It is saved and sent with the next save or flush of
// the record; the advance alone does neither.
std::function<void(device::DeviceClass)> colourGroupMirror(app::MainWindow& main) {
    return [&main](device::DeviceClass deviceClass) {
        std::weak_ptr<const bool> alive = main.effectEngines().alive;
        main.loop().post([&main, alive, deviceClass] {
            if (alive.expired()) {
                return;
            }
            EffectEngines& engines = main.effectEngines();
            app::DeviceStores& stores = main.stores();
            if (deviceClass == device::DeviceClass::Mouse) {
                stores.mouseSettings.colourGroup = engines.mouse.copy().colourGroup;
                main.lightingSnapshots().mouse.publish(stores.mouseSettings);
            } else if (deviceClass == device::DeviceClass::MousePad) {
                stores.mousePadSettings.extra = engines.pad.copy().group;
                main.lightingSnapshots().mousePad.publish(stores.mousePadSettings);
            }
        });
    };
}

}  // namespace

void InstallLightingEffects(app::MainWindow& main) {
    const EffectContext context{
        main.keyboardCommander(),
        main.mouseCommander(),
        main.mousePadCommander(),
        main.kinds().keyboardKind,
        main.lightingSnapshots(),
        main.flashTriggers(),
        main.preview(),
        main.streamingEnabled,
        main.effectEngines(),
        mouseVisibilityRefresher(main),
        {},
        {},
        colourGroupMirror(main),
        &main.deviceChanges(),
    };
    main.workers().assign(app::WorkerSlot::KeyboardEffect, [context](platform::StopEvent& stop) {
        RunKeyboardEffect(context, stop);
    });
    main.workers().assign(app::WorkerSlot::MouseEffect,
                          [context](platform::StopEvent& stop) { RunMouseEffect(context, stop); });
    main.workers().assign(app::WorkerSlot::MousePadEffect, [context](platform::StopEvent& stop) {
        RunMousePadEffect(context, stop);
    });
    main.workers().assign(app::WorkerSlot::SyncEffect,
                          [context](platform::StopEvent& stop) { RunSyncEffect(context, stop); });
}

}  // namespace korvane::lighting::effects
