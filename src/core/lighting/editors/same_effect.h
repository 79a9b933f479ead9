#pragma once

#include "core/device/device_kind.h"

namespace korvane::app {
class MainWindow;
}

namespace korvane::lighting::editors {

// Saves of the selected light profile of each device class from the live state.
void SaveKeyboardLighting(app::MainWindow& main);
void SaveMouseLighting(app::MainWindow& main);
void SaveMousePadLighting(app::MainWindow& main);

// Clears the synchronised flags of the keyboard, the mouse and the mouse pad: a mode
// selection on any page ends the common effect.
void EndSynchronisation(app::MainWindow& main);

// "Same effect on all devices" from one device's page: its lighting settings become the
// other two devices' and the synchronised effect's, their pages show them, their profiles
// are saved, and all three devices follow the synchronised effect.
void SynchroniseAllFrom(app::MainWindow& main, device::DeviceClass source);

}  // namespace korvane::lighting::editors
