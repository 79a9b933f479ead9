#pragma once

#include "core/app/device_stores.h"

namespace korvane::app {

// Loads of the mouse and mouse-pad light profiles at a position of their lists into the
// device stores (live record, kept body, pointer and wheel speed). Main thread only.
// Return the ReadProfileFile result; a failed load changes nothing.
int LoadMouseLightIntoStores(DeviceStores& stores, long position);
// The onboard slot the pad's live record names is the device's, not the profile's: it
// survives the load.
int LoadMousePadLightIntoStores(DeviceStores& stores, long position);

profiles::MouseLightState mouseLightState(const DeviceStores& stores);
profiles::MousePadLightState mousePadLightState(const DeviceStores& stores);

}  // namespace korvane::app
