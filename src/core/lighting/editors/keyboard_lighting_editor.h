#pragma once

// The keyboard lighting page: mode, brightness, speed, direction and colour of the attached
// keyboard, the per-key paint of the custom modes, and "same effect on all devices". Every
// change goes into the live keyboard settings, takes the keyboard out of the synchronised
// effect and is saved into the selected light profile; the keyboard's effect thread streams
// the result. Main thread only.

#include <cstdint>
#include <optional>

#include "core/lighting/editors/editor_controls.h"
#include "core/lighting/keyboard_kind.h"
#include "core/lighting/light_records.h"

namespace korvane::app {
class MainWindow;
}

namespace korvane::ui {
class Control;
}

namespace korvane::lighting::editors {

class KeyboardLightingEditor {
  public:
    explicit KeyboardLightingEditor(app::MainWindow& main);

    // Takes the page's notifications and the keyboard lighting refresh. The router and the
    // refresh hook keep the editor alive.
    static void Install(app::MainWindow& main);

    // Re-selects every control from the live settings, without notifications.
    void refresh();

    void selectMode(KeyboardKind comboKind, int index);
    void brightnessChanged(const ui::Control& slider);
    void speedChanged(const ui::Control& slider);
    void colourfulChanged(const ui::Control& option);
    void directionChosen(bool forward);
    void channelEdited(ui::Control& edit, int channel);
    void presetClicked(const ui::Control& swatch);
    void paletteChanged(const ui::Control& palette);
    void customSlotChosen(const ui::Control& combo);
    void paintToolChanged(const ui::Control& option);
    void lightAllChanged(const ui::Control& option);
    void clearAllChanged(const ui::Control& option);
    void keyClicked(const ui::Control& key, unsigned index);

  private:
    KeyboardKind kind() const;
    LightSettings& light() const;
    CustomSlotWord& word() const;
    CustomColourSlot& selectedSlot() const;
    bool inPaintColourMode() const;

    // Sets the channel edits and the colour display; when storing, the colour becomes the
    // paint colour (custom modes) or the single colour, and is saved.
    void setColour(std::uint32_t argb, bool store);
    // The colour the page shows for the current mode.
    std::uint32_t shownColour() const;
    void showMode();
    // The live settings changed by the user: the keyboard leaves the synchronised effect,
    // the effect thread gets them, the profile is saved.
    void changed();
    void saveAndPublish();

    app::MainWindow& main_;
    PageControls page_;
    bool erasing_ = false;
    // The kind and mode the effect engine was last initialised for.
    std::optional<std::pair<KeyboardKind, std::uint8_t>> initialised_;
};

}  // namespace korvane::lighting::editors
