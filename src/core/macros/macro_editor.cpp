#include "core/macros/macro_editor.h"

#include <algorithm>

#include "core/app/main_window.h"
#include "core/keys/key_code_table.h"
#include "core/keys/key_labels.h"
#include "core/keys/stored_key_tables.h"
#include "core/macros/action_list_item.h"
#include "core/macros/edit_numbers.h"
#include "core/macros/input_capture.h"
#include "core/macros/macro_bindings.h"
#include "core/macros/macro_names.h"
#include "core/platform/debug_line.h"
#include "core/platform/file_names.h"
#include "core/platform/text.h"

namespace korvane::macros {
namespace {

constexpr std::string_view kPendingMessage = "message_text_3";
constexpr std::string_view kConfirmDeleteMessage = "message_text_4";
constexpr std::string_view kBoundMacroMessage = "message_text_2";
constexpr std::string_view kDuplicateNameMessage = "message_text_5";
constexpr std::string_view kTooManyMacrosMessage = "message_text_17";
constexpr std::string_view kFailedMessage = "message_text_10";
constexpr std::string_view kStartCaption = "macro_btn_star_redio_text";
constexpr std::string_view kStopCaption = "macro_btn_stop_redio_text";
constexpr int kConfirmed = 1;

constexpr int kNoEditPage = 0;
constexpr int kKeyEditPage = 1;
constexpr int kMouseEditPage = 2;
// Inserted mouse events wait 50 ms.
constexpr std::uint16_t kInsertedDelayCount = 5;

// Controls that edit a macro; only the add button works while there is none.
constexpr std::array<std::string_view, 28> kEditingControls{
    "macro_btn_name_sub",
    "macro_edit_macroname",
    "macro_btn_savemacroname",
    "macro_btn_redio",
    "macro_keyboard_event",
    "macro_mouse_click",
    "macro_mouse_roller",
    "macro_mouse_move",
    "macro_check_time",
    "macro_btn_up",
    "macro_btn_down",
    "macro_btn_uptop",
    "macro_btn_downbottom",
    "macro_btn_delete",
    "macro_btn_deleteall",
    "macro_btn_save",
    "macro_btn_cancel",
    "tab_macro_edit",
    "Macro_list",
    "macro_btn_shubiao",
    "MacroMouseEvent",
    "macro_inset_leftkey_btn",
    "macro_inset_rightkey_btn",
    "macro_inset_moudlekey_btn",
    "macro_inset_forwardkey_btn",
    "macro_inset_backkey_btn",
    "macro_combo_keyselect",
    "macro_combo_mouselect",
};
constexpr std::array<std::string_view, 5> kRecordingOptions{
    "macro_keyboard_event", "macro_mouse_click", "macro_mouse_roller", "macro_mouse_move",
    "macro_check_time"};
constexpr std::array<std::string_view, 6> kListButtons{"macro_btn_up",     "macro_btn_down",
                                                       "macro_btn_uptop",  "macro_btn_downbottom",
                                                       "macro_btn_delete", "macro_btn_deleteall"};

keys::KeyClass keyClassOf(MacroClass macroClass) {
    return macroClass == MacroClass::Keyboard ? keys::KeyClass::Keyboard : keys::KeyClass::Mouse;
}

// The key combo row of an action: the first ordinary key whose usage (kind 0x0A) or
// modifier bit (kind 0x09) is the action's code.
std::optional<int> keyRowOf(const MacroAction& action) {
    for (std::size_t row = 0; row < keys::kMacroKeyRows; ++row) {
        const keys::KeyFunction& f = keys::kKeyCodeTable[row].function;
        const bool usage = f.p2 != 0;
        if ((action.eventKind() == kKindKeyboardKey && usage && f.p2 == action.code) ||
            (action.eventKind() == kKindModifierKey && !usage && f.p1 == action.code)) {
            return static_cast<int>(row);
        }
    }
    return std::nullopt;
}

// The mouse combo row of an action: the first click with its kind and code, or its move.
std::optional<int> mouseChoiceOf(const MacroAction& action) {
    if (action.isMove()) {
        for (int i = kFirstMoveChoice; i < static_cast<int>(kMouseEventChoices.size()); ++i) {
            if (kMouseEventChoices[static_cast<std::size_t>(i)].kind == action.kind) {
                return i;
            }
        }
        return std::nullopt;
    }
    for (int i = 0; i < kFirstMoveChoice; ++i) {
        const MouseEventChoice& c = kMouseEventChoices[static_cast<std::size_t>(i)];
        if (c.kind == action.kind && c.code == action.code) {
            return i;
        }
    }
    return std::nullopt;
}

}  // namespace

MacroEditor::MacroEditor(app::MainWindow& main, MacroClass macroClass)
    : main_(main), class_(macroClass), prefix_(macroClass == MacroClass::Keyboard ? "kb_" : "ms_") {
    main_.inputCapture().recording(class_).setOnRecorded(
        [this](const RecordedStep& step) { recorded(step); });
}

std::string MacroEditor::control(std::string_view suffix) const {
    return prefix_ + std::string(suffix);
}

ui::Control* MacroEditor::find(std::string_view suffix) const {
    return main_.tree().find(control(suffix));
}

std::vector<std::string> MacroEditor::nameList() const {
    std::vector<std::string> out;
    if (const ui::Control* list = names()) {
        for (const ui::ListItem& item : list->items()) {
            out.push_back(item.text);
        }
    }
    return out;
}

std::vector<std::string> MacroEditor::actionTexts() const {
    std::vector<std::string> out;
    if (const ui::Control* list = actions()) {
        for (const ui::ListItem& item : list->items()) {
            out.push_back(item.data);
        }
    }
    return out;
}

int MacroEditor::actionCount() const {
    const ui::Control* list = actions();
    return list != nullptr ? static_cast<int>(list->items().size()) : 0;
}

int MacroEditor::selectedAction() const {
    const ui::Control* list = actions();
    return list != nullptr ? list->currentItem() : -1;
}

std::optional<MacroAction> MacroEditor::selectedParsed() const {
    const int index = selectedAction();
    if (index < 0 || index >= actionCount()) {
        return std::nullopt;
    }
    return ParseAction(actions()->items()[static_cast<std::size_t>(index)].data);
}

void MacroEditor::setAction(int index, const MacroAction& action) {
    if (ui::Control* list = actions()) {
        list->setItem(index, ActionListItem(action));
    }
}

void MacroEditor::insertAction(int index, const MacroAction& action) {
    if (ui::Control* list = actions()) {
        list->insertItem(index, ActionListItem(action));
    }
}

bool MacroEditor::recordingNow() const {
    return main_.inputCapture().recording(class_).recording();
}

void MacroEditor::setPending(bool pending) {
    pending_ = pending;
    if (ui::Control* panel = find("macro_tab_saveorcancel")) {
        panel->setVisible(pending);
    }
    if (ui::Control* list = names()) {
        list->setEnabled(!pending);
    }
}

void MacroEditor::setEditPage(int page) {
    if (ui::Control* tab = find("tab_macro_edit")) {
        tab->setPage(page);
    }
}

void MacroEditor::setEditingEnabled(bool enabled) {
    for (const std::string_view name : kEditingControls) {
        if (ui::Control* c = find(name)) {
            c->setEnabled(enabled);
        }
    }
}

void MacroEditor::loadActions() {
    ui::Control* list = actions();
    if (list == nullptr) {
        return;
    }
    list->clearItems();
    if (!current_) {
        return;
    }
    const std::vector<std::string> all = nameList();
    if (*current_ >= all.size()) {
        return;
    }
    for (const std::string& text : store().ReadMacro(all[*current_])) {
        list->addItem(ActionListItem(text));
    }
}

void MacroEditor::showMacro(std::size_t index) {
    current_ = index;
    const std::vector<std::string> all = nameList();
    if (ui::Control* edit = find("macro_edit_macroname"); edit != nullptr && index < all.size()) {
        edit->setText(all[index]);
    }
    loadActions();
    setEditPage(kNoEditPage);
    if (ui::Control* list = actions()) {
        list->selectItem(-1);
    }
}

void MacroEditor::refreshKeys(bool bindingsChanged) {
    const keys::KeyClass keyClass = keyClassOf(class_);
    keys::RefreshMacroChoices(main_, keyClass);
    if (bindingsChanged) {
        keys::RefreshKeyLabels(main_, keyClass);
    }
}

void MacroEditor::LoadMacroPage() {
    const std::vector<std::string> all = store().ReadMacroList();
    if (ui::Control* list = names()) {
        list->clearItems();
        for (const std::string& name : all) {
            list->addItem({name, name});
        }
    }
    keys::RefreshMacroChoices(main_, keyClassOf(class_));
    if (ui::Control* combo = find("macro_combo_keyselect")) {
        combo->clearItems();
        for (std::size_t row = 0; row < keys::kMacroKeyRows; ++row) {
            combo->addItem({std::string(keys::kKeyCodeTable[row].textId), {}});
        }
    }
    setPending(false);
    if (all.empty()) {
        current_.reset();
        loadActions();
        setEditingEnabled(false);
        return;
    }
    setEditingEnabled(true);
    const std::size_t last = all.size() - 1;
    names()->selectItem(static_cast<int>(last));
    showMacro(last);
}

void MacroEditor::AddMacro() {
    if (pending_) {
        main_.showMessage(kPendingMessage);
        return;
    }
    std::vector<std::string> all = nameList();
    if (all.size() >= kMaxMacros) {
        main_.dialogs().showMessageNumber(kTooManyMacrosMessage,
                                          static_cast<long long>(kMaxMacros));
        return;
    }
    const std::string name = NextMacroName(all);
    MacroStore macros = store();
    if (!macros.WriteLastMacroName(all.size(), name)) {
        platform::debugLine("macro list not written");
        main_.showMessage(kFailedMessage);
        return;
    }
    all.push_back(name);
    if (ui::Control* list = names()) {
        list->addItem({name, name});
        list->selectItem(static_cast<int>(all.size() - 1));
    }
    showMacro(all.size() - 1);
    refreshKeys(false);
    setEditingEnabled(true);
}

void MacroEditor::DeleteMacro() {
    const ui::Control* list = names();
    if (list == nullptr || list->currentItem() < 0 || !current_) {
        return;
    }
    if (pending_) {
        main_.showMessage(kPendingMessage);
        return;
    }
    const std::size_t deleted = *current_;
    std::vector<std::string> all = nameList();
    if (deleted >= all.size()) {
        return;
    }

    keys::StoredKeyTables stored(keyClassOf(class_), main_.stores());
    app::DeviceStores& stores = main_.stores();
    BindingTables bindings = class_ == MacroClass::Mouse
                                 ? BindingTables{stores.mouseTables, keys::kMouseButtons}
                                 : BindingTables{{&stores.keyboardTable, 1}, stored.keyCount()};
    if (AnyKeyRunsMacro(bindings, deleted) && main_.showMessage(kBoundMacroMessage) != kConfirmed) {
        return;
    }
    if (main_.showMessage(kConfirmDeleteMessage) != kConfirmed) {
        return;
    }

    const std::string name = all[deleted];
    all.erase(all.begin() + static_cast<std::ptrdiff_t>(deleted));
    MacroStore macros = store();
    // The list is written first: when it cannot be, nothing else changes either.
    if (!macros.RewriteMacroList(all)) {
        platform::debugLine("macro list not rewritten");
        main_.showMessage(kFailedMessage);
        return;
    }
    RenumberMacroBindings(bindings, deleted,
                          [&stored](int key) { return stored.defaultRecord(key); });
    // A list whose names repeat shares one file between them: it stays for the others.
    if (!FindMacroName(all, name)) {
        macros.DeleteMacroFile(name);
    }
    if (ui::Control* nameControl = names()) {
        nameControl->removeItem(static_cast<int>(deleted));
    }
    refreshKeys(true);
    if (ui::Control* combo = main_.tree().find(control("key_fct_combo_23"))) {
        combo->selectItem(all.empty() ? -1 : 0);
    }
    if (all.empty()) {
        current_.reset();
        names()->selectItem(-1);
        loadActions();
        if (ui::Control* edit = find("macro_edit_macroname")) {
            edit->setText({});
        }
        setEditingEnabled(false);
        return;
    }
    names()->selectItem(0);
    showMacro(0);
}

void MacroEditor::RenameMacro() {
    if (renaming_ || !current_) {
        return;
    }
    renaming_ = true;
    struct Guard {
        bool& flag;
        ~Guard() { flag = false; }
    } guard{renaming_};

    std::vector<std::string> all = nameList();
    ui::Control* edit = find("macro_edit_macroname");
    const std::size_t index = *current_;
    if (edit == nullptr || index >= all.size()) {
        return;
    }
    const std::string old = all[index];
    const std::string wanted = edit->text();
    if (platform::equalsIgnoreCase(wanted, old)) {
        return;
    }
    if (FindMacroName(all, wanted, index)) {
        main_.showMessage(kDuplicateNameMessage);
        edit->setText(old);
        return;
    }
    const auto refuse = [&] {
        platform::debugLine("macro not renamed: " + wanted);
        main_.showMessage(kMacroNameUnusableMessage);
        edit->setText(old);
    };
    if (!platform::isSafeFileName(wanted)) {
        refuse();
        return;
    }
    MacroStore macros = store();
    const std::vector<std::string> texts = actionTexts();
    all[index] = wanted;
    // The old file moves to the new name, unless another macro of the same name (a list
    // whose names repeat) still needs it, or the old name never could be a file.
    const bool shared = FindMacroName(all, old).has_value();
    bool moved = false;
    if (!shared && macros.WriteMacro(old, texts)) {
        moved = macros.RenameMacroFile(old, wanted);
    } else {
        moved = macros.WriteMacro(wanted, texts);
    }
    if (!moved || !macros.WriteMacroName(index, wanted)) {
        if (moved && !shared) {
            macros.RenameMacroFile(wanted, old);
        }
        refuse();
        return;
    }
    if (ui::Control* list = names()) {
        list->setItem(static_cast<int>(index), {wanted, wanted});
    }
    refreshKeys(true);
}

void MacroEditor::SelectMacro() {
    ui::Control* list = names();
    if (list == nullptr || list->currentItem() < 0) {
        return;
    }
    if (pending_) {
        main_.showMessage(kConfirmDeleteMessage);
        // The list keeps showing the macro whose actions are being edited, so that a save
        // cannot write them into another macro.
        list->selectItem(current_ ? static_cast<int>(*current_) : -1);
        return;
    }
    showMacro(static_cast<std::size_t>(list->currentItem()));
}

void MacroEditor::setRecordingControls(bool recording) {
    for (const std::string_view name : kRecordingOptions) {
        if (ui::Control* c = find(name)) {
            c->setEnabled(!recording);
        }
    }
    for (const std::string_view name : kListButtons) {
        if (ui::Control* c = find(name)) {
            c->setEnabled(!recording);
        }
    }
    for (const std::string_view name : {"Macro_list", "macro_btn_save"}) {
        if (ui::Control* c = find(name)) {
            c->setEnabled(!recording);
        }
    }
    if (recording) {
        if (ui::Control* list = names()) {
            list->setEnabled(false);
        }
    }
    if (ui::Control* button = find("macro_btn_redio")) {
        button->setText(std::string(recording ? kStopCaption : kStartCaption));
    }
}

void MacroEditor::stopRecording() {
    MacroRecording& recording = main_.inputCapture().recording(class_);
    if (recording.recording()) {
        recording.StopRecording();
        setRecordingControls(false);
    }
}

void MacroEditor::ToggleRecording() {
    if (!current_) {
        return;
    }
    MacroRecording& recording = main_.inputCapture().recording(class_);
    if (recording.recording()) {
        setPending(true);
        setEditPage(kNoEditPage);
        stopRecording();
        return;
    }
    // The recording continues the list as it stands.
    std::vector<MacroAction>& recorded = recording.actions();
    recorded.clear();
    for (const std::string& text : actionTexts()) {
        recorded.push_back(ParseAction(text).value_or(MacroAction{}));
    }
    const CaptureStart start = recording.StartRecording(RecordingOptionsFrom(main_.tree(), class_));
    if (start != CaptureStart::Started) {
        main_.showMessage(CaptureStartMessage(start));
        return;
    }
    setPending(true);
    setEditPage(kNoEditPage);
    setRecordingControls(true);
}

void MacroEditor::recorded(const RecordedStep& step) {
    const std::vector<MacroAction>& recorded = main_.inputCapture().recording(class_).actions();
    if (step.appended >= recorded.size()) {
        return;
    }
    if (step.delayed && *step.delayed < recorded.size() &&
        static_cast<int>(*step.delayed) < actionCount() &&
        ParseAction(actions()->items()[*step.delayed].data)) {
        setAction(static_cast<int>(*step.delayed), recorded[*step.delayed]);
    }
    insertAction(std::min(static_cast<int>(step.appended), actionCount()), recorded[step.appended]);
}

void MacroEditor::ShowMouseEventPanel() {
    const ui::Control* option = find("macro_btn_shubiao");
    const bool events = option != nullptr && option->selected();
    if (ui::Control* panel = find("MacroMouseEvent")) {
        panel->setVisible(events);
    }
    if (ui::Control* panel = find("MacroName")) {
        panel->setVisible(!events);
    }
}

void MacroEditor::ShowInsertPanel(InsertButton button) {
    for (std::size_t i = 0; i < kInsertButtonStems.size(); ++i) {
        if (ui::Control* panel =
                find("macro_inset_" + std::string(kInsertButtonStems[i]) + "_tab")) {
            panel->setVisible(i == static_cast<std::size_t>(button));
        }
    }
}

void MacroEditor::InsertClick(InsertButton button, bool press) {
    insertNew(MakeMouseButton(kInsertButtonCodes[static_cast<std::size_t>(button)], press));
}

void MacroEditor::InsertPointerMove(InsertMove move) {
    ui::Control* edit = find(kInsertMoveEdits[static_cast<std::size_t>(move)]);
    const auto distance =
        static_cast<std::uint8_t>(edit != nullptr ? BoundedEdit(*edit, kMaxMoveDistance) : 0);
    insertNew(move == InsertMove::Left || move == InsertMove::Right
                  ? MakeHorizontalMove(move == InsertMove::Left, distance)
                  : MakeVerticalMove(move == InsertMove::Up, distance));
}

void MacroEditor::insertNew(MacroAction action) {
    // Inserting during a recording would put the list and the recorder out of step.
    if (!current_ || recordingNow() || actions() == nullptr) {
        return;
    }
    action.setDelayCount(kInsertedDelayCount);
    const int at = std::clamp(selectedAction(), 0, actionCount());
    insertAction(at, action);
    actions()->selectItem(at);
    setPending(true);
}

void MacroEditor::InsertDistanceChanged(ui::Control& edit) {
    BoundedEdit(edit, kMaxMoveDistance);
}

void MacroEditor::showSelectedActionEditor() {
    const auto action = selectedParsed();
    if (!action) {
        setEditPage(kNoEditPage);
        return;
    }
    if (action->isMouseEvent()) {
        setEditPage(kMouseEditPage);
        if (ui::Control* combo = find("macro_combo_mouselect")) {
            combo->selectItem(mouseChoiceOf(*action).value_or(-1));
        }
        if (ui::Control* page = find("macro_tab_mou_pointer_skewing")) {
            page->setVisible(action->isMove());
        }
        if (action->isMove()) {
            if (ui::Control* edit = find("macro_edit_mou_pointer_skewing")) {
                edit->setText(std::to_string(action->code));
            }
        }
        if (ui::Control* edit = find("_macro_edit_mou_action_delay")) {
            edit->setText(std::to_string(action->delayCount()));
        }
        return;
    }
    setEditPage(kKeyEditPage);
    if (ui::Control* combo = find("macro_combo_keyselect")) {
        combo->selectItem(keyRowOf(*action).value_or(-1));
    }
    if (ui::Control* combo = find("macro_combo_upordown")) {
        combo->selectItem(action->down != 0 ? 1 : 0);
    }
    if (ui::Control* edit = find("_macro_edit_ActionDelay")) {
        edit->setText(std::to_string(action->delayCount()));
    }
}

void MacroEditor::ClickAction() {
    if (recordingNow()) {
        return;
    }
    if (ui::Control* list = names()) {
        list->setEnabled(false);
    }
    if (!nameList().empty()) {
        setPending(true);
    }
    showSelectedActionEditor();
}

void MacroEditor::ChooseKey(int row) {
    auto action = selectedParsed();
    if (!action || recordingNow() || row < 0 || row >= static_cast<int>(keys::kMacroKeyRows)) {
        return;
    }
    const keys::KeyCodeRow& key = keys::kKeyCodeTable[static_cast<std::size_t>(row)];
    const std::uint8_t press = action->down != 0 ? kKindPressBit : 0;
    if (key.function.p2 != 0) {
        action->kind = press | kKindKeyboardKey;
        action->code = key.function.p2;
    } else {
        action->kind = press | kKindModifierKey;
        action->code = key.function.p1;
    }
    action->name = std::string(key.textId);
    setAction(selectedAction(), *action);
    setPending(true);
}

void MacroEditor::ChooseDirection(int index) {
    auto action = selectedParsed();
    if (!action || recordingNow() || index < 0 || index > 1) {
        return;
    }
    action->down = static_cast<std::uint8_t>(index);
    action->kind = static_cast<std::uint8_t>((action->kind & 0x7F) | (index != 0 ? 0x80 : 0));
    setAction(selectedAction(), *action);
    setPending(true);
}

void MacroEditor::ChooseMouseEvent(int index) {
    auto action = selectedParsed();
    if (!action || recordingNow() || index < 0 ||
        index >= static_cast<int>(kMouseEventChoices.size())) {
        return;
    }
    const MouseEventChoice& choice = kMouseEventChoices[static_cast<std::size_t>(index)];
    const bool move = index >= kFirstMoveChoice;
    if (!move) {
        action->code = choice.code;
    } else if (!action->isMove()) {
        action->code = 0;
    }
    action->kind = choice.kind;
    action->name = std::string(choice.name);
    action->down = action->isPress() ? 1 : 0;
    if (ui::Control* page = find("macro_tab_mou_pointer_skewing")) {
        page->setVisible(move);
    }
    if (move) {
        if (ui::Control* edit = find("macro_edit_mou_pointer_skewing")) {
            edit->setText(std::to_string(action->code));
        }
    }
    setAction(selectedAction(), *action);
    setPending(true);
}

void MacroEditor::DelayChanged(ui::Control& edit) {
    const long value = BoundedEdit(edit, kMaxDelayCount);
    auto action = selectedParsed();
    if (!action || recordingNow()) {
        return;
    }
    action->setDelayCount(static_cast<std::uint16_t>(value));
    setAction(selectedAction(), *action);
    setPending(true);
}

void MacroEditor::DistanceChanged(ui::Control& edit) {
    const long value = BoundedEdit(edit, kMaxMoveDistance);
    auto action = selectedParsed();
    if (!action || recordingNow()) {
        return;
    }
    action->code = static_cast<std::uint8_t>(value);
    setAction(selectedAction(), *action);
    setPending(true);
}

void MacroEditor::MoveAction(ActionMove where) {
    ui::Control* list = actions();
    const int from = selectedAction();
    const int count = actionCount();
    if (list == nullptr || from < 0 || from >= count || recordingNow()) {
        return;
    }
    int to = from;
    switch (where) {
        case ActionMove::Up:
            to = from > 0 ? from - 1 : from;
            break;
        case ActionMove::Down:
            to = from + 1 < count ? from + 1 : from;
            break;
        case ActionMove::Top:
            to = 0;
            break;
        case ActionMove::Bottom:
            to = count - 1;
            break;
    }
    if (to != from) {
        list->moveItem(from, to);
    }
    setPending(!nameList().empty());
}

void MacroEditor::DeleteAction() {
    ui::Control* list = actions();
    const int index = selectedAction();
    if (list == nullptr || index < 0 || recordingNow()) {
        return;
    }
    list->removeItem(index);
    list->selectItem(-1);
    setEditPage(kNoEditPage);
    setPending(!nameList().empty());
}

void MacroEditor::DeleteAllActions() {
    ui::Control* list = actions();
    if (list == nullptr || recordingNow()) {
        return;
    }
    list->clearItems();
    setEditPage(kNoEditPage);
    setPending(!nameList().empty());
}

void MacroEditor::SaveMacro() {
    stopRecording();
    const std::vector<std::string> all = nameList();
    if (!current_ || *current_ >= all.size()) {
        return;
    }
    MacroStore macros = store();
    const bool written = macros.WriteLastMacroName(all.size() - 1, all.back()) &&
                         macros.WriteMacro(all[*current_], actionTexts());
    if (!written) {
        // The edit stays pending, so nothing the user did is lost.
        platform::debugLine("macro not saved: " + all[*current_]);
        main_.showMessage(kFailedMessage);
        return;
    }
    setPending(false);
    setEditPage(kNoEditPage);
    if (ui::Control* button = find("macro_btn_name_sub")) {
        button->setEnabled(true);
    }
}

void MacroEditor::CancelMacro() {
    stopRecording();
    setPending(false);
    setEditPage(kNoEditPage);
    if (ui::Control* button = find("macro_btn_name_sub")) {
        button->setEnabled(true);
    }
    if (ui::Control* list = actions()) {
        list->clearItems();
    }
    if (store().ReadMacroCount() == nameList().size()) {
        loadActions();
    }
}

void MacroEditor::OptionPageChosen(ui::Control& option) {
    if (!pending_ || !option.selected() || option.name() == control("macro_Op_tab")) {
        return;
    }
    if (ui::Control* page = find("macro_Op_tab")) {
        page->setSelected(true);
    }
    main_.showMessage(kPendingMessage);
}

}  // namespace korvane::macros
