#include "core/macros/install_macro_editors.h"

#include <array>
#include <memory>
#include <string>

#include "core/app/main_window.h"
#include "core/macros/macro_editor.h"

namespace korvane::macros {
namespace {

struct Editors {
    explicit Editors(app::MainWindow& main)
        : keyboard(main, MacroClass::Keyboard), mouse(main, MacroClass::Mouse) {}
    MacroEditor keyboard;
    MacroEditor mouse;
};

// The option pages of each device view; choosing one while a macro edit is pending is refused.
constexpr std::array<std::string_view, 3> kKeyboardPages{"kb_deng_Op_tab", "kb_keyset_Op_tab",
                                                         "kb_macro_Op_tab"};
constexpr std::array<std::string_view, 5> kMousePages{
    "ms_deng_Op_tab", "ms_keyset_Op_tab", "ms_macro_Op_tab", "ms_DPI_Op_tab", "ms_cursor_Op_tab"};

void routeEditor(app::MainWindow& main, const std::shared_ptr<Editors>& editors,
                 MacroEditor Editors::*member) {
    app::NotificationRouter& router = main.router();
    const MacroEditor& editor = (*editors).*member;
    const auto on = [&](std::string_view type, std::string_view suffix, auto action) {
        router.onName(type, editor.control(suffix),
                      [editors, member, action](ui::Control& s) { action((*editors).*member, s); });
    };
    const auto click = [&](std::string_view suffix, void (MacroEditor::*method)()) {
        on(ui::notify::kClick, suffix, [method](MacroEditor& e, ui::Control&) { (e.*method)(); });
    };
    click("macro_btn_name_add", &MacroEditor::AddMacro);
    click("macro_btn_name_sub", &MacroEditor::DeleteMacro);
    click("macro_btn_savemacroname", &MacroEditor::RenameMacro);
    click("macro_btn_redio", &MacroEditor::ToggleRecording);
    click("macro_btn_delete", &MacroEditor::DeleteAction);
    click("macro_btn_deleteall", &MacroEditor::DeleteAllActions);
    click("macro_btn_save", &MacroEditor::SaveMacro);
    click("macro_btn_cancel", &MacroEditor::CancelMacro);
    const std::array<std::pair<std::string_view, ActionMove>, 4> moves{{
        {"macro_btn_up", ActionMove::Up},
        {"macro_btn_down", ActionMove::Down},
        {"macro_btn_uptop", ActionMove::Top},
        {"macro_btn_downbottom", ActionMove::Bottom},
    }};
    for (const auto& [suffix, where] : moves) {
        on(ui::notify::kClick, suffix,
           [where](MacroEditor& e, ui::Control&) { e.MoveAction(where); });
    }
    on(ui::notify::kItemSelect, "MacroName_list",
       [](MacroEditor& e, ui::Control&) { e.SelectMacro(); });
    on(ui::notify::kItemClick, "Macro_list", [](MacroEditor& e, ui::Control&) { e.ClickAction(); });
    on(ui::notify::kItemSelect, "macro_combo_keyselect",
       [](MacroEditor& e, ui::Control& s) { e.ChooseKey(s.currentItem()); });
    on(ui::notify::kItemSelect, "macro_combo_upordown",
       [](MacroEditor& e, ui::Control& s) { e.ChooseDirection(s.currentItem()); });
    on(ui::notify::kItemSelect, "macro_combo_mouselect",
       [](MacroEditor& e, ui::Control& s) { e.ChooseMouseEvent(s.currentItem()); });
    for (const std::string_view delay :
         {"_macro_edit_ActionDelay", "_macro_edit_mou_action_delay"}) {
        on(ui::notify::kTextChanged, delay,
           [](MacroEditor& e, ui::Control& s) { e.DelayChanged(s); });
    }
    on(ui::notify::kTextChanged, "macro_edit_mou_pointer_skewing",
       [](MacroEditor& e, ui::Control& s) { e.DistanceChanged(s); });
    on(ui::notify::kSelectChanged, "macro_btn_shubiao",
       [](MacroEditor& e, ui::Control&) { e.ShowMouseEventPanel(); });
    for (std::size_t i = 0; i < kInsertButtonStems.size(); ++i) {
        const auto button = static_cast<InsertButton>(i);
        const std::string stem = "macro_inset_" + std::string(kInsertButtonStems[i]);
        on(ui::notify::kClick, stem + "_btn",
           [button](MacroEditor& e, ui::Control&) { e.ShowInsertPanel(button); });
        on(ui::notify::kClick, stem + "down_btn",
           [button](MacroEditor& e, ui::Control&) { e.InsertClick(button, true); });
        on(ui::notify::kClick, stem + "up_btn",
           [button](MacroEditor& e, ui::Control&) { e.InsertClick(button, false); });
    }
    for (std::size_t i = 0; i < kInsertMoveStems.size(); ++i) {
        const auto move = static_cast<InsertMove>(i);
        on(ui::notify::kClick, "macro_inset_" + std::string(kInsertMoveStems[i]) + "_btn",
           [move](MacroEditor& e, ui::Control&) { e.InsertPointerMove(move); });
        on(ui::notify::kTextChanged, kInsertMoveEdits[i],
           [](MacroEditor& e, ui::Control& s) { e.InsertDistanceChanged(s); });
    }
}

}  // namespace

void InstallMacroEditors(app::MainWindow& main) {
    auto editors = std::make_shared<Editors>(main);
    routeEditor(main, editors, &Editors::keyboard);
    routeEditor(main, editors, &Editors::mouse);
    app::NotificationRouter& router = main.router();
    for (const std::string_view page : kKeyboardPages) {
        router.onName(ui::notify::kSelectChanged, std::string(page),
                      [editors](ui::Control& s) { editors->keyboard.OptionPageChosen(s); });
    }
    for (const std::string_view page : kMousePages) {
        router.onName(ui::notify::kSelectChanged, std::string(page),
                      [editors](ui::Control& s) { editors->mouse.OptionPageChosen(s); });
    }
    main.addPageInitialiser([editors] {
        editors->keyboard.LoadMacroPage();
        editors->mouse.LoadMacroPage();
    });
}

}  // namespace korvane::macros
