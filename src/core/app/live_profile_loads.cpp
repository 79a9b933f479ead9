#include "core/app/live_profile_loads.h"

namespace korvane::app {

profiles::MouseLightState mouseLightState(const DeviceStores& stores) {
    profiles::MouseLightState state;
    state.kept = stores.mouseLightKept;
    state.live = stores.mouseSettings;
    state.pointerSpeed = stores.pointerSpeed;
    state.wheelSpeed = stores.wheelSpeed;
    return state;
}

profiles::MousePadLightState mousePadLightState(const DeviceStores& stores) {
    profiles::MousePadLightState state;
    state.kept = stores.mousePadLightKept;
    state.live = stores.mousePadSettings;
    return state;
}

int LoadMouseLightIntoStores(DeviceStores& stores, long position) {
    profiles::MouseLightState state = mouseLightState(stores);
    const int result = profiles::LoadMouseLight(position, state);
    stores.mouseLightKept = state.kept;
    stores.mouseSettings = state.live;
    stores.pointerSpeed = state.pointerSpeed;
    stores.wheelSpeed = state.wheelSpeed;
    return result;
}

int LoadMousePadLightIntoStores(DeviceStores& stores, long position) {
    profiles::MousePadLightState state = mousePadLightState(stores);
    const std::uint8_t slot = stores.mousePadSettings.onboardProfile;
    const int result = profiles::LoadMousePadLight(position, state);
    stores.mousePadLightKept = state.kept;
    stores.mousePadSettings = state.live;
    stores.mousePadSettings.onboardProfile = slot;
    return result;
}

}  // namespace korvane::app
