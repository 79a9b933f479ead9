// The program with the X11 input hook: a key typed on the X server becomes a mouse button's
// function, and a recording of typed keys and clicks becomes macro actions.

// The program's headers come before Xlib's, whose macros (None, KeyClass) clash with names.
#include "backends/x11/x11_input_hook.h"
#include "core/app/headless_app.h"
#include "core/keys/stored_key_tables.h"
#include "core/platform/stop_event.h"

#include <filesystem>
#include <thread>

#include "x11/x11_fixture.h"

#include <X11/keysym.h>
#undef KeyClass

namespace korvane::testing {
namespace {

using namespace std::chrono_literals;

class X11CaptureApp : public X11Test {
  protected:
    void SetUp() override {
        X11Test::SetUp();
        if (IsSkipped()) {
            return;
        }
        std::string tmpl = (std::filesystem::temp_directory_path() / "korvane-x11-XXXXXX").string();
        ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
        root_ = tmpl;
        setenv("KORVANE_DATA_ROOT", (root_ / "QV").c_str(), 1);
        setenv("KORVANE_PROGRAM_FOLDER", KORVANE_SOURCE_DIR "/data", 1);
        app::HeadlessAppOptions o;
        o.skinFolder = KORVANE_SOURCE_DIR "/skin";
        o.programFile = "/usr/bin/korvane";
        o.installerFile = root_ / "install.ini";
        o.configHome = root_ / "config";
        o.makeInputHook = [] { return backends::x11::makeX11InputHook(); };
        app_ = std::make_unique<app::HeadlessApp>(std::move(o));
        std::string error;
        ASSERT_TRUE(app_->start(error)) << error;
    }
    void TearDown() override {
        app_.reset();
        if (!root_.empty()) {
            unsetenv("KORVANE_DATA_ROOT");
            unsetenv("KORVANE_PROGRAM_FOLDER");
            std::filesystem::remove_all(root_);
        }
        X11Test::TearDown();
    }

    void notify(std::string_view type, const std::string& name, const std::string& arg) {
        app_->act([&] { ASSERT_TRUE(app_->mainWindow().tree().deliver(type, name, arg)); });
    }
    keys::KeyFunction mouseRecord(int button) {
        keys::KeyFunction f;
        app_->query([&] {
            f = keys::recordAt(
                keys::StoredKeyTables(keys::KeyClass::Mouse, app_->mainWindow().stores())
                    .liveTable(),
                button);
        });
        return f;
    }
    template <class P>
    bool waitUntil(P pred, std::chrono::milliseconds timeout = 5000ms) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (!pred()) {
            if (std::chrono::steady_clock::now() >= deadline) {
                return false;
            }
            platform::StopEvent().wait(10ms);
        }
        return true;
    }

    std::filesystem::path root_;
    std::unique_ptr<app::HeadlessApp> app_;
};

TEST_F(X11CaptureApp, ATypedKeyBecomesTheButtonsFunction) {
    notify(ui::notify::kSelectChanged, "ms_key_2", "1");
    notify(ui::notify::kItemSelect, "ms_key_fct_combo", "6");
    FocusedWindow other(server()->display());
    tap(keycodeOf(XK_q));
    EXPECT_TRUE(waitUntil([&] { return mouseRecord(2) == keys::KeyFunction{0x20, 0x00, 0x14}; }));
    EXPECT_EQ(other.keyPresses(200ms), 0) << "the key was taken from the focused program";
    // The numeric-pad Enter is told from Enter by the key it comes from.
    tap(keycodeOf(XK_KP_Enter));
    EXPECT_TRUE(waitUntil([&] { return mouseRecord(2) == keys::KeyFunction{0x20, 0x00, 0x58}; }));
    // Another class ends capture: keys go back to the focused program.
    notify(ui::notify::kItemSelect, "ms_key_fct_combo", "4");
    tap(keycodeOf(XK_w));
    EXPECT_EQ(other.keyPresses(2000ms, 1), 1);
}

TEST_F(X11CaptureApp, RecordingTakesDelaysFromTheServersTimes) {
    macros::CaptureStart started{};
    app_->query([&] {
        started = app_->mainWindow()
                      .inputCapture()
                      .recording(macros::MacroClass::Keyboard)
                      .StartRecording({});
    });
    ASSERT_EQ(started, macros::CaptureStart::Started);
    const unsigned a = keycodeOf(XK_a);
    key(a, true);
    std::this_thread::sleep_for(300ms);
    key(a, false);
    button(1, true);
    button(1, false);
    std::vector<macros::MacroAction> actions;
    ASSERT_TRUE(waitUntil([&] {
        app_->query([&] {
            actions =
                app_->mainWindow().inputCapture().recording(macros::MacroClass::Keyboard).actions();
        });
        return actions.size() == 4;
    }));
    EXPECT_EQ(actions[0].kind, 0x8A);
    EXPECT_EQ(actions[0].code, 0x04);
    EXPECT_EQ(actions[0].name, "keyboard_key_A");
    // Held for 300 ms: count 30, give or take the scheduling of the test.
    EXPECT_GE(actions[0].delayCount(), 29);
    EXPECT_LE(actions[0].delayCount(), 80);
    EXPECT_EQ(actions[1].kind, 0x0A);
    EXPECT_EQ(actions[2].kind, 0x81);
    EXPECT_EQ(actions[3].kind, 0x01);
    EXPECT_EQ(actions[3].name, "mouse_key_left");
}

}  // namespace
}  // namespace korvane::testing
