#include "core/lighting/editors/same_effect.h"

#include "core/app/live_profile_loads.h"
#include "core/app/main_window.h"
#include "core/profiles/profile_store.h"

namespace korvane::lighting::editors {

void SaveKeyboardLighting(app::MainWindow& main) {
    profiles::SaveKeyboardLight(main.stores().keyboardLight);
}

void SaveMouseLighting(app::MainWindow& main) {
    profiles::SaveMouseLight(app::mouseLightState(main.stores()));
}

void SaveMousePadLighting(app::MainWindow& main) {
    profiles::SaveMousePadLight(app::mousePadLightState(main.stores()));
}

void EndSynchronisation(app::MainWindow& main) {
    main.keyboardCommander().setSynchronised(false);
    main.mouseCommander().setSynchronised(false);
    main.mousePadCommander().setSynchronised(false);
}

void SynchroniseAllFrom(app::MainWindow& main, device::DeviceClass source) {
    app::DeviceStores& stores = main.stores();
    LightSettings& keyboard = stores.keyboardLight.live.light;
    LightSettings& mouse = stores.mouseSettings.light;
    LightSettings& pad = stores.mousePadSettings.light;
    const LightSettings settings = source == device::DeviceClass::Keyboard ? keyboard
                                   : source == device::DeviceClass::Mouse  ? mouse
                                                                           : pad;
    keyboard = settings;
    mouse = settings;
    pad = settings;
    stores.sync = settings;
    main.publishLighting();
    const app::PageRefreshHooks& refresh = main.pageRefresh();
    if (source != device::DeviceClass::Keyboard) {
        app::runRefresh(refresh.keyboardLighting);
        SaveKeyboardLighting(main);
    }
    if (source != device::DeviceClass::Mouse) {
        app::runRefresh(refresh.mousePages);
        SaveMouseLighting(main);
    }
    if (source != device::DeviceClass::MousePad) {
        app::runRefresh(refresh.mousePadPage);
        SaveMousePadLighting(main);
    }
    main.keyboardCommander().setSynchronised(true);
    main.mouseCommander().setSynchronised(true);
    main.mousePadCommander().setSynchronised(true);
}

}  // namespace korvane::lighting::editors
