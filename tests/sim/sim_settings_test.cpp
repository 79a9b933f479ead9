#include <gtest/gtest.h>

#include <string>

#include "sim/sim_settings.h"
#include "sim/simulated_backend.h"

namespace korvane::sim {
namespace {

struct SettingCase {
    std::string input;
    SimSettings expected;
    std::string errorPart;  // empty: must succeed
};

void PrintTo(const SettingCase& c, std::ostream* os) {
    *os << "'" << c.input << "'";
}

SimSettings with(auto change) {
    SimSettings s;
    change(s);
    return s;
}

class SimSettingTable : public ::testing::TestWithParam<SettingCase> {};

TEST_P(SimSettingTable, ParsesOrExplains) {
    const auto& c = GetParam();
    SimSettings settings;
    const auto error = applySimSettingList(c.input, settings);
    if (c.errorPart.empty()) {
        ASSERT_FALSE(error.has_value()) << *error;
        EXPECT_EQ(settings, c.expected);
    } else {
        ASSERT_TRUE(error.has_value());
        EXPECT_NE(error->find(c.errorPart), std::string::npos) << *error;
        EXPECT_EQ(error->find('\n'), std::string::npos) << "one line";
        EXPECT_EQ(settings, SimSettings{}) << "a bad list changes nothing";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Settings, SimSettingTable,
    ::testing::Values(
        SettingCase{"keys=104", with([](auto& s) { s.keys = 104; }), ""},
        SettingCase{"keys=171", with([](auto& s) { s.keys = 171; }), ""},
        SettingCase{"macro-units=4", with([](auto& s) { s.macroUnits = 4; }), ""},
        SettingCase{"sensor=0x3360", with([](auto& s) { s.sensor = 0x3360; }), ""},
        SettingCase{"sensor=13093", with([](auto& s) { s.sensor = 0x3325; }), ""},
        SettingCase{"dpi-step=50,dpi-max=0", with([](auto& s) {
                        s.dpiStep = 50;
                        s.dpiMaximum = 0;
                    }),
                    ""},
        SettingCase{"latency-ms=1", with([](auto& s) { s.latencyMs = 1; }), ""},
        SettingCase{"fault=status-fe@3", with([](auto& s) {
                        s.faults = {{FaultKind::StatusFE, 3}};
                    }),
                    ""},
        SettingCase{" keys = 87 , ,fault=unplug@2,fault=silent@10,latency-ms=5", with([](auto& s) {
                        s.keys = 87;
                        s.latencyMs = 5;
                        s.faults = {{FaultKind::Unplug, 2}, {FaultKind::Silent, 10}};
                    }),
                    ""},
        SettingCase{"keys=1,keys=2", with([](auto& s) { s.keys = 2; }), ""},
        SettingCase{"fault=late@3:400", with([](auto& s) {
                        s.faults = {{FaultKind::Late, 3, 400}};
                    }),
                    ""},
        SettingCase{"fault=eacces", with([](auto& s) {
                        s.faults = {{FaultKind::PermissionDenied, 0}};
                    }),
                    ""},
        SettingCase{"answer-id=5,descriptor=empty", with([](auto& s) {
                        s.answerReportId = 5;
                        s.emptyDescriptor = true;
                    }),
                    ""},
        SettingCase{"fault=late@3", {}, "late@N:MS"}, SettingCase{"fault=late@3:0", {}, "late"},
        SettingCase{"fault=late@0:5", {}, "must be 1 or more"},
        SettingCase{"fault=eacces@2", {}, "unknown kind 'eacces'"},
        SettingCase{"answer-id=0", {}, "answer-id"},
        SettingCase{"descriptor=broken", {}, "descriptor"}, SettingCase{"", SimSettings{}, ""},
        SettingCase{"keys=256", {}, "keys: '256' is not a number from 0 to 255"},
        SettingCase{"keys=-1", {}, "keys"}, SettingCase{"keys=12abc", {}, "keys"},
        SettingCase{"keys=", {}, "has no value"}, SettingCase{"keys", {}, "must be KEY=VALUE"},
        SettingCase{"sensor=0x10000", {}, "16-bit"}, SettingCase{"sensor=0x", {}, "16-bit"},
        SettingCase{"latency-ms=10001", {}, "latency-ms"},
        SettingCase{"dpi-max=256", {}, "dpi-max: '256' is not a number from 0 to 255"},
        SettingCase{"colour=red", {}, "unknown simulation setting 'colour'"},
        SettingCase{"fault=status-fe", {}, "must be KIND@N"},
        SettingCase{"fault=melt@3", {}, "unknown kind 'melt'"},
        SettingCase{"fault=silent@0", {}, "must be 1 or more"},
        SettingCase{"keys=5,fault=silent@x", {}, "fault"}));

TEST(SimSettings, CommandLineSettingsOverrideTheEnvironment) {
    SimSettings settings;
    ASSERT_FALSE(applySimSettingList("keys=10,latency-ms=3", settings));
    ASSERT_FALSE(applySimSetting("keys=20", settings));
    EXPECT_EQ(settings.keys, 20);
    EXPECT_EQ(settings.latencyMs, 3);
}

struct ModelListCase {
    std::string input;
    std::vector<device::DeviceKind> kinds;
    bool ok;
};

void PrintTo(const ModelListCase& c, std::ostream* os) {
    *os << "'" << c.input << "'";
}

class ModelListTable : public ::testing::TestWithParam<ModelListCase> {};

TEST_P(ModelListTable, NamesModels) {
    const auto result = parseModelList(GetParam().input);
    EXPECT_EQ(result.error.empty(), GetParam().ok) << result.error;
    EXPECT_EQ(result.kinds, GetParam().kinds);
}

using device::DeviceKind;
INSTANTIATE_TEST_SUITE_P(
    Models, ModelListTable,
    ::testing::Values(
        ModelListCase{std::string(kDefaultSimulatedModels),
                      {DeviceKind::RgbKeyboard, DeviceKind::Mouse, DeviceKind::MousePad},
                      true},
        ModelListCase{"mono-keyboard,region-keyboard,membrane-keyboard,mouse-alt,mouse2",
                      {DeviceKind::MonoKeyboard, DeviceKind::RegionKeyboard,
                       DeviceKind::MembraneKeyboard, DeviceKind::MouseAlt, DeviceKind::Mouse2},
                      true},
        ModelListCase{"none", {}, true}, ModelListCase{"mouse,trackball", {}, false},
        ModelListCase{"", {}, false}, ModelListCase{"mouse,", {}, false}));

}  // namespace
}  // namespace korvane::sim
