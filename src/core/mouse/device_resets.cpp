#include "core/mouse/device_resets.h"

#include <chrono>

#include "core/app/main_window.h"
#include "core/app/window_messages.h"
#include "core/device/device_commander.h"
#include "core/mouse/mouse_settings_editor.h"

namespace korvane::mouse {
namespace {

using namespace std::chrono_literals;

// The pad needs this long after a reset before it answers again.
constexpr auto kPadRestartTime = 1000ms;
constexpr int kConfirmed = 1;

bool confirmed(app::MainWindow& main) {
    return main.showMessage(kResetConfirmMessage) == kConfirmed;
}

}  // namespace

// The reset goes out on the device's own thread after what was queued before it; the pad's
// read-back a second later is queued behind it there too.
void ResetMouse(app::MainWindow& main, MouseSettingsEditor& settings) {
    settings.resetDesktopSettings();
    main.queueDeviceWrite(device::DeviceClass::Mouse, "reset",
                          [](device::DeviceCommander& c) { c.ResetDevice(); });
}

void ResetMousePad(app::MainWindow& main) {
    main.queueDeviceWrite(device::DeviceClass::MousePad, "reset",
                          [](device::DeviceCommander& c) { c.ResetDevice(); });
    main.loop().startTimer(kPadResetReadTimer, kPadRestartTime);
}

void InstallDeviceResets(app::MainWindow& main, std::shared_ptr<MouseSettingsEditor> settings) {
    app::NotificationRouter& router = main.router();
    router.onName(ui::notify::kClick, "ms_reset_btn", [&main, settings](ui::Control&) {
        if (confirmed(main)) {
            ResetMouse(main, *settings);
        }
    });
    router.onName(ui::notify::kClick, "mp_reset_btn", [&main](ui::Control&) {
        if (confirmed(main)) {
            ResetMousePad(main);
        }
    });
    main.registerTimer(kPadResetReadTimer, [&main] {
        main.loop().stopTimer(kPadResetReadTimer);
        main.handleMessage(app::msg::kReadMousePad);
    });
}

}  // namespace korvane::mouse
