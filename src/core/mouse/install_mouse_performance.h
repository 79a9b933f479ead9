#pragma once

namespace korvane::app {
class MainWindow;
}

namespace korvane::mouse {

// The mouse performance section (DPI stages, report rate, sensor height, pointer and wheel
// speed) and the device resets.
void InstallMousePerformance(app::MainWindow& main);

}  // namespace korvane::mouse
