#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/ui/skin_reader.h"

using namespace korvane::ui;
namespace fs = std::filesystem;

namespace {

class SkinReaderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string tmpl = (fs::temp_directory_path() / "korvane-skin-XXXXXX").string();
        ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
        folder_ = tmpl;
    }
    void TearDown() override { fs::remove_all(folder_); }

    void write(const std::string& file, const std::string& body) {
        std::ofstream(folder_ / file) << body;
    }
    static std::string ui(const std::string& widgets) {
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ui version=\"4.0\">\n" + widgets +
               "\n</ui>\n";
    }

    fs::path folder_;
    ControlTree tree_;
    std::string error_;
};

TEST_F(SkinReaderTest, ReadsWidgetsThroughLayoutsWithTheirState) {
    write("main.ui", ui(R"(
<widget class="QWidget" name="root">
  <layout class="QVBoxLayout" name="outer">
    <item><widget class="QPushButton" name="closebtn">
      <property name="toolTip"><string>Close</string></property></widget></item>
    <item><layout class="QHBoxLayout" name="inner">
      <item><widget class="QComboBox" name="kb_deng_profile_combo">
        <item><property name="text"><string>a</string></property></item>
        <item><property name="text"><string>b</string></property></item>
        <property name="currentIndex"><number>1</number></property>
      </widget></item>
      <item><widget class="QSlider" name="kb_deng_speed_slider">
        <property name="minimum"><number>0</number></property>
        <property name="maximum"><number>14</number></property>
        <property name="value"><number>7</number></property>
        <property name="enabled"><bool>false</bool></property>
      </widget></item>
    </layout></item>
  </layout>
  <widget class="QStackedWidget" name="kb_tab_panel">
    <property name="currentIndex"><number>1</number></property>
    <widget class="QWidget" name="page0"/>
    <widget class="QWidget" name="page1"/>
  </widget>
  <widget class="QLabel" name="setting_progress">
    <property name="visible"><bool>false</bool></property>
  </widget>
</widget>)"));
    ASSERT_TRUE(ReadSkin(folder_, kMainWindowSkin, tree_, error_)) << error_;
    ASSERT_NE(tree_.find("closebtn"), nullptr);
    EXPECT_EQ(tree_.find("closebtn")->kind(), ControlKind::Button);
    EXPECT_EQ(tree_.find("closebtn")->parent(), tree_.find("root"));
    const Control* combo = tree_.find("kb_deng_profile_combo");
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->items().size(), 2u);
    EXPECT_EQ(combo->currentItem(), 1);
    const Control* slider = tree_.find("kb_deng_speed_slider");
    EXPECT_EQ(slider->maximum(), 14);
    EXPECT_EQ(slider->value(), 7);
    EXPECT_FALSE(slider->enabled());
    EXPECT_EQ(tree_.find("kb_tab_panel")->page(), 1);
    EXPECT_FALSE(tree_.find("setting_progress")->visible());
}

TEST_F(SkinReaderTest, PageTagsBuildTheirFilesIgnoringCase) {
    write("main.ui", ui(R"(
<widget class="QWidget" name="root">
  <widget class="MS_CURSOR_UI" name="ms_cursor_page"/>
  <widget class="KB_cursor_ui" name="kb_cursor_page"/>
  <widget class="kb_key_ui" name="kb_key_page"/>
  <widget class="CircleProgress" name="ring"/>
  <widget class="SomethingElse" name="plain"/>
  <widget class="DevicePicture" name="mp_picture">
    <property name="keyPrefix"><string>mp_dkey_</string></property>
    <property name="keyCount"><number>15</number></property>
  </widget>
</widget>)"));
    write("Mouse_cursor.ui", ui(R"(<widget class="QWidget" name="cursor_root">
      <widget class="QRadioButton" name="ms_gun_op_0"/></widget>)"));
    write("keyboard_key.ui", ui(R"(<widget class="QWidget" name="key_root">
      <widget class="QWidget" name="kb_mechanical_key"/></widget>)"));
    ASSERT_TRUE(ReadSkin(folder_, kMainWindowSkin, tree_, error_)) << error_;

    // Both cursor tags build the same page file; the first copy is the one found by name.
    const Control* option = tree_.find("ms_gun_op_0");
    ASSERT_NE(option, nullptr);
    EXPECT_EQ(option->parent()->parent(), tree_.find("ms_cursor_page"));
    int copies = 0;
    tree_.forEach([&](const Control& c) { copies += c.name() == "ms_gun_op_0"; });
    EXPECT_EQ(copies, 2);
    EXPECT_NE(tree_.find("kb_mechanical_key"), nullptr);
    EXPECT_EQ(tree_.find("ring")->kind(), ControlKind::Progress);
    EXPECT_EQ(tree_.find("plain")->kind(), ControlKind::Container);
    ASSERT_NE(tree_.find("mp_dkey_14"), nullptr);
    EXPECT_EQ(tree_.find("mp_dkey_14")->kind(), ControlKind::Picture);
    EXPECT_EQ(tree_.find("mp_dkey_14")->parent(), tree_.find("mp_picture"));
    EXPECT_EQ(tree_.find("mp_dkey_15"), nullptr);
}

TEST_F(SkinReaderTest, FaultsNameTheFile) {
    write("main.ui", ui(R"(<widget class="QWidget" name="root">
      <widget class="MS_Key_UI" name="k"/></widget>)"));
    EXPECT_FALSE(ReadSkin(folder_, kMainWindowSkin, tree_, error_));
    EXPECT_NE(error_.find("Mouse_key.ui"), std::string::npos) << error_;
    EXPECT_NE(error_.find("missing"), std::string::npos) << error_;

    write("Mouse_key.ui", "<ui><widget class=\"QWidget\" name=\"x\"><oops></ui>");
    ControlTree second;
    EXPECT_FALSE(ReadSkin(folder_, kMainWindowSkin, second, error_));
    EXPECT_NE(error_.find("Mouse_key.ui"), std::string::npos) << error_;

    write("Mouse_key.ui", "<html/>");
    ControlTree third;
    EXPECT_FALSE(ReadSkin(folder_, kMainWindowSkin, third, error_));
    EXPECT_NE(error_.find("not a Qt Designer file"), std::string::npos) << error_;
}

TEST_F(SkinReaderTest, APageThatIncludesItselfIsRefused) {
    write("main.ui", ui(R"(<widget class="QWidget" name="root">
      <widget class="kb_Deng_UI" name="d"/></widget>)"));
    write("keyboard_deng.ui", ui(R"(<widget class="QWidget" name="again">
      <widget class="kb_Deng_UI" name="d2"/></widget>)"));
    EXPECT_FALSE(ReadSkin(folder_, kMainWindowSkin, tree_, error_));
    EXPECT_NE(error_.find("keyboard_deng.ui"), std::string::npos) << error_;
}

}  // namespace
