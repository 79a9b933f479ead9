#pragma once

namespace korvane::app {
class MainWindow;
}

namespace korvane::lighting::effects {

// Gives the keyboard, mouse, mouse-pad and synchronised effect threads their worker slots.
void InstallLightingEffects(app::MainWindow& main);

}  // namespace korvane::lighting::effects
