#include "core/lighting/editors/keyboard_lighting_editor.h"

#include <algorithm>
#include <memory>
#include <string>

#include "core/app/main_window.h"
#include "core/lighting/editors/mode_controls.h"
#include "core/lighting/editors/same_effect.h"
#include "core/lighting/key_matrices.h"
#include "core/lighting/led_maps.h"
#include "core/lighting/scaling.h"
#include "core/platform/debug_line.h"

namespace korvane::lighting::editors {
namespace {

using Control = ui::Control;

constexpr std::string_view kColourEdits = "kb_Deng_edit_";
constexpr std::string_view kSwatchPrefix = "kb_Deng_color_btn_";
constexpr std::string_view kPalette = "kb_deng_Color_Pallet";
constexpr std::string_view kColourful = "kb_Deng_7color_check";
constexpr std::string_view kForward = "kb_Deng_FXL_check";
constexpr std::string_view kBackward = "kb_Deng_FXR_check";
constexpr std::string_view kLightAll = "kb_Deng_all_bright_check";
constexpr std::string_view kClearAll = "kb_Deng_all_kill_check";
constexpr std::string_view kPaint = "kb_Deng_on_bright_check";
constexpr std::string_view kErase = "kb_Deng_off_kill_check";
constexpr std::string_view kCustomSlot = "kb_deng_combo_curtom_count";
constexpr std::string_view kSameMode = "kb_deng_same_mode";

struct ModeCombo {
    std::string_view name;
    KeyboardKind kind;
};

constexpr std::array<ModeCombo, 4> kModeCombos{{
    {"kb_deng_combo_modeSelect", KeyboardKind::Rgb},
    {"kb_deng_onecolor_combo_modeSelect", KeyboardKind::Mono},
    {"kb_deng_film_combo_modeSelect", KeyboardKind::Region},
    {"kb_deng_membrane_combo_modeSelect", KeyboardKind::Membrane},
}};

constexpr std::array<std::string_view, 3> kPicturePrefixes{"kb_dkey_", "kb_fkey_", "kb_mkey_"};

std::string_view comboOf(KeyboardKind kind) {
    for (const ModeCombo& combo : kModeCombos) {
        if (combo.kind == kind) {
            return combo.name;
        }
    }
    return {};
}

Rgb paintColour(const CustomSlotWord& word) {
    return {word.red, word.green, word.blue};
}

// The zone (row of ZoneColumns) a key paints; nullopt for keys of no zone.
std::optional<std::size_t> paintedZone(std::size_t key) {
    const std::uint8_t target = kZonedPaintLedMap[key];
    if (target >= kKeyCount) {
        return std::nullopt;
    }
    for (const auto& column : ZoneColumns) {
        for (std::size_t z = 0; z < column.size(); ++z) {
            if (column[z] == target) {
                return z;
            }
        }
    }
    return std::nullopt;
}

}  // namespace

KeyboardLightingEditor::KeyboardLightingEditor(app::MainWindow& main)
    : main_(main), page_(main.tree()) {}

void KeyboardLightingEditor::Install(app::MainWindow& main) {
    auto editor = std::make_shared<KeyboardLightingEditor>(main);
    app::NotificationRouter& router = main.router();
    for (const ModeCombo& combo : kModeCombos) {
        router.onName(
            ui::notify::kItemSelect, std::string(combo.name),
            [editor, kind = combo.kind](Control& c) { editor->selectMode(kind, c.currentItem()); });
    }
    router.onName(ui::notify::kValueChanged, "kb_deng_light_slider",
                  [editor](Control& c) { editor->brightnessChanged(c); });
    router.onName(ui::notify::kValueChanged, "kb_deng_speed_slider",
                  [editor](Control& c) { editor->speedChanged(c); });
    router.onName(ui::notify::kSelectChanged, std::string(kColourful),
                  [editor](Control& c) { editor->colourfulChanged(c); });
    router.onName(ui::notify::kSelectChanged, std::string(kForward),
                  [editor](Control&) { editor->directionChosen(true); });
    router.onName(ui::notify::kSelectChanged, std::string(kBackward),
                  [editor](Control&) { editor->directionChosen(false); });
    for (int channel = 0; channel < 3; ++channel) {
        router.onName(ui::notify::kTextChanged, std::string(kColourEdits) + "RGB"[channel],
                      [editor, channel](Control& c) { editor->channelEdited(c, channel); });
    }
    router.onPrefix(ui::notify::kClick, std::string(kSwatchPrefix),
                    [editor](Control& c) { editor->presetClicked(c); });
    router.onName(ui::notify::kColorChanged, std::string(kPalette),
                  [editor](Control& c) { editor->paletteChanged(c); });
    router.onName(ui::notify::kItemSelect, std::string(kCustomSlot),
                  [editor](Control& c) { editor->customSlotChosen(c); });
    for (const std::string_view tool : {kPaint, kErase}) {
        router.onName(ui::notify::kSelectChanged, std::string(tool),
                      [editor](Control& c) { editor->paintToolChanged(c); });
    }
    router.onName(ui::notify::kSelectChanged, std::string(kLightAll),
                  [editor](Control& c) { editor->lightAllChanged(c); });
    router.onName(ui::notify::kSelectChanged, std::string(kClearAll),
                  [editor](Control& c) { editor->clearAllChanged(c); });
    for (const std::string_view prefix : kPicturePrefixes) {
        router.onPrefix(ui::notify::kClick, std::string(prefix), [editor, prefix](Control& c) {
            if (const auto index = indexAfter(c.name(), prefix)) {
                editor->keyClicked(c, *index);
            }
        });
    }
    router.onName(ui::notify::kClick, std::string(kSameMode),
                  [&main](Control&) { SynchroniseAllFrom(main, device::DeviceClass::Keyboard); });
    app::PageRefreshHooks& hooks = main.pageRefresh();
    hooks.keyboardLighting = [previous = hooks.keyboardLighting, editor] {
        app::runRefresh(previous);
        editor->refresh();
    };
}

KeyboardKind KeyboardLightingEditor::kind() const {
    return static_cast<KeyboardKind>(std::clamp(main_.kinds().keyboardKind.load(), 0, 3));
}

LightSettings& KeyboardLightingEditor::light() const {
    return main_.stores().keyboardLight.live.light;
}

CustomSlotWord& KeyboardLightingEditor::word() const {
    return main_.stores().keyboardLight.word;
}

CustomColourSlot& KeyboardLightingEditor::selectedSlot() const {
    return main_.stores().keyboardLight.store.selected(word().slot);
}

bool KeyboardLightingEditor::inPaintColourMode() const {
    return paintsColour(kind(), light().mode);
}

std::uint32_t KeyboardLightingEditor::shownColour() const {
    if (kind() == KeyboardKind::Mono) {
        return kMonoPaletteColour;
    }
    return argbOf(inPaintColourMode() ? paintColour(word()) : singleColour(light()));
}

void KeyboardLightingEditor::saveAndPublish() {
    main_.publishLighting();
    SaveKeyboardLighting(main_);
}

void KeyboardLightingEditor::changed() {
    main_.keyboardCommander().setSynchronised(false);
    saveAndPublish();
}

void KeyboardLightingEditor::showMode() {
    const KeyboardKind k = kind();
    const std::uint8_t mode = light().mode;
    ShowModeControls(page_, "kb", modeShows(keyboardModeShows(k), mode));
    if (const auto labels = directionLabels(k, mode)) {
        page_.text(kForward, std::string(labels->forward));
        page_.text(kBackward, std::string(labels->backward));
    }
}

void KeyboardLightingEditor::setColour(std::uint32_t argb, bool store) {
    const Rgb colour = rgbOfArgb(argb);
    page_.channels(kColourEdits, colour);
    if (inPaintColourMode()) {
        page_.background("kb_Deng_custom_colordp_btn", argb);
        if (store) {
            word().red = colour.red;
            word().green = colour.green;
            word().blue = colour.blue;
            changed();
        }
        return;
    }
    page_.background("kb_Deng_colordp_btn", argb);
    if (store) {
        page_.select(kColourful, false);
        setSingleColour(light(), colour);
        changed();
    }
}

void KeyboardLightingEditor::selectMode(KeyboardKind comboKind, int index) {
    const KeyboardKind k = kind();
    if (comboKind != k || index < 0 || index >= static_cast<int>(keyboardModeCount(k))) {
        return;
    }
    const auto mode = static_cast<std::uint8_t>(index);
    EndSynchronisation(main_);
    main_.effectEngines().selectKeyboardMode(k, mode, [&] {
        light().mode = mode;
        main_.publishLighting();
    });
    initialised_ = {k, mode};
    showMode();
    switch (keyboardSameMode(k, mode)) {
        case SameModeChange::Enable:
            page_.enable(kSameMode, true);
            break;
        case SameModeChange::Disable:
            page_.enable(kSameMode, false);
            break;
        case SameModeChange::Keep:
            break;
    }
    const std::uint32_t colour = shownColour();
    page_.palette(kPalette, colour);
    setColour(colour, false);
    SaveKeyboardLighting(main_);
    page_.select(kLightAll, false);
    page_.select(kClearAll, false);
    if (k == KeyboardKind::Rgb && mode == 11) {
        platform::debugLine("自定义");
    }
}

void KeyboardLightingEditor::brightnessChanged(const Control& slider) {
    light().brightness = brightnessOf(slider);
    changed();
}

void KeyboardLightingEditor::speedChanged(const Control& slider) {
    light().speed = speedFromSlider(slider.value());
    changed();
}

void KeyboardLightingEditor::colourfulChanged(const Control& option) {
    light().colourful = option.selected() ? 1 : 0;
    changed();
}

void KeyboardLightingEditor::directionChosen(bool forward) {
    // The two options exclude each other; choosing the selected one again keeps it.
    page_.select(kForward, forward);
    page_.select(kBackward, !forward);
    light().direction = forward ? 1 : 0;
    main_.effectEngines().requestStackingRestart();
    changed();
}

void KeyboardLightingEditor::channelEdited(Control& edit, int channel) {
    const std::uint8_t value = takeChannel(edit);
    if (inPaintColourMode()) {
        Rgb colour = paintColour(word());
        setChannel(colour, channel, value);
        word().red = colour.red;
        word().green = colour.green;
        word().blue = colour.blue;
        page_.background("kb_Deng_custom_colordp_btn", argbOf(colour));
    } else {
        Rgb colour = singleColour(light());
        setChannel(colour, channel, value);
        setSingleColour(light(), colour);
        page_.select(kColourful, false);
        page_.background("kb_Deng_colordp_btn", argbOf(colour));
    }
    page_.palette(kPalette, shownColour());
    changed();
}

void KeyboardLightingEditor::presetClicked(const Control& swatch) {
    const auto index = indexAfter(swatch.name(), kSwatchPrefix);
    if (!index || *index >= kPresetColours.size()) {
        return;
    }
    page_.palette(kPalette, kPresetColours[*index]);
    setColour(kPresetColours[*index], true);
}

void KeyboardLightingEditor::paletteChanged(const Control& palette) {
    setColour(palette.colour() | 0xFF000000u, true);
}

void KeyboardLightingEditor::customSlotChosen(const Control& combo) {
    const int slot = combo.currentItem();
    if (slot < 0 || slot >= static_cast<int>(kOnboardProfileCount)) {
        return;
    }
    word().slot = static_cast<std::uint8_t>(slot);
    page_.select(kLightAll, false);
    page_.select(kClearAll, false);
    changed();
}

void KeyboardLightingEditor::paintToolChanged(const Control& option) {
    if (option.selected()) {
        erasing_ = option.name() == kErase;
    }
}

void KeyboardLightingEditor::lightAllChanged(const Control& option) {
    if (!option.selected()) {
        return;
    }
    page_.select(kClearAll, false);
    CustomColourSlot& slot = selectedSlot();
    if (kind() == KeyboardKind::Mono) {
        std::replace(slot.begin(), slot.begin() + kLedPositions, std::uint8_t{0},
                     std::uint8_t{255});
    } else {
        const Rgb paint = paintColour(word());
        for (std::size_t entry = 0; entry < kLedPositions; ++entry) {
            if (ledColour(slot, entry) == Rgb{}) {
                setLedColour(slot, entry, paint);
            }
        }
    }
    changed();
}

void KeyboardLightingEditor::clearAllChanged(const Control& option) {
    if (!option.selected()) {
        return;
    }
    page_.select(kLightAll, false);
    CustomColourSlot& slot = selectedSlot();
    const std::size_t bytes = kind() == KeyboardKind::Mono ? kLedPositions : slot.size();
    std::fill_n(slot.begin(), bytes, std::uint8_t{0});
    changed();
}

void KeyboardLightingEditor::keyClicked(const Control&, unsigned index) {
    page_.select(kLightAll, false);
    page_.select(kClearAll, false);
    if (index >= kKeyCount) {
        return;
    }
    const KeyboardKind k = kind();
    const std::uint8_t mode = light().mode;
    CustomColourSlot& slot = selectedSlot();
    const Rgb paint = erasing_ ? Rgb{} : paintColour(word());
    if (k == KeyboardKind::Rgb && mode == 11) {
        setLedColour(slot, RgbLedMap[index], paint);
    } else if (k == KeyboardKind::Mono && mode == 10) {
        const std::uint8_t position = MonoLedMap[index];
        if (position >= kLedPositions) {
            return;
        }
        slot[position] = erasing_ ? 0 : 255;
    } else if (isZoned(k) && mode == 6) {
        const auto zone = paintedZone(index);
        if (!zone) {
            return;
        }
        // The whole zone, stored by key index.
        for (const auto& column : ZoneColumns) {
            setLedColour(slot, column[*zone], paint);
        }
    } else {
        return;
    }
    changed();
}

void KeyboardLightingEditor::refresh() {
    const KeyboardKind k = kind();
    const LightSettings& settings = light();
    page_.show(comboOf(KeyboardKind::Rgb), k != KeyboardKind::Mono);
    page_.show(comboOf(KeyboardKind::Mono), k == KeyboardKind::Mono);
    page_.item(comboOf(k), settings.mode);
    page_.slider("kb_deng_light_slider", settings.brightness);
    page_.slider("kb_deng_speed_slider", sliderFromSpeed(settings.speed));
    page_.select(kColourful, settings.colourful != 0);
    page_.select(kForward, settings.direction != 0);
    page_.select(kBackward, settings.direction == 0);
    page_.item(kCustomSlot, word().slot);
    showMode();
    const std::uint32_t colour = shownColour();
    page_.palette(kPalette, colour);
    setColour(colour, false);
    // Another profile or another keyboard brought another mode: it starts as a selection
    // would start it (the ripple would otherwise never begin, the twinkles would start dark).
    const std::pair<KeyboardKind, std::uint8_t> current{k, settings.mode};
    if (initialised_ != current) {
        main_.effectEngines().selectKeyboardMode(k, settings.mode, [] {});
        initialised_ = current;
    }
}

}  // namespace korvane::lighting::editors
