#include "core/mouse/dpi_stages_editor.h"

#include <algorithm>
#include <array>
#include <memory>

#include "core/app/main_window.h"
#include "core/lighting/editors/same_effect.h"
#include "core/mouse/sensor_range.h"

namespace korvane::mouse {
namespace {

using lighting::Rgb;
using lighting::editors::argbOf;
using lighting::editors::kPresetColours;
using lighting::editors::rgbOfArgb;

constexpr std::uint32_t kCurrentStageColour = 0xFFFF0000;
constexpr std::uint32_t kOtherStageColour = 0xFFFFFFFF;

// Stages each mouse model has, by mouse kind (Mouse, MouseAlt, Mouse2); the containers of
// stages 5 and 6 hide the others.
constexpr std::array<int, 3> kStagesOfModel{5, 6, 4};
constexpr int kFirstOptionalStage = 4;

constexpr std::string_view kSwatchPrefix = "ms_DPI_color_btn_";
constexpr std::string_view kChannelEditPrefix = "ms_DPI_edit_";
constexpr std::string_view kColourDisplay = "ms_DPI_colordp_btn";
constexpr std::string_view kPalette = "Pallet";

std::uint8_t stageByte(int value) {
    return static_cast<std::uint8_t>(std::clamp(value, 0, 255));
}

}  // namespace

DpiStagesEditor::DpiStagesEditor(app::MainWindow& main) : main_(main), page_(main.tree()) {}

void DpiStagesEditor::Install(app::MainWindow& main) {
    auto editor = std::make_shared<DpiStagesEditor>(main);
    app::NotificationRouter& router = main.router();
    for (int stage = 0; stage < kDpiStageCount; ++stage) {
        const std::string slider = stageName(stage, "_slider");
        router.onName(ui::notify::kMoveValueChanged, slider,
                      [editor, stage](ui::Control& c) { editor->sliderMoved(stage, c); });
        router.onName(ui::notify::kValueChanged, slider,
                      [editor, stage](ui::Control& c) { editor->sliderReleased(stage, c); });
    }
    router.onPrefix(ui::notify::kClick, std::string(kSwatchPrefix),
                    [editor](ui::Control& c) { editor->swatchClicked(c); });
    for (int channel = 0; channel < 3; ++channel) {
        router.onName(ui::notify::kTextChanged, std::string(kChannelEditPrefix) + "RGB"[channel],
                      [editor, channel](ui::Control& c) { editor->channelEdited(c, channel); });
    }
    router.onName(ui::notify::kColorChanged, std::string(kPalette),
                  [editor](ui::Control& c) { editor->paletteChanged(c); });
    app::PageRefreshHooks& hooks = main.pageRefresh();
    hooks.mousePages = [previous = hooks.mousePages, editor] {
        app::runRefresh(previous);
        editor->refresh();
    };
}

std::string DpiStagesEditor::stageName(int stage, std::string_view suffix) {
    return "ms_DPI" + std::to_string(stage + 1) + std::string(suffix);
}

int DpiStagesEditor::dpiOf(int position) const {
    const SensorDescription sensor = sensorOf(main_.stores().mouseInfo);
    return minimumDpi_ + std::max(position, 0) * sensor.dpiPerStep;
}

void DpiStagesEditor::refresh() {
    const SensorDescription sensor = sensorOf(main_.stores().mouseInfo);
    const lighting::MouseSettingsRecord& record = main_.stores().mouseSettings;
    const SensorRange* range = rangeOfSensor(sensor.id);
    if (range != nullptr) {
        minimumDpi_ = range->minimumDpi;
    }
    const int mouseKind = std::clamp(main_.kinds().mouseKind.load(), 0, 2);
    const int stagesShown = kStagesOfModel[static_cast<std::size_t>(mouseKind)];
    for (int stage = 0; stage < kDpiStageCount; ++stage) {
        if (range != nullptr) {
            page_.text(stageName(stage, "_min"), std::string(range->minimumLabel));
            page_.text(stageName(stage, "_max"), std::string(range->maximumLabel));
        }
        // A stored value past the sensor's maximum shows as the maximum and stays stored.
        int position =
            std::min<int>(record.dpiStages[static_cast<std::size_t>(stage)], sensor.sliderMaximum);
        if (ui::Control* slider = page_.find(stageName(stage, "_slider"))) {
            slider->setRange(0, sensor.sliderMaximum);
            slider->setValue(position, ui::Notify::No);
            position = slider->value();
        }
        page_.text(stageName(stage, "_label_value"), std::to_string(dpiOf(position)));
        const std::uint32_t colour =
            stage == record.currentStage ? kCurrentStageColour : kOtherStageColour;
        for (const std::string_view label : {"_label_rank", "_label_value"}) {
            if (ui::Control* c = page_.find(stageName(stage, label))) {
                c->setTextColor(colour);
            }
        }
        if (stage >= kFirstOptionalStage) {
            page_.show(stageName(stage, "_la"), stage < stagesShown);
            page_.show(stageName(stage, "_va"), stage < stagesShown);
        }
    }
    const std::uint32_t colour = argbOf({record.dpiRed, record.dpiGreen, record.dpiBlue});
    page_.palette(kPalette, colour);
    showColour(colour);
}

void DpiStagesEditor::sliderMoved(int stage, const ui::Control& slider) {
    page_.text(stageName(stage, "_label_value"), std::to_string(dpiOf(slider.value())));
}

void DpiStagesEditor::sliderReleased(int stage, const ui::Control& slider) {
    main_.stores().mouseSettings.dpiStages[static_cast<std::size_t>(stage)] =
        stageByte(slider.value());
    page_.text(stageName(stage, "_label_value"), std::to_string(dpiOf(slider.value())));
    changed();
}

void DpiStagesEditor::showColour(std::uint32_t argb) const {
    page_.background(kColourDisplay, argb);
    page_.channels(kChannelEditPrefix, rgbOfArgb(argb));
}

void DpiStagesEditor::storeColour(Rgb colour) {
    lighting::MouseSettingsRecord& record = main_.stores().mouseSettings;
    record.dpiRed = colour.red;
    record.dpiGreen = colour.green;
    record.dpiBlue = colour.blue;
}

void DpiStagesEditor::swatchClicked(const ui::Control& swatch) {
    const auto index = lighting::editors::indexAfter(swatch.name(), kSwatchPrefix);
    if (!index || *index >= kPresetColours.size()) {
        return;
    }
    const std::uint32_t argb = kPresetColours[*index];
    showColour(argb);
    page_.palette(kPalette, argb);
    storeColour(rgbOfArgb(argb));
    changed();
}

void DpiStagesEditor::channelEdited(ui::Control& edit, int channel) {
    const std::uint8_t value = lighting::editors::takeChannel(edit);
    const lighting::MouseSettingsRecord& record = main_.stores().mouseSettings;
    Rgb colour{record.dpiRed, record.dpiGreen, record.dpiBlue};
    lighting::editors::setChannel(colour, channel, value);
    storeColour(colour);
    page_.background(kColourDisplay, argbOf(colour));
    page_.palette(kPalette, argbOf(colour));
    main_.mouseSettingsChanged = true;
    // Red alone is not saved: the profile takes it with the next change that is.
    if (channel != 0) {
        lighting::editors::SaveMouseLighting(main_);
    }
}

void DpiStagesEditor::paletteChanged(const ui::Control& palette) {
    const std::uint32_t argb = palette.colour() | 0xFF000000u;
    showColour(argb);
    storeColour(rgbOfArgb(argb));
    changed();
}

void DpiStagesEditor::changed() {
    main_.mouseSettingsChanged = true;
    lighting::editors::SaveMouseLighting(main_);
}

}  // namespace korvane::mouse
