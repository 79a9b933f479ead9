#pragma once

namespace korvane::app {
class MainWindow;
}

namespace korvane::keys {

// The keyboard and mouse key assignment pages: their controls' notifications, the hook
// messages of single-key capture (0x0801, 0x0810) and the key pages' refreshes.
void InstallKeyEditors(app::MainWindow& main);

}  // namespace korvane::keys
