#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <thread>

#include "app/app_fixture.h"
#include "core/app/window_messages.h"
#include "core/platform/main_ini.h"
#include "core/platform/paths.h"
#include "core/ui/skin_reader.h"
#include "device/fake_hid.h"

using namespace std::chrono_literals;
using korvane::app::testing::AppFixture;
namespace app = korvane::app;
namespace fs = std::filesystem;

namespace {

class MainWindowTest : public AppFixture {};

TEST_F(MainWindowTest, FirstStartSeedsEveryListBeforeAnyDevice) {
    start();
    const fs::path qv = root_ / "QV";
    for (const char* file :
         {"kb/kbProfile.ini", "ms/msProfile.ini", "mp/mpProfile.ini", "kb/New Profile 1.led",
          "kb/New Profile 1.pro", "kb/Profile.led", "kb/Profile2.led", "ms/New Profile 1.led",
          "ms/New Profile 1.pro", "ms/Profile.led", "mp/New Profile 1.led", "ms/name_1.cur",
          "ms/name_4.cur"}) {
        EXPECT_TRUE(fs::is_regular_file(qv / file)) << file;
    }
    app_->query([&] {
        for (const char* combo :
             {"kb_deng_profile_combo", "kb_key_profile_combo", "ms_deng_profile_combo",
              "ms_key_profile_combo", "mp_deng_profile_combo"}) {
            const auto* c = app_->mainWindow().tree().find(combo);
            ASSERT_NE(c, nullptr) << combo;
            ASSERT_EQ(c->items().size(), 1u) << combo;
            EXPECT_EQ(c->items()[0].text, "New Profile 1");
        }
    });
    EXPECT_EQ(count("window shown"), 0);
}

TEST_F(MainWindowTest, NoDeviceTrayClicksShowOneBoxWhileItIsOpen) {
    start();
    ASSERT_EQ(run("hold\ntray left\ntray left\ntray left\nanswer 0\ntray left\n"), 0)
        << errors_.str();
    // One box for the three clicks while it was open, one more after it closed.
    EXPECT_EQ(count("message message_text_1"), 2);
    EXPECT_EQ(count("window shown"), 0);
}

TEST_F(MainWindowTest, ToggleAutostartTwiceRestoresTheFirstState) {
    start();
    const fs::path entry = root_ / "config" / "autostart" / "korvane.desktop";
    ASSERT_FALSE(fs::exists(entry));
    ASSERT_EQ(run("menu ON_or_OFF\n"), 0) << errors_.str();
    // run() ends the session; start a new one to see the flag read back at window start.
    ASSERT_TRUE(fs::exists(entry));
    std::ifstream in(entry);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(text.find("Exec=\"/usr/bin/korvane\""), std::string::npos) << text;
    start();
    EXPECT_TRUE(app_->mainWindow().autoStartEnabled());
    ASSERT_EQ(run("menu power_off\n"), 0) << errors_.str();
    EXPECT_FALSE(fs::exists(entry));
}

TEST_F(MainWindowTest, AutostartUsesTheInstallationFolderWhenKnown) {
    {
        std::ofstream(root_ / "install.ini")
            << "[Qv Korvane Gaming Software 3.0]\nInstPath=/opt/korvane/bin\n";
    }
    start();
    ASSERT_EQ(run("menu ON_or_OFF\n"), 0);
    std::ifstream in(root_ / "config" / "autostart" / "korvane.desktop");
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(text.find("Exec=\"/opt/korvane/bin/korvane\""), std::string::npos) << text;
}

TEST_F(MainWindowTest, UnknownMenuEntryShowsItsOwnTextAndKnownOnesDoNot) {
    start();
    ASSERT_EQ(run("menu qianting\nmenu Menu_Import\nmenu no_such_entry\n"), 0);
    EXPECT_EQ(count("message no_such_entry"), 1);
    EXPECT_EQ(lines().size(), 1u);
}

TEST_F(MainWindowTest, InstallerLanguageIsTakenOverAtStart) {
    { std::ofstream(root_ / "install.ini") << "[Qv Korvane Gaming Software 3.0]\nLANGUAGE=1049\n"; }
    start();
    EXPECT_EQ(korvane::platform::MainIni(korvane::platform::MainIniPath()).language(), 4);
    app_->query([&] { EXPECT_EQ(app_->languageHost().languageFile, "lan_de.xml"); });
}

TEST_F(MainWindowTest, MenuLanguageKeepsFontsAndTellsTheInstaller) {
    { std::ofstream(root_ / "install.ini") << "[Qv Korvane Gaming Software 3.0]\n"; }
    start();
    ASSERT_EQ(run("menu lan_cn\n"), 0);
    EXPECT_EQ(korvane::platform::MainIni(korvane::platform::MainIniPath()).language(), 1);
    std::ifstream in(root_ / "install.ini");
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(text.find("LANGUAGE=2020"), std::string::npos) << text;
}

TEST_F(MainWindowTest, CloseButtonHidesAndTrayTogglesWhenADeviceIsConnected) {
    start();
    auto handle = std::make_unique<korvane::device::testing::FakeHidHandle>();
    app_->query([&] {
        auto& mouse = app_->mainWindow().mouseCommander();
        mouse.attach(std::move(handle));
        mouse.setConnected(true);
    });
    ASSERT_EQ(run("tray left\nwait-for window visible=1 1000\nnotify click closebtn\n"
                  "wait-for window visible=0 1000\ntray left\ntray left\n"),
              0)
        << errors_.str();
    EXPECT_EQ(count("window shown"), 2);
    EXPECT_EQ(count("window hidden"), 2);  // close button, second tray click
    EXPECT_EQ(count("message message_text_1"), 0);
}

TEST_F(MainWindowTest, ChangedMouseSettingsGoOutOncePerTick) {
    start();
    auto owned = std::make_unique<korvane::device::testing::FakeHidHandle>();
    auto* fake = owned.get();
    app_->query([&] {
        auto& main = app_->mainWindow();
        main.mouseCommander().attach(std::move(owned));
        main.mouseCommander().setConnected(true);
        main.stores().mouseSettings.light.mode = 7;
        main.mouseSettingsChanged = true;
        main.mouseSettingsChanged = true;
    });
    const auto settingsWrites = [&] {
        int n = 0;
        for (const auto& report : fake->written()) {
            n += report.bytes[3] == 0x06;
        }
        return n;
    };
    for (int i = 0; i < 300 && settingsWrites() == 0; ++i) {
        std::this_thread::sleep_for(10ms);
    }
    ASSERT_EQ(settingsWrites(), 1);
    const auto report = fake->written().back();
    EXPECT_EQ(report.bytes[4], 56);     // the whole 56-byte block
    EXPECT_EQ(report.bytes[8 + 1], 7);  // the record's mode, after its profile byte
    // No change, no write at the following ticks.
    std::this_thread::sleep_for(1200ms);
    EXPECT_EQ(settingsWrites(), 1);
}

TEST_F(MainWindowTest, SuspendStopsLightOutputAndResumeRestoresIt) {
    start();
    ASSERT_EQ(run("suspend\n"), 0);
    EXPECT_FALSE(app_->mainWindow().streamingEnabled);
    start();
    ASSERT_EQ(run("suspend\nresume\n"), 0);
    EXPECT_TRUE(app_->mainWindow().streamingEnabled);
}

TEST_F(MainWindowTest, ExitEndsWorkersThatWaitForTheMainThread) {
    auto o = options();
    std::atomic<int> invoked{0};
    o.installFeatures = [&](app::MainWindow& main) {
        main.workers().assign(app::WorkerSlot::KeyboardConnection,
                              [&main, &invoked](korvane::platform::StopEvent& stop) {
                                  while (!stop.wait(1ms)) {
                                      main.loop().invoke([&] { ++invoked; });
                                  }
                                  // One more hand-over after the stop was asked for.
                                  main.loop().invoke([&] { ++invoked; });
                              });
    };
    start(std::move(o));
    ASSERT_EQ(run("wait 50\n"), 0);
    EXPECT_GT(invoked.load(), 0);
    EXPECT_FALSE(app_->mainWindow().workers().running(app::WorkerSlot::KeyboardConnection));
}

TEST_F(MainWindowTest, PictureMessagesWriteThePreview) {
    start();
    app_->query([&] {
        auto& main = app_->mainWindow();
        main.handleMessage(app::msg::kPictureColour, 20, 0x00FF00);
        main.handleMessage(app::msg::kPictureAlpha, 20, 128);
        const auto entry = main.preview().get(20);
        EXPECT_EQ(entry.colour, 0x00FF00u);
        EXPECT_EQ(entry.alpha, 128);
        main.handleMessage(app::msg::kShowProgress);
        EXPECT_TRUE(main.tree().find("setting_progress")->visible());
    });
}

}  // namespace

