#pragma once

// The other settings of the mouse page: report rate and sensor height, which travel in the
// MouseSettingsRecord with the one-second settings flush, and the desktop's pointer speed
// and wheel lines, which the mouse light profile keeps and the desktop receives through the
// SystemPointer. Main thread only.

#include "core/lighting/editors/editor_controls.h"
#include "core/mouse/pointer_applier.h"

namespace korvane::app {
class MainWindow;
}

namespace korvane::mouse {

class MouseSettingsEditor {
  public:
    // pointer may be null: the desktop is left alone.
    MouseSettingsEditor(app::MainWindow& main, SystemPointer* pointer);

    // Routes the section's controls, chains its refresh to the mouse pages' and applies the
    // pointer and wheel speed of each mouse light profile selected.
    static std::shared_ptr<MouseSettingsEditor> Install(app::MainWindow& main);

    // The controls from the live record and profile, without notifications.
    void refresh();

    void reportRateSelected(const ui::Control& combo);
    void sensorHeightChanged(const ui::Control& slider);
    void pointerSpeedChanged(const ui::Control& slider);
    void wheelLinesStepped(bool up);

    // The selected profile's pointer speed and wheel lines to the desktop.
    void applyProfile();
    // The mouse reset's part on the desktop: speed 10 and 3 lines, shown, applied and kept in
    // the profile.
    void resetDesktopSettings();

  private:
    void applyStoredSpeed();
    void recordChanged();

    app::MainWindow& main_;
    lighting::editors::PageControls page_;
    PointerApplier applier_;
};

}  // namespace korvane::mouse
