#include "core/lighting/editors/install_lighting_editors.h"

#include "core/lighting/editors/device_lighting_editor.h"
#include "core/lighting/editors/keyboard_lighting_editor.h"

namespace korvane::lighting::editors {

void InstallLightingEditors(app::MainWindow& main) {
    KeyboardLightingEditor::Install(main);
    DeviceLightingEditor::Install(main);
}

}  // namespace korvane::lighting::editors
