#pragma once

namespace korvane::app {
class MainWindow;
}

namespace korvane::macros {

// The cursor sequences page of the mouse: gun and bullet options, the bullet edits, the gun
// buttons, and the page shown anew when a mouse's own sequences replaced the files.
void InstallCursorEditor(app::MainWindow& main);

}  // namespace korvane::macros
