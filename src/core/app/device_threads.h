#pragma once

namespace korvane::app {

class MainWindow;

// Workers 1–5 (the three connection threads, the mouse consumer listener and the keyboard
// consumer holder), the device re-read messages and the profile lists' selection. Needs the
// window's HID backend; without one only the selection and the messages are installed.
void InstallDeviceFeatures(MainWindow& main);

}  // namespace korvane::app
