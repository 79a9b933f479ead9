// The DPI stages of the mouse page: labels from the sensor description, the record and the
// device changing on release only, the current stage marked, the stages each model has,
// and the DPI indicator colour.

#include "mouse/mouse_page_fixture.h"

namespace korvane::app::testing {
namespace {

using namespace std::chrono_literals;
using device::DeviceKind;

sim::SimSettings sensorSettings(std::uint16_t sensor, std::uint8_t step) {
    sim::SimSettings settings;
    settings.sensor = sensor;
    settings.dpiStep = step;
    return settings;
}

struct LabelCase {
    std::string name;
    std::uint16_t sensor;
    std::uint8_t step;
    int position;
    std::string label;
    std::string minimum;
    std::string maximum;
};

class DpiLabels : public MousePage, public ::testing::WithParamInterface<LabelCase> {};

TEST_P(DpiLabels, FollowTheSliderAndTheReleaseStoresTheStage) {
    const LabelCase& c = GetParam();
    attachMouse(DeviceKind::Mouse, sensorSettings(c.sensor, c.step));
    EXPECT_EQ(shown("ms_DPI2_min").text, c.minimum);
    EXPECT_EQ(shown("ms_DPI2_max").text, c.maximum);
    const std::uint8_t before = recordByte(kFirstStage + 1);
    const auto profileBefore = profileBody("ms");

    act("movevaluechanged", "ms_DPI2_slider", std::to_string(c.position));
    EXPECT_EQ(shown("ms_DPI2_label_value").text, c.label);
    EXPECT_EQ(recordByte(kFirstStage + 1), before) << "dragging changes only the label";
    EXPECT_EQ(profileBody("ms"), profileBefore);

    act("valuechanged", "ms_DPI2_slider", std::to_string(c.position));
    EXPECT_EQ(shown("ms_DPI2_label_value").text, c.label);
    EXPECT_EQ(recordByte(kFirstStage + 1), c.position);
    EXPECT_EQ(profileBody("ms")[kFirstStage + 1], c.position);
}

INSTANTIATE_TEST_SUITE_P(
    Sensors, DpiLabels,
    ::testing::Values(LabelCase{"Sensor3360", 0x3360, 50, 10, "600", "100", "12000"},
                      LabelCase{"Sensor3325", 0x3325, 50, 10, "700", "200", "5000"},
                      LabelCase{"Sensor3050", 0x3050, 50, 4, "450", "250", "4000"},
                      // Nothing known before: the minimum is 0 and the skin's range
                      // labels stay.
                      LabelCase{"UnknownSensorOnAFreshStart", 0x1234, 50, 10, "500", "200",
                                "5000"}),
    [](const auto& info) { return info.param.name; });

TEST_F(MousePage, ADragThenAReleaseReachTheMouseAsOneWrite) {
    attachMouse(DeviceKind::Mouse);
    const std::uint64_t before = mouseWrites();
    const std::uint8_t onDevice = deviceByte(kFirstStage + 2);
    for (const char* position : {"5", "20", "40"}) {
        act("movevaluechanged", "ms_DPI3_slider", position);
    }
    pause(1300ms);
    EXPECT_EQ(mouseWrites(), before) << "nothing goes out while the slider is held";
    EXPECT_EQ(deviceByte(kFirstStage + 2), onDevice);

    app_->query([&] {
        main().tree().deliver("valuechanged", "ms_DPI3_slider", "40");
        main().tree().deliver("valuechanged", "ms_DPI1_slider", "7");
    });
    ASSERT_TRUE(mouseWritesReach(before + 1));
    pause(2200ms);
    EXPECT_EQ(mouseWrites(), before + 1) << "two changes within a second, one report";
    EXPECT_EQ(deviceByte(kFirstStage + 2), 40);
    EXPECT_EQ(deviceByte(kFirstStage), 7);
}

TEST_F(MousePage, AnUnknownSensorKeepsThePreviousMinimum) {
    attachMouse(DeviceKind::Mouse2);  // sensor 0x3360: from 100 DPI, 100 per step
    act("valuechanged", "ms_DPI1_slider", "3");
    EXPECT_EQ(shown("ms_DPI1_label_value").text, "400");
    app_->query([&] {
        device::DeviceInfo& info = main().stores().mouseInfo;
        info.bytes[9] = 0x34;  // sensor 0x1234
        info.bytes[10] = 0x12;
        info.bytes[11] = 20;
    });
    refreshMousePages();
    EXPECT_EQ(shown("ms_DPI1_label_value").text, "160");
    EXPECT_EQ(shown("ms_DPI1_min").text, "100");
    EXPECT_EQ(shown("ms_DPI1_max").text, "12000");
}

TEST_F(MousePage, TheCurrentStageIsRedAndTheSlidersTakeTheSensorRange) {
    attachMouse(DeviceKind::Mouse);  // the simulated mouse reports stage 2 (index 1)
    ASSERT_EQ(recordByte(kCurrentStage), 1);
    EXPECT_EQ(textColour("ms_DPI2_label_rank"), kCurrentStageText);
    EXPECT_EQ(textColour("ms_DPI2_label_value"), kCurrentStageText);
    for (const char* other : {"ms_DPI1_label_rank", "ms_DPI3_label_value", "ms_DPI6_label_rank"}) {
        EXPECT_EQ(textColour(other), kOtherStageText) << other;
    }
    app_->query([&] { main().stores().mouseSettings.currentStage = 4; });
    refreshMousePages();
    EXPECT_EQ(textColour("ms_DPI5_label_value"), kCurrentStageText);
    EXPECT_EQ(textColour("ms_DPI2_label_rank"), kOtherStageText);
    // The sensor's 96 steps: a position past them stays at the end.
    act("valuechanged", "ms_DPI4_slider", "150");
    EXPECT_EQ(shown("ms_DPI4_slider").value, 96);
    EXPECT_EQ(recordByte(kFirstStage + 3), 96);
    EXPECT_EQ(shown("ms_DPI4_label_value").text, "5000");
}

struct ModelCase {
    DeviceKind kind;
    bool fifth;
    bool sixth;
};

class DpiStagesOfModel : public MousePage, public ::testing::WithParamInterface<ModelCase> {};

TEST_P(DpiStagesOfModel, ShowOnlyTheStagesTheModelHas) {
    attachMouse(GetParam().kind);
    for (const char* name : {"ms_DPI5_la", "ms_DPI5_va"}) {
        EXPECT_EQ(shown(name).visible, GetParam().fifth) << name;
    }
    for (const char* name : {"ms_DPI6_la", "ms_DPI6_va"}) {
        EXPECT_EQ(shown(name).visible, GetParam().sixth) << name;
    }
    EXPECT_TRUE(shown("ms_DPI4_va").visible);
}

INSTANTIATE_TEST_SUITE_P(Models, DpiStagesOfModel,
                         ::testing::Values(ModelCase{DeviceKind::Mouse, true, false},
                                           ModelCase{DeviceKind::MouseAlt, true, true},
                                           ModelCase{DeviceKind::Mouse2, false, false}));

struct ChannelCase {
    std::string edit;
    std::string typed;
    std::string shownText;
    std::size_t offset;
    std::uint8_t stored;
    bool saved;
};

class DpiChannels : public MousePage, public ::testing::WithParamInterface<ChannelCase> {};

TEST_P(DpiChannels, ClampShowStoreAndReachTheMouse) {
    const ChannelCase& c = GetParam();
    attachMouse(DeviceKind::Mouse);
    const std::uint8_t savedBefore = profileBody("ms")[c.offset];
    const std::uint64_t writes = mouseWrites();
    act("textchanged", c.edit, c.typed);
    EXPECT_EQ(shown(c.edit).text, c.shownText);
    EXPECT_EQ(recordByte(c.offset), c.stored);
    EXPECT_EQ(profileBody("ms")[c.offset], c.saved ? c.stored : savedBefore);
    const lighting::MouseSettingsRecord r = record();
    const std::uint32_t argb = 0xFF000000u | (std::uint32_t{r.dpiRed} << 16) |
                               (std::uint32_t{r.dpiGreen} << 8) | r.dpiBlue;
    EXPECT_EQ(shown("ms_DPI_colordp_btn").bkColor, argb);
    EXPECT_EQ(shown("Pallet").colour, argb);
    ASSERT_TRUE(mouseWritesReach(writes + 1));
    EXPECT_EQ(deviceByte(c.offset), c.stored);
}

INSTANTIATE_TEST_SUITE_P(
    Edits, DpiChannels,
    ::testing::Values(ChannelCase{"ms_DPI_edit_G", "300", "255", kDpiGreen, 255, true},
                      ChannelCase{"ms_DPI_edit_B", "64", "64", kDpiBlue, 64, true},
                      // Red changes the record but leaves the profile to the next save.
                      ChannelCase{"ms_DPI_edit_R", "999", "255", kDpiRed, 255, false}),
    [](const auto& info) { return info.param.edit; });

TEST_F(MousePage, ASwatchOrThePaletteSetsTheIndicatorColour) {
    attachMouse(DeviceKind::Mouse);
    const std::uint64_t writes = mouseWrites();
    act("click", "ms_DPI_color_btn_7");  // 0xFFFE5400
    EXPECT_EQ(shown("ms_DPI_colordp_btn").bkColor, 0xFFFE5400u);
    EXPECT_EQ(shown("ms_DPI_edit_R").text, "254");
    EXPECT_EQ(shown("ms_DPI_edit_G").text, "84");
    EXPECT_EQ(shown("ms_DPI_edit_B").text, "0");
    EXPECT_EQ(recordByte(kDpiRed), 0xFE);
    EXPECT_EQ(recordByte(kDpiGreen), 0x54);
    EXPECT_EQ(profileBody("ms")[kDpiGreen], 0x54);
    ASSERT_TRUE(mouseWritesReach(writes + 1));
    EXPECT_EQ(deviceByte(kDpiRed), 0xFE);

    act("colorchanged", "Pallet", "0xFF102030");
    EXPECT_EQ(shown("ms_DPI_edit_G").text, "32");
    EXPECT_EQ(recordByte(kDpiBlue), 0x30);
    EXPECT_EQ(profileBody("ms")[kDpiRed], 0x10);
}

}  // namespace
}  // namespace korvane::app::testing
