// The skin builds with Qt's loader into the widgets the logic's control tree names, and the
// loader's custom classes and pages take their places.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QSlider>
#include <QStackedWidget>
#include <QTemporaryDir>

#include <fstream>
#include <memory>
#include <string>

#include "core/ui/skin_reader.h"
#include "gui/device_picture.h"
#include "gui/skin_loader.h"
#include "gui/skin_widgets.h"
#include "qt_environment.h"

using namespace korvane;
using namespace korvane::gui;
using korvane::gui::test_support::kSkinFolder;

namespace {

// Whether a widget can stand for a control of this kind.
bool fits(ui::ControlKind kind, QWidget* w) {
    switch (kind) {
        case ui::ControlKind::Button:
        case ui::ControlKind::Option:
            return qobject_cast<QAbstractButton*>(w) != nullptr;
        case ui::ControlKind::Combo:
            return qobject_cast<QComboBox*>(w) != nullptr;
        case ui::ControlKind::Edit:
            return qobject_cast<QLineEdit*>(w) != nullptr || w->inherits("QTextEdit") ||
                   w->inherits("QPlainTextEdit") || w->inherits("QSpinBox");
        case ui::ControlKind::Slider:
            return qobject_cast<QSlider*>(w) != nullptr;
        case ui::ControlKind::Label:
            return qobject_cast<QLabel*>(w) != nullptr;
        case ui::ControlKind::TabLayout:
            return qobject_cast<QStackedWidget*>(w) != nullptr || w->inherits("QTabWidget");
        case ui::ControlKind::List:
            return qobject_cast<QListWidget*>(w) != nullptr || w->inherits("QTableWidget");
        case ui::ControlKind::Palette:
            return qobject_cast<ColourPalette*>(w) != nullptr;
        case ui::ControlKind::Progress:
            return qobject_cast<QProgressBar*>(w) != nullptr;
        case ui::ControlKind::Picture:
        case ui::ControlKind::Container:
            return true;
    }
    return false;
}

class SkinWindows : public ::testing::TestWithParam<std::string_view> {};

// Every control the logic's tree holds (built by the core reader from the same files) has
// a widget of a fitting class in the window Qt builds; picture keys are elements of their
// device picture.
TEST_P(SkinWindows, EveryControlOfTheTreeHasAFittingWidget) {
    ui::ControlTree tree;
    std::string error;
    ASSERT_TRUE(ui::ReadSkin(kSkinFolder, GetParam(), tree, error)) << error;
    SkinLoader loader(kSkinFolder);
    std::unique_ptr<QWidget> root(loader.loadWindow(GetParam(), nullptr, error));
    ASSERT_NE(root, nullptr) << error;

    int checked = 0;
    tree.forEach([&](const ui::Control& c) {
        if (c.name().empty()) {
            return;
        }
        const QString name = QString::fromStdString(c.name());
        if (c.className() == "PictureKey") {
            auto* picture =
                root->findChild<DevicePicture*>(QString::fromStdString(c.parent()->name()));
            ASSERT_NE(picture, nullptr) << c.name();
            EXPECT_TRUE(name.startsWith(picture->property("keyPrefix").toString())) << c.name();
            return;
        }
        QWidget* w = root->objectName() == name ? root.get() : root->findChild<QWidget*>(name);
        ASSERT_NE(w, nullptr) << "no widget for " << c.name();
        EXPECT_TRUE(fits(c.kind(), w)) << c.name() << " is a " << w->metaObject()->className();
        ++checked;
    });
    EXPECT_GT(checked, 0);
}

INSTANTIATE_TEST_SUITE_P(Skin, SkinWindows,
                         ::testing::Values(ui::kMainWindowSkin, ui::kMessageBoxSkin, "skin",
                                           "update"));

TEST(SkinLoader, PageTagsBecomeTheirPagesAndCustomClassesTheirWidgets) {
    SkinLoader loader(kSkinFolder);
    std::string error;
    std::unique_ptr<QWidget> root(loader.loadWindow(ui::kMainWindowSkin, nullptr, error));
    ASSERT_NE(root, nullptr) << error;
    // A control of the keyboard lighting page, built from its own file.
    EXPECT_NE(root->findChild<QSlider*>("kb_deng_light_slider"), nullptr);
    EXPECT_NE(root->findChild<QWidget*>("ms_gun_op_0"), nullptr);
    // No placeholder is left unbuilt.
    for (QWidget* w : root->findChildren<QWidget*>()) {
        EXPECT_FALSE(w->property(kPageFileProperty).isValid()) << w->objectName().toStdString();
    }
    EXPECT_EQ(root->findChildren<DevicePicture*>().size(), 9);
    EXPECT_NE(root->findChild<CircleProgress*>("setting_progress"), nullptr);
    EXPECT_NE(root->findChild<OptionButton*>("kb_tab"), nullptr);
    EXPECT_NE(root->findChild<ColourPalette*>("kb_deng_Color_Pallet"), nullptr);
}

TEST(SkinLoader, CustomControlClassesAreMadeByName) {
    SkinLoader loader(kSkinFolder);
    std::unique_ptr<QWidget> circle(loader.createWidget("CCircleProgressUI", nullptr, "a"));
    std::unique_ptr<QWidget> circleTag(loader.createWidget("circleprogress", nullptr, "b"));
    std::unique_ptr<QWidget> chart(loader.createWidget("CChartViewUI", nullptr, "c"));
    std::unique_ptr<QWidget> host(loader.createWidget("CWndUI", nullptr, "d"));
    EXPECT_NE(qobject_cast<CircleProgress*>(circle.get()), nullptr);
    EXPECT_NE(qobject_cast<CircleProgress*>(circleTag.get()), nullptr);
    EXPECT_NE(qobject_cast<ChartView*>(chart.get()), nullptr);
    EXPECT_NE(qobject_cast<WindowHostWidget*>(host.get()), nullptr);
    EXPECT_EQ(host->objectName(), "d");
}

// A skin folder of one's own restyles and relayouts without rebuilding; a broken one is
// reported with the file at fault.
TEST(SkinLoader, AnotherSkinFolderIsReadAndItsFaultsNamed) {
    QTemporaryDir dir;
    const std::filesystem::path folder = dir.path().toStdString();
    std::ofstream(folder / "msg.ui") << R"(<?xml version="1.0"?>
<ui version="4.0"><widget class="QWidget" name="msg_root">
 <widget class="QPushButton" name="confirm_btn"><property name="text"><string>confirm_text</string></property></widget>
 <widget class="kb_Key_UI" name="page"/>
</widget></ui>)";
    SkinLoader loader(folder);
    std::string error;
    std::unique_ptr<QWidget> root(loader.loadWindow(ui::kMessageBoxSkin, nullptr, error));
    EXPECT_EQ(root, nullptr);
    EXPECT_NE(error.find("keyboard_key.ui"), std::string::npos) << error;

