// The whole windowed program on the offscreen platform: start hidden, tray, menus, languages,
// activation by a later start, the pictures' refresh.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QTimer>

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

#include "core/platform/main_ini.h"
#include "core/platform/paths.h"
#include "gui/device_picture.h"
#include "gui/geometry_report.h"
#include "gui/gui_app.h"
#include "gui/skin_picker.h"
#include "qt_environment.h"
#include "sim/sim_settings.h"
#include "sim/simulated_backend.h"

using namespace korvane;
using namespace korvane::gui;
using korvane::gui::test_support::kSkinFolder;
using korvane::gui::test_support::pumpUntil;

namespace {

class Program : public ::testing::Test {
  protected:
    void SetUp() override {
        GuiAppOptions options;
        options.skinFolder = kSkinFolder;
        options.programFile = "/usr/bin/korvane";
        options.installerFile = data.path("install.ini");
        options.configHome = data.path("config");
        gui = std::make_unique<GuiApp>(options);
        gui->dialogs().setOnOpen([this](MessageBox& box) {
            boxes.push_back(qobject_cast<QLabel*>(box.binder().widget("MessageText"))->text());
            QTimer::singleShot(0, &box, [&box] {
                qobject_cast<QAbstractButton*>(box.binder().widget("cancel_btn"))->click();
            });
        });
        std::string error;
        ASSERT_TRUE(gui->start(error)) << error;
    }
    void TearDown() override { gui.reset(); }

    QStringList menuTexts(QMenu* menu) {
        QStringList texts;
        for (QAction* action : menu->actions()) {
            texts << action->objectName() + "=" + action->text();
        }
        return texts;
    }

    test_support::TempDataRoot data;
    std::unique_ptr<GuiApp> gui;
    QStringList boxes;
};

TEST_F(Program, StartsHiddenWithTheMainWindowsTitleAndSize) {
    EXPECT_FALSE(gui->window().isVisible());
    EXPECT_EQ(gui->window().windowTitle(), "Qv Korvane Gaming Software");
    EXPECT_EQ(gui->window().size(), QSize(800, 572));
    EXPECT_EQ(gui->tray().icon().toolTip(), "Qv Korvane Gaming Software 3.0");
}

TEST_F(Program, TrayClickWithoutADeviceShowsTheNoDeviceMessage) {
    Q_EMIT gui->tray().icon().activated(QSystemTrayIcon::Trigger);
    EXPECT_FALSE(gui->window().isVisible());
    EXPECT_EQ(boxes, QStringList{"No supported device is connected."});
}

TEST_F(Program, ALaterStartActivatesTheWindowOrSaysThatNoDeviceIsThere) {
    gui->activate();
    EXPECT_EQ(boxes.size(), 1);
    EXPECT_FALSE(gui->window().isVisible());
}

TEST_F(Program, TrayMenuCarriesTheSkinsEntriesThenExitAndAutostart) {
    Q_EMIT gui->tray().icon().activated(QSystemTrayIcon::Context);
    QMenu* menu = gui->tray().lastMenu();
    ASSERT_NE(menu, nullptr);
    const QStringList texts = menuTexts(menu);
    ASSERT_GE(texts.size(), 3);
    EXPECT_EQ(texts[texts.size() - 2], "exit=Exit");
    EXPECT_EQ(texts.back(), "ON_or_OFF=Start with the system");
    QMenu* languages = menu->findChild<QMenu*>("Menu_language");
    ASSERT_NE(languages, nullptr);
    EXPECT_EQ(languages->title(), "Language");
}

TEST_F(Program, ChoosingALanguageInTheMenuReloadsTheTexts) {
    auto* tab = qobject_cast<QAbstractButton*>(gui->binder().widget("kb_tab"));
    ASSERT_NE(tab, nullptr);
    EXPECT_EQ(tab->text(), "Keyboard");
    Q_EMIT gui->tray().icon().activated(QSystemTrayIcon::Context);
    QAction* chinese = gui->tray().lastMenu()->findChild<QAction*>("lan_cn");
    ASSERT_NE(chinese, nullptr);
    chinese->trigger();
    ASSERT_TRUE(pumpUntil([&] { return tab->text() != "Keyboard"; }));
    EXPECT_EQ(tab->text(), QString::fromUtf8("键盘"));
    EXPECT_EQ(platform::MainIni(platform::MainIniPath()).language(), 1);
    // The next menu is built in the new language.
    Q_EMIT gui->tray().icon().activated(QSystemTrayIcon::Context);
    EXPECT_EQ(menuTexts(gui->tray().lastMenu()).back(), QString::fromUtf8("ON_or_OFF=开机启动"));
}

TEST_F(Program, AnUnknownMenuEntryShowsItsOwnText) {
    gui->mainWindow().menuCommand("something_new", "message_text_14");
    EXPECT_EQ(boxes, QStringList{"Enter a name."});
}

TEST_F(Program, TheCloseButtonOnlyHidesAndExitQuits) {
    gui->window().show();
    ASSERT_TRUE(pumpUntil([&] { return gui->window().isVisible(); }));
    qobject_cast<QAbstractButton*>(gui->binder().widget("closebtn"))->click();
    EXPECT_FALSE(gui->window().isVisible());
    EXPECT_FALSE(gui->mainWindow().exited());
    gui->window().close();  // the window manager's close, too
    EXPECT_FALSE(gui->mainWindow().exited());
    gui->mainWindow().menuCommand("exit", "exit");
    EXPECT_TRUE(gui->mainWindow().exited());
}

TEST_F(Program, PicturesRefreshOnlyWhileTheWindowIsOnScreen) {
    SkinWindow& window = gui->window();
    EXPECT_FALSE(window.refreshing());
    window.show();
    ASSERT_TRUE(pumpUntil([&] { return window.isVisible(); }));
    EXPECT_TRUE(window.refreshing());
    window.showMinimized();
    pumpUntil([&] { return !window.refreshing(); }, std::chrono::milliseconds(500));
    EXPECT_FALSE(window.refreshing());
    window.showNormal();
    pumpUntil([&] { return window.refreshing(); }, std::chrono::milliseconds(500));
    EXPECT_TRUE(window.refreshing());
    window.hide();
    EXPECT_FALSE(window.refreshing());
}

// The pictures repaint when the effect threads change the buffer, not more often than the
// refresh period allows, and not at all while nothing changes.
TEST_F(Program, PicturesRepaintWhenTheBufferChanges) {
    SkinWindow& window = gui->window();
    window.show();
    ASSERT_TRUE(pumpUntil([&] { return window.isVisible(); }));
    DevicePicture* shown = nullptr;
    for (DevicePicture* picture : gui->binder().pictures()) {
        if (picture->isVisible()) {
            shown = picture;
        }
    }
    if (shown == nullptr) {
        GTEST_SKIP() << "no device picture on the first page";
    }
    pumpUntil([] { return false; }, std::chrono::milliseconds(100));
    const int idle = shown->paintCount();
    pumpUntil([] { return false; }, std::chrono::milliseconds(200));
    EXPECT_LE(shown->paintCount() - idle, 1);
    gui->mainWindow().preview().setKeyboard(3, 0x00FF00, 255);
    gui->mainWindow().preview().setMousePad(3, 0x00FF00, 255);
    gui->mainWindow().preview().setMouse(3, 0x00FF00, 255);
    EXPECT_TRUE(pumpUntil([&] { return shown->paintCount() > idle; }));
}

}  // namespace

