#pragma once

// The lighting sections of the mouse page and of the mouse-pad page: twins that differ in
// their prefix, their record, their engine and which changes mark the record for the
// one-second settings flush (every pad change; on the mouse only the mode selection and the
// direction buttons, so that the other mouse lighting changes travel with the next record
// sent). Every change saves the device's light profile and, except the mode selection (which
// ends the synchronised effect for all three devices), takes the device out of it.
// Main thread only.

#include <cstdint>
#include <string>
#include <string_view>

#include "core/device/device_kind.h"
#include "core/lighting/editors/editor_controls.h"
#include "core/lighting/light_records.h"

namespace korvane::app {
class MainWindow;
}

namespace korvane::ui {
class Control;
}

namespace korvane::lighting::editors {

class DeviceLightingEditor {
  public:
    // deviceClass: Mouse or MousePad.
    DeviceLightingEditor(app::MainWindow& main, device::DeviceClass deviceClass);

    // Takes the notifications of both pages and their refreshes.
    static void Install(app::MainWindow& main);

    // Re-selects every control from the live record, without notifications.
    void refresh();

    void selectMode(int index);
    void brightnessChanged(const ui::Control& slider);
    void speedChanged(const ui::Control& slider);
    void colourfulChanged(const ui::Control& option);
    void directionChosen(bool forward);
    // The mouse's direction buttons.
    void directionButton(std::uint8_t direction);
    void channelEdited(ui::Control& edit, int channel);
    void presetClicked(const ui::Control& swatch);
    void paletteChanged(const ui::Control& palette);

  private:
    bool isMouse() const { return deviceClass_ == device::DeviceClass::Mouse; }
    std::string name(std::string_view suffix) const { return prefix_ + std::string(suffix); }
    LightSettings& light() const;
    unsigned modeCount() const;
    std::uint8_t shows(std::uint8_t mode) const;

    // Sets the channel edits and the colour display; when storing, the colour becomes the
    // single colour.
    void setColour(std::uint32_t argb, bool store);
    // The engine's trigger for the current direction, under the engine's lock.
    void setTrigger();
    void resetEngine();
    void markDirty();
    // A change of the user's: the device leaves the synchronised effect, the record is
    // published (and, for the pad, marked for the flush) and the profile saved.
    void changed();
    void save();

    app::MainWindow& main_;
    device::DeviceClass deviceClass_;
    std::string prefix_;  // "ms" or "mp"
    PageControls page_;
};

}  // namespace korvane::lighting::editors