    std::ofstream(folder / "keyboard_key.ui") << R"(<?xml version="1.0"?>
<ui version="4.0"><widget class="QWidget" name="kb_key_root">
 <widget class="QLabel" name="own_label"/></widget></ui>)";
    root.reset(loader.loadWindow(ui::kMessageBoxSkin, nullptr, error));
    ASSERT_NE(root, nullptr) << error;
    EXPECT_NE(root->findChild<QLabel*>("own_label"), nullptr);
}

TEST(SkinLoader, APageThatIncludesItselfStops) {
    QTemporaryDir dir;
    const std::filesystem::path folder = dir.path().toStdString();
    std::ofstream(folder / "keyboard_key.ui") << R"(<?xml version="1.0"?>
<ui version="4.0"><widget class="QWidget" name="loop"><widget class="kb_Key_UI" name="again"/></widget></ui>)";
    SkinLoader loader(folder);
    std::string error;
    std::unique_ptr<QWidget> root(loader.loadWindow("keyboard_key", nullptr, error));
    EXPECT_EQ(root, nullptr);
    EXPECT_NE(error.find("nested too deeply"), std::string::npos) << error;
}

TEST(SkinImagePath, SkinReferencesAndPaths) {
    const std::filesystem::path skin = "/skin";
    EXPECT_EQ(skinImagePath(skin, "file='common/background.png'"), "/skin/common/background.png");
    EXPECT_EQ(skinImagePath(skin, "file='ms/key_left_down.png' corner='1,1,1,1'"),
              "/skin/ms/key_left_down.png");
    EXPECT_EQ(skinImagePath(skin, "/home/u/own.png"), "/home/u/own.png");
    EXPECT_EQ(skinImagePath(skin, "common/background_2.png"), "/skin/common/background_2.png");
    EXPECT_TRUE(skinImagePath(skin, "").isEmpty());
    EXPECT_TRUE(skinImagePath(skin, "0").isEmpty());
}

}  // namespace