namespace {

class Picker : public Program {
  protected:
    SkinPicker* open() {
        qobject_cast<QAbstractButton*>(gui->binder().widget("skinbtn"))->click();
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (auto* picker = qobject_cast<SkinPicker*>(top); picker && picker->isVisible()) {
                return picker;
            }
        }
        return nullptr;
    }
    QAbstractButton* nth(SkinPicker* picker, const char* name, int n) {
        const auto buttons = picker->findChildren<QAbstractButton*>(name);
        return n < buttons.size() ? buttons[n] : nullptr;
    }
    QString rootStyle() { return gui->binder().widget("root")->styleSheet(); }
};

TEST_F(Picker, APresetPictureBecomesTheBackgroundAndIsRemembered) {
    SkinPicker* picker = open();
    ASSERT_NE(picker, nullptr);
    QAbstractButton* second = nth(picker, "skin_image_btn", 1);
    ASSERT_NE(second, nullptr);
    second->click();
    EXPECT_TRUE(rootStyle().contains("common/background_2.png")) << rootStyle().toStdString();
    platform::MainIni ini(platform::MainIniPath());
    EXPECT_EQ(ini.flags(), 1);
    EXPECT_EQ(ini.image(), "file='common/background_2.png'");
}

TEST_F(Picker, AColourIsShownButNotRemembered) {
    SkinPicker* picker = open();
    ASSERT_NE(picker, nullptr);
    QAbstractButton* swatch = nth(picker, "skin_color_btn", 2);
    ASSERT_NE(swatch, nullptr);
    const QString colour = swatch->property("bkcolor").toString();
    swatch->click();
    EXPECT_TRUE(rootStyle().contains("background-color")) << rootStyle().toStdString();
    EXPECT_FALSE(rootStyle().contains("border-image"));
    EXPECT_EQ(platform::MainIni(platform::MainIniPath()).flags(), 0);
    // The swatches each keep their own colour although they share one name.
    EXPECT_NE(nth(picker, "skin_color_btn", 0)->styleSheet(), swatch->styleSheet());
}

TEST_F(Picker, ResetShowsTheDefaultPictureAndForgetsTheChoice) {
    SkinPicker* picker = open();
    ASSERT_NE(picker, nullptr);
    nth(picker, "skin_image_btn", 2)->click();
    picker->findChild<QAbstractButton*>("skin_reset")->click();
    EXPECT_TRUE(rootStyle().contains("common/background.png")) << rootStyle().toStdString();
    platform::MainIni ini(platform::MainIniPath());
    EXPECT_EQ(ini.flags(), 0);
    EXPECT_EQ(ini.image(), "common/background.png");
}

