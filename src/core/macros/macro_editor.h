#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/macros/macro_action.h"
#include "core/macros/macro_recorder.h"
#include "core/macros/macro_store.h"

namespace korvane::app {
class MainWindow;
}
namespace korvane::ui {
class Control;
}

namespace korvane::macros {

// The events the mouse event combo of the action editor offers, in combo order.
struct MouseEventChoice {
    std::uint8_t kind;
    std::uint8_t code;
    std::string_view name;
};
inline constexpr std::array<MouseEventChoice, 14> kMouseEventChoices{{
    {0x81, kButtonLeft, "mouse_key_left"},
    {0x01, kButtonLeft, "mouse_key_left"},
    {0x81, kButtonRight, "mouse_key_right"},
    {0x01, kButtonRight, "mouse_key_right"},
    {0x81, kButtonMiddle, "mouse_key_middle"},
    {0x01, kButtonMiddle, "mouse_key_middle"},
    {0x81, kButtonForward, "mouse_key_forward"},
    {0x01, kButtonForward, "mouse_key_forward"},
    {0x81, kButtonBack, "mouse_key_back"},
    {0x01, kButtonBack, "mouse_key_back"},
    {0x84, 0, kMoveLeftName},
    {0x04, 0, kMoveRightName},
    {0x85, 0, kMoveUpName},
    {0x05, 0, kMoveDownName},
}};
// Choices 0..9 are clicks; 10..13 are pointer moves, whose code is their distance.
inline constexpr int kFirstMoveChoice = 10;

// The mouse events the insert buttons add: a press or a release of one of the five buttons,
// or a pointer move by the distance of its edit.
enum class InsertButton : std::uint8_t { Left, Right, Middle, Forward, Back };
enum class InsertMove : std::uint8_t { Left, Right, Up, Down };
enum class ActionMove : std::uint8_t { Up, Down, Top, Bottom };

// The insert buttons' names without the editor's prefix: "macro_inset_" + stem + "_btn", its
// panel "_tab", its press "down_btn" and release "up_btn"; move buttons with their edits.
inline constexpr std::array<std::string_view, 5> kInsertButtonStems{
    "leftkey", "rightkey", "moudlekey", "forwardkey", "backkey"};
inline constexpr std::array<std::uint8_t, 5> kInsertButtonCodes{
    kButtonLeft, kButtonRight, kButtonMiddle, kButtonForward, kButtonBack};
inline constexpr std::array<std::string_view, 4> kInsertMoveStems{"moveleftkey", "moverightkey",
                                                                  "moveupkey", "movedownkey"};
inline constexpr std::array<std::string_view, 4> kInsertMoveEdits{
    "mouse_x_left_edit", "mouse_x_right_edit", "mouse_y_up_edit", "mouse_y_down_edit"};

// The message shown when a new macro name cannot be a file name (or the file system refuses
// the rename); the macro keeps its old name everywhere.
inline constexpr std::string_view kMacroNameUnusableMessage = "macro_name_unusable_text";

// The macro editor of one device class. The keyboard and mouse editors are this one class;
// they differ in control prefix ("kb_" / "ms_"), files, recording mode, and the key bindings
// a deletion renumbers. The action list control is the edit's state: each row keeps its
// action text. Saving writes the macro files; the device gets the macros with the next save
// to the device. Main thread.
class MacroEditor {
  public:
    MacroEditor(app::MainWindow& main, MacroClass macroClass);

    MacroClass macroClass() const { return class_; }
    // "macro_btn_save" → "kb_macro_btn_save" / "ms_macro_btn_save".
    std::string control(std::string_view suffix) const;
    // Actions changed and not yet saved (the save / cancel panel shows).
    bool pending() const { return pending_; }
    // The macro whose actions the list shows.
    std::optional<std::size_t> selectedMacro() const { return current_; }
    std::vector<std::string> actionTexts() const;

    // Page initialisation: the name list and the key page's macro combo from the list file,
    // the last macro selected, the key combo filled.
    void LoadMacroPage();
    void AddMacro();
    void DeleteMacro();
    void RenameMacro();
    // Item selection in the name list.
    void SelectMacro();
    void ToggleRecording();
    // The name panel or the mouse event panel (`…_macro_btn_shubiao`).
    void ShowMouseEventPanel();
    // One insert button's panel shows, the other four hide.
    void ShowInsertPanel(InsertButton button);
    void InsertClick(InsertButton button, bool press);
    void InsertPointerMove(InsertMove move);
    // A distance edit of the insert panel: above 255 becomes "255".
    void InsertDistanceChanged(ui::Control& edit);

    // Item click on an action: its editor page shows.
    void ClickAction();
    void ChooseKey(int row);
    void ChooseDirection(int index);
    void ChooseMouseEvent(int index);
    void DelayChanged(ui::Control& edit);
    void DistanceChanged(ui::Control& edit);

    void MoveAction(ActionMove where);
    void DeleteAction();
    void DeleteAllActions();
    void SaveMacro();
    void CancelMacro();

    // An option page of the device was chosen: while an edit is pending, anything but the
    // macro page brings the macro page back with "message_text_3".
    void OptionPageChosen(ui::Control& option);

  private:
    MacroStore store() const { return MacroStore::forClass(class_); }
    ui::Control* find(std::string_view suffix) const;
    ui::Control* names() const { return find("MacroName_list"); }
    ui::Control* actions() const { return find("Macro_list"); }
    std::vector<std::string> nameList() const;
    int actionCount() const;
    int selectedAction() const;
    std::optional<MacroAction> selectedParsed() const;
    void setAction(int index, const MacroAction& action);
    void insertAction(int index, const MacroAction& action);
    void loadActions();
    void showMacro(std::size_t index);
    void setPending(bool pending);
    void setEditPage(int page);
    void setEditingEnabled(bool enabled);
    void setRecordingControls(bool recording);
    void stopRecording();
    void recorded(const RecordedStep& step);
    void refreshKeys(bool bindingsChanged);
    bool recordingNow() const;
    void showSelectedActionEditor();
    void insertNew(MacroAction action);

    app::MainWindow& main_;
    MacroClass class_;
    std::string prefix_;
    std::optional<std::size_t> current_;
    bool pending_ = false;
    bool renaming_ = false;
};

}  // namespace korvane::macros
