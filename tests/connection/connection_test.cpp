// Device threads and connection sequences, end to end: the headless program with simulated
// devices plugged and unplugged by scripts and by the tests themselves.

#include <algorithm>
#include <array>
#include <vector>

#include "connection/connection_fixture.h"
#include "core/app/window_messages.h"
#include "core/device/device_commander.h"
#include "core/profiles/profile_file.h"
#include "core/profiles/profile_index.h"

namespace korvane::app::testing {
namespace {

using namespace std::chrono_literals;
using device::DeviceKind;

class ConnectionTest : public ConnectionFixture {
  protected:
    // Records the update window's messages and its closing, on the main thread, in place of
    // the update window that would take them.
    void startRecording(std::function<void(MainWindow&)> more = {}) {
        start([this, more](MainWindow& main) {
            for (const int message :
                 {msg::kRgbKeyboardConnected, msg::kRgbKeyboardLost, msg::kMonoKeyboardConnected,
                  msg::kMonoKeyboardLost, msg::kMouseConnected, msg::kMouseLost,
                  msg::kRegionKeyboardConnected, msg::kMouse2Connected, msg::kRegionKeyboardLost,
                  msg::kMouse2Lost, msg::kMembraneKeyboardConnected, msg::kMembraneKeyboardLost}) {
                main.registerMessage(message, [this, message](std::intptr_t, std::intptr_t) {
                    updateMessages_.push_back(message);
                });
            }
            main.registerMessage(msg::kCloseUpdateWindow,
                                 [this](std::intptr_t, std::intptr_t) { ++updateClosed_; });
            if (more) {
                more(main);
            }
        });
    }
    std::vector<int> updateMessages() {
        return onMain<std::vector<int>>([this](MainWindow&) { return updateMessages_; });
    }
    int countMessage(int message) {
        const auto all = updateMessages();
        return static_cast<int>(std::count(all.begin(), all.end(), message));
    }
    bool selected(const std::string& name) {
        return onMain<bool>([&](MainWindow& m) {
            const ui::Control* c = m.tree().find(name);
            return c != nullptr && c->selected();
        });
    }
    bool visible(const std::string& name) {
        return onMain<bool>([&](MainWindow& m) {
            const ui::Control* c = m.tree().find(name);
            return c != nullptr && c->visible();
        });
    }