TEST_F(Picker, TheOptionTabsSwitchPages) {
    SkinPicker* picker = open();
    ASSERT_NE(picker, nullptr);
    picker->findChild<QAbstractButton*>("skin_color")->click();
    EXPECT_EQ(picker->tree().find("skin_tab")->page(), 1);
    picker->findChild<QAbstractButton*>("skin_image")->click();
    EXPECT_EQ(picker->tree().find("skin_tab")->page(), 0);
}

}  // namespace

namespace {

TEST_F(Program, SuspendStopsTheLightFramesAndResumeLetsThemFlow) {
    gui->power().prepareForSleep(true);
    EXPECT_FALSE(gui->mainWindow().streamingEnabled);
    gui->power().prepareForSleep(false);
    EXPECT_TRUE(gui->mainWindow().streamingEnabled);
}

// "NAME X Y W H" of a line "geometry NAME X Y W H" of the report; empty when absent.
QRect reported(const std::string& block, const std::string& name) {
    std::istringstream in(block);
    std::string word;
    std::string found;
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
    while (in >> word >> found >> x >> y >> w >> h) {
        if (word == "geometry" && found == name) {
            return QRect(x, y, w, h);
        }
    }
    return {};
}

TEST_F(Program, TheGeometryReportNamesTheTabsAndPagesOnScreen) {
    GeometryReport report(gui->mainWindow().tree(), gui->binder(), gui->window());
    EXPECT_EQ(report.snapshot(), "");  // nothing is on screen while the window is hidden
    gui->window().show();
    std::string block = report.snapshot();
    const QRect window = reported(block, "window");
    ASSERT_EQ(window.size(), QSize(800, 572)) << block;
    const QRect page = reported(block, "kb_deng_page");
    const QRect tab = reported(block, "kb_keyset_Op_tab");
    EXPECT_TRUE(!page.isEmpty() && window.contains(page)) << block;
    EXPECT_TRUE(!tab.isEmpty() && window.contains(tab)) << block;
    // Pages a user cannot see are left out, as are the tabs of devices not connected.
    EXPECT_TRUE(reported(block, "ms_tab_panel").isEmpty()) << block;
    EXPECT_TRUE(reported(block, "kb_keyset_page").isEmpty()) << block;
    EXPECT_TRUE(reported(block, "ms_tab").isEmpty()) << block;

    ASSERT_TRUE(gui->mainWindow().tree().deliver("selectchanged", "ms_tab", "1"));
    block = report.snapshot();
    EXPECT_FALSE(reported(block, "ms_tab_panel").isEmpty()) << block;
    EXPECT_FALSE(reported(block, "ms_deng_page").isEmpty()) << block;
    EXPECT_TRUE(reported(block, "kb_deng_page").isEmpty()) << block;
    EXPECT_EQ(reported(block, "ms_deng_page"), page);  // pages share their layout's place
}

}  // namespace

namespace {

// The tray's "exit" while a misbehaving mouse is still being read: the program is gone within
// two seconds ("does not hang"; before, a slow mouse kept it alive for good and a silent one
// for about ten seconds), and the window does not come back meanwhile.
struct MouseFault {
    const char* name;
    const char* settings;  // as given to --sim-set, comma-separated
};

class ProgramExit : public ::testing::TestWithParam<MouseFault> {};

TEST_P(ProgramExit, TheTrayExitEndsTheProgramWhileTheMouseSynchronises) {
    test_support::TempDataRoot data;
    sim::SimSettings settings;
    ASSERT_EQ(sim::applySimSettingList(GetParam().settings, settings), std::nullopt);
    sim::SimulatedBackend backend;
    auto mouse = backend.plug(device::DeviceKind::Mouse, settings);
    GuiAppOptions options;
    options.skinFolder = kSkinFolder;
    options.programFile = "/usr/bin/korvane";
    options.installerFile = data.path("install.ini");
    options.configHome = data.path("config");
    options.hid = &backend;
    auto gui = std::make_unique<GuiApp>(options);
    std::string error;
    ASSERT_TRUE(gui->start(error)) << error;
    ASSERT_TRUE(pumpUntil([&] { return mouse->requestCount() >= 3; }));

    Q_EMIT gui->tray().icon().activated(QSystemTrayIcon::Context);
    QAction* exit = gui->tray().lastMenu()->findChild<QAction*>("exit");
    ASSERT_NE(exit, nullptr);
    const auto before = std::chrono::steady_clock::now();
    exit->trigger();
    EXPECT_TRUE(pumpUntil([&] { return gui->mainWindow().exited(); }));
    EXPECT_FALSE(gui->window().isVisible());
    EXPECT_FALSE(gui->workersAbandoned());
    gui.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(2));
}

INSTANTIATE_TEST_SUITE_P(MouseFaults, ProgramExit,
                         ::testing::Values(MouseFault{"slow_but_working", "latency-ms=290"},
                                           MouseFault{"never_answers", "fault=silent@1"},
                                           MouseFault{"unplugged_mid_exchange",
                                                      "latency-ms=50,fault=unplug@4"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
