// The update window on the offscreen platform: opened by the settings button, bound to its
// logic, closed by its own button and by the window manager.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>

#include <memory>

#include "core/update/http_client.h"
#include "gui/gui_app.h"
#include "qt_environment.h"

using namespace korvane;
using namespace korvane::gui;
using korvane::gui::test_support::kSkinFolder;
using korvane::gui::test_support::pumpUntil;

namespace {

// The open update window, if any.
QWidget* updateWindow() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == "FunctionSet" && w->isVisible()) {
            return w;
        }
    }
    return nullptr;
}

template <class T>
T* child(QWidget* window, const char* name) {
    return window == nullptr ? nullptr : window->findChild<T*>(QString::fromLatin1(name));
}

class UpdateWindowGui : public ::testing::Test {
  protected:
    void SetUp() override {
        // No update service is configured: the window shows what is installed only.
        qunsetenv("KORVANE_UPDATE_URL");
        GuiAppOptions options;
        options.skinFolder = kSkinFolder;
        options.programFile = "/usr/bin/korvane";
        options.installerFile = data.path("install.ini");
        options.configHome = data.path("config");
        gui = std::make_unique<GuiApp>(options);
        std::string error;
        ASSERT_TRUE(gui->start(error)) << error;
    }
    void TearDown() override { gui.reset(); }

    QWidget* openBySettingsButton() {
        auto* setbtn = qobject_cast<QAbstractButton*>(gui->binder().widget("setbtn"));
        EXPECT_NE(setbtn, nullptr);
        if (setbtn != nullptr) {
            setbtn->click();
        }
        pumpUntil([] { return updateWindow() != nullptr; });
        return updateWindow();
    }

    test_support::TempDataRoot data;
    std::unique_ptr<GuiApp> gui;
};

TEST_F(UpdateWindowGui, TheSettingsButtonOpensItWithTheInstalledVersion) {
    QWidget* window = openBySettingsButton();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), "FunctionSet");
    auto* installed = child<QLabel>(window, "soft_now_version");
    auto* newest = child<QLabel>(window, "soft_new_version");
    ASSERT_NE(installed, nullptr);
    ASSERT_NE(newest, nullptr);
    EXPECT_EQ(installed->text().toStdString(), "V" + std::string(update::BuildVersion()));
    EXPECT_EQ(newest->text(), "unknown");
    EXPECT_FALSE(child<QAbstractButton>(window, "soft_update_btn")->isEnabled());
    // No device: no device page.
    EXPECT_FALSE(child<QWidget>(window, "rgb_page")->isVisible());
    EXPECT_FALSE(child<QWidget>(window, "ms_page")->isVisible());
    auto* languages = child<QComboBox>(window, "lanuage_select_combo");
    ASSERT_NE(languages, nullptr);
    EXPECT_EQ(languages->count(), 10);
    EXPECT_EQ(languages->currentIndex(), 2) << "English comes after the two Chinese entries";

    // A second click brings up the same window.
    openBySettingsButton();
    int open = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        open += w->objectName() == "FunctionSet" ? 1 : 0;
    }
    EXPECT_EQ(open, 1);
}

TEST_F(UpdateWindowGui, ItsCloseButtonAndTheWindowManagerCloseIt) {
    QWidget* window = openBySettingsButton();
    ASSERT_NE(window, nullptr);
    child<QAbstractButton>(window, "closebtn")->click();
    ASSERT_TRUE(pumpUntil([] { return updateWindow() == nullptr; }));

    window = openBySettingsButton();
    ASSERT_NE(window, nullptr);
    window->close();
    ASSERT_TRUE(pumpUntil([] { return updateWindow() == nullptr; }));
    // Closed windows are gone, not kept hidden.
    ASSERT_TRUE(pumpUntil([] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->objectName() == "FunctionSet") {
                return false;
            }
        }
        return true;
    }));
}

}  // namespace
