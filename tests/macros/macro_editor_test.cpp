// The macro editors of the keyboard and mouse pages, driven as a user drives them: the macro
// list with its names and the key bindings a deletion renumbers, the action list and its
// single-action edits, recording, save and cancel, and what the files hold afterwards.

#include "keys/key_page_fixture.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/macros/action_file.h"
#include "core/macros/macro_names.h"
#include "core/platform/ini_file.h"

namespace korvane::keys::testing {
namespace {

using macros::MacroClass;

// ---------------------------------------------------------------- the name rule

struct NameCase {
    std::vector<std::string> names;
    std::string expected;
};

class NextMacroNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(NextMacroNameTest, CountPlusOneThenUpWhileTaken) {
    EXPECT_EQ(macros::NextMacroName(GetParam().names), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, NextMacroNameTest,
    ::testing::Values(NameCase{{}, "Macro_1"},
                      // Two macros named with 1 and 3: 3 is tried first, taken, then 4.
                      NameCase{{"Macro_1", "Macro_3"}, "Macro_4"},
                      NameCase{{"first", "second"}, "Macro_3"},
                      // Names are compared without regard to case.
                      NameCase{{"x", "MACRO_2", "macro_3"}, "Macro_4"}));

// ---------------------------------------------------------------- the page

class MacroPage : public KeyPageFixture {
  protected:
    // The mouse page's controls by their name after "ms_".
    static std::string ms(const std::string& suffix) { return "ms_" + suffix; }

