#pragma once

#include <functional>

#include "core/device/device_commander.h"
#include "core/device/device_kind.h"

namespace korvane::app {

class MainWindow;

// The transfer of a save button, run on the device's connection thread: it reports how far
// it has come (percent) and returns a command result.
using DeviceTransfer =
    std::function<int(device::DeviceCommander&, const std::function<void(int percent)>&)>;

// Shows the progress control (message 0x0C00) and hands the transfer to the device's own
// thread, so the window stays responsive and the control follows the transfer. When it has
// ended, `done` runs on the main thread with its result, after the message 0x0C01 that hides
// the control a second later; the result is kResultNotDone when the device went away before
// the transfer ran. Nothing more runs once the program ends. Main thread only.
void RunDeviceTransfer(MainWindow& main, device::DeviceClass deviceClass, DeviceTransfer transfer,
                       std::function<void(int result)> done);

}  // namespace korvane::app
