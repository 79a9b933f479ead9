// A user reaches every page of the window through its tabs: after the devices connect, each
// device tab and each option tab of its view show a page whose controls are on screen
// (shown=1), while the page shown before is gone (shown=0).

#include <string>
#include <vector>

#include "connection/connection_fixture.h"
#include "core/device/device_kind.h"

namespace korvane::app::testing {
namespace {

struct TabStep {
    const char* before;   // selected first: shows another page
    const char* tab;      // then the tab under test
    const char* control;  // a control of the tab's page
    const char* hidden;   // a control no longer on screen (on a page shown before)
};

struct DeviceSet {
    const char* name;
    std::vector<const char*> models;
    std::vector<TabStep> steps;
};

std::ostream& operator<<(std::ostream& os, const DeviceSet& set) {
    return os << set.name;
}

class TabNavigation : public ConnectionFixture, public ::testing::WithParamInterface<DeviceSet> {};

TEST_P(TabNavigation, EveryTabShowsItsPage) {
    const DeviceSet& set = GetParam();
    start();
    std::string plug;
    for (const char* model : set.models) {
        plug += std::string("plug ") + model + "\n";
    }
    // Each device selects its own tab when it connects: wait until all have.
    std::string connected;
    for (const char* model : set.models) {
        const auto kind = device::kindFromCliName(model);
        ASSERT_TRUE(kind.has_value()) << model;
        connected += "wait-for " + std::string(device::modelOf(*kind).tab) + " visible=1 4000\n";
    }
    ASSERT_EQ(run(plug + connected), kScriptDone) << errors_.str();
    for (const TabStep& step : set.steps) {
        SCOPED_TRACE(step.tab);
        ASSERT_EQ(run(std::string("notify selectchanged ") + step.before + " 1\n" +
                      "notify selectchanged " + step.tab + " 1\n" + "print " + step.control +
                      "\nprint " + step.hidden + "\n"),
                  kScriptDone)
            << errors_.str();
        const std::string out = printed_.str();
        const std::size_t split = out.find('\n');
        ASSERT_NE(split, std::string::npos) << out;
        EXPECT_NE(out.substr(0, split).find(" shown=1 "), std::string::npos) << out;
        EXPECT_NE(out.substr(split + 1).find(" shown=0 "), std::string::npos) << out;
    }
}

// A view's option tabs follow its device tab, which the step before selected.
INSTANTIATE_TEST_SUITE_P(
    EveryTab, TabNavigation,
    ::testing::Values(
        DeviceSet{
            "RgbKeyboardAndPad",
            {"rgb-keyboard", "mousepad"},
            {
                {"mp_tab", "kb_tab", "kb_deng_light_slider", "mp_deng_light_slider"},
                {"kb_deng_Op_tab", "kb_keyset_Op_tab", "kb_key_butt_prosave",
                 "kb_deng_light_slider"},
                {"kb_keyset_Op_tab", "kb_macro_Op_tab", "kb_MacroName_list", "kb_key_butt_prosave"},
                {"kb_macro_Op_tab", "kb_deng_Op_tab", "kb_mechanical_light", "kb_MacroName_list"},
                {"kb_tab", "mp_tab", "mp_deng_light_slider", "kb_deng_light_slider"},
                {"mp_tab", "mp_deng_Op_tab", "mp_deng_Color_Pallet", "kb_deng_Color_Pallet"},
            }},
        DeviceSet{
            "MonoKeyboard",
            {"mono-keyboard", "mousepad"},
            {
                {"mp_tab", "kb_onecolor_tab", "kb_mechanical_light", "mp_deng_profile_combo"},
                {"kb_deng_Op_tab", "kb_keyset_Op_tab", "kb_mechanical_key", "kb_mechanical_light"},
            }},
        DeviceSet{"RegionKeyboard",
                  {"region-keyboard", "mousepad"},
                  {
                      {"mp_tab", "kb_film_tab", "kb_film_light", "mp_deng_profile_combo"},
                      {"kb_deng_Op_tab", "kb_keyset_Op_tab", "kb_film_key", "kb_film_light"},
                  }},
        DeviceSet{
            "MembraneKeyboard",
            {"membrane-keyboard", "mousepad"},
            {
                {"mp_tab", "kb_membrane_tab", "kb_membrane_light", "mp_deng_profile_combo"},
                {"kb_deng_Op_tab", "kb_keyset_Op_tab", "kb_membrane_key", "kb_membrane_light"},
            }},
        DeviceSet{
            "Mouse",
            {"mouse", "mousepad"},
            {
                {"mp_tab", "ms_tab", "ms_deng_light_slider", "mp_deng_profile_combo"},
                {"ms_deng_Op_tab", "ms_keyset_Op_tab", "ms_key_0", "ms_deng_light_slider"},
                {"ms_keyset_Op_tab", "ms_macro_Op_tab", "ms_MacroName_list", "ms_key_0"},
                {"ms_macro_Op_tab", "ms_DPI_Op_tab", "ms_report_fct_combo", "ms_MacroName_list"},
                {"ms_DPI_Op_tab", "ms_cursor_Op_tab", "ms_gun_op_0", "ms_DPI1_slider"},
                {"ms_cursor_Op_tab", "ms_deng_Op_tab", "ms_deng_key", "ms_gun_op_0"},
            }},
        DeviceSet{"Mouse2",
                  {"mouse2", "mousepad"},
                  {
                      {"mp_tab", "ms2_tab", "ms2_deng_key", "mp_deng_profile_combo"},
                      {"ms_deng_Op_tab", "ms_keyset_Op_tab", "ms2_key_layout", "ms2_deng_key"},
                  }}),
    [](const ::testing::TestParamInfo<DeviceSet>& info) { return info.param.name; });

}  // namespace
}  // namespace korvane::app::testing
