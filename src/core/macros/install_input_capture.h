#pragma once

namespace korvane::app {
class MainWindow;
}

namespace korvane::macros {

// The hook messages of macro recording (keyboard 0x0803 / 0x0804, mouse 0x0812 / 0x0813) into
// the two recordings, and the messages of the modes nobody uses (0x0802, 0x0811), which only
// write their debug line.
void InstallInputCapture(app::MainWindow& main);

}  // namespace korvane::macros
