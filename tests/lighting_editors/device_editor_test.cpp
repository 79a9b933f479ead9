// The mouse and mouse-pad lighting pages driven through their controls: the live records,
// what reaches the devices with the one-second settings flush, and the saved profiles.

#include "lighting_editors/editor_fixture.h"

namespace korvane::app::testing {
namespace {

using namespace std::chrono_literals;
using device::DeviceClass;
using device::DeviceKind;
using lighting::LightSettings;

// Long enough for two ticks of the one-second flush.
constexpr auto kTwoFlushes = 2200ms;

class DeviceEditors : public EditorFixture {
  protected:
    LightSettings mouseLight() {
        return read<LightSettings>([](MainWindow& m) { return m.stores().mouseSettings.light; });
    }
    LightSettings padLight() {
        return read<LightSettings>([](MainWindow& m) { return m.stores().mousePadSettings.light; });
    }
    void pause(std::chrono::milliseconds ms) { platform::StopEvent().wait(ms); }
    bool writesReach(DeviceClass cls, std::uint64_t count) {
        const auto deadline = std::chrono::steady_clock::now() + 3s;
        while (settingsWrites(cls) < count) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            pause(10ms);
        }
        return true;
    }
};

TEST_F(DeviceEditors, AMouseColourChangeTravelsWithTheNextModeSelection) {
    attach({DeviceKind::Mouse});
    const std::uint64_t before = settingsWrites(DeviceClass::Mouse);
    act("textchanged", "ms_Deng_edit_R", "200");
    act("valuechanged", "ms_deng_light_slider", "5");
    EXPECT_EQ(mouseLight().red, 200);
    // The profile has it at once; the mouse does not.
    EXPECT_EQ(profileBody("ms")[kRed], 200);
    pause(kTwoFlushes);
    EXPECT_EQ(settingsWrites(DeviceClass::Mouse), before);
    act("itemselect", "ms_deng_combo_modeSelect", "2");
    ASSERT_TRUE(writesReach(DeviceClass::Mouse, before + 1));
    const auto record = deviceRecord(DeviceClass::Mouse);
    EXPECT_EQ(record[kMode], 2);
    EXPECT_EQ(record[kRed], 200);
    EXPECT_EQ(record[kBrightness], 5);
    // The direction buttons mark the record too.
    act("click", "ms_Deng_FXR_btn");
    ASSERT_TRUE(writesReach(DeviceClass::Mouse, before + 2));
    EXPECT_EQ(deviceRecord(DeviceClass::Mouse)[kDirection], 1);
    act("click", "ms_Deng_FXL_btn");
    ASSERT_TRUE(writesReach(DeviceClass::Mouse, before + 3));
    EXPECT_EQ(deviceRecord(DeviceClass::Mouse)[kDirection], 0);
    EXPECT_TRUE(shown("ms_Deng_FXR_check").selected);
}

TEST_F(DeviceEditors, TwoPadChangesWithinOneSecondReachThePadAsOneWrite) {
    attach({DeviceKind::MousePad});
    pause(1200ms);
    const std::uint64_t before = settingsWrites(DeviceClass::MousePad);
    app_->query([this] {
        main().tree().deliver("valuechanged", "mp_deng_light_slider", "6");
        main().tree().deliver("textchanged", "mp_Deng_edit_G", "999");
    });
    ASSERT_TRUE(writesReach(DeviceClass::MousePad, before + 1));
    pause(kTwoFlushes);
    EXPECT_EQ(settingsWrites(DeviceClass::MousePad), before + 1);
    const std::uint8_t slot = read<std::uint8_t>(
        [](MainWindow& m) { return m.stores().mousePadSettings.onboardProfile; });
    const auto sent = deviceRecord(DeviceClass::MousePad, slot);
    EXPECT_EQ(sent[kBrightness], 6);
    EXPECT_EQ(sent[kGreen], 255);
    EXPECT_EQ(shown("mp_Deng_edit_G").text, "255");
}

TEST_F(DeviceEditors, EveryPadControlChangesTheRecordAndItsProfile) {
    attach({DeviceKind::MousePad});
    const std::uint64_t before = settingsWrites(DeviceClass::MousePad);
    act("itemselect", "mp_deng_combo_modeSelect", "4");
    act("valuechanged", "mp_deng_speed_slider", "11");
    act("selectchanged", "mp_Deng_FXR_check", "1");
    act("selectchanged", "mp_Deng_7color_check", "1");
    LightSettings light = padLight();
    EXPECT_EQ(light.mode, 4);
    EXPECT_EQ(light.speed, 3);
    EXPECT_EQ(light.direction, 0);
    EXPECT_EQ(light.colourful, 1);
    act("click", "mp_Deng_color_btn_7");  // 0xFFFE5400
    light = padLight();
    EXPECT_EQ(light.colourful, 0);
    EXPECT_EQ(light.red, 0xFE);
    EXPECT_EQ(light.green, 0x54);
    EXPECT_FALSE(shown("mp_Deng_7color_check").selected);
    EXPECT_EQ(shown("mp_Deng_colordp_btn").bkColor, 0xFFFE5400u);
    EXPECT_EQ(shown("mp_Deng_edit_G").text, "84");
    act("colorchanged", "mp_deng_Color_Pallet", "0xFF0A0B0C");
    const auto body = profileBody("mp");
    ASSERT_EQ(body.size(), 64u);
    EXPECT_EQ(body[kMode], 4);
    EXPECT_EQ(body[kSpeed], 3);
    EXPECT_EQ(body[kDirection], 0);
    EXPECT_EQ(body[kColourful], 0);
    EXPECT_EQ(body[kRed], 0x0A);
    EXPECT_EQ(body[kBlue], 0x0C);
    // Every one of them marked the pad's record: it reaches the pad with the last colour.
    ASSERT_TRUE(writesReach(DeviceClass::MousePad, before + 1));
    pause(1200ms);
    const std::uint8_t slot = read<std::uint8_t>(
        [](MainWindow& m) { return m.stores().mousePadSettings.onboardProfile; });
    EXPECT_EQ(deviceRecord(DeviceClass::MousePad, slot)[kBlue], 0x0C);
}

TEST_F(DeviceEditors, SameModeFollowsTheMouseModeAndStaysOffWithTheMonoKeyboard) {
    attach({DeviceKind::MonoKeyboard, DeviceKind::Mouse, DeviceKind::MousePad});
    for (int mode = 0; mode < 10; ++mode) {
        act("itemselect", "ms_deng_combo_modeSelect", std::to_string(mode));
        EXPECT_FALSE(shown("ms_deng_same_mode").enabled) << mode;
    }
    // The pad's own rule: modes 0..3 can be shared.
    for (int mode = 0; mode < 9; ++mode) {
        act("itemselect", "mp_deng_combo_modeSelect", std::to_string(mode));
        EXPECT_EQ(shown("mp_deng_same_mode").enabled, mode <= 3) << mode;
    }
}

TEST_F(DeviceEditors, SameModeIsOfferedForTheFirstFourMouseModes) {
    attach({DeviceKind::RgbKeyboard, DeviceKind::Mouse});
    for (int mode = 0; mode < 10; ++mode) {
        act("itemselect", "ms_deng_combo_modeSelect", std::to_string(mode));
        EXPECT_EQ(shown("ms_deng_same_mode").enabled, mode <= 3) << mode;
        EXPECT_EQ(shown("ms_deng_Color_Pallet").visible, mode != 3 && mode != 9) << mode;
    }
}

TEST_F(DeviceEditors, TheTravellingPulseStartsFromTheTriggerOfTheDirection) {
    attach({DeviceKind::Mouse});
    // Stop the mouse's thread from turning the ring while the test reads it.
    app_->query([this] { main().mouseCommander().setConnected(false); });
    pause(300ms);
    auto ring = [this] {
        const auto s = read<lighting::effects::MouseEffectState>(
            [](MainWindow& m) { return m.effectEngines().mouse.copy(); });
        std::vector<int> set;
        for (std::size_t i = 0; i < s.ring.size(); ++i) {
            if (s.ring[i] != 0) {
                set.push_back(static_cast<int>(i));
            }
        }
        return set;
    };
    act("selectchanged", "ms_Deng_FXR_check", "1");
    act("itemselect", "ms_deng_combo_modeSelect", "4");
    EXPECT_EQ(ring(), std::vector<int>{0});
    act("selectchanged", "ms_Deng_FXL_check", "1");
    EXPECT_EQ(ring(), std::vector<int>{7});
    // Another mode clears the ring; the page refresh of mode 4 sets the trigger again.
    act("itemselect", "ms_deng_combo_modeSelect", "2");
    EXPECT_EQ(ring(), std::vector<int>{});
    app_->query([this] {
        main().stores().mouseSettings.light.mode = 4;
        runRefresh(main().pageRefresh().mousePages);
    });
    EXPECT_EQ(ring(), std::vector<int>{7});
    EXPECT_EQ(shown("ms_deng_combo_modeSelect").item, 4);
}

TEST_F(DeviceEditors, ChannelEditsAboveTheRangeStore255OnBothPages) {
    attach({DeviceKind::Mouse, DeviceKind::MousePad});
    act("selectchanged", "ms_Deng_7color_check", "1");
    act("textchanged", "ms_Deng_edit_B", "999");
    act("textchanged", "mp_Deng_edit_R", "256");
    EXPECT_EQ(shown("ms_Deng_edit_B").text, "255");
    EXPECT_EQ(shown("mp_Deng_edit_R").text, "255");
    EXPECT_EQ(mouseLight().blue, 255);
    EXPECT_EQ(mouseLight().colourful, 0);
    EXPECT_FALSE(shown("ms_Deng_7color_check").selected);
    EXPECT_EQ(padLight().red, 255);
    EXPECT_EQ(profileBody("ms")[kBlue], 255);
    EXPECT_EQ(profileBody("mp")[kRed], 255);
    EXPECT_EQ(shown("ms_deng_Color_Pallet").colour & 0xFF, 255u);
}

TEST_F(DeviceEditors, SameEffectFromTheMouseDrivesTheKeyboardAndThePad) {
    attach({DeviceKind::RgbKeyboard, DeviceKind::Mouse, DeviceKind::MousePad});
    act("itemselect", "ms_deng_combo_modeSelect", "3");
    act("valuechanged", "ms_deng_speed_slider", "12");
    act("click", "ms_deng_same_mode");
    const LightSettings mouse = mouseLight();
    EXPECT_EQ(
        read<LightSettings>([](MainWindow& m) { return m.stores().keyboardLight.live.light; }),
        mouse);
    EXPECT_EQ(padLight(), mouse);
    EXPECT_EQ(read<LightSettings>([](MainWindow& m) { return m.stores().sync; }), mouse);
    EXPECT_EQ(shown("kb_deng_combo_modeSelect").item, 3);
    EXPECT_EQ(shown("kb_deng_speed_slider").value, 12);
    EXPECT_EQ(profileBody("kb")[kMode], 3);
    EXPECT_EQ(profileBody("mp")[kSpeed], 2);
    for (const bool synchronised :
         {read<bool>([](MainWindow& m) { return m.keyboardCommander().synchronised(); }),
          read<bool>([](MainWindow& m) { return m.mouseCommander().synchronised(); }),
          read<bool>([](MainWindow& m) { return m.mousePadCommander().synchronised(); })}) {
        EXPECT_TRUE(synchronised);
    }
    // An edit on the pad's page takes only the pad out of the common effect.
    act("valuechanged", "mp_deng_light_slider", "2");
    EXPECT_FALSE(read<bool>([](MainWindow& m) { return m.mousePadCommander().synchronised(); }));
    EXPECT_TRUE(read<bool>([](MainWindow& m) { return m.keyboardCommander().synchronised(); }));
}

}  // namespace
}  // namespace korvane::app::testing
