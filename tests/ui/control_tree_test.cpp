#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/ui/control_tree.h"

using namespace korvane::ui;

namespace {

class ControlTreeTest : public ::testing::Test {
  protected:
    ControlTreeTest() {
        root_ = &tree_.create("root", ControlKind::Container, "QWidget", nullptr);
        tree_.setNotifyHandler([this](const Notification& n) {
            seen_.push_back(std::string(n.type) + " " + n.sender.name());
        });
    }
    Control& add(const std::string& name, ControlKind kind) {
        return tree_.create(name, kind, "", root_);
    }

    ControlTree tree_;
    Control* root_ = nullptr;
    std::vector<std::string> seen_;
};

TEST_F(ControlTreeTest, MissingControlsAreToleratedNotCreated) {
    EXPECT_EQ(tree_.find("kb_dkey_17"), nullptr);
    EXPECT_EQ(tree_.findIndexed("kb_dkey_", 17), nullptr);
    EXPECT_FALSE(tree_.deliver("click", "no_such_button"));
    EXPECT_TRUE(seen_.empty());
    add("kb_dkey_17", ControlKind::Picture);
    EXPECT_NE(tree_.findIndexed("kb_dkey_", 17), nullptr);
}

TEST_F(ControlTreeTest, SelectingAnOptionUnselectsItsGroupWithTheSameNotifyFlag) {
    Control& kb = add("kb_tab", ControlKind::Option);
    Control& ms = add("ms_tab", ControlKind::Option);
    Control& mp = add("mp_tab", ControlKind::Option);
    for (Control* c : {&kb, &ms, &mp}) {
        c->setGroup("device_tabs");
    }
    kb.setSelected(true);
    ms.setSelected(true);  // without notification
    EXPECT_FALSE(kb.selected());
    EXPECT_TRUE(ms.selected());
    EXPECT_TRUE(seen_.empty());

    mp.setSelected(true, Notify::Yes);
    EXPECT_FALSE(ms.selected());
    EXPECT_EQ(seen_, (std::vector<std::string>{"selectchanged ms_tab", "selectchanged mp_tab"}));
}

TEST_F(ControlTreeTest, SelectingATabButtonShowsItsPage) {
    Control& layout = add("device_layout", ControlKind::TabLayout);
    tree_.create("kb_tab_panel", ControlKind::Container, "", &layout);
    tree_.create("ms_tab_panel", ControlKind::Container, "", &layout);
    Control& tab = add("ms_tab", ControlKind::Option);
    tab.setAttribute("tabLayout", "device_layout");
    tab.setAttribute("tabPage", "ms_tab_panel");
    tab.setSelected(true);
    EXPECT_EQ(layout.page(), 1);
    Control& broken = add("broken_tab", ControlKind::Option);
    broken.setAttribute("tabLayout", "device_layout");
    broken.setAttribute("tabPage", "no_such_page");
    broken.setSelected(true);
    EXPECT_EQ(layout.page(), 1);
}

// Nested tab layouts as in the window: device panels, each with option pages.
TEST_F(ControlTreeTest, AControlIsShownOnlyOnTheShownPageOfEveryLayoutAboveIt) {
    Control& devices = add("device_layout", ControlKind::TabLayout);
    Control& kbPanel = tree_.create("kb_tab_panel", ControlKind::Container, "", &devices);
    Control& msPanel = tree_.create("ms_tab_panel", ControlKind::Container, "", &devices);
    Control& msPages = tree_.create("ms_option_layout", ControlKind::TabLayout, "", &msPanel);
    Control& msLight = tree_.create("ms_deng_page", ControlKind::Container, "", &msPages);
    Control& msDpi = tree_.create("ms_dpi_page", ControlKind::Container, "", &msPages);
    Control& slider = tree_.create("ms_deng_light_slider", ControlKind::Slider, "", &msLight);
    Control& dpi = tree_.create("ms_DPI1_slider", ControlKind::Slider, "", &msDpi);
    Control& profile = tree_.create("kb_deng_profile_combo", ControlKind::Combo, "", &kbPanel);

    // Page 0 of both layouts: the keyboard panel and the mouse lighting page.
    EXPECT_TRUE(profile.shown());
    EXPECT_FALSE(slider.shown());
    EXPECT_TRUE(slider.shownOnScreen());  // visible, yet on a page nobody sees

    ASSERT_TRUE(devices.setPage(1));
    EXPECT_FALSE(profile.shown());
    EXPECT_TRUE(slider.shown());
    EXPECT_FALSE(dpi.shown());
    EXPECT_TRUE(msPages.shown());

    ASSERT_TRUE(msPages.setPage(1));
    EXPECT_FALSE(slider.shown());
    EXPECT_TRUE(dpi.shown());

    msPanel.setVisible(false);
    EXPECT_FALSE(dpi.shown());
    msPanel.setVisible(true);
    dpi.setVisible(false);
    EXPECT_FALSE(dpi.shown());
}

TEST_F(ControlTreeTest, UnchangedSelectionRaisesNothingProgrammatically) {
    Control& check = add("kb_Deng_7color_check", ControlKind::Option);
    check.setSelected(false, Notify::Yes);
    EXPECT_TRUE(seen_.empty());
    check.setSelected(true, Notify::Yes);
    EXPECT_EQ(seen_.size(), 1u);
}

struct DeliverCase {
    const char* type;
    ControlKind kind;
    const char* arg;
    bool accepted;
};

class DeliverTest : public ControlTreeTest, public ::testing::WithParamInterface<DeliverCase> {};

TEST_P(DeliverTest, ChangesStateBeforeNotifying) {
    const DeliverCase& c = GetParam();
    Control& control = add("ctl", c.kind);
    control.setRange(0, 100);
    for (int i = 0; i < 3; ++i) {
        control.addItem({"item" + std::to_string(i), "", 0});
    }
    // The handler must already see the new state when it runs.
    std::string stateAtNotify;
    tree_.setNotifyHandler([&](const Notification& n) {
        stateAtNotify =
            std::string(n.type) + ":" + n.sender.text() + ":" + std::to_string(n.sender.value()) +
            ":" + std::to_string(n.sender.currentItem()) + ":" +
            std::to_string(n.sender.selected()) + ":" + std::to_string(n.sender.colour());
    });
    EXPECT_EQ(tree_.deliver(c.type, "ctl", c.arg), c.accepted);
    if (!c.accepted) {
        EXPECT_TRUE(stateAtNotify.empty());
        return;
    }
    const std::string type = c.type;
    if (type == "textchanged") {
        EXPECT_EQ(stateAtNotify, "textchanged:999:0:-1:0:0");
    } else if (type == "valuechanged" || type == "movevaluechanged") {
        EXPECT_EQ(stateAtNotify, type + "::40:-1:0:0");
    } else if (type == "itemselect") {
        EXPECT_EQ(stateAtNotify, "itemselect::0:2:0:0");
    } else if (type == "selectchanged") {
        EXPECT_EQ(stateAtNotify, "selectchanged::0:-1:1:0");
    } else if (type == "colorchanged") {
        EXPECT_EQ(stateAtNotify, "colorchanged::0:-1:0:" + std::to_string(0xFF2400FFu));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Types, DeliverTest,
    ::testing::Values(DeliverCase{"textchanged", ControlKind::Edit, "999", true},
                      DeliverCase{"valuechanged", ControlKind::Slider, "40", true},
                      DeliverCase{"movevaluechanged", ControlKind::Slider, "40", true},
                      DeliverCase{"valuechanged", ControlKind::Slider, "forty", false},
                      DeliverCase{"itemselect", ControlKind::Combo, "2", true},
                      DeliverCase{"itemselect", ControlKind::Combo, "3", false},
                      DeliverCase{"itemselect", ControlKind::Combo, "-5", false},
                      DeliverCase{"selectchanged", ControlKind::Option, "1", true},
                      DeliverCase{"colorchanged", ControlKind::Palette, "0xFF2400FF", true},
                      DeliverCase{"colorchanged", ControlKind::Palette, "0xZZ", false}));

TEST_F(ControlTreeTest, ValuesAreClampedToTheRange) {
    Control& slider = add("ms_DPI3_slider", ControlKind::Slider);
    slider.setRange(1, 14);
    slider.setValue(40);
    EXPECT_EQ(slider.value(), 14);
    slider.setValue(-3);
    EXPECT_EQ(slider.value(), 1);
}

TEST_F(ControlTreeTest, ChangeListenerSeesOnlyRealChanges) {
    Control& label = add("lbl", ControlKind::Label);
    std::vector<Property> changes;
    tree_.setChangeListener([&](Control&, Property p) { changes.push_back(p); });
    label.setText("a");
    label.setText("a");
    label.setVisible(true);  // already visible
    label.setVisible(false);
    EXPECT_EQ(changes, (std::vector<Property>{Property::Text, Property::Visible}));
}

TEST_F(ControlTreeTest, ShownOnScreenFollowsAncestors) {
    Control& panel = add("kb_tab_panel", ControlKind::Container);
    Control& key = tree_.create("kb_dkey_0", ControlKind::Picture, "KeyPicture", &panel);
    EXPECT_TRUE(key.shownOnScreen());
    panel.setVisible(false);
    EXPECT_TRUE(key.visible());
    EXPECT_FALSE(key.shownOnScreen());
}

TEST_F(ControlTreeTest, RemovingItemsKeepsTheCurrentItemInRange) {
    Control& combo = add("kb_deng_profile_combo", ControlKind::Combo);
    combo.addItem({"New Profile 1", "New Profile 1", 0});
    combo.addItem({"Game", "Game", 0});
    ASSERT_TRUE(combo.selectItem(1));
    combo.removeItem(1);
    EXPECT_EQ(combo.currentItem(), 0);
    combo.clearItems();
    EXPECT_EQ(combo.currentItem(), -1);
}

}  // namespace
