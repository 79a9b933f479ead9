// The binder keeps widgets and the control tree in step both ways, for each kind of control.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QSlider>
#include <QStackedWidget>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "core/ui/preview_buffer.h"
#include "core/ui/skin_reader.h"
#include "gui/device_picture.h"
#include "gui/language_texts.h"
#include "gui/skin_loader.h"
#include "gui/skin_widgets.h"
#include "gui/tree_binder.h"
#include "qt_environment.h"

using namespace korvane;
using namespace korvane::gui;
using korvane::gui::test_support::kSkinFolder;

namespace {

struct Seen {
    std::string type;
    std::string sender;
    bool operator==(const Seen&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Seen& s) {
    return os << s.type << ' ' << s.sender;
}

// The main window's skin, its tree and a binder between them; notifications are recorded.
class Binder : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(ui::ReadSkin(kSkinFolder, ui::kMainWindowSkin, tree, error)) << error;
        language.loadLanguageFile("lan.xml");
        language.loadLanguageFile("lan_en.xml");
        SkinLoader loader(kSkinFolder);
        root.reset(loader.loadWindow(ui::kMainWindowSkin, nullptr, error));
        ASSERT_NE(root, nullptr) << error;
        binder = std::make_unique<TreeBinder>(tree, language, kSkinFolder);
        binder->bind(root.get(), &preview);
        tree.setNotifyHandler([this](const ui::Notification& n) {
            seen.push_back({std::string(n.type), n.sender.name()});
        });
        root->resize(800, 572);
        root->show();
    }

