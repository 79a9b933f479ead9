// Macro recording through the main window: the hook messages of the two recordings, the hooks
// the options install, and what deactivation and stopping do.

#include "keys/key_page_fixture.h"

#include <string>
#include <vector>

#include "core/macros/input_capture.h"

namespace korvane::keys::testing {
namespace {

using macros::FakeInputHook;
using macros::MacroAction;
using macros::MacroClass;
using macros::RecordingOptions;

class WindowRecording : public KeyPageFixture {
  protected:
    void SetUp() override {
        KeyPageFixture::SetUp();
        start({});
    }

    macros::CaptureStart startRecording(MacroClass c, RecordingOptions options = {}) {
        return onMain<macros::CaptureStart>([&](app::MainWindow& m) {
            return m.inputCapture().recording(c).StartRecording(options);
        });
    }
    void stopRecording(MacroClass c) {
        app_->query([&] { main().inputCapture().recording(c).StopRecording(); });
    }
    std::vector<MacroAction> actions(MacroClass c) {
        return onMain<std::vector<MacroAction>>(
            [&](app::MainWindow& m) { return m.inputCapture().recording(c).actions(); });
    }
    std::vector<std::string> texts(MacroClass c) {
        std::vector<std::string> out;
        for (const MacroAction& a : actions(c)) {
            out.push_back(macros::FormatAction(a));
        }
        return out;
    }
    bool keyboardHooked() {
        return onMain<bool>(
            [](app::MainWindow& m) { return m.inputCapture().hook().keyboardInstalled(); });
    }
    bool mouseHooked() {
        return onMain<bool>(
            [](app::MainWindow& m) { return m.inputCapture().hook().mouseInstalled(); });
    }
};

TEST_F(WindowRecording, HeldKeyAndDelaysFromTheEventTimes) {
    ASSERT_EQ(startRecording(MacroClass::Keyboard), macros::CaptureStart::Started);
    key(0x41, true, false, 20);
    key(0x41, true, false, 500);  // auto-repeat of the held key
    key(0x41, false, false, 734);
    key(0x0D, true, true, 100);
    key(0x0D, false, true, 10);
    mouseButton(FakeInputHook::Button::Left, true, 60);
    EXPECT_EQ(texts(MacroClass::Keyboard),
              (std::vector<std::string>{
                  "123,0,138,4,1,keyboard_key_A", "10,0,10,4,0,keyboard_key_A",
                  "1,0,138,88,1,keyboard_key_Num Enter", "6,0,10,88,0,keyboard_key_Num Enter",
                  "0,0,129,1,1,mouse_key_left"}));
}

TEST_F(WindowRecording, FixedDelayIsFiftyMilliseconds) {
    RecordingOptions options;
    options.fixedDelay = true;
    ASSERT_EQ(startRecording(MacroClass::Mouse, options), macros::CaptureStart::Started);
    key(0x42, true, false, 3000);
    key(0x42, false, false, 7000);
    mouseButton(FakeInputHook::Button::Right, true, 900);
    const auto recorded = actions(MacroClass::Mouse);
    ASSERT_EQ(recorded.size(), 3u);
    EXPECT_EQ(recorded[0].delayCount(), 5);
    EXPECT_EQ(recorded[1].delayCount(), 5);
    EXPECT_EQ(recorded[2].delayCount(), 0);
    EXPECT_TRUE(actions(MacroClass::Keyboard).empty()) << "each class records its own";
}

TEST_F(WindowRecording, MouseClicksOnlyLeaveTheKeyboardToOtherPrograms) {
    RecordingOptions options;
    options.keyboardEvents = false;
    ASSERT_EQ(startRecording(MacroClass::Keyboard, options), macros::CaptureStart::Started);
    EXPECT_FALSE(keyboardHooked());
    EXPECT_TRUE(mouseHooked());
    press(0x43);
    mouseButton(FakeInputHook::Button::Middle, true, 10);
    mouseButton(FakeInputHook::Button::Middle, false, 10);
    EXPECT_EQ(
        texts(MacroClass::Keyboard),
        (std::vector<std::string>{"1,0,129,4,1,mouse_key_middle", "0,0,1,4,0,mouse_key_middle"}));
}

TEST_F(WindowRecording, KeysOnlyInstallNoMouseHook) {
    RecordingOptions options;
    options.mouseClick = false;
    ASSERT_EQ(startRecording(MacroClass::Mouse, options), macros::CaptureStart::Started);
    EXPECT_TRUE(keyboardHooked());
    EXPECT_FALSE(mouseHooked());
    mouseButton(FakeInputHook::Button::Left, true);
    press(0x44);
    EXPECT_EQ(actions(MacroClass::Mouse).size(), 2u);
}

TEST_F(WindowRecording, DeactivationRemovesTheHooksButKeepsRecording) {
    ASSERT_EQ(startRecording(MacroClass::Keyboard), macros::CaptureStart::Started);
    press(0x45);
    app_->act([&] { main().windowDeactivated(); });
    EXPECT_FALSE(keyboardHooked());
    EXPECT_TRUE(onMain<bool>([](app::MainWindow& m) {
        return m.inputCapture().recording(MacroClass::Keyboard).recording();
    }));
    press(0x46);
    EXPECT_EQ(actions(MacroClass::Keyboard).size(), 2u);
    stopRecording(MacroClass::Keyboard);
    EXPECT_FALSE(onMain<bool>([](app::MainWindow& m) {
        return m.inputCapture().recording(MacroClass::Keyboard).recording();
    }));
}

TEST_F(WindowRecording, NothingIsRecordedAfterStopping) {
    ASSERT_EQ(startRecording(MacroClass::Keyboard), macros::CaptureStart::Started);
    press(0x47);
    stopRecording(MacroClass::Keyboard);
    press(0x48);
    mouseButton(FakeInputHook::Button::Left, true);
    EXPECT_EQ(actions(MacroClass::Keyboard).size(), 2u);
}

TEST_F(WindowRecording, RecordingAppendsToTheMacroBeingEditedAndSaysSo) {
    std::vector<macros::RecordedStep> steps;
    app_->query([&] {
        macros::MacroRecording& r = main().inputCapture().recording(MacroClass::Mouse);
        r.actions() = {*macros::ParseAction("0,0,129,1,1,mouse_key_left")};
        r.setOnRecorded([&steps](const macros::RecordedStep& s) { steps.push_back(s); });
    });
    ASSERT_EQ(startRecording(MacroClass::Mouse), macros::CaptureStart::Started);
    key(0x49, true, false, 250);
    key(0x49, false, false, 40);
    EXPECT_EQ(texts(MacroClass::Mouse), (std::vector<std::string>{"25,0,129,1,1,mouse_key_left",
                                                                  "4,0,138,12,1,keyboard_key_I",
                                                                  "0,0,10,12,0,keyboard_key_I"}));
    ASSERT_EQ(onMain<std::size_t>([&](app::MainWindow&) { return steps.size(); }), 2u);
    EXPECT_EQ(steps[0].appended, 1u);
    EXPECT_EQ(steps[0].delayed, 0u);
    EXPECT_EQ(steps[1].appended, 2u);
    EXPECT_EQ(steps[1].delayed, 1u);
    app_->query([&] { main().inputCapture().recording(MacroClass::Mouse).setOnRecorded({}); });
}

TEST_F(WindowRecording, UnavailableCaptureDoesNotStart) {
    app_->query([&] { app_->fakeInputHook()->setAvailable(false); });
    EXPECT_EQ(startRecording(MacroClass::Keyboard), macros::CaptureStart::Unavailable);
    EXPECT_EQ(macros::CaptureStartMessage(macros::CaptureStart::Unavailable),
              "capture_unavailable_text");
    EXPECT_FALSE(onMain<bool>([](app::MainWindow& m) {
        return m.inputCapture().recording(MacroClass::Keyboard).recording();
    }));
}

TEST_F(WindowRecording, ACaptureTheDesktopEndedRemovesTheHooks) {
    ASSERT_EQ(startRecording(MacroClass::Keyboard), macros::CaptureStart::Started);
    app_->query([&] { app_->fakeInputHook()->endCapture(macros::CaptureEnd::GrabLost); });
    EXPECT_FALSE(keyboardHooked());
    EXPECT_FALSE(mouseHooked());
}

// The macro page's check boxes as recording reads them, for each class.
TEST_F(WindowRecording, OptionsComeFromTheMacroPagesCheckBoxes) {
    const auto options = [&](MacroClass c) {
        return onMain<RecordingOptions>(
            [c](app::MainWindow& m) { return macros::RecordingOptionsFrom(m.tree(), c); });
    };
    // As the skin starts them: key events and clicks.
    RecordingOptions kb = options(MacroClass::Keyboard);
    EXPECT_TRUE(kb.keyboardEvents);
    EXPECT_TRUE(kb.mouseClick);
    EXPECT_FALSE(kb.mouseRoller || kb.mouseMove || kb.fixedDelay);
    notify(ui::notify::kSelectChanged, "kb_macro_keyboard_event", "0");
    notify(ui::notify::kSelectChanged, "kb_macro_check_time", "1");
    notify(ui::notify::kSelectChanged, "ms_macro_mouse_move", "1");
    kb = options(MacroClass::Keyboard);
    EXPECT_FALSE(kb.keyboardEvents);
    EXPECT_TRUE(kb.fixedDelay);
    EXPECT_FALSE(kb.mouseMove);
    const RecordingOptions ms = options(MacroClass::Mouse);
    EXPECT_TRUE(ms.keyboardEvents);
    EXPECT_TRUE(ms.mouseMove);
    EXPECT_FALSE(ms.fixedDelay);
}

TEST_F(WindowRecording, AKeyboardRefusedAMomentLaterIsSaid) {
    ASSERT_EQ(startRecording(MacroClass::Keyboard), macros::CaptureStart::Started);
    app_->query([&] { app_->fakeInputHook()->endCapture(macros::CaptureEnd::Refused); });
    app_->query([] {});  // the ending reaches the window as a message, handled by now
    EXPECT_EQ(count("message capture_refused_text"), 1);
    EXPECT_FALSE(keyboardHooked());
}

// Hook messages of modes nobody uses only write their debug line, and recording messages
// outside recording change nothing.
TEST_F(WindowRecording, StrayHookMessagesChangeNothing) {
    app_->query([&] {
        macros::KeyRecord r;
        r.vkCode = 0x41;
        main().handleMessage(0x0802, 0x100, reinterpret_cast<std::intptr_t>(&r));
        main().handleMessage(0x0811, 0x100, reinterpret_cast<std::intptr_t>(&r));
        main().handleMessage(0x0803, 0x100, reinterpret_cast<std::intptr_t>(&r));
        main().handleMessage(0x0813, 0x201, 0);
        main().handleMessage(0x0803, 0x100, 0);
    });
    EXPECT_TRUE(actions(MacroClass::Keyboard).empty());
    EXPECT_TRUE(actions(MacroClass::Mouse).empty());
}

}  // namespace
}  // namespace korvane::keys::testing
