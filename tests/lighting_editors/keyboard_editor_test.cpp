// The keyboard lighting page driven through its controls: what the live settings, the saved
// light profile and the page show afterwards.

#include <algorithm>

#include "core/profiles/profile_index.h"
#include "lighting_editors/editor_fixture.h"

namespace korvane::app::testing {
namespace {

using namespace std::chrono_literals;
using device::DeviceKind;
using lighting::LightSettings;

// The keyboard light payload: the live record at the start of light slot 0, the custom
// slot and paint colour at 64, the custom colour store at 68.
constexpr std::size_t kWord = 64;
constexpr std::size_t kStore = 68;
constexpr std::size_t kSlotBytes = 378;

std::array<std::uint8_t, 3> entry(const std::vector<std::uint8_t>& body, std::size_t slot,
                                  std::size_t e) {
    const std::size_t at = kStore + slot * kSlotBytes + 3 * e;
    return {body[at], body[at + 1], body[at + 2]};
}

class KeyboardEditor : public EditorFixture {
  protected:
    void SetUp() override {
        EditorFixture::SetUp();
        attach({DeviceKind::RgbKeyboard});
    }
    LightSettings light() {
        return read<LightSettings>(
            [](MainWindow& m) { return m.stores().keyboardLight.live.light; });
    }
    lighting::CustomSlotWord word() {
        return read<lighting::CustomSlotWord>(
            [](MainWindow& m) { return m.stores().keyboardLight.word; });
    }
    void mode(int index) { act("itemselect", "kb_deng_combo_modeSelect", std::to_string(index)); }
};

TEST_F(KeyboardEditor, TypingAboveTheChannelRangeStores255AndShowsIt) {
    mode(0);
    act("selectchanged", "kb_Deng_7color_check", "1");
    ASSERT_EQ(light().colourful, 1);
    act("textchanged", "kb_Deng_edit_B", "999");
    EXPECT_EQ(shown("kb_Deng_edit_B").text, "255");
    EXPECT_EQ(light().blue, 255);
    EXPECT_EQ(light().colourful, 0);
    EXPECT_FALSE(shown("kb_Deng_7color_check").selected);
    const auto body = profileBody("kb");
    ASSERT_EQ(body.size(), 1958u);
    EXPECT_EQ(body[kBlue], 255);
    EXPECT_EQ(body[kColourful], 0);
    // A value in range stays as typed.
    act("textchanged", "kb_Deng_edit_G", "42");
    EXPECT_EQ(shown("kb_Deng_edit_G").text, "42");
    EXPECT_EQ(profileBody("kb")[kGreen], 42);
    EXPECT_EQ(shown("kb_Deng_colordp_btn").bkColor, 0xFF002AFFu | (light().red << 16));
}

TEST_F(KeyboardEditor, InTheCustomModeTheColourEditsChangeOnlyThePaintColour) {
    mode(2);
    act("click", "kb_Deng_color_btn_3");  // 0xFF7E00FF
    act("selectchanged", "kb_Deng_7color_check", "1");
    const LightSettings before = light();
    ASSERT_EQ(before.red, 0x7E);
    mode(11);
    act("textchanged", "kb_Deng_edit_R", "10");
    act("textchanged", "kb_Deng_edit_G", "300");
    EXPECT_EQ(shown("kb_Deng_edit_G").text, "255");
    LightSettings after = light();
    after.mode = before.mode;
    EXPECT_EQ(after, before);
    EXPECT_EQ(word().red, 10);
    EXPECT_EQ(word().green, 255);
    const auto body = profileBody("kb");
    EXPECT_EQ(body[kWord + 1], 10);
    EXPECT_EQ(body[kWord + 2], 255);
    EXPECT_EQ(body[kRed], 0x7E);
    EXPECT_EQ(body[kColourful], 1);
    EXPECT_EQ(body[kMode], 11);
    // The paint colour shows in the custom colour display, not the single colour's.
    EXPECT_EQ(shown("kb_Deng_custom_colordp_btn").bkColor, 0xFF0AFF00u | word().blue);
}

TEST_F(KeyboardEditor, PresetSwatchesAndThePaletteGoThroughTheColourSetter) {
    mode(0);
    act("click", "kb_Deng_color_btn_12");  // 0xFFFEF500
    EXPECT_EQ(light().red, 0xFE);
    EXPECT_EQ(light().green, 0xF5);
    EXPECT_EQ(light().blue, 0x00);
    EXPECT_EQ(shown("kb_Deng_edit_R").text, "254");
    EXPECT_EQ(shown("kb_Deng_edit_G").text, "245");
    EXPECT_EQ(shown("kb_Deng_edit_B").text, "0");
    EXPECT_EQ(shown("kb_Deng_colordp_btn").bkColor, 0xFFFEF500u);
    act("colorchanged", "kb_deng_Color_Pallet", "0xFF102030");
    EXPECT_EQ(light().red, 0x10);
    EXPECT_EQ(light().green, 0x20);
    EXPECT_EQ(light().blue, 0x30);
    EXPECT_EQ(profileBody("kb")[kBlue], 0x30);
}

TEST_F(KeyboardEditor, SlidersStoreBrightnessAndTheInvertedSpeed) {
    act("valuechanged", "kb_deng_light_slider", "9");
    act("valuechanged", "kb_deng_speed_slider", "14");
    EXPECT_EQ(light().brightness, 9);
    EXPECT_EQ(light().speed, 0);
    act("valuechanged", "kb_deng_speed_slider", "0");
    EXPECT_EQ(light().speed, 14);
    act("valuechanged", "kb_deng_speed_slider", "10");
    const auto body = profileBody("kb");
    EXPECT_EQ(body[kBrightness], 9);
    EXPECT_EQ(body[kSpeed], 4);
}

TEST_F(KeyboardEditor, DirectionOptionsExcludeEachOther) {
    act("selectchanged", "kb_Deng_FXR_check", "1");
    EXPECT_EQ(light().direction, 0);
    EXPECT_FALSE(shown("kb_Deng_FXL_check").selected);
    EXPECT_TRUE(shown("kb_Deng_FXR_check").selected);
    act("selectchanged", "kb_Deng_FXL_check", "1");
    EXPECT_EQ(light().direction, 1);
    EXPECT_FALSE(shown("kb_Deng_FXR_check").selected);
    // Clicking the selected option again keeps it.
    act("selectchanged", "kb_Deng_FXL_check", "0");
    EXPECT_EQ(light().direction, 1);
    EXPECT_TRUE(shown("kb_Deng_FXL_check").selected);
    EXPECT_EQ(profileBody("kb")[kDirection], 1);
}

TEST_F(KeyboardEditor, PaintingAndErasingSetTheKeysLedEntry) {
    mode(11);
    act("selectchanged", "kb_Deng_all_kill_check", "1");
    act("click", "kb_Deng_color_btn_0");  // 0xFFFF0000
    // Key 13 drives LED 14; key 62 drives none.
    act("click", "kb_dkey_13");
    act("click", "kb_dkey_62");
    const std::size_t slot = word().slot;
    auto body = profileBody("kb");
    EXPECT_EQ(entry(body, slot, 14), (std::array<std::uint8_t, 3>{255, 0, 0}));
    EXPECT_EQ(entry(body, slot, 13), (std::array<std::uint8_t, 3>{0, 0, 0}));
    EXPECT_EQ(std::count(body.begin() + kStore + slot * kSlotBytes,
                         body.begin() + kStore + (slot + 1) * kSlotBytes, 255),
              1);
    act("selectchanged", "kb_Deng_off_kill_check", "1");
    act("click", "kb_dkey_13");
    body = profileBody("kb");
    EXPECT_EQ(entry(body, slot, 14), (std::array<std::uint8_t, 3>{0, 0, 0}));
    // Outside the custom mode a click changes nothing.
    act("selectchanged", "kb_Deng_on_bright_check", "1");
    mode(0);
    act("click", "kb_dkey_13");
    EXPECT_EQ(entry(profileBody("kb"), slot, 14), (std::array<std::uint8_t, 3>{0, 0, 0}));
}

TEST_F(KeyboardEditor, LightAllKeepsColouredKeysAndFillsOnlyTheBlackOnes) {
    mode(11);
    act("itemselect", "kb_deng_combo_curtom_count", "2");
    act("selectchanged", "kb_Deng_all_kill_check", "1");
    act("click", "kb_Deng_color_btn_0");  // red
    act("click", "kb_dkey_0");            // LED 0
    act("click", "kb_Deng_color_btn_2");  // 0xFF6CFF00
    const auto before = profileBody("kb");
    act("selectchanged", "kb_Deng_all_bright_check", "1");
    const auto body = profileBody("kb");
    EXPECT_EQ(body[kWord], 2);
    EXPECT_EQ(entry(body, 2, 0), (std::array<std::uint8_t, 3>{255, 0, 0}));
    for (const std::size_t e : {1u, 13u, 62u, 125u}) {
        EXPECT_EQ(entry(body, 2, e), (std::array<std::uint8_t, 3>{0x6C, 0xFF, 0x00})) << e;
    }
    // The other slots are untouched.
    EXPECT_TRUE(std::equal(body.begin() + kStore, body.begin() + kStore + 2 * kSlotBytes,
                           before.begin() + kStore));
    act("selectchanged", "kb_Deng_all_kill_check", "1");
    EXPECT_FALSE(shown("kb_Deng_all_bright_check").selected);
    const auto cleared = profileBody("kb");
    EXPECT_TRUE(std::all_of(cleared.begin() + kStore + 2 * kSlotBytes,
                            cleared.begin() + kStore + 3 * kSlotBytes,
                            [](std::uint8_t b) { return b == 0; }));
    // A key click unselects both options.
    act("selectchanged", "kb_Deng_all_bright_check", "1");
    act("click", "kb_dkey_5");
    EXPECT_FALSE(shown("kb_Deng_all_bright_check").selected);
}

TEST_F(KeyboardEditor, SavingAlwaysWritesTheWholePayload) {
    act("valuechanged", "kb_deng_light_slider", "3");
    std::error_code error;
    EXPECT_EQ(std::filesystem::file_size(root_ / "QV" / "kb" / "New Profile 1.led", error),
              16u + 1958u);
}

// What selecting a mode does to the page, by kind and mode.
struct ModeCase {
    const char* name;
    const char* combo;
    int mode;
    const char* forwardLabel;  // the language key on the direction options after selection
    const char* backwardLabel;
    int sameModeEnabled;  // -1: left as it was
    bool customTools;
    bool colours;
    bool speed;
};

void PrintTo(const ModeCase& c, std::ostream* os) {
    *os << c.name;
}

class RgbModeSelection : public KeyboardEditor, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(RgbModeSelection, ShowsTheModesControlsAndLabels) {
    const ModeCase& c = GetParam();
    // Start from known labels and a known same-mode state.
    mode(14);
    act("itemselect", c.combo, std::to_string(c.mode));
    EXPECT_EQ(light().mode, c.mode);
    EXPECT_EQ(profileBody("kb")[kMode], c.mode);
    EXPECT_EQ(shown("kb_Deng_FXL_check").text, c.forwardLabel);
    EXPECT_EQ(shown("kb_Deng_FXR_check").text, c.backwardLabel);
    if (c.sameModeEnabled >= 0) {
        EXPECT_EQ(shown("kb_deng_same_mode").enabled, c.sameModeEnabled == 1);
    } else {
        EXPECT_FALSE(shown("kb_deng_same_mode").enabled);  // as mode 14 left it
    }
    EXPECT_EQ(shown("kb_deng_custom_tool_layout").visible, c.customTools);
    EXPECT_EQ(shown("kb_deng_custom_select_layout").visible, c.customTools);
    EXPECT_EQ(shown("kb_deng_Color_Pallet").visible, c.colours);
    EXPECT_EQ(shown("kb_deng_speed_layout").visible, c.speed);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, RgbModeSelection,
    ::testing::Values(ModeCase{"Static", "kb_deng_combo_modeSelect", 0, "Deng_FXL_text",
                               "Deng_FXR_text", -1, false, true, false},
                      ModeCase{"Pulse", "kb_deng_combo_modeSelect", 1, "Deng_FXL_text",
                               "Deng_FXR_text", 1, false, true, true},
                      ModeCase{"Serpentine", "kb_deng_combo_modeSelect", 4, "Deng_CWISE_text",
                               "Deng_AWISE_text", -1, false, true, true},
                      ModeCase{"Running", "kb_deng_combo_modeSelect", 6, "Deng_FXDOWN_text",
                               "Deng_FXUP_text", 0, false, true, true},
                      ModeCase{"Rain", "kb_deng_combo_modeSelect", 8, "Deng_FXSPEAD_text",
                               "Deng_FXGATHER_text", -1, false, true, true},
                      ModeCase{"Off", "kb_deng_combo_modeSelect", 10, "Deng_FXUP_text",
                               "Deng_FXDOWN_text", -1, false, false, false},
                      ModeCase{"Custom", "kb_deng_combo_modeSelect", 11, "Deng_FXL_text",
                               "Deng_FXR_text", -1, true, true, false},
                      ModeCase{"Bands", "kb_deng_combo_modeSelect", 13, "Deng_FXSPEAD_text",
                               "Deng_FXGATHER_text", -1, false, false, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(KeyboardEditor, ModeSelectionEndsTheSynchronisedEffectAndResetsTheEngine) {
    // The effect thread draws nothing while the keyboard is away, so the state it would step
    // stays as the selection left it.
    app_->query([this] { main().keyboardCommander().setConnected(false); });
    platform::StopEvent().wait(300ms);
    act("click", "kb_deng_same_mode");
    ASSERT_TRUE(read<bool>([](MainWindow& m) { return m.mouseCommander().synchronised(); }));
    app_->query([this] {
        main().effectEngines().keyboard.with([](lighting::effects::KeyboardEffectState& s) {
            s.phase = 77;
            s.keyLife.fill(9);
            s.hueCounter = 40;
        });
    });
    mode(5);
    EXPECT_FALSE(read<bool>([](MainWindow& m) { return m.keyboardCommander().synchronised(); }));
    EXPECT_FALSE(read<bool>([](MainWindow& m) { return m.mouseCommander().synchronised(); }));
    EXPECT_FALSE(read<bool>([](MainWindow& m) { return m.mousePadCommander().synchronised(); }));
    const auto state = read<lighting::effects::KeyboardEffectState>(
        [](MainWindow& m) { return m.effectEngines().keyboard.copy(); });
    // Reset keeps the hue counter; the ripple's initialisation seeds 0x40 into column 9.
    EXPECT_EQ(state.hueCounter, 40);
    EXPECT_EQ(state.keyLife[0], 0);
    for (const auto& bitmap : state.ripple) {
        EXPECT_EQ(bitmap[9] & 0x40, 0x40);
    }
    // A combo of another kind does nothing while the RGB keyboard is attached.
    act("itemselect", "kb_deng_film_combo_modeSelect", "2");
    EXPECT_EQ(light().mode, 5);
}

TEST_F(KeyboardEditor, SameEffectCopiesTheKeyboardSettingsToEveryDevice) {
    mode(2);
    act("click", "kb_Deng_color_btn_4");  // 0xFF008AFF
    act("valuechanged", "kb_deng_light_slider", "12");
    act("click", "kb_deng_same_mode");
    const LightSettings keyboard = light();
    EXPECT_EQ(read<LightSettings>([](MainWindow& m) { return m.stores().mouseSettings.light; }),
              keyboard);
    EXPECT_EQ(read<LightSettings>([](MainWindow& m) { return m.stores().mousePadSettings.light; }),
              keyboard);
    EXPECT_EQ(read<LightSettings>([](MainWindow& m) { return m.stores().sync; }), keyboard);
    EXPECT_TRUE(read<bool>([](MainWindow& m) { return m.keyboardCommander().synchronised(); }));
    EXPECT_TRUE(read<bool>([](MainWindow& m) { return m.mousePadCommander().synchronised(); }));
    // The mouse's and pad's profiles are saved with the keyboard's settings, and their pages
    // show them.
    const auto mouseBody = profileBody("ms");
    ASSERT_GE(mouseBody.size(), 64u);
    EXPECT_EQ(mouseBody[1], 2);
    EXPECT_EQ(mouseBody[2], 12);
    EXPECT_EQ(mouseBody[7], 0x8A);
    EXPECT_EQ(profileBody("mp")[8], 0xFF);
    EXPECT_EQ(shown("mp_deng_combo_modeSelect").item, 2);
    EXPECT_EQ(shown("ms_deng_light_slider").value, 12);
    // An edit of the keyboard's own lighting takes only the keyboard out of it.
    act("valuechanged", "kb_deng_light_slider", "11");
    EXPECT_FALSE(read<bool>([](MainWindow& m) { return m.keyboardCommander().synchronised(); }));
    EXPECT_TRUE(read<bool>([](MainWindow& m) { return m.mouseCommander().synchronised(); }));
}

TEST_F(KeyboardEditor, PageRefreshShowsTheLiveSettingsWithoutNotifications) {
    mode(3);
    const auto saved = profileBody("kb");
    app_->query([this] {
        LightSettings& light = main().stores().keyboardLight.live.light;
        light = {11, 6, 4, 0, 1, 1, 2, 3};
        main().stores().keyboardLight.word = {3, 40, 50, 60};
        main().publishLighting();
        runRefresh(main().pageRefresh().keyboardLighting);
    });
    EXPECT_EQ(shown("kb_deng_combo_modeSelect").item, 11);
    EXPECT_EQ(shown("kb_deng_light_slider").value, 6);
    EXPECT_EQ(shown("kb_deng_speed_slider").value, 10);
    EXPECT_TRUE(shown("kb_Deng_7color_check").selected);
    EXPECT_FALSE(shown("kb_Deng_FXL_check").selected);
    EXPECT_TRUE(shown("kb_Deng_FXR_check").selected);
    EXPECT_EQ(shown("kb_deng_combo_curtom_count").item, 3);
    // Mode 11 shows the paint colour.
    EXPECT_EQ(shown("kb_Deng_edit_R").text, "40");
    EXPECT_EQ(shown("kb_deng_Color_Pallet").colour, 0xFF28323Cu);
    EXPECT_TRUE(shown("kb_deng_custom_tool_layout").visible);
    // Nothing was saved: no handler ran.
    EXPECT_EQ(profileBody("kb"), saved);
}

class OtherKeyboards : public EditorFixture {};

TEST_F(OtherKeyboards, ARegionKeyPaintsItsWholeZone) {
    attach({DeviceKind::RegionKeyboard});
    act("itemselect", "kb_deng_film_combo_modeSelect", "6");
    act("selectchanged", "kb_Deng_all_kill_check", "1");
    act("click", "kb_Deng_color_btn_1");  // 0xFF00F6FF
    act("click", "kb_fkey_24");
    const auto body = profileBody("kb");
    const std::size_t slot =
        read<int>([](MainWindow& m) { return m.stores().keyboardLight.word.slot; });
    // Key 24 is in the second zone: the second entry of every column of the zone table.
    const std::vector<std::size_t> zone{2,  3,  4,  5,  24, 25, 26, 27, 45, 46,  47,
                                        48, 66, 67, 68, 69, 86, 87, 88, 89, 107, 108};
    for (std::size_t key = 0; key < 126; ++key) {
        const bool inZone = std::find(zone.begin(), zone.end(), key) != zone.end();
        EXPECT_EQ(entry(body, slot, key), inZone ? (std::array<std::uint8_t, 3>{0x00, 0xF6, 0xFF})
                                                 : (std::array<std::uint8_t, 3>{0, 0, 0}))
            << key;
    }
    // Key 16 paints as key 17, which lies in no zone: nothing changes.
    act("click", "kb_fkey_16");
    EXPECT_EQ(profileBody("kb"), body);
}

TEST_F(OtherKeyboards, MonoKeyboardPaintsFullBytesAndShowsItsOwnModeList) {
    attach({DeviceKind::MonoKeyboard});
    EXPECT_TRUE(shown("kb_deng_onecolor_combo_modeSelect").visible);
    EXPECT_FALSE(shown("kb_deng_combo_modeSelect").visible);
    act("itemselect", "kb_deng_onecolor_combo_modeSelect", "10");
    // The palette shows the keyboard's one colour.
    EXPECT_EQ(shown("kb_deng_Color_Pallet").colour, 0xFF2400FFu);
    act("selectchanged", "kb_Deng_all_kill_check", "1");
    // Key 38 drives LED 53.
    act("click", "kb_dkey_38");
    auto body = profileBody("kb");
    const std::size_t slot =
        read<int>([](MainWindow& m) { return m.stores().keyboardLight.word.slot; });
    EXPECT_EQ(body[kStore + slot * kSlotBytes + 53], 255);
    EXPECT_EQ(std::count(body.begin() + kStore + slot * kSlotBytes,
                         body.begin() + kStore + (slot + 1) * kSlotBytes, 255),
              1);
    act("selectchanged", "kb_Deng_all_bright_check", "1");
    body = profileBody("kb");
    // Only the first 126 bytes of a mono slot are used.
    EXPECT_EQ(std::count(body.begin() + kStore + slot * kSlotBytes,
                         body.begin() + kStore + slot * kSlotBytes + 126, 255),
              126);
    EXPECT_EQ(body[kStore + slot * kSlotBytes + 126], 0);
    act("itemselect", "kb_deng_onecolor_combo_modeSelect", "3");
    EXPECT_EQ(shown("kb_Deng_FXL_check").text, "Deng_CWISE_text");
    EXPECT_FALSE(shown("kb_deng_Color_Pallet").visible);
}

}  // namespace
}  // namespace korvane::app::testing
