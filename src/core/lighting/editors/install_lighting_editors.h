#pragma once

namespace korvane::app {
class MainWindow;
}

namespace korvane::lighting::editors {

// The keyboard, mouse and mouse-pad lighting pages: their notifications and page refreshes.
void InstallLightingEditors(app::MainWindow& main);

}  // namespace korvane::lighting::editors
