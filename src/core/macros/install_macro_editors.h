#pragma once

namespace korvane::app {
class MainWindow;
}

namespace korvane::macros {

// The keyboard and mouse macro editors: their controls, the option pages they guard while an
// edit is pending, and their pages filled at window initialisation.
void InstallMacroEditors(app::MainWindow& main);

}  // namespace korvane::macros
