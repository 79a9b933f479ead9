// The key assignment pages through the control tree: what each class of function writes,
// what a record shows, the edits' bounds, the left-click rule, restoring defaults, labels and
// single-key capture.

#include "keys/key_page_fixture.h"

#include <string>
#include <vector>

namespace korvane::keys::testing {
namespace {

using device::DeviceKind;
using macros::FakeInputHook;
using ui::notify::kItemSelect;
using ui::notify::kSelectChanged;
using ui::notify::kTextChanged;

// Three mouse macros, so that macro index 2 exists.
void writeThreeMouseMacros(KeyPageFixture& f) {
    f.writeMacros(macros::MacroClass::Mouse, {{"one", {"5,0,138,4,1,keyboard_key_A"}},
                                              {"two", {"5,0,138,5,1,keyboard_key_B"}},
                                              {"three", {"5,0,138,6,1,keyboard_key_C"}}});
}

// ------------------------------------------------------------------ what each class writes

// One step of a user on the mouse page: a notification, or a key of the desktop.
struct Step {
    std::string_view type;  // a notification type, or "key" / "keyx" (extended)
    std::string control;    // the control without "ms_", or the virtual-key code
    std::string arg;
};

struct ClassCase {
    std::string name;
    std::vector<Step> steps;
    KeyFunction expected;
};

class MouseClasses : public KeyPageFixture, public ::testing::WithParamInterface<ClassCase> {};

TEST_P(MouseClasses, WriteTheRecordOfTheChosenParameters) {
    writeThreeMouseMacros(*this);
    start({DeviceKind::Mouse});
    selectMouseButton(2);
    for (const Step& s : GetParam().steps) {
        if (s.type == "key" || s.type == "keyx") {
            key(static_cast<std::uint32_t>(std::stoul(s.control, nullptr, 0)), true,
                s.type == "keyx");
        } else {
            notify(s.type, "ms_" + s.control, s.arg);
        }
    }
    EXPECT_EQ(record(KeyClass::Mouse, 2), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MouseClasses,
    ::testing::Values(
        ClassCase{"VerticalScrollDown5",
                  {{kItemSelect, "key_fct_combo", "3"},
                   {kItemSelect, "key_fct_combo_13", "1"},
                   {kTextChanged, "key_fct_edit_16", "5"}},
                  {0x12, 0x00, 0xFB}},
        ClassCase{"HorizontalScrollRight5",
                  {{kItemSelect, "key_fct_combo", "2"},
                   {kItemSelect, "key_fct_combo_12", "1"},
                   {kTextChanged, "key_fct_edit_15", "5"}},
                  {0x11, 0x00, 0x85}},
        ClassCase{"VerticalScrollUpWithNibbles",
                  {{kItemSelect, "key_fct_combo", "3"},
                   {kTextChanged, "key_fct_edit_16", "9"},
                   {kTextChanged, "key_fct_edit_18", "3"},
                   {kTextChanged, "key_fct_edit_19", "12"}},
                  {0x12, 0x3C, 0x09}},
        ClassCase{"HorizontalScrollNibbles",
                  {{kItemSelect, "key_fct_combo", "2"},
                   {kTextChanged, "key_fct_edit_15", "7"},
                   {kTextChanged, "key_fct_edit_17", "15"},
                   {kTextChanged, "key_fct_edit_20", "1"}},
                  {0x11, 0xF1, 0x07}},
        ClassCase{"MouseButtonForward",
                  {{kItemSelect, "key_fct_combo", "1"}, {kItemSelect, "key_fct_combo_11", "3"}},
                  {0x10, 0x10, 0x00}},
        ClassCase{"DpiDown",
                  {{kItemSelect, "key_fct_combo", "4"}, {kItemSelect, "key_fct_combo_14", "1"}},
                  {0x13, 0x02, 0x00}},
        ClassCase{"FireKey",
                  {{kItemSelect, "key_fct_combo", "5"},
                   {kTextChanged, "key_fct_edit_11", "7"},
                   {kTextChanged, "key_fct_edit_12", "9"}},
                  {0x14, 0x07, 0x09}},
        ClassCase{"VolumeUp",
                  {{kItemSelect, "key_fct_combo", "7"}, {kItemSelect, "key_fct_combo_21", "6"}},
                  {0x30, 0xE9, 0x00}},
        ClassCase{"BrowserFavourites",
                  {{kItemSelect, "key_fct_combo", "7"}, {kItemSelect, "key_fct_combo_21", "13"}},
                  {0x30, 0x2A, 0x02}},
        ClassCase{"SystemSleep",
                  {{kItemSelect, "key_fct_combo", "8"}, {kItemSelect, "key_fct_combo_22", "1"}},
                  {0x40, 0x02, 0x00}},
        ClassCase{"MacroRepeatedThreeTimes",
                  {{kItemSelect, "key_fct_combo", "9"},
                   {kItemSelect, "key_fct_combo_23", "2"},
                   {kItemSelect, "key_fct_combo_24", "4"},
                   {kTextChanged, "key_fct_edit_25", "3"}},
                  {0x71, 0x02, 0x03}},
        ClassCase{"MacroBackToRunMode1",
                  {{kItemSelect, "key_fct_combo", "9"},
                   {kItemSelect, "key_fct_combo_23", "2"},
                   {kItemSelect, "key_fct_combo_24", "4"},
                   {kTextChanged, "key_fct_edit_25", "3"},
                   {kItemSelect, "key_fct_combo_24", "1"}},
                  {0x70, 0x02, 0x01}},
        ClassCase{"GunSequence4",
                  {{kItemSelect, "key_fct_combo", "10"}, {kItemSelect, "key_fct_combo_25", "3"}},
                  {0x72, 0x03, 0x00}},
        ClassCase{"CapturedKeyQ",
                  {{kItemSelect, "key_fct_combo", "6"}, {"key", "0x51", ""}},
                  {0x20, 0x00, 0x14}},
        ClassCase{"CapturedModifier",
                  {{kItemSelect, "key_fct_combo", "6"}, {"key", "0xA4", ""}},
                  {0x20, 0x04, 0x00}},
        ClassCase{"CapturedNumericPadEnter",
                  {{kItemSelect, "key_fct_combo", "6"}, {"keyx", "0x0D", ""}},
                  {0x20, 0x00, 0x58}},
        // Media keys are chosen from their list; capture takes none, and an empty capture
        // box writes nothing: the button keeps the sim mouse's right click.
        ClassCase{"CapturedMediaKeyIsIgnored",
                  {{kItemSelect, "key_fct_combo", "6"}, {"key", "0xAF", ""}},
                  {0x10, 0x02, 0x00}},
        ClassCase{"CapturedCodeOutsideTheTableIsIgnored",
                  {{kItemSelect, "key_fct_combo", "6"}, {"key", "0x07", ""}},
                  {0x10, 0x02, 0x00}},
        // Capture ends with the next class choice; a later key goes nowhere.
        ClassCase{"CaptureEndsWithTheClass",
                  {{kItemSelect, "key_fct_combo", "6"},
                   {kItemSelect, "key_fct_combo", "4"},
                   {kItemSelect, "key_fct_combo_14", "0"},
                   {"key", "0x41", ""}},
                  {0x13, 0x01, 0x00}},
        // ... and with a page or device tab.
        ClassCase{"CaptureEndsWithTheTab",
                  {{kItemSelect, "key_fct_combo", "6"},
                   {kSelectChanged, "deng_Op_tab", "1"},
                   {"key", "0x41", ""}},
                  {0x10, 0x02, 0x00}},
        ClassCase{"DefaultClassWritesTheDefault",
                  {{kItemSelect, "key_fct_combo", "1"},
                   {kItemSelect, "key_fct_combo_11", "0"},
                   {kItemSelect, "key_fct_combo", "0"}},
                  {0x10, 0x02, 0x00}}),
    [](const auto& info) { return info.param.name; });

// The keyboard's class order differs; a picture key selects the record its position maps to.
TEST_F(KeyPageFixture, KeyboardClassesFollowTheirOwnOrder) {
    start({DeviceKind::RgbKeyboard});
    // Position 64 carries usage 0x04 (A); its record is the base record of A.
    const int a = onMain<int>([](app::MainWindow& m) {
        return StoredKeyTables(KeyClass::Keyboard, m.stores()).recordForPosition(64).value_or(-1);
    });
    ASSERT_GE(a, 0);
    click("kb_key_64");
    EXPECT_TRUE(visible("kb_tab_function"));

    pick("kb_key_fct_combo", 1);  // keyboard key
    key(0x42, true);
    EXPECT_EQ(record(KeyClass::Keyboard, a), (KeyFunction{0x20, 0x00, 0x05}));
    EXPECT_EQ(text("kb_key_fct_edit_21"), "keyboard_key_B");

    pick("kb_key_fct_combo", 4);  // vertical scroll
    pick("kb_key_fct_combo_13", 1);
    type("kb_key_fct_edit_16", "5");
    EXPECT_EQ(record(KeyClass::Keyboard, a), (KeyFunction{0x12, 0x00, 0xFB}));

    pick("kb_key_fct_combo", 2);  // mouse button
    pick("kb_key_fct_combo_11", 2);
    EXPECT_EQ(record(KeyClass::Keyboard, a), (KeyFunction{0x10, 0x02, 0x00}));

    pick("kb_key_fct_combo", 6);  // fire key: the keyboard's first parameter stops at 255
    type("kb_key_fct_edit_11", "300");
    EXPECT_EQ(text("kb_key_fct_edit_11"), "255");
    EXPECT_EQ(record(KeyClass::Keyboard, a).p1, 255);
}

TEST_F(KeyPageFixture, APicturePositionWithoutARecordSelectsNothing) {
    start({DeviceKind::RgbKeyboard});
    // Positions 16..20 are keys no base record carries.
    click("kb_key_17");
    EXPECT_TRUE(visible("kb_tab_function"));
    pick("kb_key_fct_combo", 5);
    pick("kb_key_fct_combo_14", 2);
    const std::vector<std::uint8_t> table =
        onMain<std::vector<std::uint8_t>>([](app::MainWindow& m) {
            const auto& t = m.stores().keyboardTable;
            return std::vector<std::uint8_t>(t.begin(), t.end());
        });
    for (std::size_t i = 0; i + 2 < table.size(); i += 3) {
        EXPECT_FALSE(table[i] == 0x13 && table[i + 1] == 3) << "record " << i / 3;
    }
}

// ------------------------------------------------------------------ edits keep their bounds

struct EditCase {
    std::string name;
    int classIndex;
    std::string edit;
    std::string typed;
    std::string shown;
    KeyFunction expected;
};

class MouseEdits : public KeyPageFixture, public ::testing::WithParamInterface<EditCase> {};

TEST_P(MouseEdits, CorrectTheTextAndStoreTheBound) {
    const EditCase& c = GetParam();
    start({});
    selectMouseButton(1);
    pick("ms_key_fct_combo", c.classIndex);
    type("ms_" + c.edit, c.typed);
    EXPECT_EQ(text("ms_" + c.edit), c.shown);
    EXPECT_EQ(record(KeyClass::Mouse, 1), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MouseEdits,
    ::testing::Values(
        // The skin starts the amounts at 1, the nibbles at 0, the second fire parameter at 1.
        EditCase{"Amount300Is127", 2, "key_fct_edit_15", "300", "127", {0x11, 0x00, 0x7F}},
        EditCase{"VerticalAmount128Is127", 3, "key_fct_edit_16", "128", "127", {0x12, 0x00, 0x7F}},
        EditCase{"Nibble99Is15", 2, "key_fct_edit_17", "99", "15", {0x11, 0xF0, 0x01}},
        EditCase{"LowNibble16Is15", 3, "key_fct_edit_19", "16", "15", {0x12, 0x0F, 0x01}},
        EditCase{"SecondFireZeroIsOne", 5, "key_fct_edit_12", "0", "1", {0x14, 0x00, 0x01}},
        EditCase{"SecondFire256Is255", 5, "key_fct_edit_12", "256", "255", {0x14, 0x00, 0xFF}},
        EditCase{"FirstFire300Is255", 5, "key_fct_edit_11", "300", "255", {0x14, 0xFF, 0x01}},
        EditCase{"NotANumberReadsZero", 2, "key_fct_edit_15", "abc", "abc", {0x11, 0x00, 0x00}},
        EditCase{"NegativeIsTheMinimum", 3, "key_fct_edit_16", "-4", "0", {0x12, 0x00, 0x00}}),
    [](const auto& info) { return info.param.name; });

TEST_F(KeyPageFixture, RepeatCountKeepsItsBound) {
    writeThreeMouseMacros(*this);
    start({});
    selectMouseButton(3);
    pick("ms_key_fct_combo", 9);
    pick("ms_key_fct_combo_23", 0);
    pick("ms_key_fct_combo_24", 4);
    EXPECT_TRUE(visible("ms_tab_function_26"));
    type("ms_key_fct_edit_25", "999");
    EXPECT_EQ(text("ms_key_fct_edit_25"), "255");
    EXPECT_EQ(record(KeyClass::Mouse, 3), (KeyFunction{0x71, 0x00, 0xFF}));
    pick("ms_key_fct_combo_24", 2);
    EXPECT_FALSE(visible("ms_tab_function_26"));
    EXPECT_EQ(record(KeyClass::Mouse, 3), (KeyFunction{0x70, 0x00, 0x02}));
}

TEST_F(KeyPageFixture, TheMacroClassWithoutAMacroWritesNothing) {
    start({});
    setRecord(KeyClass::Mouse, 4, {0x10, 0x08, 0x00});
    selectMouseButton(4);
    pick("ms_key_fct_combo", 9);
    pick("ms_key_fct_combo_24", 1);
    EXPECT_EQ(record(KeyClass::Mouse, 4), (KeyFunction{0x10, 0x08, 0x00}));
}

// ------------------------------------------------------------------ what a record shows

struct ShowCase {
    std::string name;
    KeyFunction record;
    int classIndex;
    // Controls (without "ms_") and the item or text they show.
    std::vector<std::pair<std::string, std::string>> shown;
    std::string visiblePage;
};

class MouseShows : public KeyPageFixture, public ::testing::WithParamInterface<ShowCase> {};

TEST_P(MouseShows, TheRecordInTheControls) {
    const ShowCase& c = GetParam();
    writeThreeMouseMacros(*this);
    start({DeviceKind::Mouse});
    setRecord(KeyClass::Mouse, 3, c.record);
    selectMouseButton(3);
    EXPECT_TRUE(visible("ms_tab_function"));
    EXPECT_EQ(item("ms_key_fct_combo"), c.classIndex);
    for (const auto& [control, value] : c.shown) {
        const std::string name = "ms_" + control;
        const bool combo = onMain<bool>([&](app::MainWindow& m) {
            return m.tree().find(name)->kind() == ui::ControlKind::Combo;
        });
        const std::string actual = combo ? std::to_string(item(name)) : text(name);
        EXPECT_EQ(actual, value) << control;
    }
    for (int page = 0; page <= 10; ++page) {
        const std::string name = "ms_tab_function_" + std::to_string(page);
        EXPECT_EQ(visible(name), name == c.visiblePage) << name;
    }
    // Showing never writes.
    EXPECT_EQ(record(KeyClass::Mouse, 3), c.record);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MouseShows,
    ::testing::Values(
        ShowCase{"VerticalDown5",
                 {0x12, 0x00, 0xFB},
                 3,
                 {{"key_fct_combo_13", "1"}, {"key_fct_edit_16", "5"}, {"key_fct_edit_18", "0"}},
                 "ms_tab_function_3"},
        ShowCase{"HorizontalRight5",
                 {0x11, 0x00, 0x85},
                 2,
                 {{"key_fct_combo_12", "1"}, {"key_fct_edit_15", "5"}},
                 "ms_tab_function_2"},
        ShowCase{"Nibbles",
                 {0x11, 0xA3, 0x05},
                 2,
                 {{"key_fct_edit_17", "10"}, {"key_fct_edit_20", "3"}, {"key_fct_combo_12", "0"}},
                 "ms_tab_function_2"},
        ShowCase{"MacroRepeat",
                 {0x71, 0x02, 0x03},
                 9,
                 {{"key_fct_combo_23", "2"}, {"key_fct_combo_24", "4"}, {"key_fct_edit_25", "3"}},
                 "ms_tab_function_9"},
        ShowCase{"MacroRunOfAMissingMacro",
                 {0x70, 0x07, 0x01},
                 9,
                 {{"key_fct_combo_23", "-1"}, {"key_fct_combo_24", "-1"}},
                 "ms_tab_function_9"},
        ShowCase{
            "Consumer", {0x30, 0xB5, 0x00}, 7, {{"key_fct_combo_21", "4"}}, "ms_tab_function_7"},
        ShowCase{"KeyboardKey",
                 {0x20, 0x00, 0x1D},
                 6,
                 {{"key_fct_edit_21", "keyboard_key_Z"}},
                 "ms_tab_function_6"},
        ShowCase{"KeyWithModifiers",
                 {0x20, 0x03, 0x04},
                 6,
                 {{"key_fct_edit_21", "keyboard_key_LCtrl + keyboard_key_LShift + keyboard_key_A"}},
                 "ms_tab_function_6"},
        ShowCase{"Gun", {0x72, 0x01, 0x00}, 10, {{"key_fct_combo_25", "1"}}, "ms_tab_function_10"},
        // Records no control can show: the default class, and the record stays.
        ShowCase{"UnknownType", {0x50, 0x01, 0x02}, 0, {}, "ms_tab_function_0"},
        ShowCase{"ButtonBitOfNoChoice", {0x10, 0x03, 0x00}, 0, {}, "ms_tab_function_0"},
        ShowCase{"MacroRunModeOutOfRange", {0x70, 0x00, 0x09}, 0, {}, "ms_tab_function_0"},
        ShowCase{"UsageWithoutARow", {0x20, 0x00, 0x32}, 0, {}, "ms_tab_function_0"},
        ShowCase{"GunOutOfRange", {0x72, 0x04, 0x00}, 0, {}, "ms_tab_function_0"},
        ShowCase{"NothingReadYet", {0x00, 0x00, 0x00}, 0, {}, "ms_tab_function_0"},
        // The sim mouse's button 3 is forward by default: chosen explicitly it is still the
        // default class.
        ShowCase{"TheDefaultRecord", {0x10, 0x10, 0x00}, 0, {}, "ms_tab_function_0"}),
    [](const auto& info) { return info.param.name; });

TEST_F(KeyPageFixture, ARecordOutsideTheCatalogueIsKeptUntilTheUserChangesIt) {
    start({DeviceKind::Mouse});
    setRecord(KeyClass::Mouse, 4, {0xB0, 0x11, 0x22});
    selectMouseButton(4);
    selectMouseButton(1);
    selectMouseButton(4);
    EXPECT_EQ(record(KeyClass::Mouse, 4), (KeyFunction{0xB0, 0x11, 0x22}));
    pick("ms_key_fct_combo", 4);
    pick("ms_key_fct_combo_14", 2);
    EXPECT_EQ(record(KeyClass::Mouse, 4), (KeyFunction{0x13, 0x03, 0x00}));
}

// ------------------------------------------------------------------ left click, defaults

TEST_F(KeyPageFixture, TheLastLeftClickCannotBeReassigned) {
    start({DeviceKind::Mouse});
    // Button 2 becomes a second left click: button 0 can be shown.
    selectMouseButton(2);
    pick("ms_key_fct_combo", 1);
    pick("ms_key_fct_combo_11", 0);
    ASSERT_EQ(record(KeyClass::Mouse, 2), (KeyFunction{0x10, 0x01, 0x00}));
    selectMouseButton(0);
    EXPECT_EQ(count("message message_text_6"), 0);
    EXPECT_TRUE(visible("ms_tab_function"));
    // Button 2 back to the right click: button 0 holds the last left click.
    selectMouseButton(2);
    EXPECT_EQ(count("message message_text_6"), 0);
    pick("ms_key_fct_combo_11", 2);
    selectMouseButton(0);
    EXPECT_EQ(count("message message_text_6"), 1);
    EXPECT_FALSE(visible("ms_tab_function"));
    EXPECT_EQ(record(KeyClass::Mouse, 0), (KeyFunction{0x10, 0x01, 0x00}));
}

TEST_F(KeyPageFixture, RestoreDefaultBeforeAnyMouseWasReadIsTheBuiltInDefault) {
    start({});
    selectMouseButton(5);
    pick("ms_key_fct_combo", 1);
    pick("ms_key_fct_combo_11", 1);
    ASSERT_EQ(record(KeyClass::Mouse, 5), (KeyFunction{0x10, 0x04, 0x00}));
    click("ms_key_butt_keydefalut");
    EXPECT_EQ(record(KeyClass::Mouse, 5), (KeyFunction{0x13, 0x03, 0x00}));
    EXPECT_EQ(item("ms_key_fct_combo"), 0);
}

TEST_F(KeyPageFixture, RestoreDefaultAfterAMouseWasReadIsItsBaseTable) {
    start({DeviceKind::Mouse});
    // A mouse whose base table gives button 5 DPI up.
    app_->query([&] {
        setRecordAt(main().stores().mouseBaseTable, 5, {0x13, 0x01, 0x00});
        EXPECT_TRUE(main().stores().mouseBaseRead);
    });
    selectMouseButton(5);
    click("ms_key_butt_keydefalut");
    EXPECT_EQ(record(KeyClass::Mouse, 5), (KeyFunction{0x13, 0x01, 0x00}));
}

TEST_F(KeyPageFixture, ApplyButtonWritesTheControls) {
    start({DeviceKind::Mouse});
    selectMouseButton(1);
    pick("ms_key_fct_combo", 5);
    setRecord(KeyClass::Mouse, 1, {0x10, 0x04, 0x00});
    click("ms_key_butt_keysave");
    EXPECT_EQ(record(KeyClass::Mouse, 1), (KeyFunction{0x14, 0x00, 0x01}));
}

// ------------------------------------------------------------------ labels

TEST_F(KeyPageFixture, MouseButtonsShowTheirFunction) {
    writeThreeMouseMacros(*this);
    start({DeviceKind::Mouse});
    selectMouseButton(1);
    pick("ms_key_fct_combo", 3);
    pick("ms_key_fct_combo_13", 1);
    EXPECT_EQ(text("ms_key_1"), "mouse_key_down_Swing");
    EXPECT_EQ(onMain<std::string>(
                  [](app::MainWindow& m) { return m.tree().find("ms_key_1")->toolTip(); }),
              "mouse_key_down_Swing");
    pick("ms_key_fct_combo", 9);
    pick("ms_key_fct_combo_23", 1);
    pick("ms_key_fct_combo_24", 0);
    EXPECT_EQ(text("ms_key_1"), "two") << "macro names are shown as they are";
    // A type without a label leaves the last one.
    setRecord(KeyClass::Mouse, 1, {0x60, 0x00, 0x00});
    selectMouseButton(4);
    click("ms_key_butt_keysave");
    EXPECT_EQ(text("ms_key_1"), "two");
}

TEST_F(KeyPageFixture, KeyboardToolTipsTellTheDefaultAndTheNewFunction) {
    start({DeviceKind::RgbKeyboard});
    click("kb_key_64");
    pick("kb_key_fct_combo", 1);
    key(0x42, true);
    const auto tip = [&] {
        return onMain<std::string>(
            [](app::MainWindow& m) { return m.tree().find("kb_key_64")->toolTip(); });
    };
    // Texts go through the language (the key itself in headless sessions).
    EXPECT_EQ(tip(), "keyboard_key_AKey_Setkeyboard_key_B");
    click("kb_key_butt_keydefalut");
    EXPECT_EQ(tip(), "keyboard_key_A");
}

// ------------------------------------------------------------------ capture

TEST_F(KeyPageFixture, EveryKeyPressedReplacesTheCapturedKey) {
    start({DeviceKind::Mouse});
    selectMouseButton(4);
    pick("ms_key_fct_combo", 6);
    press(0x41);
    press(0x31);
    key(0x20, false);  // key-up events count like key-down events
    EXPECT_EQ(text("ms_key_fct_edit_21"), "keyboard_key_Space");
    EXPECT_EQ(record(KeyClass::Mouse, 4), (KeyFunction{0x20, 0x00, 0x2C}));
}

TEST_F(KeyPageFixture, ShowingAKeyboardKeyCapturesAgain) {
    start({DeviceKind::Mouse});
    setRecord(KeyClass::Mouse, 3, {0x20, 0x00, 0x04});
    selectMouseButton(3);
    EXPECT_EQ(onMain<bool>(
                  [](app::MainWindow& m) { return m.inputCapture().hook().keyboardInstalled(); }),
              true);
    press(0x43);
    EXPECT_EQ(record(KeyClass::Mouse, 3), (KeyFunction{0x20, 0x00, 0x06}));
    // Another button with another function: capture ends, the capture box is cleared.
    selectMouseButton(1);
    EXPECT_EQ(text("ms_key_fct_edit_21"), "");
    press(0x44);
    EXPECT_EQ(record(KeyClass::Mouse, 3), (KeyFunction{0x20, 0x00, 0x06}));
    EXPECT_NE(record(KeyClass::Mouse, 1).type, 0x20);
    // Choosing the class again with an empty box writes nothing until a key comes.
    pick("ms_key_fct_combo", 6);
    EXPECT_EQ(record(KeyClass::Mouse, 1), (KeyFunction{0x10, 0x04, 0x00}));
}

TEST_F(KeyPageFixture, DeactivationEndsCapture) {
    start({DeviceKind::Mouse});
    selectMouseButton(4);
    pick("ms_key_fct_combo", 6);
    app_->act([&] { main().windowDeactivated(); });
    press(0x41);
    EXPECT_EQ(record(KeyClass::Mouse, 4), (KeyFunction{0x10, 0x08, 0x00}));
}

TEST_F(KeyPageFixture, AnEventOfAnEndedCaptureIsDropped) {
    start({DeviceKind::Mouse});
    selectMouseButton(4);
    pick("ms_key_fct_combo", 6);
    // Sent while capture was on, handled after it ended.
    app_->query([&] {
        app_->fakeInputHook()->injectKey(0x41, true, false);
        main().inputCapture().RemoveHooks();
    });
    EXPECT_EQ(record(KeyClass::Mouse, 4), (KeyFunction{0x10, 0x08, 0x00}));
}

TEST_F(KeyPageFixture, CaptureThatCannotStartSaysWhy) {
    start({DeviceKind::Mouse});
    app_->query([&] { app_->fakeInputHook()->setAvailable(false); });
    selectMouseButton(4);
    pick("ms_key_fct_combo", 6);
    EXPECT_EQ(count("message capture_unavailable_text"), 1);
    // Showing a key that sends a keyboard key does not repeat it.
    setRecord(KeyClass::Mouse, 3, {0x20, 0x00, 0x04});
    selectMouseButton(3);
    EXPECT_EQ(count("message capture_unavailable_text"), 1);

    app_->query([&] {
        app_->fakeInputHook()->setAvailable(true);
        app_->fakeInputHook()->refuseNextKeyboardInstall();
    });
    selectMouseButton(4);
    pick("ms_key_fct_combo", 6);
    EXPECT_EQ(count("message capture_refused_text"), 1);
    press(0x41);
    EXPECT_EQ(record(KeyClass::Mouse, 4), (KeyFunction{0x10, 0x08, 0x00}));
}

TEST_F(KeyPageFixture, AProfileSelectionClosesThePanelAndEndsCapture) {
    start({DeviceKind::Mouse});
    selectMouseButton(4);
    pick("ms_key_fct_combo", 6);
    pick("ms_key_profile_combo", 0);
    EXPECT_FALSE(onMain<bool>(
        [](app::MainWindow& m) { return m.inputCapture().hook().keyboardInstalled(); }));
    EXPECT_FALSE(visible("ms_tab_function"));
}

// The whole page from a script, as `korvane --headless --script` runs it.
TEST_F(KeyPageFixture, AScriptAssignsACapturedKey) {
    start({DeviceKind::Mouse});
    const std::string printed = script(
        "notify selectchanged ms_key_2 1\n"
        "notify itemselect ms_key_fct_combo 6\n"
        "input key 0x41 down\n"
        "input key 0x41 up +80\n"
        "input key 0x0D down extended +15\n"
        "print ms_key_fct_edit_21\n"
        "print ms_key_2\n");
    // One line per print: the control's name first, its text last.
    const auto line = [&](const std::string& name) {
        const std::size_t at = printed.find(name + " ");
        return at == std::string::npos ? std::string()
                                       : printed.substr(at, printed.find('\n', at) - at);
    };
    EXPECT_TRUE(line("ms_key_fct_edit_21").ends_with(" text=keyboard_key_Num Enter")) << printed;
    EXPECT_TRUE(line("ms_key_2").ends_with(" text=keyboard_key_Num Enter")) << printed;
    EXPECT_NE(line("ms_key_2").find(" selected=1 "), std::string::npos) << printed;
}

}  // namespace
}  // namespace korvane::keys::testing
