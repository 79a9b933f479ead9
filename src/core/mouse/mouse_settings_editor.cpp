#include "core/mouse/mouse_settings_editor.h"

#include <algorithm>
#include <memory>
#include <string>

#include "core/app/main_window.h"
#include "core/lighting/editors/same_effect.h"
#include "core/mouse/pointer_rules.h"
#include "core/platform/text.h"

namespace korvane::mouse {
namespace {

constexpr std::string_view kReportRateCombo = "ms_report_fct_combo";
constexpr std::string_view kSensorHeightSlider = "ms_sensor_height_slider";
constexpr std::string_view kPointerSpeedSlider = "ms_point_speed_slider";
constexpr std::string_view kWheelLinesEdit = "ms_gunlun_speed_edit";

constexpr std::uint8_t kResetSpeed = 10;
constexpr std::uint8_t kResetWheelLines = 3;

std::uint8_t byteOf(int value) {
    return static_cast<std::uint8_t>(std::clamp(value, 0, 255));
}

}  // namespace

MouseSettingsEditor::MouseSettingsEditor(app::MainWindow& main, SystemPointer* pointer)
    : main_(main), page_(main.tree()), applier_(pointer) {}

std::shared_ptr<MouseSettingsEditor> MouseSettingsEditor::Install(app::MainWindow& main) {
    auto editor = std::make_shared<MouseSettingsEditor>(main, main.systemPointer());
    app::NotificationRouter& router = main.router();
    router.onName(ui::notify::kItemSelect, std::string(kReportRateCombo),
                  [editor](ui::Control& c) { editor->reportRateSelected(c); });
    router.onName(ui::notify::kValueChanged, std::string(kSensorHeightSlider),
                  [editor](ui::Control& c) { editor->sensorHeightChanged(c); });
    router.onName(ui::notify::kValueChanged, std::string(kPointerSpeedSlider),
                  [editor](ui::Control& c) { editor->pointerSpeedChanged(c); });
    router.onName(ui::notify::kClick, "ms_gunlun_speed_up_btn",
                  [editor](ui::Control&) { editor->wheelLinesStepped(true); });
    router.onName(ui::notify::kClick, "ms_gunlun_speed_down_btn",
                  [editor](ui::Control&) { editor->wheelLinesStepped(false); });
    app::PageRefreshHooks& hooks = main.pageRefresh();
    hooks.mousePages = [previous = hooks.mousePages, editor] {
        app::runRefresh(previous);
        editor->refresh();
    };
    hooks.mouseProfileSpeeds = [previous = hooks.mouseProfileSpeeds, editor] {
        app::runRefresh(previous);
        editor->applyProfile();
    };
    return editor;
}

void MouseSettingsEditor::refresh() {
    const app::DeviceStores& stores = main_.stores();
    // A code past the list selects nothing; the record keeps it.
    page_.item(kReportRateCombo, stores.mouseSettings.reportRate);
    page_.slider(kSensorHeightSlider, stores.mouseSettings.sensorHeight);
    page_.slider(kPointerSpeedSlider, sliderOfSpeed(stores.pointerSpeed));
    page_.text(kWheelLinesEdit, std::to_string(appliedWheelLines(stores.wheelSpeed)));
}

void MouseSettingsEditor::recordChanged() {
    main_.mouseSettingsChanged = true;
    lighting::editors::SaveMouseLighting(main_);
}

void MouseSettingsEditor::reportRateSelected(const ui::Control& combo) {
    if (combo.currentItem() < 0) {
        return;
    }
    // The same item again still sends the record at the next tick.
    main_.stores().mouseSettings.reportRate = byteOf(combo.currentItem());
    recordChanged();
}

void MouseSettingsEditor::sensorHeightChanged(const ui::Control& slider) {
    main_.stores().mouseSettings.sensorHeight = byteOf(slider.value());
    recordChanged();
}

void MouseSettingsEditor::applyStoredSpeed() {
    std::uint8_t& stored = main_.stores().pointerSpeed;
    const int speed = appliedSpeed(stored);
    if (stored == 0) {
        stored = static_cast<std::uint8_t>(speed);
    }
    applier_.applySpeed(speed);
}

void MouseSettingsEditor::pointerSpeedChanged(const ui::Control& slider) {
    main_.stores().pointerSpeed = speedOfSlider(slider.value());
    applyStoredSpeed();
    lighting::editors::SaveMouseLighting(main_);
}

void MouseSettingsEditor::wheelLinesStepped(bool up) {
    const ui::Control* edit = page_.find(kWheelLinesEdit);
    const long shown = edit != nullptr ? platform::parseLong(edit->text()) : 0;
    const int lines = up ? wheelLinesUp(shown) : wheelLinesDown(shown);
    page_.text(kWheelLinesEdit, platform::formatInt(lines));
    main_.stores().wheelSpeed = static_cast<std::uint8_t>(lines);
    applier_.applyWheelLines(lines);
    lighting::editors::SaveMouseLighting(main_);
}

void MouseSettingsEditor::applyProfile() {
    applyStoredSpeed();
    applier_.applyWheelLines(appliedWheelLines(main_.stores().wheelSpeed));
}

void MouseSettingsEditor::resetDesktopSettings() {
    app::DeviceStores& stores = main_.stores();
    stores.pointerSpeed = kResetSpeed;
    page_.slider(kPointerSpeedSlider, sliderOfSpeed(kResetSpeed));
    applier_.applySpeed(kResetSpeed);
    stores.wheelSpeed = kResetWheelLines;
    page_.text(kWheelLinesEdit, platform::formatInt(kResetWheelLines));
    applier_.applyWheelLines(kResetWheelLines);
    lighting::editors::SaveMouseLighting(main_);
}

}  // namespace korvane::mouse
