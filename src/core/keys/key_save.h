#pragma once

#include "core/keys/key_table.h"

namespace korvane::app {
class MainWindow;
}

namespace korvane::keys {

// The save-to-device buttons (`kb_key_butt_prosave`, `ms_key_butt_prosave`): the class's
// macros (when they fit the device's macro memory) and its live key table go to the device,
// and the table of onboard profile 0 into the selected key profile file. The transfer runs on
// the device's own thread while the progress control follows it (messages 0x0C00, then
// 0x0C01); a device that fails it gets a message. Macros that do not fit are refused with the
// number of actions to remove, and nothing is sent. True when the transfer was started.
bool SaveKeysToDevice(app::MainWindow& main, KeyClass keyClass);

}  // namespace korvane::keys
