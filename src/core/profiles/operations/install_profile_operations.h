#pragma once

namespace korvane::app {
class MainWindow;
}

namespace korvane::profiles::operations {

// The buttons, rename panels and link controls of the five profile lists, the profile-area
// toggles of the device pages, and the link pollers (workers 10 to 14).
void InstallProfileOperations(app::MainWindow& main);

}  // namespace korvane::profiles::operations
