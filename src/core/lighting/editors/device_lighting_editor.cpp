#include "core/lighting/editors/device_lighting_editor.h"

#include <algorithm>
#include <memory>

#include "core/app/main_window.h"
#include "core/lighting/editors/mode_controls.h"
#include "core/lighting/editors/same_effect.h"
#include "core/lighting/keyboard_kind.h"
#include "core/lighting/scaling.h"

namespace korvane::lighting::editors {
namespace {

using Control = ui::Control;
using device::DeviceClass;

// Modes 0..3 can be shared with the other devices; the others are the device's own.
constexpr std::uint8_t kLastSharedMode = 3;

void installPage(app::MainWindow& main, DeviceClass deviceClass) {
    auto editor = std::make_shared<DeviceLightingEditor>(main, deviceClass);
    const std::string p = deviceClass == DeviceClass::Mouse ? "ms" : "mp";
    app::NotificationRouter& router = main.router();
    router.onName(ui::notify::kItemSelect, p + "_deng_combo_modeSelect",
                  [editor](Control& c) { editor->selectMode(c.currentItem()); });
    router.onName(ui::notify::kValueChanged, p + "_deng_light_slider",
                  [editor](Control& c) { editor->brightnessChanged(c); });
    router.onName(ui::notify::kValueChanged, p + "_deng_speed_slider",
                  [editor](Control& c) { editor->speedChanged(c); });
    router.onName(ui::notify::kSelectChanged, p + "_Deng_7color_check",
                  [editor](Control& c) { editor->colourfulChanged(c); });
    router.onName(ui::notify::kSelectChanged, p + "_Deng_FXL_check",
                  [editor](Control&) { editor->directionChosen(true); });
    router.onName(ui::notify::kSelectChanged, p + "_Deng_FXR_check",
                  [editor](Control&) { editor->directionChosen(false); });
    for (int channel = 0; channel < 3; ++channel) {
        router.onName(ui::notify::kTextChanged, p + "_Deng_edit_" + "RGB"[channel],
                      [editor, channel](Control& c) { editor->channelEdited(c, channel); });
    }
    router.onPrefix(ui::notify::kClick, p + "_Deng_color_btn_",
                    [editor](Control& c) { editor->presetClicked(c); });
    router.onName(ui::notify::kColorChanged, p + "_deng_Color_Pallet",
                  [editor](Control& c) { editor->paletteChanged(c); });
    router.onName(ui::notify::kClick, p + "_deng_same_mode",
                  [&main, deviceClass](Control&) { SynchroniseAllFrom(main, deviceClass); });
    app::PageRefreshHooks& hooks = main.pageRefresh();
    if (deviceClass == DeviceClass::Mouse) {
        // The buttons set the direction in the order they are named.
        router.onName(ui::notify::kClick, "ms_Deng_FXL_btn",
                      [editor](Control&) { editor->directionButton(0); });
        router.onName(ui::notify::kClick, "ms_Deng_FXR_btn",
                      [editor](Control&) { editor->directionButton(1); });
        hooks.mousePages = [previous = hooks.mousePages, editor] {
            app::runRefresh(previous);
            editor->refresh();
        };
    } else {
        hooks.mousePadPage = [previous = hooks.mousePadPage, editor] {
            app::runRefresh(previous);
            editor->refresh();
        };
    }
}

}  // namespace

DeviceLightingEditor::DeviceLightingEditor(app::MainWindow& main, DeviceClass deviceClass)
    : main_(main),
      deviceClass_(deviceClass),
      prefix_(deviceClass == DeviceClass::Mouse ? "ms" : "mp"),
      page_(main.tree()) {}

void DeviceLightingEditor::Install(app::MainWindow& main) {
    installPage(main, DeviceClass::Mouse);
    installPage(main, DeviceClass::MousePad);
}

LightSettings& DeviceLightingEditor::light() const {
    return isMouse() ? main_.stores().mouseSettings.light : main_.stores().mousePadSettings.light;
}

unsigned DeviceLightingEditor::modeCount() const {
    return isMouse() ? kMouseModeCount : kMousePadModeCount;
}

std::uint8_t DeviceLightingEditor::shows(std::uint8_t mode) const {
    return isMouse() ? modeShows(kMouseModeShows, mode) : modeShows(kPadModeShows, mode);
}

void DeviceLightingEditor::markDirty() {
    (isMouse() ? main_.mouseSettingsChanged : main_.mousePadSettingsChanged) = true;
}

void DeviceLightingEditor::save() {
    if (isMouse()) {
        SaveMouseLighting(main_);
    } else {
        SaveMousePadLighting(main_);
    }
}

void DeviceLightingEditor::changed() {
    (isMouse() ? main_.mouseCommander() : main_.mousePadCommander()).setSynchronised(false);
    if (!isMouse()) {
        markDirty();
    }
    main_.publishLighting();
    save();
}

void DeviceLightingEditor::setTrigger() {
    if (isMouse()) {
        const std::uint8_t direction = light().direction;
        main_.effectEngines().mouse.with(
            [direction](effects::MouseEffectState& s) { effects::SetMouseTrigger(s, direction); });
    } else {
        main_.effectEngines().pad.with(
            [](effects::PadEffectState& s) { effects::SetPadTrigger(s); });
    }
}

void DeviceLightingEditor::resetEngine() {
    if (isMouse()) {
        main_.effectEngines().mouse.with(
            [](effects::MouseEffectState& s) { effects::ResetMouseEffectState(s); });
    } else {
        main_.effectEngines().pad.with(
            [](effects::PadEffectState& s) { effects::ResetPadEffectState(s); });
    }
}

void DeviceLightingEditor::setColour(std::uint32_t argb, bool store) {
    const Rgb colour = rgbOfArgb(argb);
    page_.channels(name("_Deng_edit_"), colour);
    page_.background(name("_Deng_colordp_btn"), argb);
    if (store) {
        setSingleColour(light(), colour);
        page_.select(name("_Deng_7color_check"), false);
        changed();
    }
}

void DeviceLightingEditor::selectMode(int index) {
    if (index < 0 || index >= static_cast<int>(modeCount())) {
        return;
    }
    const auto mode = static_cast<std::uint8_t>(index);
    EndSynchronisation(main_);
    const auto publish = [&] {
        light().mode = mode;
        main_.publishLighting();
    };
    if (isMouse()) {
        main_.effectEngines().selectMouseMode(mode, light().direction, publish);
    } else {
        main_.effectEngines().selectPadMode(mode, publish);
    }
    ShowModeControls(page_, prefix_, shows(mode));
    bool shareable = mode <= kLastSharedMode;
    if (isMouse() && main_.keyboardCommander().connected() &&
        main_.kinds().keyboardKind.load() == static_cast<int>(KeyboardKind::Mono)) {
        // The mono keyboard cannot show the mouse's colours.
        shareable = false;
    }
    page_.enable(name("_deng_same_mode"), shareable);
    markDirty();
    save();
}

void DeviceLightingEditor::brightnessChanged(const Control& slider) {
    light().brightness = brightnessOf(slider);
    changed();
}

void DeviceLightingEditor::speedChanged(const Control& slider) {
    light().speed = speedFromSlider(slider.value());
    changed();
}

void DeviceLightingEditor::colourfulChanged(const Control& option) {
    light().colourful = option.selected() ? 1 : 0;
    changed();
}

void DeviceLightingEditor::directionChosen(bool forward) {
    page_.select(name("_Deng_FXL_check"), forward);
    page_.select(name("_Deng_FXR_check"), !forward);
    light().direction = forward ? 1 : 0;
    if (isMouse()) {
        // The travelling pulse starts again from the trigger of the new direction.
        resetEngine();
        setTrigger();
    }
    changed();
}

void DeviceLightingEditor::directionButton(std::uint8_t direction) {
    light().direction = direction;
    page_.select(name("_Deng_FXL_check"), direction != 0);
    page_.select(name("_Deng_FXR_check"), direction == 0);
    markDirty();
    changed();
}

void DeviceLightingEditor::channelEdited(Control& edit, int channel) {
    const std::uint8_t value = takeChannel(edit);
    Rgb colour = singleColour(light());
    setChannel(colour, channel, value);
    setSingleColour(light(), colour);
    page_.select(name("_Deng_7color_check"), false);
    page_.background(name("_Deng_colordp_btn"), argbOf(colour));
    page_.palette(name("_deng_Color_Pallet"), argbOf(colour));
    changed();
}

void DeviceLightingEditor::presetClicked(const Control& swatch) {
    const auto index = indexAfter(swatch.name(), name("_Deng_color_btn_"));
    if (!index || *index >= kPresetColours.size()) {
        return;
    }
    page_.palette(name("_deng_Color_Pallet"), kPresetColours[*index]);
    setColour(kPresetColours[*index], true);
}

void DeviceLightingEditor::paletteChanged(const Control& palette) {
    setColour(palette.colour() | 0xFF000000u, true);
}

void DeviceLightingEditor::refresh() {
    const LightSettings& settings = light();
    page_.item(name("_deng_combo_modeSelect"), settings.mode);
    page_.slider(name("_deng_light_slider"), settings.brightness);
    page_.slider(name("_deng_speed_slider"), sliderFromSpeed(settings.speed));
    page_.select(name("_Deng_7color_check"), settings.colourful != 0);
    page_.select(name("_Deng_FXL_check"), settings.direction != 0);
    page_.select(name("_Deng_FXR_check"), settings.direction == 0);
    ShowModeControls(page_, prefix_, shows(settings.mode));
    const std::uint32_t colour = argbOf(singleColour(settings));
    page_.palette(name("_deng_Color_Pallet"), colour);
    setColour(colour, false);
    if ((isMouse() && settings.mode == 4) || (!isMouse() && settings.mode == 5)) {
        setTrigger();
    }
}

}  // namespace korvane::lighting::editors