namespace {

class DamagedDataTest : public AppFixture {};

TEST_F(DamagedDataTest, AnUnusableDataFolderStillStartsTheProgram) {
    // The data root lies below a plain file, so no folder or file can be made there.
    std::ofstream(root_ / "blocker") << "not a folder";
    setenv("KORVANE_DATA_ROOT", (root_ / "blocker" / "QV").c_str(), 1);
    start();
    ASSERT_EQ(run("tray left\n"), 0) << errors_.str();
    EXPECT_EQ(count("message message_text_1"), 1);
    EXPECT_FALSE(fs::exists(root_ / "blocker" / "QV"));
}

TEST_F(DamagedDataTest, ACorruptMainIniReadsAsDefaults) {
    fs::create_directories(root_ / "QV");
    {
        std::ofstream out(root_ / "QV" / "main.ini", std::ios::binary);
        for (int i = 0; i < 4096; ++i) {
            out.put(static_cast<char>((i * 37) & 0xFF));
        }
    }
    start();
    korvane::ui::ControlTree skinOnly;
    std::string error;
    ASSERT_TRUE(korvane::ui::ReadSkin(KORVANE_SOURCE_DIR "/skin", "XML_MAIN", skinOnly, error));
    app_->query([&] {
        EXPECT_EQ(app_->languageHost().languageFile, "lan_en.xml");
        // The skin's own background stays.
        EXPECT_EQ(app_->mainWindow().tree().find("root")->bkImage(),
                  skinOnly.find("root")->bkImage());
    });
}

TEST_F(DamagedDataTest, AMissingSkinFileIsNamedInTheError) {
    fs::create_directories(root_ / "skin");
    auto o = options();
    o.skinFolder = root_ / "skin";
    app_ = std::make_unique<app::HeadlessApp>(std::move(o));
    std::string error;
    EXPECT_FALSE(app_->start(error));
    EXPECT_NE(error.find("main.ui"), std::string::npos) << error;
}

}  // namespace
