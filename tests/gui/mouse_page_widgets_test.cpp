// The mouse performance section through the real widgets: a slider dragged and let go, the
// pointer slider, the DPI label, the reset button with its confirmation box.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTimer>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/mouse/printing_system_pointer.h"
#include "gui/gui_app.h"
#include "qt_environment.h"

using namespace korvane;
using namespace korvane::gui;
using korvane::gui::test_support::kSkinFolder;
using korvane::gui::test_support::pumpUntil;

namespace {

class MousePageWidgets : public ::testing::Test {
  protected:
    void SetUp() override {
        GuiAppOptions options;
        options.skinFolder = kSkinFolder;
        options.programFile = "/usr/bin/korvane";
        options.installerFile = data.path("install.ini");
        options.configHome = data.path("config");
        options.pointer = &pointer;
        gui = std::make_unique<GuiApp>(options);
        gui->dialogs().setOnOpen([this](MessageBox& box) {
            QTimer::singleShot(0, &box, [this, &box] {
                const char* button = confirm ? "confirm_btn" : "cancel_btn";
                qobject_cast<QAbstractButton*>(box.binder().widget(button))->click();
            });
        });
        std::string error;
        ASSERT_TRUE(gui->start(error)) << error;
    }
    void TearDown() override { gui.reset(); }

    template <class W>
    W* widget(const char* name) {
        auto* w = qobject_cast<W*>(gui->binder().widget(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }

    bool printed(const std::string& line) {
        return pumpUntil([&] {
            std::lock_guard lock(mutex);
            return std::find(lines.begin(), lines.end(), line) != lines.end();
        });
    }

    std::mutex mutex;
    std::vector<std::string> lines;
    mouse::PrintingSystemPointer pointer{[this](std::string_view line) {
        std::lock_guard lock(mutex);
        lines.emplace_back(line);
    }};
    test_support::TempDataRoot data;
    std::unique_ptr<GuiApp> gui;
    bool confirm = true;
};

TEST_F(MousePageWidgets, ADraggedDpiSliderMovesItsLabelAndTheReleaseStoresTheStage) {
    app::MainWindow& main = gui->mainWindow();
    // A mouse with sensor 0x3360, 50 DPI per step and 119 steps.
    main.stores().mouseInfo.bytes[9] = 0x60;
    main.stores().mouseInfo.bytes[10] = 0x33;
    main.stores().mouseInfo.bytes[11] = 50;
    main.stores().mouseInfo.bytes[12] = 119;
    app::runRefresh(main.pageRefresh().mousePages);
    auto* slider = widget<QSlider>("ms_DPI2_slider");
    auto* label = widget<QLabel>("ms_DPI2_label_value");
    ASSERT_TRUE(slider && label);
    EXPECT_EQ(slider->maximum(), 119);
    EXPECT_EQ(widget<QLabel>("ms_DPI2_min")->text(), "100");

    const std::uint8_t before = main.stores().mouseSettings.dpiStages[1];
    slider->setSliderDown(true);
    slider->setSliderPosition(10);
    EXPECT_EQ(label->text(), "600");
    EXPECT_EQ(main.stores().mouseSettings.dpiStages[1], before);
    EXPECT_FALSE(main.mouseSettingsChanged.load());
    slider->setSliderDown(false);
    EXPECT_EQ(main.stores().mouseSettings.dpiStages[1], 10);
    EXPECT_TRUE(main.mouseSettingsChanged.load());
}

TEST_F(MousePageWidgets, ThePointerSliderAndTheWheelButtonsReachTheDesktop) {
    auto* slider = widget<QSlider>("ms_point_speed_slider");
    ASSERT_NE(slider, nullptr);
    slider->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_TRUE(printed("pointer speed 20"));
    auto* edit = widget<QLineEdit>("ms_gunlun_speed_edit");
    ASSERT_NE(edit, nullptr);
    edit->selectAll();
    test_support::type(edit, "10");
    widget<QAbstractButton>("ms_gunlun_speed_up_btn")->click();
    EXPECT_EQ(edit->text(), "10");
    EXPECT_TRUE(printed("wheel lines 10"));
}

TEST_F(MousePageWidgets, TheResetButtonAsksFirst) {
    auto* reset = widget<QAbstractButton>("ms_reset_btn");
    ASSERT_NE(reset, nullptr);
    confirm = false;
    reset->click();
    pumpUntil([] { return false; }, std::chrono::milliseconds(200));
    {
        std::lock_guard lock(mutex);
        EXPECT_TRUE(lines.empty());
    }
    confirm = true;
    reset->click();
    EXPECT_TRUE(printed("pointer speed 10"));
    EXPECT_TRUE(printed("wheel lines 3"));
    EXPECT_EQ(widget<QSlider>("ms_point_speed_slider")->value(), 4);
    EXPECT_EQ(widget<QLineEdit>("ms_gunlun_speed_edit")->text(), "3");
}

}  // namespace
