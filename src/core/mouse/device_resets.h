#pragma once

// The mouse's and the mouse pad's own reset buttons: after the user confirms, the device goes
// back to its factory settings. The mouse also gets the desktop's default pointer speed and
// wheel lines; the pad is read again a second later, once it has restarted.

#include <memory>
#include <string_view>

namespace korvane::app {
class MainWindow;
}

namespace korvane::mouse {

class MouseSettingsEditor;

inline constexpr std::string_view kResetConfirmMessage = "message_text_reset";
// Main-window timer that asks for the pad's re-read after its reset.
inline constexpr int kPadResetReadTimer = 0x0A01;

void InstallDeviceResets(app::MainWindow& main, std::shared_ptr<MouseSettingsEditor> settings);

void ResetMouse(app::MainWindow& main, MouseSettingsEditor& settings);
void ResetMousePad(app::MainWindow& main);

}  // namespace korvane::mouse
