#include "core/app/features.h"

#include "core/app/device_threads.h"
#include "core/app/main_window.h"
#include "core/keys/install_key_editors.h"
#include "core/lighting/editors/install_lighting_editors.h"
#include "core/lighting/effects/install_lighting_effects.h"
#include "core/macros/install_input_capture.h"
#include "core/update/update_service.h"
#include "core/profiles/operations/install_profile_operations.h"

namespace korvane::app {

void InstallFeatures(MainWindow& main) {
    // Features add their installers here, in the order their workers start.
    InstallDeviceFeatures(main);
    lighting::effects::InstallLightingEffects(main);
    keys::InstallKeyEditors(main);
    macros::InstallInputCapture(main);
    lighting::editors::InstallLightingEditors(main);
    update::InstallUpdateService(main);
    profiles::operations::InstallProfileOperations(main);
}

}  // namespace korvane::app