    std::vector<int> updateMessages_;  // main thread
    int updateClosed_ = 0;             // main thread
};

TEST_F(ConnectionTest, AConnectedKeyboardDrawsItsOwnProfileOnTheWire) {
    auto keyboard = backend().plug(DeviceKind::RgbKeyboard);
    startRecording();
    ASSERT_TRUE(waitUntil([](MainWindow& m) { return m.kinds().keyboardShown == 1; }));
    // Connecting does not hand the keyboard to the synchronised effect: its own effect
    // thread draws the seeded profile (an animated mode at full brightness).
    EXPECT_FALSE(onMain<bool>([](MainWindow& m) { return m.keyboardCommander().synchronised(); }));
    const auto lit = [&] {
        const auto frame =
            keyboard->inspect([](const sim::Firmware& f) { return f.lastFrame(378); });
        return frame && std::any_of(frame->begin(), frame->end(), [](auto b) { return b != 0; });
    };
    ASSERT_TRUE(waitUntil([&](MainWindow&) { return lit(); }, 5000ms));
}

TEST_F(ConnectionTest, AMousePadAloneLeavesTheWindowHidden) {
    startRecording();
    ASSERT_EQ(run("plug mousepad\n"
                  "wait-for mp_tab selected=1 4000\n"
                  "wait 300\n"
                  "wait-for window visible=0 10\n"),
              kScriptDone)
        << errors_.str();
    EXPECT_EQ(count("window shown"), 0);
    EXPECT_TRUE(updateMessages().empty());
    EXPECT_TRUE(main().mousePadCommander().connected());
}

struct KeyboardCase {
    const char* model;
    DeviceKind kind;
    const char* tab;
    const char* lightVariant;
    const char* keyVariant;
    int connected;
    int lost;
    int shown;
};

class KeyboardKinds : public ConnectionTest, public ::testing::WithParamInterface<KeyboardCase> {};

TEST_P(KeyboardKinds, PlugShowsTheKindsPagesAndTabAndUnplugHidesTheWindow) {
    const KeyboardCase& c = GetParam();
    startRecording();
    ASSERT_EQ(run(std::string("plug ") + c.model +
                  "\nwait-for window visible=1 4000\n"
                  "wait-for " +
                  c.tab +
                  " selected=1 1000\n"
                  "wait-for " +
                  c.tab +
                  " visible=1 10\n"
                  "wait-for " +
                  c.lightVariant +
                  " visible=1 10\n"
                  "wait-for " +
                  c.keyVariant +
                  " visible=1 10\n"
                  "wait-for kb_tab_panel visible=1 10\n"),
              kScriptDone)
        << errors_.str();
    EXPECT_EQ(onMain<int>([](MainWindow& m) { return m.kinds().keyboardShown.load(); }), c.shown);
    EXPECT_EQ(onMain<int>([](MainWindow& m) { return m.kinds().keyboardKind.load(); }),
              device::modelOf(c.kind).classKind);
    // Exactly one of the three variants of each page is shown.
    int lightShown = 0;
    for (const char* v : {"kb_mechanical_light", "kb_film_light", "kb_membrane_light"}) {
        lightShown += visible(v);
    }
    EXPECT_EQ(lightShown, 1);
    EXPECT_EQ(updateMessages(), std::vector<int>{c.connected});

    // The script shut the program down; a new one sees the unplug.
    app_.reset();
    output_.clear();
    updateMessages_.clear();
    updateClosed_ = 0;
    startRecording();
    ASSERT_EQ(run(std::string("wait-for window visible=1 4000\n"
                              "unplug ") +
                  c.model +
                  "\nwait-for window visible=0 3000\n"
                  "wait-for " +
                  c.tab + " visible=0 10\n"),
              kScriptDone)
        << errors_.str();
    EXPECT_EQ(updateMessages(), (std::vector<int>{c.connected, c.lost}));
    EXPECT_EQ(onMain<int>([](MainWindow& m) { return m.kinds().keyboardShown.load(); }), 0);
    EXPECT_EQ(onMain<int>([this](MainWindow&) { return updateClosed_; }), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Models, KeyboardKinds,
    ::testing::Values(KeyboardCase{"rgb-keyboard", DeviceKind::RgbKeyboard, "kb_tab",
                                   "kb_mechanical_light", "kb_mechanical_key",
                                   msg::kRgbKeyboardConnected, msg::kRgbKeyboardLost, 1},
                      KeyboardCase{"mono-keyboard", DeviceKind::MonoKeyboard, "kb_onecolor_tab",
                                   "kb_mechanical_light", "kb_mechanical_key",
                                   msg::kMonoKeyboardConnected, msg::kMonoKeyboardLost, 2},
                      KeyboardCase{"region-keyboard", DeviceKind::RegionKeyboard, "kb_film_tab",
                                   "kb_film_light", "kb_film_key", msg::kRegionKeyboardConnected,
                                   msg::kRegionKeyboardLost, 3},
                      KeyboardCase{"membrane-keyboard", DeviceKind::MembraneKeyboard,
                                   "kb_membrane_tab", "kb_membrane_light", "kb_membrane_key",
                                   msg::kMembraneKeyboardConnected, msg::kMembraneKeyboardLost, 4}),
    [](const auto& info) {
        std::string name = info.param.model;
        std::replace(name.begin(), name.end(), '-', '_');
        return name;
    });

TEST_F(ConnectionTest, LosingTheKeyboardWhileAMouseStaysSelectsTheMouseTab) {
    startRecording();
    ASSERT_EQ(run("plug rgb-keyboard\n"
                  "wait-for kb_tab selected=1 4000\n"
                  "plug mouse\n"
                  "wait-for ms_tab selected=1 4000\n"
                  "wait-for kb_deng_same_mode enabled=1 1000\n"
                  "wait-for ms_deng_same_mode enabled=1 1000\n"
                  "notify selectchanged kb_tab 1\n"
                  "wait-for ms_tab selected=0 100\n"
                  "unplug rgb-keyboard\n"
                  "wait-for kb_tab visible=0 3000\n"
                  "wait-for ms_tab selected=1 100\n"
                  "wait-for ms_deng_same_mode enabled=0 1000\n"
                  "wait 200\n"
                  "wait-for window visible=1 10\n"
                  "unplug mouse\n"
                  "wait-for window visible=0 3000\n"
                  "wait-for ms_tab visible=0 10\n"),
              kScriptDone)
        << errors_.str();
    EXPECT_EQ(count("window hidden"), 1);
    EXPECT_EQ(updateMessages(), (std::vector<int>{msg::kRgbKeyboardConnected, msg::kMouseConnected,
                                                  msg::kRgbKeyboardLost, msg::kMouseLost}));
    EXPECT_EQ(onMain<int>([this](MainWindow&) { return updateClosed_; }), 1);
}

TEST_F(ConnectionTest, AnAltMouseHasNoTabAndSendsNoMessages) {
    startRecording();
    ASSERT_EQ(run("plug mouse-alt\n"
                  "wait-for window visible=1 4000\n"
                  "wait-for ms_cursor_Op_tab visible=1 10\n"
                  "wait 200\n"
                  "unplug mouse-alt\n"
                  "wait-for window visible=0 3000\n"),
              kScriptDone)
        << errors_.str();
    EXPECT_TRUE(updateMessages().empty());
}

TEST_F(ConnectionTest, PlugAndUnplugTenTimesLeavesOneConnectionAndNoStuckThread) {
    startRecording();
    std::string script;
    for (int i = 0; i < 10; ++i) {
        script +=
            "plug rgb-keyboard\nwait-for kb_tab visible=1 4000\n"
            "unplug rgb-keyboard\nwait-for window visible=0 3000\n";
    }
    // Then in quick succession, without waiting for the program in between.
    for (int i = 0; i < 10; ++i) {
        script += "plug rgb-keyboard\nplug mouse\nunplug mouse\nunplug rgb-keyboard\n";
    }
    script +=
        "plug rgb-keyboard\nwait-for kb_tab visible=1 4000\nwait 1500\n"
        "wait-for kb_tab selected=1 10\nwait-for window visible=1 10\n";
    ASSERT_EQ(run(script), kScriptDone) << errors_.str();
    // The script's shutdown hid the window once more.
    EXPECT_EQ(count("window shown"), count("window hidden"));
    const int connected =
        countMessage(msg::kRgbKeyboardConnected) + countMessage(msg::kMouseConnected);
    const int lost = countMessage(msg::kRgbKeyboardLost) + countMessage(msg::kMouseLost);
    EXPECT_EQ(connected - lost, 1);
    EXPECT_GE(countMessage(msg::kRgbKeyboardConnected), 11);
    EXPECT_TRUE(main().keyboardCommander().connected());
    EXPECT_FALSE(main().mouseCommander().connected());
    // Every worker ended at the script's shutdown.
    EXPECT_FALSE(main().workers().running(WorkerSlot::KeyboardConnection));
    EXPECT_FALSE(main().workers().running(WorkerSlot::MouseConsumerListener));
}

// A mouse this user may not open: one message box with the rule's advice, posted by the
// connection thread, however many passes look at it; the window stays hidden.
TEST_F(ConnectionTest, ADeviceThisUserMayNotOpenGetsOneMessage) {
    sim::SimSettings denied;
    denied.faults.push_back({sim::FaultKind::PermissionDenied, 0});
    backend(denied).plug(DeviceKind::Mouse);
    startRecording();
    ASSERT_TRUE(waitForLine("message message_device_access"));
    // Two more passes of the mouse's connection thread.
    ASSERT_EQ(run("wait 2200\n"), kScriptDone) << errors_.str();
    EXPECT_EQ(count("message message_device_access"), 1);
    EXPECT_EQ(count("window shown"), 0);
    EXPECT_FALSE(main().mouseCommander().connected());
}

}  // namespace
}  // namespace korvane::app::testing
