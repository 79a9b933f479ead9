#include "core/keys/key_editor.h"

#include <algorithm>
#include <array>

#include "core/app/main_window.h"
#include "core/keys/choice_lists.h"
#include "core/keys/key_code_table.h"
#include "core/keys/key_labels.h"
#include "core/keys/scroll_parameters.h"
#include "core/keys/stored_key_tables.h"
#include "core/platform/text.h"

namespace korvane::keys {
namespace {

namespace T = KeyFunctionType;

constexpr std::string_view kPanel = "tab_function";
constexpr std::string_view kClassCombo = "key_fct_combo";
constexpr std::string_view kButtonCombo = "key_fct_combo_11";
constexpr std::string_view kHorizontalDirection = "key_fct_combo_12";
constexpr std::string_view kVerticalDirection = "key_fct_combo_13";
constexpr std::string_view kDpiCombo = "key_fct_combo_14";
constexpr std::string_view kConsumerCombo = "key_fct_combo_21";
constexpr std::string_view kSystemCombo = "key_fct_combo_22";
constexpr std::string_view kMacroCombo = "key_fct_combo_23";
constexpr std::string_view kRunModeCombo = "key_fct_combo_24";
constexpr std::string_view kGunCombo = "key_fct_combo_25";
constexpr std::string_view kFireFirst = "key_fct_edit_11";
constexpr std::string_view kFireSecond = "key_fct_edit_12";
constexpr std::string_view kHorizontalAmount = "key_fct_edit_15";
constexpr std::string_view kVerticalAmount = "key_fct_edit_16";
constexpr std::string_view kHorizontalHigh = "key_fct_edit_17";
constexpr std::string_view kVerticalHigh = "key_fct_edit_18";
constexpr std::string_view kVerticalLow = "key_fct_edit_19";
constexpr std::string_view kHorizontalLow = "key_fct_edit_20";
constexpr std::string_view kCaptureBox = "key_fct_edit_21";
constexpr std::string_view kRepeatCount = "key_fct_edit_25";
constexpr std::string_view kRepeatPage = "tab_function_26";

// Run mode index 4 of the macro class is a repeat count (type 0x71) instead of a mode.
constexpr int kRepeatMode = 4;
// The records the left-click rule looks at.
constexpr int kLeftClickRecords = 9;

// The bounds the parameter edits keep. The first fire parameter of the mouse takes the whole
// byte, as the keyboard's does.
struct EditBound {
    std::string_view suffix;
    int minimum;
    int maximum;
};
constexpr std::array<EditBound, 9> kEditBounds{{
    {kFireFirst, 0, 255},
    {kFireSecond, 1, 255},
    {kHorizontalAmount, 0, 127},
    {kVerticalAmount, 0, 127},
    {kHorizontalHigh, 0, 15},
    {kVerticalHigh, 0, 15},
    {kVerticalLow, 0, 15},
    {kHorizontalLow, 0, 15},
    {kRepeatCount, 0, 255},
}};

std::size_t classCount(KeyClass keyClass) {
    return classOrder(keyClass).size();
}

std::size_t classIndex(KeyClass keyClass, std::uint8_t type) {
    return classIndexOfType(keyClass, type).value_or(0);
}

// The ordinary key (rows 0..103) with the record's parameters.
std::optional<std::size_t> ordinaryKeyRow(std::uint8_t p1, std::uint8_t p2) {
    for (std::size_t i = 0; i < kMacroKeyRows; ++i) {
        if (kKeyCodeTable[i].function.p1 == p1 && kKeyCodeTable[i].function.p2 == p2) {
            return i;
        }
    }
    return std::nullopt;
}

// What the capture box shows for a KeyboardKey record: the key's text, or its modifiers and
// key joined by " + " (records from files and devices may combine them); none for a usage
// the key code table does not have.
std::optional<std::string> keyboardKeyText(const KeyFunction& f, const ui::LanguageHost& language) {
    if (const auto row = ordinaryKeyRow(f.p1, f.p2)) {
        return language.translate(kKeyCodeTable[*row].textId);
    }
    if (f.p1 == 0) {
        return std::nullopt;
    }
    std::string text;
    const auto add = [&](std::string_view id) {
        text += text.empty() ? "" : " + ";
        text += language.translate(id);
    };
    for (std::size_t bit = 0; bit < 8; ++bit) {
        if ((f.p1 & (1u << bit)) != 0) {
            add(kKeyCodeTable[bit].textId);
        }
    }
    if (f.p2 != 0) {
        const auto key = ordinaryKeyRow(0, f.p2);
        if (!key) {
            return std::nullopt;
        }
        add(kKeyCodeTable[*key].textId);
    }
    return text;
}

}  // namespace

KeyAssignmentEditor::KeyAssignmentEditor(app::MainWindow& main, KeyClass keyClass)
    : main_(main), class_(keyClass), prefix_(keyClass == KeyClass::Keyboard ? "kb_" : "ms_") {}

std::string KeyAssignmentEditor::control(std::string_view suffix) const {
    return prefix_ + std::string(suffix);
}

macros::CaptureMode KeyAssignmentEditor::captureMode() const {
    return class_ == KeyClass::Keyboard ? macros::CaptureMode::KeyboardSingleKey
                                        : macros::CaptureMode::MouseSingleKey;
}

void KeyAssignmentEditor::SelectKey(int key) {
    StoredKeyTables tables(class_, main_.stores());
    if (!tables.validKey(key)) {
        return;
    }
    key_ = key;
    ShowKeyFunction();
}

void KeyAssignmentEditor::SelectPosition(int position) {
    if (ui::Control* panel = main_.tree().find(control(kPanel))) {
        panel->setVisible(true);
        panel->setEnabled(true);
    }
    StoredKeyTables tables(class_, main_.stores());
    const auto record = tables.recordForPosition(position);
    if (!record) {
        return;
    }
    selectPictureKey(position);
    SelectKey(*record);
}

void KeyAssignmentEditor::selectPictureKey(std::optional<int> position) {
    ui::ControlTree& tree = main_.tree();
    if (ui::Control* previous = tree.find(selectedPicture_)) {
        previous->setSelected(false);
    }
    selectedPicture_.clear();
    if (!position) {
        return;
    }
    if (ui::Control* key =
            tree.findIndexed(KeyPicturePrefix(main_.kinds().keyboardKind.load()), *position)) {
        key->setSelected(true);
        selectedPicture_ = key->name();
    }
}

void KeyAssignmentEditor::ShowKeyFunction() {
    StoredKeyTables tables(class_, main_.stores());
    if (!key_ || !tables.validKey(*key_)) {
        return;
    }
    const int key = *key_;
    const KeyFunction record = tables.record(key);
    ui::ControlTree& tree = main_.tree();
    ui::Control* panel = tree.find(control(kPanel));
    if (class_ == KeyClass::Mouse && record == kLeftClick) {
        bool another = false;
        for (int r = 0; r < kLeftClickRecords; ++r) {
            another = another || (r != key && recordAt(tables.liveTable(), r) == kLeftClick);
        }
        if (!another) {
            // The mouse must keep one left click.
            endOwnCapture();
            main_.showMessage("message_text_6");
            if (panel != nullptr) {
                panel->setVisible(false);
            }
            return;
        }
    }
    if (panel != nullptr) {
        panel->setVisible(true);
        panel->setEnabled(true);
    }
    RefreshMacroChoices();
    const std::uint8_t type = tables.isDefault(key) ? T::kFactoryDefault : record.type;
    std::optional<std::size_t> shown;
    switch (type) {
        case T::kMouseButton:
        case T::kDpiControl:
        case T::kConsumerKey:
        case T::kSystemKey: {
            const auto [combo, choices] =
                type == T::kMouseButton
                    ? std::pair{kButtonCombo, std::span<const KeyChoice>(kButtonChoices)}
                : type == T::kDpiControl
                    ? std::pair{kDpiCombo, std::span<const KeyChoice>(kDpiChoices)}
                : type == T::kConsumerKey
                    ? std::pair{kConsumerCombo, std::span<const KeyChoice>(kConsumerChoices)}
                    : std::pair{kSystemCombo, std::span<const KeyChoice>(kSystemChoices)};
            if (const auto item = findChoice(choices, record)) {
                selectItem(combo, static_cast<int>(*item));
                shown = classIndex(class_, type);
            }
            break;
        }
        case T::kHorizontalScroll:
        case T::kVerticalScroll: {
            const ScrollSetting s = decodeScroll(record);
            const bool horizontal = type == T::kHorizontalScroll;
            setEdit(horizontal ? kHorizontalHigh : kVerticalHigh, s.highNibble);
            setEdit(horizontal ? kHorizontalLow : kVerticalLow, s.lowNibble);
            setEdit(horizontal ? kHorizontalAmount : kVerticalAmount, s.amount);
            selectItem(horizontal ? kHorizontalDirection : kVerticalDirection, s.direction);
            shown = classIndex(class_, type);
            break;
        }
        case T::kFireKey:
            setEdit(kFireFirst, record.p1);
            setEdit(kFireSecond, record.p2);
            shown = classIndex(class_, type);
            break;
        case T::kKeyboardKey:
            if (const auto text = keyboardKeyText(record, main_.language())) {
                if (ui::Control* box = tree.find(control(kCaptureBox))) {
                    box->setText(*text);
                }
                captured_ = record;
                shown = classIndex(class_, type);
            }
            break;
        case T::kMacroRun:
        case T::kMacroRepeat: {
            if (type == T::kMacroRun && record.p2 >= kRepeatMode) {
                break;
            }
            const ui::Control* macros = tree.find(control(kMacroCombo));
            const bool known =
                macros != nullptr && record.p1 < static_cast<int>(macros->items().size());
            selectItem(kMacroCombo, known ? record.p1 : -1);
            if (type == T::kMacroRun) {
                selectItem(kRunModeCombo, known ? record.p2 : -1);
            } else {
                selectItem(kRunModeCombo, kRepeatMode);
                setEdit(kRepeatCount, record.p2);
            }
            if (ui::Control* repeat = tree.find(control(kRepeatPage))) {
                repeat->setVisible(type == T::kMacroRepeat);
            }
            shown = classIndex(class_, T::kMacroRun);
            break;
        }
        case T::kGunSequence:
            if (class_ == KeyClass::Mouse && record.p1 < kGunChoices.size()) {
                selectItem(kGunCombo, record.p1);
                shown = classIndex(class_, type);
            }
            break;
        default:
            break;
    }
    if (type != T::kKeyboardKey || !shown) {
        // The capture box stands for the key shown, never for an earlier one.
        captured_.reset();
        if (ui::Control* box = tree.find(control(kCaptureBox))) {
            box->setText({});
        }
    }
    showClass(shown.value_or(0));
    if (workingClass_ == T::kKeyboardKey) {
        startCapture(false);
    } else {
        endOwnCapture();
    }
}

void KeyAssignmentEditor::showClass(std::size_t index) {
    const std::size_t count = classCount(class_);
    index = std::min(index, count - 1);
    ui::ControlTree& tree = main_.tree();
    if (ui::Control* combo = tree.find(control(kClassCombo))) {
        combo->selectItem(static_cast<int>(index));
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (ui::Control* page = tree.findIndexed(control("tab_function_"), static_cast<int>(i))) {
            page->setVisible(i == index);
        }
    }
    workingClass_ = classOrder(class_)[index];
}

void KeyAssignmentEditor::ChooseClass(int index) {
    main_.inputCapture().RemoveHooks();
    if (index < 0 || index >= static_cast<int>(classCount(class_))) {
        return;
    }
    showClass(static_cast<std::size_t>(index));
    if (workingClass_ == T::kKeyboardKey) {
        startCapture(true);
    }
    ApplyControls();
}

void KeyAssignmentEditor::startCapture(bool userAsked) {
    const macros::CaptureStart start = main_.inputCapture().StartSingleKey(captureMode());
    // Showing a key that already sends a keyboard key starts capture quietly; choosing the
    // class is the user asking for it, and is told when it cannot be had.
    if (start != macros::CaptureStart::Started && userAsked) {
        main_.showMessage(macros::CaptureStartMessage(start));
    }
}

void KeyAssignmentEditor::endOwnCapture() {
    macros::InputCapture& capture = main_.inputCapture();
    if (capture.hook().mode() == captureMode()) {
        capture.RemoveHooks();
    }
}

int KeyAssignmentEditor::editValue(std::string_view suffix) const {
    const ui::Control* edit = main_.tree().find(control(suffix));
    return edit != nullptr ? static_cast<int>(platform::parseLong(edit->text())) : 0;
}

int KeyAssignmentEditor::comboItem(std::string_view suffix) const {
    const ui::Control* combo = main_.tree().find(control(suffix));
    return combo != nullptr ? combo->currentItem() : -1;
}

void KeyAssignmentEditor::setEdit(std::string_view suffix, int value) {
    if (ui::Control* edit = main_.tree().find(control(suffix))) {
        edit->setText(std::to_string(value));
    }
}

void KeyAssignmentEditor::selectItem(std::string_view suffix, int index) {
    if (ui::Control* combo = main_.tree().find(control(suffix))) {
        if (!combo->selectItem(index)) {
            combo->selectItem(-1);
        }
    }
}

std::optional<KeyFunction> KeyAssignmentEditor::recordFromControls() {
    const auto choice = [&](std::string_view combo,
                            std::span<const KeyChoice> choices) -> std::optional<KeyFunction> {
        const int item = comboItem(combo);
        if (item < 0 || item >= static_cast<int>(choices.size())) {
            return std::nullopt;
        }
        return choices[static_cast<std::size_t>(item)].function;
    };
    const auto byte = [](int value) { return static_cast<std::uint8_t>(value & 0xFF); };
    switch (workingClass_) {
        case T::kFactoryDefault:
            return StoredKeyTables(class_, main_.stores()).defaultRecord(*key_);
        case T::kMouseButton:
            return choice(kButtonCombo, kButtonChoices);
        case T::kDpiControl:
            return choice(kDpiCombo, kDpiChoices);
        case T::kConsumerKey:
            return choice(kConsumerCombo, kConsumerChoices);
        case T::kSystemKey:
            return choice(kSystemCombo, kSystemChoices);
        case T::kHorizontalScroll:
            return encodeHorizontalScroll({editValue(kHorizontalHigh), editValue(kHorizontalLow),
                                           comboItem(kHorizontalDirection) > 0 ? 1 : 0,
                                           editValue(kHorizontalAmount)});
        case T::kVerticalScroll:
            return encodeVerticalScroll({editValue(kVerticalHigh), editValue(kVerticalLow),
                                         comboItem(kVerticalDirection) > 0 ? 1 : 0,
                                         editValue(kVerticalAmount)});
        case T::kFireKey:
            return KeyFunction{T::kFireKey, byte(editValue(kFireFirst)),
                               byte(editValue(kFireSecond))};
        case T::kKeyboardKey: {
            const ui::Control* box = main_.tree().find(control(kCaptureBox));
            if (box == nullptr || box->text().empty() || !captured_) {
                return std::nullopt;
            }
            return captured_;
        }
        case T::kMacroRun: {
            const int macro = comboItem(kMacroCombo);
            if (macro < 0) {
                return std::nullopt;
            }
            const int mode = comboItem(kRunModeCombo);
            if (mode == kRepeatMode) {
                return KeyFunction{T::kMacroRepeat, byte(macro), byte(editValue(kRepeatCount))};
            }
            return KeyFunction{T::kMacroRun, byte(macro), byte(std::max(mode, 0))};
        }
        case T::kGunSequence:
            return KeyFunction{T::kGunSequence, byte(std::max(comboItem(kGunCombo), 0)), 0};
        default:
            break;
    }
    return std::nullopt;
}

void KeyAssignmentEditor::ApplyControls() {
    StoredKeyTables tables(class_, main_.stores());
    if (!key_ || !tables.validKey(*key_)) {
        return;
    }
    if (const auto record = recordFromControls()) {
        applyRecord(*record);
    }
}

void KeyAssignmentEditor::applyRecord(const KeyFunction& record) {
    StoredKeyTables(class_, main_.stores()).setRecord(*key_, record);
    RefreshKeyLabels(main_, class_);
}

void KeyAssignmentEditor::RestoreDefault() {
    StoredKeyTables tables(class_, main_.stores());
    if (!key_ || !tables.validKey(*key_)) {
        return;
    }
    applyRecord(tables.defaultRecord(*key_));
    ShowKeyFunction();
}

void KeyAssignmentEditor::EditChanged(ui::Control& edit) {
    const std::string& name = edit.name();
    for (const EditBound& bound : kEditBounds) {
        if (name != control(bound.suffix)) {
            continue;
        }
        const long value = platform::parseLong(edit.text());
        if (value > bound.maximum) {
            edit.setText(std::to_string(bound.maximum));
        } else if (value < bound.minimum) {
            edit.setText(std::to_string(bound.minimum));
        }
        ApplyControls();
        return;
    }
}

void KeyAssignmentEditor::RunModeChanged() {
    if (ui::Control* repeat = main_.tree().find(control(kRepeatPage))) {
        repeat->setVisible(comboItem(kRunModeCombo) == kRepeatMode);
    }
    ApplyControls();
}

void KeyAssignmentEditor::CaptureSingleKey(const macros::KeyRecord& record) {
    const auto row = LookupKeyCode(record.vkCode, record.flags);
    if (!row || kKeyCodeTable[*row].function.type != T::kKeyboardKey) {
        return;
    }
    // Capture belongs to the keyboard-key page; a key event left over from before is dropped.
    if (workingClass_ != T::kKeyboardKey) {
        return;
    }
    const KeyCodeRow& key = kKeyCodeTable[*row];
    if (ui::Control* box = main_.tree().find(control(kCaptureBox))) {
        box->setText(main_.language().translate(key.textId));
    }
    captured_ = KeyFunction{T::kKeyboardKey, key.function.p1, key.function.p2};
    ApplyControls();
}

void KeyAssignmentEditor::RefreshMacroChoices() {
    keys::RefreshMacroChoices(main_, class_);
}

void KeyAssignmentEditor::Refresh() {
    endOwnCapture();
    key_.reset();
    selectPictureKey(std::nullopt);
    RefreshMacroChoices();
    RefreshKeyLabels(main_, class_);
}

}  // namespace korvane::keys