    template <typename W>
    W* widget(const char* name) {
        auto* w = qobject_cast<W*>(binder->widget(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }

    ui::ControlTree tree;
    QtLanguageHost language{kSkinFolder};
    ui::PreviewBuffer preview;
    std::unique_ptr<QWidget> root;
    std::unique_ptr<TreeBinder> binder;
    std::vector<Seen> seen;
};

TEST_F(Binder, ButtonClickRaisesClick) {
    widget<QAbstractButton>("skinbtn")->click();
    EXPECT_EQ(seen, (std::vector<Seen>{{"click", "skinbtn"}}));
}

TEST_F(Binder, ButtonRightClickRaisesMenu) {
    auto* button = widget<QAbstractButton>("setbtn");
    Q_EMIT button->customContextMenuRequested(QPoint(1, 1));
    EXPECT_EQ(seen, (std::vector<Seen>{{"menu", "setbtn"}}));
}

TEST_F(Binder, GroupOptionSelectsAndStaysSelected) {
    ui::Control* first = tree.find("ms_gun_op_0");
    ui::Control* second = tree.find("ms_gun_op_1");
    ASSERT_TRUE(first && second && !first->group().empty());
    auto* firstButton = widget<QAbstractButton>("ms_gun_op_0");
    auto* secondButton = widget<QAbstractButton>("ms_gun_op_1");
    secondButton->click();
    EXPECT_TRUE(second->selected());
    EXPECT_FALSE(first->selected());
    EXPECT_FALSE(firstButton->isChecked());
    EXPECT_EQ(seen.back(), (Seen{"selectchanged", "ms_gun_op_1"}));
    // Clicking the selected member again keeps it selected (a checkable button would untoggle).
    seen.clear();
    secondButton->click();
    EXPECT_TRUE(second->selected());
    EXPECT_TRUE(secondButton->isChecked());
    EXPECT_EQ(seen,
              (std::vector<Seen>{{"click", "ms_gun_op_1"}, {"selectchanged", "ms_gun_op_1"}}));
}

TEST_F(Binder, CheckBoxTogglesBothWays) {
    ui::Control* check = nullptr;
    tree.forEach([&](ui::Control& c) {
        if (check == nullptr && c.className() == "QCheckBox" && c.group().empty() &&
            binder->widget(c.name()) != nullptr) {
            check = &c;
        }
    });
    ASSERT_NE(check, nullptr);
    const bool before = check->selected();
    auto* box = qobject_cast<QCheckBox*>(binder->widget(check->name()));
    box->setVisible(true);
    box->click();
    EXPECT_EQ(check->selected(), !before);
    EXPECT_EQ(seen.back(), (Seen{"selectchanged", check->name()}));
    check->setSelected(before);
    EXPECT_EQ(box->isChecked(), before);
}

TEST_F(Binder, ComboChoiceRaisesItemSelectAndListsFollowTheTree) {
    ui::Control* combo = tree.find("kb_deng_profile_combo");
    ASSERT_NE(combo, nullptr);
    combo->clearItems();
    combo->addItem({"Game", "Game", 0});
    combo->addItem({"Work", "Work", 0});
    auto* box = widget<QComboBox>("kb_deng_profile_combo");
    ASSERT_EQ(box->count(), 2);
    EXPECT_EQ(box->itemText(1), "Work");
    Q_EMIT box->activated(1);
    EXPECT_EQ(combo->currentItem(), 1);
    EXPECT_EQ(seen.back(), (Seen{"itemselect", "kb_deng_profile_combo"}));
    combo->selectItem(0);
    EXPECT_EQ(box->currentIndex(), 0);
}

TEST_F(Binder, RowsWithColumnsShowOneStyledLabelPerColumnAndClicksReachTheTree) {
    ui::Control* list = tree.find("ms_Macro_list");
    ASSERT_NE(list, nullptr);
    ui::ListItem row;
    row.data = "5,0,132,7,1,mouse_move_to_left_text";
    row.cells = {{"mouse_move_to_left_text", "macro_label_mouse_style"},
                 {"7", "macro_label_text_style"},
                 {"50", "macro_label_text_style"}};
    list->addItem(row);
    list->addItem({"plain", {}});
    auto* view = widget<QListWidget>("ms_Macro_list");
    ASSERT_EQ(view->count(), 2);
    QWidget* cells = view->itemWidget(view->item(0));
    ASSERT_NE(cells, nullptr);
    const auto labels = cells->findChildren<QLabel*>();
    ASSERT_EQ(labels.size(), 3);
    EXPECT_EQ(labels[0]->objectName(), "macro_label_mouse_style");
    // The event is a language key and shows translated.
    EXPECT_EQ(labels[0]->text().toStdString(),
              language.translate("mouse_move_to_left_text"));
    EXPECT_EQ(labels[1]->text(), "7");
    EXPECT_EQ(labels[2]->text(), "50");
    EXPECT_EQ(view->itemWidget(view->item(1)), nullptr);
    EXPECT_EQ(view->item(1)->text(), "plain");
    Q_EMIT view->itemClicked(view->item(0));
    EXPECT_EQ(list->currentItem(), 0);
    EXPECT_EQ(seen.back(), (Seen{"itemclick", "ms_Macro_list"}));
}

TEST_F(Binder, SliderDragRaisesMoveValueChangedAndReleaseValueChanged) {
    ui::Control* control = tree.find("kb_deng_light_slider");
    auto* slider = widget<QSlider>("kb_deng_light_slider");
    ASSERT_TRUE(control && slider);
    const int target = (control->minimum() + control->maximum()) / 2 + 1;
    slider->setSliderDown(true);
    slider->setSliderPosition(target);
    EXPECT_EQ(control->value(), target);
    EXPECT_EQ(seen.back(), (Seen{"movevaluechanged", "kb_deng_light_slider"}));
    slider->setSliderDown(false);
    EXPECT_EQ(seen.back(), (Seen{"valuechanged", "kb_deng_light_slider"}));
    control->setValue(control->minimum());
    EXPECT_EQ(slider->value(), control->minimum());
}

TEST_F(Binder, EditTypingRaisesTextChangedAndKeepsRawText) {
    ui::Control* edit = nullptr;
    tree.forEach([&](ui::Control& c) {
        if (edit == nullptr && c.kind() == ui::ControlKind::Edit && c.className() == "QLineEdit") {
            edit = &c;
        }
    });
    ASSERT_NE(edit, nullptr);
    auto* line = widget<QLineEdit>(edit->name().c_str());
    line->setFocus();
    line->clear();
    test_support::type(line, "ab");
    EXPECT_EQ(edit->text(), "ab");
    EXPECT_EQ(seen.back(), (Seen{"textchanged", edit->name()}));
    // A text that is also a language key is shown as typed in an edit.
    edit->setText("tab_keyboard");
    EXPECT_EQ(line->text(), "tab_keyboard");
}

TEST_F(Binder, PalettePickRaisesColorChanged) {
    auto* palette = widget<ColourPalette>("kb_deng_Color_Pallet");
    palette->resize(120, 80);
    test_support::click(palette, QPoint(5, 40));
    ui::Control* control = tree.find("kb_deng_Color_Pallet");
    EXPECT_EQ(control->colour(), palette->colourAt(QPoint(5, 40)));
    EXPECT_EQ(seen.back(), (Seen{"colorchanged", "kb_deng_Color_Pallet"}));
    control->setColour(0xFF00FF00);
    EXPECT_EQ(palette->colour(), 0xFF00FF00u);
}

TEST_F(Binder, KeyOfAPictureIsAClickableControl) {
    auto* picture = root->findChild<DevicePicture*>("kb_deng_picture");
    ASSERT_NE(picture, nullptr);
    picture->resize(600, 190);
    const QRect esc = picture->keyRect(0);
    ASSERT_FALSE(esc.isEmpty());
    test_support::click(picture, esc.center());
    EXPECT_EQ(seen.back(), (Seen{"click", "kb_dkey_0"}));
}

TEST_F(Binder, KeyColoursComeFromTheKeyControlAndThePreviewBuffer) {
    auto* picture = root->findChild<DevicePicture*>("kb_deng_picture");
    ui::Control* key = tree.find("kb_dkey_5");
    ASSERT_TRUE(picture && key);
    key->setChangerMode(true);
    key->setChangerColor(0xFF0000);  // packed green, blue, red: pure green
    key->setChangerAlpha(255);
    EXPECT_EQ(picture->keyColour(5), QColor(0, 255, 0, 255));
    // The effect threads write the buffer directly.
    preview.setKeyboard(5, 0x0000FF, 128);
    EXPECT_EQ(picture->keyColour(5), QColor(255, 0, 0, 128));
    // Keys out of changer mode stay dark.
    key->setChangerMode(false);
    EXPECT_EQ(picture->keyColour(5).alpha(), 0);
}

TEST_F(Binder, TreeStateShowsOnWidgets) {
    ui::Control* tab = tree.find("kb_tab");
    auto* tabButton = widget<QAbstractButton>("kb_tab");
    EXPECT_EQ(tabButton->text(), "Keyboard");  // the language's text of "tab_keyboard"
    tab->setText("tab_mouse");
    EXPECT_EQ(tabButton->text(), "Mouse");
    tab->setToolTip("close_btn_tip");
    EXPECT_EQ(tabButton->toolTip(), "Close");
    tab->setEnabled(false);
    EXPECT_FALSE(tabButton->isEnabled());

    ui::Control* progress = tree.find("setting_progress");
    progress->setVisible(true);
    EXPECT_TRUE(binder->widget("setting_progress")->isVisible());
    progress->setVisible(false);
    EXPECT_FALSE(binder->widget("setting_progress")->isVisible());

    ui::Control* layout = tree.find("device_layout");
    ASSERT_NE(layout, nullptr);
    ASSERT_GE(layout->children().size(), 2u);
    layout->setPage(1);
    EXPECT_EQ(widget<QStackedWidget>("device_layout")->currentIndex(), 1);
}

// Every tab of the window, the page it must show and a widget of that page. Device tabs show
// their device's panel; each device view's option tabs show its pages.
struct TabPage {
    const char* deviceTab;  // the tab that shows the view holding `tab`
    const char* tab;
    const char* layout;
    const char* page;
    const char* witness;  // a widget of the page
};

constexpr TabPage kTabPages[] = {
    {"kb_tab", "kb_tab", "device_layout", "kb_tab_panel", "kb_deng_profile_combo"},
    {"kb_onecolor_tab", "kb_onecolor_tab", "device_layout", "kb_tab_panel",
     "kb_deng_profile_combo"},
    {"kb_film_tab", "kb_film_tab", "device_layout", "kb_tab_panel", "kb_deng_profile_combo"},
    {"kb_membrane_tab", "kb_membrane_tab", "device_layout", "kb_tab_panel",
     "kb_deng_profile_combo"},
    {"ms_tab", "ms_tab", "device_layout", "ms_tab_panel", "ms_deng_profile_combo"},
    {"ms2_tab", "ms2_tab", "device_layout", "ms_tab_panel", "ms_deng_profile_combo"},
    {"mp_tab", "mp_tab", "device_layout", "mp_tab_panel", "mp_deng_profile_combo"},
    {"kb_tab", "kb_keyset_Op_tab", "kb_option_layout", "kb_keyset_page", "kb_key_butt_prosave"},
    {"kb_tab", "kb_macro_Op_tab", "kb_option_layout", "kb_macro_page", "kb_MacroName_list"},
    {"kb_tab", "kb_deng_Op_tab", "kb_option_layout", "kb_deng_page", "kb_deng_light_slider"},
    {"ms_tab", "ms_keyset_Op_tab", "ms_option_layout", "ms_keyset_page", "ms_key_0"},
    {"ms_tab", "ms_macro_Op_tab", "ms_option_layout", "ms_macro_page", "ms_MacroName_list"},
    {"ms_tab", "ms_DPI_Op_tab", "ms_option_layout", "ms_dpi_page", "ms_DPI1_slider"},
    {"ms_tab", "ms_cursor_Op_tab", "ms_option_layout", "ms_cursor_page", "ms_gun_op_0"},
    {"ms_tab", "ms_deng_Op_tab", "ms_option_layout", "ms_deng_page", "ms_deng_light_slider"},
    {"mp_tab", "mp_deng_Op_tab", "mp_option_layout", "mp_deng_page", "mp_deng_light_slider"},
};

// A user's click on a tab: the tab shows (as when its device connects) and is clicked in
// its middle.
void clickTab(ui::ControlTree& tree, TreeBinder& binder, const char* name) {
    ui::Control* control = tree.find(name);
    QWidget* button = binder.widget(name);
    ASSERT_TRUE(control != nullptr && button != nullptr) << name;
    control->setVisible(true);
    test_support::click(button, button->rect().center());
}

TEST_F(Binder, EveryTabShowsItsPageOnTheStackedWidget) {
    std::vector<std::string> tabs;
    tree.forEach([&](const ui::Control& c) {
        if (c.attributes().contains("tabLayout")) {
            tabs.push_back(c.name());
        }
    });
    for (const std::string& name : tabs) {
        EXPECT_TRUE(std::ranges::any_of(kTabPages, [&](const TabPage& t) { return name == t.tab; }))
            << name << " is a tab without an expected page here";
    }
    // Start away from every first page, so that no check passes by standing still.
    clickTab(tree, *binder, "mp_tab");
    for (const TabPage& t : kTabPages) {
        SCOPED_TRACE(t.tab);
        clickTab(tree, *binder, t.deviceTab);
        clickTab(tree, *binder, t.tab);
        auto* stack = widget<QStackedWidget>(t.layout);
        ASSERT_NE(stack, nullptr);
        ASSERT_NE(stack->currentWidget(), nullptr);
        EXPECT_EQ(stack->currentWidget()->objectName().toStdString(), t.page);
        EXPECT_TRUE(stack->currentWidget()->isVisible());
        QWidget* witness = binder->widget(t.witness);
        ASSERT_NE(witness, nullptr) << t.witness;
        EXPECT_TRUE(witness->isVisible()) << t.witness;
        // The tree says the same.
        EXPECT_TRUE(tree.find(t.witness)->shown()) << t.witness;
        // Another device's tab hides the page again.
        clickTab(tree, *binder, std::string(t.deviceTab) == "mp_tab" ? "kb_tab" : "mp_tab");
        EXPECT_FALSE(witness->isVisible()) << t.witness;
        EXPECT_FALSE(tree.find(t.witness)->shown()) << t.witness;
    }
}

TEST_F(Binder, BackgroundImageAndColourBecomeTheWidgetsStyle) {
    ui::Control* rootControl = tree.find("root");
    rootControl->setBkColor(0);
    rootControl->setBkImage("file='common/background_2.png'");
    EXPECT_TRUE(root->styleSheet().contains("common/background_2.png"))
        << root->styleSheet().toStdString();
    rootControl->setBkImage({});
    rootControl->setBkColor(0xFF102030);
    EXPECT_TRUE(root->styleSheet().contains("rgba(16,32,48,1.000)"))
        << root->styleSheet().toStdString();
    EXPECT_FALSE(root->styleSheet().contains("border-image"));
}

TEST_F(Binder, HoverOnAButtonRaisesEnterAndLeave) {
    QWidget* button = binder->widget("ms_key_0");
    ASSERT_NE(button, nullptr);
    QEvent enter(QEvent::Enter);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(button, &enter);
    QCoreApplication::sendEvent(button, &leave);
    ASSERT_GE(seen.size(), 2u);
    EXPECT_EQ(seen[seen.size() - 2], (Seen{"msenter", "ms_key_0"}));
    EXPECT_EQ(seen.back(), (Seen{"msleave", "ms_key_0"}));
}

TEST_F(Binder, ReloadingTheLanguageChangesEveryText) {
    auto* tabButton = widget<QAbstractButton>("kb_tab");
    ASSERT_TRUE(language.loadLanguageFile("lan_de.xml"));
    language.reloadTexts();
    EXPECT_EQ(tabButton->text(), "Tastatur");
    ASSERT_TRUE(language.loadLanguageFile("lan_cn.xml"));
    language.reloadTexts();
    EXPECT_EQ(tabButton->text(), QString::fromUtf8("键盘"));
}

}  // namespace
