#include "core/app/features.h"

#include "core/app/main_window.h"
#include "core/lighting/effects/install_lighting_effects.h"

namespace korvane::app {

void InstallFeatures(MainWindow& main) {
    // Features add their installers here, in the order their workers start.
    lighting::effects::InstallLightingEffects(main);
}

}  // namespace korvane::app
