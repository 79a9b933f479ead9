#pragma once

// The DPI section of the mouse page: one slider per sensitivity stage with its value in DPI,
// the stage the mouse uses marked, and the DPI indicator colour (swatches, R/G/B edits,
// palette). Changes go into the live MouseSettingsRecord, mark it for the one-second
// settings flush and save the mouse light profile. Main thread only.

#include <cstdint>
#include <string>

#include "core/lighting/editors/editor_controls.h"

namespace korvane::app {
class MainWindow;
}

namespace korvane::mouse {

inline constexpr int kDpiStageCount = 6;

class DpiStagesEditor {
  public:
    explicit DpiStagesEditor(app::MainWindow& main);

    // Routes the section's controls and chains its refresh to the mouse pages'.
    static void Install(app::MainWindow& main);

    // Everything from the mouse's sensor description and the live record, without
    // notifications.
    void refresh();

    // stage 0..5. Dragging moves only the label; the release changes the record.
    void sliderMoved(int stage, const ui::Control& slider);
    void sliderReleased(int stage, const ui::Control& slider);
    void swatchClicked(const ui::Control& swatch);
    void channelEdited(ui::Control& edit, int channel);
    void paletteChanged(const ui::Control& palette);

    // The DPI the labels show for a slider position.
    int dpiOf(int position) const;

  private:
    static std::string stageName(int stage, std::string_view suffix);
    void showColour(std::uint32_t argb) const;
    void storeColour(lighting::Rgb colour);
    void changed();

    app::MainWindow& main_;
    lighting::editors::PageControls page_;
    // Kept from the last known sensor: an unknown one changes neither it nor the range
    // labels.
    int minimumDpi_ = 0;
};

}  // namespace korvane::mouse
