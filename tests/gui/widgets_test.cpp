// Custom controls and device pictures.

#include <gtest/gtest.h>

#include <QApplication>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <set>

#include "core/keys/keyboard_picture_layout.h"
#include "core/ui/control_tree.h"
#include "core/ui/preview_buffer.h"
#include "gui/device_picture.h"
#include "gui/picture_layouts.h"
#include "gui/skin_widgets.h"
#include "qt_environment.h"

using namespace korvane;
using namespace korvane::gui;

namespace {

struct Sweep {
    int minimum;
    int maximum;
    int value;
    double degrees;
};

class CircleSweep : public ::testing::TestWithParam<Sweep> {};

TEST_P(CircleSweep, IsValueOverTheRangeInDegrees) {
    CircleProgress ring;
    ring.setRange(GetParam().minimum, GetParam().maximum);
    ring.setValue(GetParam().value);
    EXPECT_DOUBLE_EQ(ring.sweepDegrees(), GetParam().degrees);
}

INSTANTIATE_TEST_SUITE_P(Values, CircleSweep,
                         ::testing::Values(Sweep{0, 100, 0, 0.0}, Sweep{0, 100, 25, 90.0},
                                           Sweep{0, 100, 100, 360.0}, Sweep{0, 200, 50, 90.0},
                                           // value over (maximum − minimum), not its offset
                                           Sweep{50, 150, 75, 270.0}, Sweep{0, 0, 0, 0.0}));

TEST(CircleProgress, PaintsARingOfBackgroundAndForeground) {
    CircleProgress ring;
    ring.resize(60, 60);
    ring.setProperty("bkcolor", "0xFF0000FF");
    ring.setProperty("forecolor", "0xFFFF0000");
    ring.setRange(0, 100);
    ring.setValue(25);
    const QImage image = ring.grab().toImage();
    // Clockwise from the bottom: a quarter reaches the left side; the right is background.
    EXPECT_EQ(image.pixelColor(3, 32), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(56, 30), QColor(0, 0, 255));
    EXPECT_EQ(image.pixelColor(30, 30), QColor(255, 255, 255));  // the hole of the ring
}

TEST(ChartView, RecognisesItsAttributesAndSizesThePie) {
    ChartView chart;
    chart.resize(300, 200);
    EXPECT_TRUE(chart.setChartAttribute("view", "histpgram"));
    EXPECT_EQ(chart.view(), ChartView::View::Histogram);
    chart.setProperty("view", "pie");  // as the skin's loader sets it
    EXPECT_EQ(chart.view(), ChartView::View::Pie);
    chart.setProperty("shadowimageheight", "12");
    chart.setProperty("pillarimagewidth", "7");
    chart.setProperty("showtext", "true");
    // "font" is also the widget's own font property: the loader's callers set it directly.
    chart.setChartAttribute("font", "2");
    EXPECT_EQ(chart.shadowImageHeight(), 12);
    EXPECT_EQ(chart.pillarImageWidth(), 7);
    EXPECT_TRUE(chart.showText());
    EXPECT_EQ(chart.fontIndex(), 2);
    EXPECT_FALSE(chart.setChartAttribute("colour", "1"));
    // Legend on: 100 pixels less width for the pie; 10 less for the margin.
    EXPECT_EQ(chart.pieRect().width(), 190);
    chart.setProperty("showtext", "false");
    EXPECT_EQ(chart.pieRect().width(), 190);  // height bound: 200 − 10
    chart.resize(150, 400);
    EXPECT_EQ(chart.pieRect().width(), 140);
}

TEST(WindowHost, TheHostedWindowFollowsPlaceAndVisibility) {
    QWidget parent;
    parent.resize(300, 300);
    auto* host = new WindowHostWidget(&parent);
    auto* hosted = new QWidget(&parent);
    host->setGeometry(10, 20, 50, 40);
    host->setHostedWindow(hosted);
    parent.show();
    EXPECT_EQ(hosted->geometry(), QRect(10, 20, 50, 40));
    host->move(30, 30);
    EXPECT_EQ(hosted->geometry().topLeft(), QPoint(30, 30));
    host->hide();
    EXPECT_FALSE(hosted->isVisible());
    host->show();
    EXPECT_TRUE(hosted->isVisible());
}

// Every position of the keyboard picture that carries a key or a light has a place, the
// empty ones none, and no two keys overlap.
TEST(KeyboardPicture, KeysArePlacedWithoutOverlap) {
    std::vector<QRect> placed;
    for (std::size_t i = 0; i < kKeyboardCells.size(); ++i) {
        const PictureCell& cell = kKeyboardCells[i];
        const bool lightOnly = std::find(kLightOnlyPositions.begin(), kLightOnlyPositions.end(),
                                         static_cast<int>(i)) != kLightOnlyPositions.end();
        EXPECT_EQ(cell.w != 0, keys::isKeyPosition(i) || lightOnly) << "position " << i;
        if (cell.w == 0) {
            continue;
        }
        const QRect r(cell.x, cell.y, cell.w, cell.h);
        EXPECT_LE(r.right() + 1, kKeyboardGridWidth) << i;
        EXPECT_LE(r.bottom() + 1, kKeyboardGridHeight) << i;
        for (const QRect& other : placed) {
            EXPECT_FALSE(r.intersects(other)) << "position " << i;
        }
        placed.push_back(r);
    }
}

TEST(DevicePicture, ElementsAreHitAndColouredFromTheBufferOfTheirDevice) {
    struct Case {
        const char* picture;
        const char* prefix;
        int count;
        int base;
    };
    for (const Case& c : {Case{"keyboard", "kb_dkey_", 126, ui::PreviewBuffer::kKeyboardBase},
                          Case{"mouse", "ms_dkey_", 20, ui::PreviewBuffer::kMouseBase},
                          Case{"mouse2", "ms2_dkey_", 20, ui::PreviewBuffer::kMouseBase},
                          Case{"mousepad", "mp_dkey_", 15, ui::PreviewBuffer::kMousePadBase}}) {
        ui::ControlTree tree;
        ui::Control& root = tree.create("root", ui::ControlKind::Container, "QWidget", nullptr);
        for (int i = 0; i < c.count; ++i) {
            ui::Control& key = tree.create(std::string(c.prefix) + std::to_string(i),
                                           ui::ControlKind::Picture, "PictureKey", &root);
            key.setChangerMode(true);
        }
        ui::PreviewBuffer preview;
        DevicePicture picture;
        picture.resize(600, 190);
        picture.setProperty("picture", c.picture);
        picture.setProperty("keyPrefix", c.prefix);
        picture.setProperty("keyCount", c.count);
        picture.attach(tree, &preview);
        EXPECT_EQ(picture.keyCount(), c.count) << c.picture;
        EXPECT_EQ(picture.previewBase(), c.base) << c.picture;
        const int last = c.count - 1;
        const int probe = c.count == 126 ? 125 : last;
        ASSERT_FALSE(picture.keyRect(probe).isEmpty()) << c.picture;
        EXPECT_EQ(picture.keyAt(picture.keyRect(probe).center()), probe) << c.picture;
        preview.set(c.base + probe, 0x0000FF, 200);
        EXPECT_EQ(picture.keyColour(probe), QColor(255, 0, 0, 200)) << c.picture;
    }
}

// An animated picture repaints the lights that changed, not the whole device.
TEST(DevicePicture, RepaintsOnlyTheElementsThatChanged) {
    ui::ControlTree tree;
    ui::Control& root = tree.create("root", ui::ControlKind::Container, "QWidget", nullptr);
    for (int i = 0; i < 15; ++i) {
        tree.create("mp_dkey_" + std::to_string(i), ui::ControlKind::Picture, "PictureKey", &root)
            .setChangerMode(true);
    }
    ui::PreviewBuffer preview;
    DevicePicture picture;
    picture.resize(600, 190);
    picture.setProperty("picture", "mousepad");
    picture.setProperty("keyPrefix", "mp_dkey_");
    picture.setProperty("keyCount", 15);
    picture.attach(tree, &preview);
    EXPECT_TRUE(picture.refreshIfChanged());  // the first look paints every element

    EXPECT_FALSE(picture.refreshIfChanged());  // the same colours again: nothing
    EXPECT_TRUE(picture.lastRefreshed().isEmpty());

    preview.setMousePad(4, 0x00FF00, 255);
    preview.setMousePad(9, 0x0000FF, 128);
    EXPECT_TRUE(picture.refreshIfChanged());
    EXPECT_EQ(picture.lastRefreshed(), QRegion(picture.keyRect(4)) + picture.keyRect(9));
    EXPECT_FALSE(picture.lastRefreshed().contains(picture.keyRect(5).center()));
}

// Key pictures are no widgets of their own: the picture shows the tool tip of the key under
// the pointer (the key assignment page puts what the key does there).
TEST(DevicePicture, ShowsTheToolTipOfTheKeyUnderThePointer) {
    ui::ControlTree tree;
    ui::Control& root = tree.create("root", ui::ControlKind::Container, "QWidget", nullptr);
    for (int i = 0; i < 126; ++i) {
        tree.create("kb_key_" + std::to_string(i), ui::ControlKind::Picture, "PictureKey", &root);
    }
    tree.find("kb_key_64")->setToolTip("keyboard_key_A");
    tree.find("kb_key_65")->setToolTip("keyboard_key_S");
    DevicePicture picture;
    picture.resize(600, 190);
    picture.setProperty("picture", "keyboard");
    picture.setProperty("keyPrefix", "kb_key_");
    picture.setProperty("keyCount", 126);
    picture.attach(tree, nullptr);
    picture.setTranslate([](const std::string& key) { return QString::fromStdString("T:" + key); });
    picture.show();
    const auto ask = [&](int key) {
        const QPoint at = picture.keyRect(key).center();
        QHelpEvent help(QEvent::ToolTip, at, picture.mapToGlobal(at));
        QApplication::sendEvent(&picture, &help);
    };
    ask(64);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), QStringLiteral("T:keyboard_key_A"));
    ask(65);
    EXPECT_EQ(QToolTip::text(), QStringLiteral("T:keyboard_key_S"));
}

TEST(DevicePicture, AnOversizedKeyCountIsBounded) {
    ui::ControlTree tree;
    tree.create("root", ui::ControlKind::Container, "QWidget", nullptr);
    DevicePicture picture;
    picture.setProperty("keyPrefix", "x_");
    picture.setProperty("keyCount", 100000000);
    picture.attach(tree, nullptr);
    EXPECT_LE(picture.keyCount(), 256);
    EXPECT_EQ(picture.keyColour(3).alpha(), 0);
}

}  // namespace
