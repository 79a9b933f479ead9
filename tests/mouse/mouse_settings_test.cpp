// Report rate, sensor height, pointer speed and wheel lines on the mouse page, the page
// refresh from damaged bytes, and the mouse's and the mouse pad's own reset buttons.

#include "mouse/mouse_page_fixture.h"

namespace korvane::app::testing {
namespace {

using namespace std::chrono_literals;
using device::DeviceClass;
using device::DeviceKind;

TEST_F(MousePage, TheSameReportRateAgainStillSendsTheRecord) {
    attachMouse(DeviceKind::Mouse);
    const std::uint64_t writes = mouseWrites();
    act("itemselect", "ms_report_fct_combo", "3");
    EXPECT_EQ(recordByte(kReportRate), 3);
    EXPECT_EQ(profileBody("ms")[kReportRate], 3);
    ASSERT_TRUE(mouseWritesReach(writes + 1));
    EXPECT_EQ(deviceByte(kReportRate), 3);
    act("itemselect", "ms_report_fct_combo", "3");
    ASSERT_TRUE(mouseWritesReach(writes + 2));
}

TEST_F(MousePage, SensorHeightIsStoredAndANegativeValueAsZero) {
    attachMouse(DeviceKind::Mouse);
    act("valuechanged", "ms_sensor_height_slider", "2");
    EXPECT_EQ(recordByte(kSensorHeight), 2);
    EXPECT_EQ(profileBody("ms")[kSensorHeight], 2);
    // A skin whose slider goes below zero.
    app_->query([&] { main().tree().find("ms_sensor_height_slider")->setRange(-5, 2); });
    act("valuechanged", "ms_sensor_height_slider", "-3");
    EXPECT_EQ(recordByte(kSensorHeight), 0);
    EXPECT_EQ(profileBody("ms")[kSensorHeight], 0);
}

struct PointerCase {
    int position;
    int speed;
};

class PointerSlider : public MousePage, public ::testing::WithParamInterface<PointerCase> {};

TEST_P(PointerSlider, GivesTheSpeedTheDesktopAndTheProfileGet) {
    attachMouse(DeviceKind::Mouse);
    const std::string line = "pointer speed " + std::to_string(GetParam().speed);
    const int before = count(line);
    act("valuechanged", "ms_point_speed_slider", std::to_string(GetParam().position));
    ASSERT_TRUE(waitForLine(line, before + 1));
    EXPECT_EQ(read<int>([](MainWindow& m) { return m.stores().pointerSpeed; }), GetParam().speed);
    EXPECT_EQ(profileBody("ms")[kPointerSpeed], GetParam().speed);
}

INSTANTIATE_TEST_SUITE_P(Positions, PointerSlider,
                         ::testing::Values(PointerCase{0, 2}, PointerCase{4, 10},
                                           PointerCase{9, 20}));

TEST_F(MousePage, AStoredZeroSpeedIsAppliedAsOneAndStoredBack) {
    attachMouse(DeviceKind::Mouse);
    app_->query([&] {
        main().stores().pointerSpeed = 0;
        runRefresh(main().pageRefresh().mouseProfileSpeeds);
    });
    ASSERT_TRUE(waitForLine("pointer speed 1"));
    EXPECT_EQ(read<int>([](MainWindow& m) { return m.stores().pointerSpeed; }), 1);
}

struct WheelCase {
    std::string name;
    std::string typed;
    bool up;
    std::string result;
};

class WheelButtons : public MousePage, public ::testing::WithParamInterface<WheelCase> {};

TEST_P(WheelButtons, StepTheEditAndApplyTheLines) {
    const WheelCase& c = GetParam();
    attachMouse(DeviceKind::Mouse);
    act("textchanged", "ms_gunlun_speed_edit", c.typed);
    const std::string line = "wheel lines " + c.result;
    const int before = count(line);
    act("click", c.up ? "ms_gunlun_speed_up_btn" : "ms_gunlun_speed_down_btn");
    EXPECT_EQ(shown("ms_gunlun_speed_edit").text, c.result);
    ASSERT_TRUE(waitForLine(line, before + 1));
    EXPECT_EQ(read<int>([](MainWindow& m) { return m.stores().wheelSpeed; }), std::stoi(c.result));
    EXPECT_EQ(profileBody("ms")[kWheelLines], std::stoi(c.result));
}

INSTANTIATE_TEST_SUITE_P(Presses, WheelButtons,
                         ::testing::Values(WheelCase{"DownAtOneStays", "1", false, "1"},
                                           WheelCase{"UpAtTenStays", "10", true, "10"},
                                           WheelCase{"EmptyGoesUpToTwo", "", true, "2"},
                                           WheelCase{"NotANumberGoesUpToTwo", "abc", true, "2"},
                                           WheelCase{"NinetyNineGoesDownToNine", "99", false, "9"},
                                           WheelCase{"UpFromThree", "3", true, "4"}),
                         [](const auto& info) { return info.param.name; });

TEST_F(MousePage, TheConnectedProfilesSpeedsReachTheDesktopAndThePage) {
    attachMouse(DeviceKind::Mouse);
    const auto body = profileBody("ms");
    ASSERT_EQ(body.size(), 64u);
    // The shipped default holds non-zero speeds: they are what the desktop got.
    ASSERT_NE(body[kPointerSpeed], 0);
    ASSERT_NE(body[kWheelLines], 0);
    EXPECT_GE(count("pointer speed " + std::to_string(body[kPointerSpeed])), 1);
    EXPECT_GE(count("wheel lines " + std::to_string(body[kWheelLines])), 1);
    EXPECT_EQ(shown("ms_point_speed_slider").value, body[kPointerSpeed] / 2 - 1);
    EXPECT_EQ(shown("ms_gunlun_speed_edit").text, std::to_string(body[kWheelLines]));
    EXPECT_EQ(shown("ms_report_fct_combo").item, recordByte(kReportRate));
    EXPECT_EQ(shown("ms_sensor_height_slider").value, recordByte(kSensorHeight));
}

TEST_F(MousePage, DamagedBytesShowInsideTheControlsAndAreNotWrittenBack) {
    attachMouse(DeviceKind::Mouse);  // sensor 0x3325: from 200 DPI, 50 per step, 96 steps
    app_->query([&] {
        lighting::MouseSettingsRecord& r = main().stores().mouseSettings;
        r.dpiStages = {200, 255, 96, 0, 1, 97};
        r.currentStage = 9;
        r.reportRate = 7;
        r.sensorHeight = 50;
        main().stores().pointerSpeed = 255;
        main().stores().wheelSpeed = 99;
    });
    const lighting::MouseSettingsRecord damaged = record();
    refreshMousePages();
    EXPECT_EQ(shown("ms_DPI1_slider").value, 96);
    EXPECT_EQ(shown("ms_DPI1_label_value").text, "5000");
    EXPECT_EQ(shown("ms_DPI4_label_value").text, "200");
    for (int stage = 1; stage <= 6; ++stage) {
        EXPECT_EQ(textColour("ms_DPI" + std::to_string(stage) + "_label_rank"), kOtherStageText)
            << stage;
    }
    EXPECT_EQ(shown("ms_report_fct_combo").item, -1);
    EXPECT_EQ(shown("ms_sensor_height_slider").value, 2);
    EXPECT_EQ(shown("ms_point_speed_slider").value, 9);
    EXPECT_EQ(shown("ms_gunlun_speed_edit").text, "10");
    EXPECT_EQ(record(), damaged);
    EXPECT_FALSE(read<bool>([](MainWindow& m) { return m.mouseSettingsChanged.load(); }));
    // The desktop gets the ends of the ranges; the profile keeps its bytes.
    app_->query([&] { runRefresh(main().pageRefresh().mouseProfileSpeeds); });
    ASSERT_TRUE(waitForLine("pointer speed 20"));
    ASSERT_TRUE(waitForLine("wheel lines 10"));
    EXPECT_EQ(read<int>([](MainWindow& m) { return m.stores().pointerSpeed; }), 255);
}

struct SensorCase {
    std::string name;
    sim::SimSettings settings;
    std::string released;  // slider position let go
    int value;             // what the slider then shows
};

sim::SimSettings withDpi(std::optional<std::uint8_t> step, std::optional<std::uint8_t> maximum) {
    sim::SimSettings settings;
    settings.dpiStep = step;
    settings.dpiMaximum = maximum;
    return settings;
}

class OddSensor : public MousePage, public ::testing::WithParamInterface<SensorCase> {};

TEST_P(OddSensor, LeavesAUsablePageThatShowsTheMinimum) {
    attachMouse(DeviceKind::Mouse, GetParam().settings);
    EXPECT_EQ(shown("ms_DPI3_label_value").text, "200");
    act("valuechanged", "ms_DPI3_slider", GetParam().released);
    EXPECT_EQ(shown("ms_DPI3_slider").value, GetParam().value);
    EXPECT_EQ(shown("ms_DPI3_label_value").text, "200");
    EXPECT_EQ(recordByte(kFirstStage + 2), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Sensors, OddSensor,
                         ::testing::Values(SensorCase{"MaximumZero", withDpi({}, 0), "5", 0},
                                           SensorCase{"StepZero", withDpi(0, {}), "50", 50}),
                         [](const auto& info) { return info.param.name; });

TEST_F(MousePage, TheMouseResetAsksThenResetsDesktopAndMouse) {
    attachMouse(DeviceKind::Mouse);
    act("valuechanged", "ms_point_speed_slider", "8");
    ASSERT_TRUE(waitForLine("pointer speed 18"));
    const auto resets = [&] {
        return mouse()->inspect([](const sim::Firmware& f) { return f.resetCount(); });
    };

    app_->dialogs().queueAnswer(0);
    act("click", "ms_reset_btn");
    EXPECT_EQ(count("message message_text_reset"), 1);
    EXPECT_EQ(resets(), 0u);
    EXPECT_EQ(shown("ms_point_speed_slider").value, 8);

    app_->dialogs().queueAnswer(1);
    act("click", "ms_reset_btn");
    // The mouse's own thread sends it.
    EXPECT_TRUE(waitUntil([&](MainWindow&) { return resets() == 1u; }));
    ASSERT_TRUE(waitForLine("pointer speed 10"));
    ASSERT_TRUE(waitForLine("wheel lines 3"));
    EXPECT_EQ(shown("ms_point_speed_slider").value, 4);
    EXPECT_EQ(shown("ms_gunlun_speed_edit").text, "3");
    const auto body = profileBody("ms");
    EXPECT_EQ(body[kPointerSpeed], 10);
    EXPECT_EQ(body[kWheelLines], 3);
}

TEST_F(MousePage, TheLightProfileResetGivesTheDesktopSpeedTenAndThreeLines) {
    attachMouse(DeviceKind::Mouse);
    act("valuechanged", "ms_point_speed_slider", "1");
    ASSERT_TRUE(waitForLine("pointer speed 4"));
    act("click", "ms_gunlun_speed_up_btn");
    ASSERT_TRUE(waitForLine("wheel lines 4"));
    const int tens = count("pointer speed 10");
    const int threes = count("wheel lines 3");

    act("click", "ms_pro_deng_reset_btn");
    EXPECT_TRUE(waitForLine("pointer speed 10", tens + 1));
    EXPECT_TRUE(waitForLine("wheel lines 3", threes + 1));
    EXPECT_EQ(shown("ms_point_speed_slider").value, 4);
    EXPECT_EQ(shown("ms_gunlun_speed_edit").text, "3");
}

TEST_F(MousePage, ThePadResetIsReadBackASecondLater) {
    devices_[static_cast<std::size_t>(DeviceClass::MousePad)] =
        backend().plug(DeviceKind::MousePad);
    start();
    auto pad = device(DeviceClass::MousePad);
    ASSERT_TRUE(waitUntil([](MainWindow& m) { return m.mousePadCommander().connected(); }));
    ASSERT_TRUE(settle(*pad));
    ASSERT_TRUE(waitUntil([](MainWindow& m) { return !m.mousePadSettingsChanged.load(); }));
    ASSERT_TRUE(settle(*pad));

    app_->dialogs().queueAnswer(1);
    act("click", "mp_reset_btn");
    ASSERT_TRUE(waitUntil([&](MainWindow&) {
        return pad->inspect([](const sim::Firmware& f) { return f.resetCount(); }) == 1u;
    }));
    const std::uint32_t afterReset = pad->controlRequestCount();
    pause(600ms);
    EXPECT_EQ(pad->controlRequestCount(), afterReset) << "the pad restarts first";
    // The re-read: device information, five slots, the active index, inside a transfer.
    ASSERT_TRUE(waitUntil([&](MainWindow&) { return pad->controlRequestCount() >= afterReset + 9; },
                          3000ms));
}

TEST_F(MousePage, AScriptDrivesThePageAndSeesTheDesktopLines) {
    attachMouse(DeviceKind::Mouse);
    ASSERT_EQ(run("notify valuechanged ms_point_speed_slider 0\n"
                  "notify click ms_gunlun_speed_down_btn\n"
                  "notify valuechanged ms_DPI6_slider 12\n"
                  "print ms_DPI6_label_value\n"
                  "answer 1\n"
                  "notify click ms_reset_btn\n"
                  "wait 200\n"),
              kScriptDone)
        << errors_.str();
    EXPECT_NE(printed_.str().find("800"), std::string::npos) << printed_.str();
    EXPECT_TRUE(waitForLine("pointer speed 2"));
    EXPECT_TRUE(waitForLine("pointer speed 10"));
    EXPECT_TRUE(waitForLine("wheel lines 3"));
}

}  // namespace
}  // namespace korvane::app::testing