    std::vector<std::string> rows(const std::string& list) {
        return onMain<std::vector<std::string>>([&](app::MainWindow& m) {
            std::vector<std::string> out;
            for (const ui::ListItem& item : m.tree().find(list)->items()) {
                out.push_back(item.data.empty() ? item.text : item.data);
            }
            return out;
        });
    }
    std::vector<ui::ListCell> cells(const std::string& list, int row) {
        return onMain<std::vector<ui::ListCell>>([&](app::MainWindow& m) {
            return m.tree().find(list)->items()[static_cast<std::size_t>(row)].cells;
        });
    }
    bool enabled(const std::string& name) {
        return onMain<bool>([&](app::MainWindow& m) { return m.tree().find(name)->enabled(); });
    }
    std::vector<std::string> names(MacroClass c) {
        return macros::MacroStore::forClass(c).ReadMacroList();
    }
    std::vector<std::string> fileActions(MacroClass c, const std::string& name) {
        return macros::MacroStore::forClass(c).ReadMacro(name);
    }
    std::filesystem::path macroFile(MacroClass c, const std::string& name) {
        return *macros::MacroStore::forClass(c).macroFile(name);
    }
    void answer(int code) { app_->dialogs().queueAnswer(code); }
    int messages(const std::string& key) { return count("message " + key); }
    void clickAction(int row) {
        notify(ui::notify::kItemClick, ms("Macro_list"), std::to_string(row));
    }
};

const std::vector<std::string> kTwoActions{"10,0,138,4,1,keyboard_key_A",
                                           "20,0,10,4,0,keyboard_key_A"};

TEST_F(MacroPage, PageShowsTheListAndTheLastMacrosActions) {
    writeMacros(MacroClass::Mouse, {{"one", {"0,0,129,1,1,mouse_key_left"}}, {"two", kTwoActions}});
    start({});
    EXPECT_EQ(rows(ms("MacroName_list")), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(rows(ms("key_fct_combo_23")), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(item(ms("MacroName_list")), 1);
    EXPECT_EQ(text(ms("macro_edit_macroname")), "two");
    EXPECT_EQ(rows(ms("Macro_list")), kTwoActions);
    // Event (translated ID, keyboard style), press mark, delay in ms.
    EXPECT_EQ(cells(ms("Macro_list"), 0),
              (std::vector<ui::ListCell>{{"keyboard_key_A", "macro_label_keyboard_style"},
                                         {"\u25BC", "macro_label_down_style"},
                                         {"100", "macro_label_text_style"}}));
    EXPECT_EQ(cells(ms("Macro_list"), 1)[1], (ui::ListCell{"\u25B2", "macro_label_up_style"}));
    // The key combo holds the 104 ordinary keys in table order.
    EXPECT_EQ(onMain<std::size_t>([](app::MainWindow& m) {
                  return m.tree().find("ms_macro_combo_keyselect")->items().size();
              }),
              104u);
    EXPECT_EQ(rows("ms_macro_combo_keyselect")[103], "keyboard_key_App");
}

TEST_F(MacroPage, WithoutMacrosOnlyAddWorks) {
    start({});
    EXPECT_TRUE(enabled(ms("macro_btn_name_add")));
    EXPECT_FALSE(enabled(ms("macro_btn_name_sub")));
    EXPECT_FALSE(enabled(ms("macro_btn_redio")));
    EXPECT_FALSE(enabled(ms("macro_btn_save")));
    click(ms("macro_btn_name_add"));
    EXPECT_EQ(names(MacroClass::Mouse), (std::vector<std::string>{"Macro_1"}));
    EXPECT_EQ(rows(ms("key_fct_combo_23")), (std::vector<std::string>{"Macro_1"}));
    EXPECT_TRUE(enabled(ms("macro_btn_redio")));
    // No file until the macro is saved.
    EXPECT_FALSE(std::filesystem::exists(macroFile(MacroClass::Mouse, "Macro_1")));
}

TEST_F(MacroPage, AddAfterMacro1And3MakesMacro4AndTheLimitIsFifty) {
    writeMacros(MacroClass::Keyboard, {{"Macro_1", {}}, {"Macro_3", {}}});
    start({});
    click("kb_macro_btn_name_add");
    EXPECT_EQ(names(MacroClass::Keyboard),
              (std::vector<std::string>{"Macro_1", "Macro_3", "Macro_4"}));
    EXPECT_EQ(rows("kb_key_fct_combo_23"), names(MacroClass::Keyboard));
    EXPECT_EQ(item("kb_MacroName_list"), 2);
}

TEST_F(MacroPage, FiftyMacrosAreTheLimit) {
    std::vector<std::pair<std::string, std::vector<std::string>>> fifty;
    for (int i = 0; i < 50; ++i) {
        fifty.push_back({"m" + std::to_string(i), {}});
    }
    writeMacros(MacroClass::Mouse, fifty);
    start({});
    click(ms("macro_btn_name_add"));
    EXPECT_EQ(messages("message_text_17 50"), 1);
    EXPECT_EQ(names(MacroClass::Mouse).size(), 50u);
    EXPECT_EQ(rows(ms("MacroName_list")).size(), 50u);
}

// Deleting macro 0 while key 2 runs macro 1 and key 4 runs macro 0, answered in turn.
struct DeleteCase {
    const char* label;
    std::vector<int> answers;  // to "message_text_2", then "message_text_4"
    bool deleted;
};

class MacroDeletion : public MacroPage, public ::testing::WithParamInterface<DeleteCase> {};

TEST_P(MacroDeletion, BindingsFollowOnlyWhenBothQuestionsAreConfirmed) {
    writeMacros(MacroClass::Mouse, {{"zero", kTwoActions}, {"one", {}}, {"two", {}}});
    start({});
    setRecord(KeyClass::Mouse, 2, {0x70, 1, 2});
    setRecord(KeyClass::Mouse, 4, {0x70, 0, 0});
    setRecord(KeyClass::Mouse, 3, {0x71, 2, 9});
    notify(ui::notify::kItemSelect, ms("MacroName_list"), "0");
    for (const int a : GetParam().answers) {
        answer(a);
    }
    click(ms("macro_btn_name_sub"));
    EXPECT_EQ(messages("message_text_2"), 1);
    EXPECT_EQ(messages("message_text_4"), GetParam().answers[0] == 1 ? 1 : 0);
    if (GetParam().deleted) {
        // Before any mouse was read, button 4's default is the back button.
        EXPECT_EQ(record(KeyClass::Mouse, 4), (KeyFunction{0x10, 0x08, 0x00}));
        EXPECT_EQ(record(KeyClass::Mouse, 2), (KeyFunction{0x70, 0, 2}));
        EXPECT_EQ(record(KeyClass::Mouse, 3), (KeyFunction{0x71, 1, 9}));
        EXPECT_EQ(names(MacroClass::Mouse), (std::vector<std::string>{"one", "two"}));
        EXPECT_EQ(rows(ms("MacroName_list")), names(MacroClass::Mouse));
        EXPECT_EQ(rows(ms("key_fct_combo_23")), names(MacroClass::Mouse));
        EXPECT_FALSE(std::filesystem::exists(macroFile(MacroClass::Mouse, "zero")));
        // The rewritten mouse list keeps its cursor sequences.
        platform::IniFile list(macros::MacroStore::forClass(MacroClass::Mouse).listFile());
        EXPECT_EQ(list.readString("CURSORCOUNT", "count"), "4");
        EXPECT_EQ(list.readString("CURSORNAME", "3"), "name_4");
        EXPECT_EQ(item(ms("MacroName_list")), 0);
        EXPECT_EQ(text(ms("macro_edit_macroname")), "one");
    } else {
        EXPECT_EQ(record(KeyClass::Mouse, 4), (KeyFunction{0x70, 0, 0}));
        EXPECT_EQ(record(KeyClass::Mouse, 2), (KeyFunction{0x70, 1, 2}));
        EXPECT_EQ(record(KeyClass::Mouse, 3), (KeyFunction{0x71, 2, 9}));
        EXPECT_EQ(names(MacroClass::Mouse), (std::vector<std::string>{"zero", "one", "two"}));
        EXPECT_EQ(fileActions(MacroClass::Mouse, "zero"), kTwoActions);
    }
}

INSTANTIATE_TEST_SUITE_P(Answers, MacroDeletion,
                         ::testing::Values(DeleteCase{"BothConfirmed", {1, 1}, true},
                                           DeleteCase{"FirstCancelled", {0}, false},
                                           DeleteCase{"SecondCancelled", {1, 0}, false}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(MacroPage, DeletingAnUnusedMacroStillRenumbersLaterOnes) {
    writeMacros(MacroClass::Keyboard, {{"a", {}}, {"b", {}}, {"c", {}}});
    sim::SimSettings settings;
    settings.keys = 104;
    start({device::DeviceKind::RgbKeyboard}, settings);
    setRecord(KeyClass::Keyboard, 7, {0x70, 2, 1});
    setRecord(KeyClass::Keyboard, 9, {0x71, 0, 4});
    notify(ui::notify::kItemSelect, "kb_MacroName_list", "1");
    answer(1);
    click("kb_macro_btn_name_sub");
    // Nobody runs macro 1: only the deletion is asked.
    EXPECT_EQ(messages("message_text_2"), 0);
    EXPECT_EQ(messages("message_text_4"), 1);
    EXPECT_EQ(record(KeyClass::Keyboard, 7), (KeyFunction{0x70, 1, 1}));
    EXPECT_EQ(record(KeyClass::Keyboard, 9), (KeyFunction{0x71, 0, 4}));
    EXPECT_EQ(names(MacroClass::Keyboard), (std::vector<std::string>{"a", "c"}));
}

TEST_F(MacroPage, RepeatedNamesShareAFileThatOutlivesOneOfThem) {
    writeMacros(MacroClass::Mouse, {{"same", kTwoActions}, {"other", {}}});
    platform::IniFile(macros::MacroStore::forClass(MacroClass::Mouse).listFile())
        .writeString("MACRONAME", "1", "SAME");
    start({});
    notify(ui::notify::kItemSelect, ms("MacroName_list"), "0");
    answer(1);
    click(ms("macro_btn_name_sub"));
    EXPECT_EQ(names(MacroClass::Mouse), (std::vector<std::string>{"SAME"}));
    EXPECT_EQ(rows(ms("Macro_list")), kTwoActions);
}

TEST_F(MacroPage, RenameMovesTheFileAndKeepsBindings) {
    writeMacros(MacroClass::Mouse, {{"old", kTwoActions}, {"taken", {}}});
    start({});
    setRecord(KeyClass::Mouse, 1, {0x70, 0, 0});
    notify(ui::notify::kItemSelect, ms("MacroName_list"), "0");
    type(ms("macro_edit_macroname"), "fresh");
    click(ms("macro_btn_savemacroname"));
    EXPECT_EQ(names(MacroClass::Mouse), (std::vector<std::string>{"fresh", "taken"}));
    EXPECT_EQ(rows(ms("MacroName_list")), names(MacroClass::Mouse));
    EXPECT_EQ(rows(ms("key_fct_combo_23")), names(MacroClass::Mouse));
    EXPECT_FALSE(std::filesystem::exists(macroFile(MacroClass::Mouse, "old")));
    EXPECT_EQ(fileActions(MacroClass::Mouse, "fresh"), kTwoActions);
    EXPECT_EQ(record(KeyClass::Mouse, 1), (KeyFunction{0x70, 0, 0}));
    EXPECT_EQ(text("ms_key_1"), "fresh");
}

// Names that must not be taken: the old name stays in the list file, the name list, the key
// page's combo and the edit box, and the old file keeps its actions.
struct RefusedName {
    const char* label;
    std::string name;
    std::string message;
};

class RefusedRename : public MacroPage, public ::testing::WithParamInterface<RefusedName> {};

TEST_P(RefusedRename, EverythingKeepsTheOldName) {
    writeMacros(MacroClass::Keyboard, {{"old", kTwoActions}, {"taken", {}}});
    start({});
    notify(ui::notify::kItemSelect, "kb_MacroName_list", "0");
    type("kb_macro_edit_macroname", GetParam().name);
    click("kb_macro_btn_savemacroname");
    EXPECT_EQ(messages(GetParam().message), 1);
    EXPECT_EQ(text("kb_macro_edit_macroname"), "old");
    EXPECT_EQ(names(MacroClass::Keyboard), (std::vector<std::string>{"old", "taken"}));
    EXPECT_EQ(rows("kb_MacroName_list"), names(MacroClass::Keyboard));
    EXPECT_EQ(rows("kb_key_fct_combo_23"), names(MacroClass::Keyboard));
    EXPECT_EQ(fileActions(MacroClass::Keyboard, "old"), kTwoActions);
}

INSTANTIATE_TEST_SUITE_P(
    Names, RefusedRename,
    ::testing::Values(RefusedName{"Duplicate", "TAKEN", "message_text_5"},
                      RefusedName{"Separator", "a/b", "macro_name_unusable_text"},
                      RefusedName{"ParentFolder", "..", "macro_name_unusable_text"},
                      RefusedName{"Empty", "", "macro_name_unusable_text"},
                      RefusedName{"ControlCharacter", "x\ty", "macro_name_unusable_text"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(MacroPage, InsertedMoveGoesAtTheSelectedPosition) {
    writeMacros(MacroClass::Mouse, {{"m",
                                     {"1,0,129,1,1,mouse_key_left", "2,0,1,1,0,mouse_key_left",
                                      "3,0,138,4,1,keyboard_key_A"}}});
    start({});
    clickAction(1);
    type(ms("mouse_x_left_edit"), "7");
    click(ms("macro_inset_moveleftkey_btn"));
    EXPECT_EQ(rows(ms("Macro_list")),
              (std::vector<std::string>{"1,0,129,1,1,mouse_key_left",
                                        "5,0,132,7,1,mouse_move_to_left_text",
                                        "2,0,1,1,0,mouse_key_left", "3,0,138,4,1,keyboard_key_A"}));
    EXPECT_EQ(item(ms("Macro_list")), 1);
    // A move shows its distance in the state column.
    EXPECT_EQ(cells(ms("Macro_list"), 1)[1], (ui::ListCell{"7", "macro_label_text_style"}));
    EXPECT_TRUE(visible(ms("macro_tab_saveorcancel")));
    EXPECT_FALSE(enabled(ms("MacroName_list")));
    // A press of the right button with nothing selected goes first; distances stop at 255.
    app_->query([&] { main().tree().find(ms("Macro_list"))->selectItem(-1); });
    click(ms("macro_inset_rightkeydown_btn"));
    type(ms("mouse_y_down_edit"), "300");
    EXPECT_EQ(text(ms("mouse_y_down_edit")), "255");
    click(ms("macro_inset_movedownkey_btn"));
    EXPECT_EQ(rows(ms("Macro_list"))[0], "5,0,5,255,0,mouse_move_to_down_text");
    EXPECT_EQ(rows(ms("Macro_list"))[1], "5,0,129,2,1,mouse_key_right");
}

// One edit of the selected action: what its text becomes and what the box shows.
struct ActionEdit {
    const char* label;
    std::string before;
    std::string_view type;  // notification
    std::string control;
    std::string arg;
    std::string after;
};

class SingleActionEdit : public MacroPage, public ::testing::WithParamInterface<ActionEdit> {};

TEST_P(SingleActionEdit, ChangesTheSelectedAction) {
    const ActionEdit& e = GetParam();
    writeMacros(MacroClass::Mouse, {{"m", {"9,0,129,1,1,mouse_key_left", e.before}}});
    start({});
    clickAction(1);
    notify(e.type, ms(e.control), e.arg);
    EXPECT_EQ(rows(ms("Macro_list")),
              (std::vector<std::string>{"9,0,129,1,1,mouse_key_left", e.after}));
}

INSTANTIATE_TEST_SUITE_P(
    Edits, SingleActionEdit,
    ::testing::Values(
        ActionEdit{"PressToRelease", "0,0,138,4,1,keyboard_key_A", ui::notify::kItemSelect,
                   "macro_combo_upordown", "0", "0,0,10,4,0,keyboard_key_A"},
        ActionEdit{"ReleaseToPress", "0,0,9,2,0,keyboard_key_LShift", ui::notify::kItemSelect,
                   "macro_combo_upordown", "1", "0,0,137,2,1,keyboard_key_LShift"},
        // Row 9 is B (usage 0x05); row 4 right Ctrl, a modifier (bit 0x10).
        ActionEdit{"OtherKey", "0,0,138,4,1,keyboard_key_A", ui::notify::kItemSelect,
                   "macro_combo_keyselect", "9", "0,0,138,5,1,keyboard_key_B"},
        ActionEdit{"KeyToModifier", "0,0,10,4,0,keyboard_key_A", ui::notify::kItemSelect,
                   "macro_combo_keyselect", "4", "0,0,9,16,0,keyboard_key_RCtrl"},
        ActionEdit{"DelayCapped", "0,0,138,4,1,keyboard_key_A", ui::notify::kTextChanged,
                   "_macro_edit_ActionDelay", "70000", "255,255,138,4,1,keyboard_key_A"},
        ActionEdit{"MouseDelay", "0,0,1,2,0,mouse_key_right", ui::notify::kTextChanged,
                   "_macro_edit_mou_action_delay", "300", "44,1,1,2,0,mouse_key_right"},
        // Choice 6: forward press; choice 12: move up, a click had no distance.
        ActionEdit{"ClickToOtherClick", "0,0,1,2,0,mouse_key_right", ui::notify::kItemSelect,
                   "macro_combo_mouselect", "6", "0,0,129,16,1,mouse_key_forward"},
        ActionEdit{"ClickToMove", "0,0,1,2,0,mouse_key_right", ui::notify::kItemSelect,
                   "macro_combo_mouselect", "12", "0,0,133,0,1,mouse_move_to_up_text"},
        ActionEdit{"MoveKeepsDistance", "0,0,132,7,1,mouse_move_to_left_text",
                   ui::notify::kItemSelect, "macro_combo_mouselect", "13",
                   "0,0,5,7,0,mouse_move_to_down_text"},
        ActionEdit{"DistanceCapped", "0,0,132,7,1,mouse_move_to_left_text",
                   ui::notify::kTextChanged, "macro_edit_mou_pointer_skewing", "999",
                   "0,0,132,255,1,mouse_move_to_left_text"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(MacroPage, ClickingAnActionShowsItsEditorPage) {
    writeMacros(MacroClass::Mouse,
                {{"m", {"4,1,138,5,1,keyboard_key_B", "0,0,4,9,0,mouse_move_to_right_text"}}});
    start({});
    clickAction(0);
    EXPECT_EQ(
        onMain<int>([](app::MainWindow& m) { return m.tree().find("ms_tab_macro_edit")->page(); }),
        1);
    EXPECT_EQ(item("ms_macro_combo_keyselect"), 9);
    EXPECT_EQ(item("ms_macro_combo_upordown"), 1);
    EXPECT_EQ(text("ms__macro_edit_ActionDelay"), "260");
    clickAction(1);
    EXPECT_EQ(
        onMain<int>([](app::MainWindow& m) { return m.tree().find("ms_tab_macro_edit")->page(); }),
        2);
    EXPECT_EQ(item("ms_macro_combo_mouselect"), 11);
    EXPECT_TRUE(visible("ms_macro_tab_mou_pointer_skewing"));
    EXPECT_EQ(text("ms_macro_edit_mou_pointer_skewing"), "9");
    // Entering 70000 leaves 65535 in the box and shows 655350 ms.
    type("ms__macro_edit_mou_action_delay", "70000");
    EXPECT_EQ(text("ms__macro_edit_mou_action_delay"), "65535");
    EXPECT_EQ(cells("ms_Macro_list", 1)[2].text, "655350");
}

TEST_F(MacroPage, MovesAndDeletesThenSaveWritesTheFile) {
    const std::vector<std::string> a{"1,0,138,4,1,keyboard_key_A", "2,0,138,5,1,keyboard_key_B",
                                     "3,0,138,6,1,keyboard_key_C", "4,0,138,7,1,keyboard_key_D"};
    writeMacros(MacroClass::Keyboard, {{"k", a}});
    start({});
    notify(ui::notify::kItemClick, "kb_Macro_list", "2");
    click("kb_macro_btn_up");
    EXPECT_EQ(rows("kb_Macro_list"), (std::vector<std::string>{a[0], a[2], a[1], a[3]}));
    EXPECT_EQ(item("kb_Macro_list"), 1);
    click("kb_macro_btn_downbottom");
    EXPECT_EQ(rows("kb_Macro_list"), (std::vector<std::string>{a[0], a[1], a[3], a[2]}));
    click("kb_macro_btn_down");  // already last
    click("kb_macro_btn_uptop");
    EXPECT_EQ(rows("kb_Macro_list"), (std::vector<std::string>{a[2], a[0], a[1], a[3]}));
    click("kb_macro_btn_delete");
    EXPECT_EQ(rows("kb_Macro_list"), (std::vector<std::string>{a[0], a[1], a[3]}));
    // Nothing written yet.
    EXPECT_EQ(fileActions(MacroClass::Keyboard, "k"), a);
    click("kb_macro_btn_save");
    EXPECT_EQ(fileActions(MacroClass::Keyboard, "k"), (std::vector<std::string>{a[0], a[1], a[3]}));
    EXPECT_FALSE(visible("kb_macro_tab_saveorcancel"));
    EXPECT_TRUE(enabled("kb_MacroName_list"));
}

TEST_F(MacroPage, DeleteAllCanBeSavedAsAnEmptyMacro) {
    writeMacros(MacroClass::Keyboard, {{"k", kTwoActions}});
    start({});
    click("kb_macro_btn_deleteall");
    EXPECT_TRUE(rows("kb_Macro_list").empty());
    EXPECT_TRUE(visible("kb_macro_tab_saveorcancel"));
    click("kb_macro_btn_save");
    EXPECT_TRUE(fileActions(MacroClass::Keyboard, "k").empty());
    EXPECT_TRUE(enabled("kb_MacroName_list"));
}

TEST_F(MacroPage, CancelBringsBackTheFileAndPendingEditsGuardThePage) {
    writeMacros(MacroClass::Mouse, {{"a", kTwoActions}, {"b", {}}});
    start({});
    notify(ui::notify::kItemSelect, ms("MacroName_list"), "0");
    click(ms("macro_inset_leftkeyup_btn"));
    EXPECT_EQ(rows(ms("Macro_list")).size(), 3u);
    // Another macro, adding, deleting, another page: refused while the edit is pending.
    notify(ui::notify::kItemSelect, ms("MacroName_list"), "1");
    EXPECT_EQ(messages("message_text_4"), 1);
    EXPECT_EQ(item(ms("MacroName_list")), 0);
    EXPECT_EQ(rows(ms("Macro_list")).size(), 3u);
    click(ms("macro_btn_name_add"));
    click(ms("macro_btn_name_sub"));
    EXPECT_EQ(messages("message_text_3"), 2);
    EXPECT_EQ(names(MacroClass::Mouse).size(), 2u);
    notify(ui::notify::kSelectChanged, "ms_macro_Op_tab", "1");
    notify(ui::notify::kSelectChanged, "ms_DPI_Op_tab", "1");
    EXPECT_EQ(messages("message_text_3"), 3);
    EXPECT_TRUE(onMain<bool>(
        [](app::MainWindow& m) { return m.tree().find("ms_macro_Op_tab")->selected(); }));

    click(ms("macro_btn_cancel"));
    EXPECT_EQ(rows(ms("Macro_list")), kTwoActions);
    EXPECT_FALSE(visible(ms("macro_tab_saveorcancel")));
    EXPECT_TRUE(enabled(ms("MacroName_list")));
    notify(ui::notify::kSelectChanged, "ms_DPI_Op_tab", "1");
    EXPECT_EQ(messages("message_text_3"), 3);
}

TEST_F(MacroPage, RecordingAppendsLiveAndSaves) {
    writeMacros(MacroClass::Keyboard, {{"rec", {}}});
    start({});
    click("kb_macro_btn_redio");
    EXPECT_EQ(text("kb_macro_btn_redio"), "macro_btn_stop_redio_text");
    EXPECT_FALSE(enabled("kb_macro_keyboard_event"));
    EXPECT_FALSE(enabled("kb_Macro_list"));
    EXPECT_FALSE(enabled("kb_macro_btn_save"));
    EXPECT_FALSE(enabled("kb_MacroName_list"));
    key(0x41, true, false, 5);
    EXPECT_EQ(rows("kb_Macro_list"), (std::vector<std::string>{"0,0,138,4,1,keyboard_key_A"}));
    // Two events 1 234 ms apart: the first gets count 123.
    key(0x41, false, false, 1234);
    EXPECT_EQ(rows("kb_Macro_list"), (std::vector<std::string>{"123,0,138,4,1,keyboard_key_A",
                                                               "0,0,10,4,0,keyboard_key_A"}));
    EXPECT_EQ(cells("kb_Macro_list", 0)[2].text, "1230");
    mouseButton(macros::FakeInputHook::Button::Middle, true, 300);
    click("kb_macro_btn_redio");
    EXPECT_EQ(text("kb_macro_btn_redio"), "macro_btn_star_redio_text");
    EXPECT_TRUE(enabled("kb_macro_btn_save"));
    EXPECT_FALSE(enabled("kb_MacroName_list"));
    key(0x42, true, false, 10);  // after the stop: not recorded
    click("kb_macro_btn_save");
    EXPECT_EQ(
        fileActions(MacroClass::Keyboard, "rec"),
        (std::vector<std::string>{"123,0,138,4,1,keyboard_key_A", "30,0,10,4,0,keyboard_key_A",
                                  "0,0,129,4,1,mouse_key_middle"}));
}

TEST_F(MacroPage, CancelDuringRecordingStopsIt) {
    writeMacros(MacroClass::Mouse, {{"rec", kTwoActions}});
    start({});
    click(ms("macro_btn_redio"));
    key(0x43, true);
    click(ms("macro_btn_cancel"));
    EXPECT_FALSE(onMain<bool>([](app::MainWindow& m) {
        return m.inputCapture().recording(MacroClass::Mouse).recording();
    }));
    EXPECT_EQ(text(ms("macro_btn_redio")), "macro_btn_star_redio_text");
    key(0x44, true);
    EXPECT_EQ(rows(ms("Macro_list")), kTwoActions);
}

// Files that are damaged or odd load without a crash and without touching other macros.
TEST_F(MacroPage, DamagedFilesLoadAsWhatTheyHold) {
    std::filesystem::create_directories(platform::MouseFolder());
    writeMacros(MacroClass::Mouse,
                {{"empty", {}}, {"huge", {}}, {"junk", {}}, {"fine", kTwoActions}});
    std::ofstream(macroFile(MacroClass::Mouse, "empty"), std::ios::trunc).close();
    {
        // A count far past the keys, and ten megabytes of one line.
        std::ofstream huge(macroFile(MacroClass::Mouse, "huge"), std::ios::trunc);
        huge << "[MACROACTIONCOUNT]\r\ncount=99999999\r\n[MACROACTION]\r\n0=";
        huge << std::string(10 << 20, '7');
    }
    macros::WriteActionFile(macroFile(MacroClass::Mouse, "junk"),
                            std::vector<std::string>{"no action", "1,2,3", kTwoActions[0]});
    start({});
    for (int i = 0; i < 3; ++i) {
        notify(ui::notify::kItemSelect, ms("MacroName_list"), std::to_string(i));
    }
    EXPECT_EQ(rows(ms("Macro_list")),
              (std::vector<std::string>{"no action", "1,2,3", kTwoActions[0]}));
    // Rows that are not actions go back into the file as they were.
    click(ms("macro_btn_deleteall"));
    click(ms("macro_btn_cancel"));
    notify(ui::notify::kItemClick, ms("Macro_list"), "0");
    click(ms("macro_btn_save"));
    EXPECT_EQ(fileActions(MacroClass::Mouse, "junk"),
              (std::vector<std::string>{"no action", "1,2,3", kTwoActions[0]}));
    EXPECT_EQ(fileActions(MacroClass::Mouse, "fine"), kTwoActions);
}

// What the device gets after an edit: the macro saved by the editor goes into the image of
// the next save to the device.
TEST_F(MacroPage, EditedMacroReachesTheDeviceWithTheNextSave) {
    start({device::DeviceKind::Mouse});
    click(ms("macro_btn_name_add"));
    click(ms("macro_inset_backkeydown_btn"));
    type(ms("mouse_x_right_edit"), "12");
    click(ms("macro_inset_moverightkey_btn"));
    markTrace();
    click(ms("macro_btn_save"));
    EXPECT_TRUE(writtenCommands().empty());
    saveAndWait(ms("key_butt_prosave"));
    // One macro of two actions: 16 + 6 + 8 = 30 bytes, the body at 18; the move was
    // inserted before the press.
    const std::vector<std::uint8_t> expected{0xAA, 0x55, 30, 0, 1, 0,  0,  0, 0,    0,
                                             0,    0,    0,  0, 0, 0,  18, 0, 2,    0,
                                             0,    0,    5,  0, 4, 12, 5,  0, 0x81, 8};
    const auto memory = devices_[0]->inspect([](const sim::Firmware& f) {
        const auto m = f.macroMemory();
        return std::vector<std::uint8_t>(m.begin(), m.begin() + 30);
    });
    EXPECT_EQ(memory, expected);
    const std::vector<int> written = writtenCommands();
    ASSERT_FALSE(written.empty());
    EXPECT_EQ(written[0], 0x01);
    EXPECT_EQ(written[1], 0x15);
}

}  // namespace
}  // namespace korvane::keys::testing
