// The skinned message box: language texts, close codes, and boxes asked for by workers.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <QTimer>

#include <atomic>
#include <thread>

#include "gui/language_texts.h"
#include "gui/message_box.h"
#include "gui/qt_main_loop.h"
#include "gui/tree_binder.h"
#include "qt_environment.h"

using namespace korvane;
using namespace korvane::gui;
using korvane::gui::test_support::kSkinFolder;

namespace {

class MessageBoxes : public ::testing::Test {
  protected:
    void SetUp() override {
        language.loadLanguageFile("lan.xml");
        language.loadLanguageFile("lan_de.xml");
    }
    // Presses a button of the next box once it runs; records the box's text.
    void answerWith(const char* button) {
        dialogs.setOnOpen([this, button](MessageBox& box) {
            shown = qobject_cast<QLabel*>(box.binder().widget("MessageText"))->text();
            QTimer::singleShot(0, &box, [&box, button] {
                qobject_cast<QAbstractButton*>(box.binder().widget(button))->click();
            });
        });
    }

    QtMainLoop loop;
    QtLanguageHost language{kSkinFolder};
    QtDialogs dialogs{loop, kSkinFolder, language};
    QString shown;
};

struct Answer {
    const char* button;
    int code;
};

class CloseCodes : public MessageBoxes, public ::testing::WithParamInterface<Answer> {};

TEST_P(CloseCodes, EachButtonClosesWithItsCode) {
    answerWith(GetParam().button);
    EXPECT_EQ(dialogs.showMessage("message_text_12"), GetParam().code);
    EXPECT_EQ(shown, "Dieses Profil löschen?");
    EXPECT_EQ(dialogs.openBoxes(), 0);
}

INSTANTIATE_TEST_SUITE_P(Buttons, CloseCodes,
                         ::testing::Values(Answer{"confirm_btn", 1}, Answer{"cancel_btn", 0},
                                           Answer{"closebtn", 0}));

TEST_F(MessageBoxes, AnEmptyKeyKeepsTheSkinsText) {
    answerWith("confirm_btn");
    dialogs.showMessage("");
    EXPECT_EQ(shown, "Meldung");  // "message_default", the skin's own text
}

TEST_F(MessageBoxes, TwoBoxesInARowAreEachModal) {
    int opened = 0;
    dialogs.setOnOpen([&](MessageBox& box) {
        ++opened;
        EXPECT_TRUE(box.isModal());
        QTimer::singleShot(0, &box, [&box] {
            qobject_cast<QAbstractButton*>(box.binder().widget("confirm_btn"))->click();
        });
    });
    EXPECT_EQ(dialogs.showMessage("message_text_1"), 1);
    EXPECT_EQ(dialogs.showMessage("message_text_4"), 1);
    EXPECT_EQ(opened, 2);
}

TEST_F(MessageBoxes, AWorkersBoxIsPostedNotAwaited) {
    answerWith("confirm_btn");
    std::atomic<int> code{-1};
    std::thread worker([&] { code = dialogs.showMessage("message_text_8"); });
    worker.join();  // returns without anyone answering
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(shown.isEmpty());
    ASSERT_TRUE(test_support::pumpUntil([&] { return !shown.isEmpty(); }));
    EXPECT_EQ(shown, "Eine Profildatei fehlt oder lässt sich nicht öffnen.");
}

TEST(QtFilter, BarSeparatedPairsBecomeNameFilters) {
    EXPECT_EQ(toQtFilter("(*.png) | *.png |(*.*)|*.*||"), "(*.png);;(*.*)");
    EXPECT_EQ(toQtFilter("Profiles|*.led||"), "Profiles (*.led)");
    EXPECT_EQ(toQtFilter(""), "");
}

}  // namespace
