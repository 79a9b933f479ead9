#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/keys/key_function.h"
#include "core/keys/key_table.h"
#include "core/macros/input_hook.h"

namespace korvane::app {
class MainWindow;
}
namespace korvane::ui {
class Control;
}

namespace korvane::keys {

// The key assignment editor of one device class. The keyboard and mouse editors are this one
// class: they differ in control prefix ("kb_" / "ms_"), class combo order, capture mode, how a
// key is picked (picture positions / buttons 0..5) and the mouse's left-click rule. Every
// change goes at once into the live key table of the class and the picture labels; the device
// gets the table with the next save to the device. Main thread.
//
// Records outside the catalogue (unknown types, parameters no control can show) are shown as
// the default class and written back unchanged unless the user changes them.
class KeyAssignmentEditor {
  public:
    KeyAssignmentEditor(app::MainWindow& main, KeyClass keyClass);

    KeyClass keyClass() const { return class_; }
    // The editor's control of that name without its prefix ("key_fct_combo" → "kb_key_fct_combo").
    std::string control(std::string_view suffix) const;
    std::optional<int> selectedKey() const { return key_; }
    // The function type of the class chosen in the class combo (0 for the default class).
    std::uint8_t workingClass() const { return workingClass_; }
    macros::CaptureMode captureMode() const;

    // The mouse's buttons 0..5 (option buttons `ms_key_0` …) or a keyboard record index.
    void SelectKey(int key);
    // A keyboard picture key: shows the function panel, then selects the position's record;
    // a position without a record changes nothing more.
    void SelectPosition(int position);
    // Loads the selected key's record into the controls (see the class comment).
    void ShowKeyFunction();
    // Item selection in the class combo.
    void ChooseClass(int index);
    // Builds the record from the controls of the working class and writes it into the live
    // table; nothing when the controls hold no complete choice.
    void ApplyControls();
    // The selected key gets its default record (the device's base table, or the built-in
    // defaults before a device of the class was read).
    void RestoreDefault();
    // A parameter edit's text: read as a decimal number, corrected to its bounds in the box,
    // then applied.
    void EditChanged(ui::Control& edit);
    // Item selection in the run-mode combo: the repeat-count page shows for index 4 only.
    void RunModeChanged();
    // Hook message of single-key capture: a key of the key code table that sends a keyboard
    // key becomes the selected key's function.
    void CaptureSingleKey(const macros::KeyRecord& record);

    // The macro combo lists the class's macros (MACRONAME 0 .. count − 1).
    void RefreshMacroChoices();
    // After a profile selection or a connection: the panel was closed, capture ends, the
    // labels show the tables' new records.
    void Refresh();

  private:
    void showClass(std::size_t index);
    void startCapture(bool userAsked);
    void endOwnCapture();
    void selectPictureKey(std::optional<int> position);
    std::optional<KeyFunction> recordFromControls();
    int editValue(std::string_view suffix) const;
    int comboItem(std::string_view suffix) const;
    void setEdit(std::string_view suffix, int value);
    void selectItem(std::string_view suffix, int index);
    void applyRecord(const KeyFunction& record);

    app::MainWindow& main_;
    KeyClass class_;
    std::string prefix_;
    std::optional<int> key_;
    std::uint8_t workingClass_ = KeyFunctionType::kFactoryDefault;
    // The record the capture box stands for (last key captured, or the shown record).
    std::optional<KeyFunction> captured_;
    std::string selectedPicture_;
};

}  // namespace korvane::keys
