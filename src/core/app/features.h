#pragma once

namespace korvane::app {

class MainWindow;

// Gives every feature its place in the main window before "windowinit": workers in their
// slots, window messages, control names, page initialisers. Called once by create().
void InstallFeatures(MainWindow& main);

}  // namespace korvane::app
