#pragma once

namespace korvane::app::msg {

// Messages other threads and processes send the main window, by their numbers.
inline constexpr int kTrayIcon = 1025;
inline constexpr int kMenuCommand = 1145;
inline constexpr int kHookKeySingle = 0x0801;
inline constexpr int kHookKeyHit = 0x0802;
inline constexpr int kHookKeyMacro = 0x0803;
inline constexpr int kHookKeyMacroUp = 0x0804;
inline constexpr int kHookMouseSingle = 0x0810;
inline constexpr int kHookMouseHit = 0x0811;
inline constexpr int kHookMouseMacro = 0x0812;
inline constexpr int kHookMouseMacroUp = 0x0813;
inline constexpr int kReadMouse = 0x0901;
inline constexpr int kReReadMouseActive = 0x0902;
inline constexpr int kReadMousePad = 0x0A01;
inline constexpr int kReReadMousePadActive = 0x0A02;
inline constexpr int kPictureColour = 0x0A03;
inline constexpr int kPictureAlpha = 0x0A04;
inline constexpr int kReadKeyboard = 0x0B01;
inline constexpr int kStoreKeyboardLight = 0x0B02;
inline constexpr int kCaptureDefaultKeyProfile = 0x0B03;
inline constexpr int kShowProgress = 0x0C00;
inline constexpr int kHideProgressLater = 0x0C01;
inline constexpr int kCloseUpdateWindow = 3408;
inline constexpr int kOpenUpdateWindow = 3429;
inline constexpr int kReloadTexts = 0x1000;

// Messages the connection threads send the update window.
inline constexpr int kRgbKeyboardConnected = 3409;
inline constexpr int kRgbKeyboardLost = 3410;
inline constexpr int kMonoKeyboardConnected = 3411;
inline constexpr int kMonoKeyboardLost = 3412;
inline constexpr int kMouseConnected = 3413;
inline constexpr int kMouseLost = 3414;
inline constexpr int kRegionKeyboardConnected = 3415;
inline constexpr int kMouse2Connected = 3416;
inline constexpr int kRegionKeyboardLost = 3417;
inline constexpr int kMouse2Lost = 3424;
inline constexpr int kMembraneKeyboardConnected = 3425;
inline constexpr int kMembraneKeyboardLost = 3426;

// Tray mouse events (the lParam of kTrayIcon).
inline constexpr int kLeftButtonUp = 514;
inline constexpr int kRightButtonUp = 517;

}  // namespace korvane::app::msg
