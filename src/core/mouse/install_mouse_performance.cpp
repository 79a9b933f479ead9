#include "core/mouse/install_mouse_performance.h"

#include "core/mouse/device_resets.h"
#include "core/mouse/dpi_stages_editor.h"
#include "core/mouse/mouse_settings_editor.h"

namespace korvane::mouse {

void InstallMousePerformance(app::MainWindow& main) {
    DpiStagesEditor::Install(main);
    InstallDeviceResets(main, MouseSettingsEditor::Install(main));
}

}  // namespace korvane::mouse
