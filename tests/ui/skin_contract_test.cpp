// The shipped skin carries every control the program looks up by name, with a kind that
// fits how the program uses it, and every file and image it refers to.

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/ui/skin_reader.h"

using namespace korvane::ui;
namespace fs = std::filesystem;

namespace {

const fs::path kSkin = fs::path(KORVANE_SOURCE_DIR) / "skin";

// prefix + n + suffix for n = first … last.
struct Family {
    std::string_view prefix;
    int first;
    int last;
    std::string_view suffix = {};
};

// ---------------------------------------------------------------- main window

constexpr std::string_view kMainNames[] = {
    // window, caption buttons, palettes, progress
    "root",
    "closebtn",
    "maxbtn",
    "restorebtn",
    "minbtn",
    "skinbtn",
    "setbtn",
    "Pallet",
    "ms_deng_Color_Pallet",
    "mp_deng_Color_Pallet",
    "kb_deng_Color_Pallet",
    "setting_progress",
    // device tabs and panels, page variants
    "kb_tab",
    "kb_onecolor_tab",
    "kb_film_tab",
    "kb_membrane_tab",
    "ms_tab",
    "ms2_tab",
    "mp_tab",
    "kb_tab_panel",
    "ms_tab_panel",
    "kb_mechanical_light",
    "kb_film_light",
    "kb_membrane_light",
    "kb_mechanical_key",
    "kb_film_key",
    "kb_membrane_key",
    "ms_cursor_Op_tab",
    "key_gun",
    "ms_deng_key",
    "ms_key_layout",
    "ms2_deng_key",
    "ms2_key_layout",
    "kb_macro_Op_tab",
    "ms_macro_Op_tab",
    // keyboard lighting
    "kb_deng_combo_modeSelect",
    "kb_deng_onecolor_combo_modeSelect",
    "kb_deng_film_combo_modeSelect",
    "kb_deng_membrane_combo_modeSelect",
    "kb_deng_light_slider",
    "kb_deng_speed_slider",
    "kb_Deng_7color_check",
    "kb_Deng_FXL_check",
    "kb_Deng_FXR_check",
    "kb_Deng_edit_R",
    "kb_Deng_edit_G",
    "kb_Deng_edit_B",
    "kb_deng_combo_curtom_count",
    "kb_Deng_on_bright_check",
    "kb_Deng_off_kill_check",
    "kb_Deng_all_bright_check",
    "kb_Deng_all_kill_check",
    "kb_deng_same_mode",
    "kb_Deng_colordp_btn",
    "kb_Deng_custom_colordp_btn",
    "kb_deng_fx_layout",
    "kb_deng_color_layout",
    "kb_deng_7colorselect_layout",
    "kb_deng_color_display_layout",
    "kb_deng_speed_layout",
    "kb_deng_light_layout",
    "kb_deng_custom_tool_layout",
    "kb_deng_custom_select_layout",
    "kb_deng_custom_color_layout",
    // mouse and mouse-pad lighting
    "ms_deng_combo_modeSelect",
    "ms_deng_light_slider",
    "ms_deng_speed_slider",
    "ms_Deng_7color_check",
    "ms_Deng_FXL_check",
    "ms_Deng_FXR_check",
    "ms_Deng_FXL_btn",
    "ms_Deng_FXR_btn",
    "ms_Deng_edit_R",
    "ms_Deng_edit_G",
    "ms_Deng_edit_B",
    "ms_Deng_colordp_btn",
    "ms_deng_same_mode",
    "ms_deng_fx_layout",
    "ms_deng_color_layout",
    "ms_deng_7colorselect_layout",
    "ms_deng_speed_layout",
    "mp_deng_combo_modeSelect",
    "mp_deng_light_slider",
    "mp_deng_speed_slider",
    "mp_Deng_7color_check",
    "mp_Deng_FXL_check",
    "mp_Deng_FXR_check",
    "mp_Deng_edit_R",
    "mp_Deng_edit_G",
    "mp_Deng_edit_B",
    "mp_Deng_colordp_btn",
    "mp_deng_same_mode",
    "mp_deng_fx_layout",
    "mp_deng_color_layout",
    "mp_deng_7colorselect_layout",
    "mp_deng_speed_layout",
    // profile areas
    "kb_profile_fun_spread_btn",
    "ms_profile_fun_spread_btn",
    "mp_profile_fun_spread_btn",
    "kb_profile_fun_spead_tab",
    "ms_profile_fun_spead_tab",
    "mp_profile_fun_spead_tab",
    // key assignment, both editors and the mouse-only controls
    "kb_tab_function",
    "ms_tab_function",
    "kb_key_fct_combo",
    "ms_key_fct_combo",
    "ms_key_fct_combo_25",
    "ms_key_butt_keysave",
    "kb_key_butt_keydefalut",
    "ms_key_butt_keydefalut",
    "kb_key_butt_prosave",
    "ms_key_butt_prosave",
    "kb_tab_function_26",
    "ms_tab_function_26",
    "kb_key_fct_edit_25",
    "ms_key_fct_edit_25",
    // cursor sequences
    "bullet_selected_prev",
    "bullet_selected_next",
    "bullet_select_index",
    "cursor_edit_layout",
    "ms_cursor_delay_eidt",
    "ms_cursor_x_eidt",
    "ms_cursor_x_check",
    "ms_cursor_y_eidt",
    "ms_cursor_y_check",
    "ms_bulletdate_save_btn",
    "ms_bulletdate_reset_btn",
    "ms_bulletdate_import_btn",
    "ms_bulletdate_export_btn",
    // DPI and the other mouse settings
    "ms_DPI5_la",
    "ms_DPI5_va",
    "ms_DPI6_la",
    "ms_DPI6_va",
    "ms_DPI_colordp_btn",
    "ms_DPI_edit_R",
    "ms_DPI_edit_G",
    "ms_DPI_edit_B",
    "ms_report_fct_combo",
    "ms_sensor_height_slider",
    "ms_point_speed_slider",
    "ms_gunlun_speed_up_btn",
    "ms_gunlun_speed_down_btn",
    "ms_gunlun_speed_edit",
};

constexpr Family kMainFamilies[] = {
    {"kb_dkey_", 0, 125},
    {"kb_fkey_", 0, 125},
    {"kb_mkey_", 0, 125},
    {"ms_dkey_", 0, 19},
    {"ms2_dkey_", 0, 19},
    {"mp_dkey_", 0, 14},
    {"kb_key_", 0, 125},
    {"kb_keyf_", 0, 125},
    {"kb_keym_", 0, 125},
    {"ms_key_", 0, 5},
    {"ms_key_", 0, 5, "_0"},
    {"ms2_key_", 0, 5, "_0"},
    {"kb_Deng_color_btn_", 0, 12},
    {"ms_Deng_color_btn_", 0, 12},
    {"mp_Deng_color_btn_", 0, 12},
    {"ms_DPI_color_btn_", 0, 12},
    {"ms_tab_function_", 0, 10},
    {"kb_tab_function_", 0, 9},
    {"kb_key_fct_combo_", 11, 14},
    {"ms_key_fct_combo_", 11, 14},
    {"kb_key_fct_combo_", 21, 24},
    {"ms_key_fct_combo_", 21, 24},
    {"kb_key_fct_edit_", 11, 12},
    {"ms_key_fct_edit_", 11, 12},
    {"kb_key_fct_edit_", 15, 21},
    {"ms_key_fct_edit_", 15, 21},
    {"ms_gun_op_", 0, 3},
    {"ms_bullet_op_", 0, 29},
    {"ms_DPI", 1, 6, "_slider"},
    {"ms_DPI", 1, 6, "_label_value"},
    {"ms_DPI", 1, 6, "_label_rank"},
    {"ms_DPI", 1, 6, "_min"},
    {"ms_DPI", 1, 6, "_max"},
};

// Profile lists (controls, buttons and links per list) and the twin key and macro editors
// are told once per prefix.
constexpr std::string_view kProfileLists[] = {"kb_deng", "kb_key", "ms_deng", "ms_key", "mp_deng"};
constexpr std::string_view kProfileListControls[] = {
    "_profile_combo",      "_profile_name_edit", "_profile_edit_save_btn", "_profile_edit",
    "_profile_link_check", "_profile_link_btn",  "_profile_link_edit",     "_profile_link_name_hor",
};
constexpr std::string_view kProfileOperations[] = {"add",    "sub",   "copy", "import",
                                                   "export", "reset", "edit"};

constexpr std::string_view kTwinPrefixes[] = {"kb", "ms"};
constexpr std::string_view kKeyEditorControls[] = {
    "_key_fct_combo_11", "_key_fct_combo_12", "_key_fct_combo_13", "_key_fct_combo_14",
    "_key_fct_combo_21", "_key_fct_combo_22", "_key_fct_combo_23", "_key_fct_combo_24",
    "_key_fct_edit_11",  "_key_fct_edit_12",  "_key_fct_edit_15",  "_key_fct_edit_16",
    "_key_fct_edit_17",  "_key_fct_edit_18",  "_key_fct_edit_19",  "_key_fct_edit_20",
    "_key_fct_edit_21",  "_key_fct_edit_25",
};
constexpr std::string_view kMacroEditorControls[] = {
    "_MacroName_list",
    "_Macro_list",
    "_MacroName",
    "_MacroMouseEvent",
    "_macro_btn_name_add",
    "_macro_btn_name_sub",
    "_macro_edit_macroname",
    "_macro_btn_savemacroname",
    "_macro_btn_redio",
    "_macro_keyboard_event",
    "_macro_mouse_click",
    "_macro_mouse_roller",
    "_macro_mouse_move",
    "_macro_check_time",
    "_macro_btn_up",
    "_macro_btn_down",
    "_macro_btn_uptop",
    "_macro_btn_downbottom",
    "_macro_btn_delete",
    "_macro_btn_deleteall",
    "_macro_btn_save",
    "_macro_btn_cancel",
    "_macro_tab_saveorcancel",
    "_tab_macro_edit",
    "_macro_combo_keyselect",
    "_macro_combo_upordown",
    "__macro_edit_ActionDelay",
    "_macro_combo_mouselect",
    "_macro_tab_mou_pointer_skewing",
    "_macro_edit_mou_pointer_skewing",
    "__macro_edit_mou_action_delay",
    "_macro_btn_shubiao",
    "_macro_inset_leftkey_btn",
    "_macro_inset_rightkey_btn",
    "_macro_inset_moudlekey_btn",
    "_macro_inset_forwardkey_btn",
    "_macro_inset_backkey_btn",
    "_macro_inset_leftkey_tab",
    "_macro_inset_rightkey_tab",
    "_macro_inset_moudlekey_tab",
    "_macro_inset_forwardkey_tab",
    "_macro_inset_backkey_tab",
    "_macro_inset_leftkeydown_btn",
    "_macro_inset_rightkeydown_btn",
    "_macro_inset_moudlekeydown_btn",
    "_macro_inset_forwardkeydown_btn",
    "_macro_inset_backkeydown_btn",
    "_macro_inset_leftkeyup_btn",
    "_macro_inset_rightkeyup_btn",
    "_macro_inset_moudlekeyup_btn",
    "_macro_inset_forwardkeyup_btn",
    "_macro_inset_backkeyup_btn",
    "_macro_inset_moveleftkey_btn",
    "_macro_inset_moverightkey_btn",
    "_macro_inset_moveupkey_btn",
    "_macro_inset_movedownkey_btn",
    "_mouse_x_left_edit",
    "_mouse_x_right_edit",
    "_mouse_y_up_edit",
    "_mouse_y_down_edit",
};

std::vector<std::string> mainWindowNames() {
    std::vector<std::string> names(std::begin(kMainNames), std::end(kMainNames));
    for (std::string_view list : kProfileLists) {
        for (std::string_view control : kProfileListControls) {
            names.push_back(std::string(list) + std::string(control));
        }
        // "kb_deng" → button prefix "kb_pro_deng_"
        const std::string device(list.substr(0, list.find('_')));
        const std::string kind(list.substr(list.find('_') + 1));
        for (std::string_view op : kProfileOperations) {
            names.push_back(device + "_pro_" + kind + "_" + std::string(op) + "_btn");
        }
    }
    for (std::string_view twin : kTwinPrefixes) {
        for (std::string_view control : kKeyEditorControls) {
            names.push_back(std::string(twin) + std::string(control));
        }
        for (std::string_view control : kMacroEditorControls) {
            names.push_back(std::string(twin) + std::string(control));
        }
    }
    return names;
}

// ---------------------------------------------------------------- other windows

constexpr std::string_view kMessageBoxNames[] = {"closebtn", "MessageText", "MessageTitle",
                                                 "confirm_btn", "cancel_btn"};
constexpr std::string_view kSkinPickerNames[] = {"skin_image_btn", "skin_color_btn", "skin_color",
                                                 "skin_image",     "skin_reset",     "skin_Custom",
                                                 "skin_tab"};
constexpr std::string_view kUpdateWindowNames[] = {
    "closebtn",
    "lanuage_select_combo",
    "rgb_page",
    "blue_page",
    "region_page",
    "ZR530X_page",
    "ms_page",
    "MS2_page",
    "soft_now_version",
    "soft_new_version",
    "RGB_KB_N",
    "RGB_KB_F",
    "BLUE_KB_N",
    "BLUE_KB_F",
    "REGION_KB_N",
    "REGION_KB_F",
    "ZR530X_KB_N",
    "ZR530X_KB_F",
    "ms_now_fw",
    "ms_new",
    "MS2_now_N",
    "MS2_new_F",
    "rgb_progress_text",
    "blue_progress_text",
    "ms_progress_text",
    "region_progress_text",
    "membrane_progress_text",
    "ms2_progress_text",
    "rgb_kb_btn",
    "bule_kb_btn",
    "ms_update_btn",
    "soft_update_btn",
    "region_kb_btn",
    "membrane_kb_btn",
    "ms2_update_btn",
    "net_btn",
    "facebook_btn",
};

struct WindowContract {
    std::string_view skinName;
    std::vector<std::string> names;
    std::span<const Family> families;
    // Preset buttons of the skin picker share a name: the picker tells them apart by their
    // own image or colour.
    std::vector<std::string> mayRepeat;
};

void PrintTo(const WindowContract& w, std::ostream* os) {
    *os << skinFileName(w.skinName);
}

std::vector<std::string> listOf(std::span<const std::string_view> names) {
    return {names.begin(), names.end()};
}

std::vector<WindowContract> windows() {
    return {
        {kMainWindowSkin, mainWindowNames(), kMainFamilies, {}},
        {kMessageBoxSkin, listOf(kMessageBoxNames), {}, {}},
        {"skin", listOf(kSkinPickerNames), {}, {"skin_image_btn", "skin_color_btn"}},
        {"update", listOf(kUpdateWindowNames), {}, {}},
    };
}

class SkinContractTest : public ::testing::TestWithParam<WindowContract> {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(ReadSkin(kSkin, GetParam().skinName, tree_, error)) << error;
    }
    ControlTree tree_;
};

std::string joined(const std::vector<std::string>& names) {
    std::string out;
    for (const auto& n : names) {
        out += "\n  " + n;
    }
    return out;
}

TEST_P(SkinContractTest, CarriesEveryNameTheProgramLooksUp) {
    std::vector<std::string> missing;
    for (const std::string& name : GetParam().names) {
        if (tree_.find(name) == nullptr) {
            missing.push_back(name);
        }
    }
    for (const Family& f : GetParam().families) {
        for (int i = f.first; i <= f.last; ++i) {
            const std::string name =
                std::string(f.prefix) + std::to_string(i) + std::string(f.suffix);
            if (tree_.find(name) == nullptr) {
                missing.push_back(name);
            }
        }
    }
    EXPECT_TRUE(missing.empty()) << "missing in " << skinFileName(GetParam().skinName) << ":"
                                 << joined(missing);
}

// A name used twice makes lookups find whichever copy comes first, and the program would
// drive a control nobody sees.
TEST_P(SkinContractTest, NamesAreUnique) {
    std::map<std::string, int> seen;
    tree_.forEach([&](const Control& c) { ++seen[c.name()]; });
    const auto& mayRepeat = GetParam().mayRepeat;
    std::vector<std::string> twice;
    for (const auto& [name, count] : seen) {
        const bool allowed = std::find(mayRepeat.begin(), mayRepeat.end(), name) != mayRepeat.end();
        if ((count > 1 && !allowed) || name.empty()) {
            twice.push_back(name.empty() ? "(unnamed)" : name);
        }
    }
    EXPECT_TRUE(twice.empty()) << "used more than once:" << joined(twice);
}

// The routers react to the notifications of a control's kind: a slider that is a label
// never sends "valuechanged". The naming convention says which kind a control has.
TEST_P(SkinContractTest, KindsFollowTheNamingConvention) {
    struct Rule {
        std::string_view part;
        bool suffix;
        std::optional<ControlKind> kind;  // none: any kind (layouts are panels or tab layouts)
    };
    constexpr Rule kRules[] = {
        {"_layout", true, std::nullopt},       {"_btn", true, ControlKind::Button},
        {"_check", true, ControlKind::Option}, {"_slider", true, ControlKind::Slider},
        {"_list", true, ControlKind::List},    {"_Pallet", true, ControlKind::Palette},
        {"_eidt", true, ControlKind::Edit},    {"_combo", false, ControlKind::Combo},
        {"_edit_", false, ControlKind::Edit},
    };
    std::vector<std::string> wrong;
    tree_.forEach([&](const Control& c) {
        const std::string_view name = c.name();
        for (const Rule& r : kRules) {
            const bool matches =
                r.suffix ? name.ends_with(r.part) : name.find(r.part) != std::string_view::npos;
            if (matches) {
                if (r.kind && c.kind() != *r.kind) {
                    wrong.push_back(std::string(name) + " (" + c.className() + ")");
                }
                return;
            }
        }
    });
    EXPECT_TRUE(wrong.empty()) << "kind does not fit the name:" << joined(wrong);
}

// Tabs switch pages through their "tabLayout"/"tabPage" attributes: the name of a tab
// layout and the name of one of its own pages.
TEST_P(SkinContractTest, TabBindingsNameExistingPages) {
    std::vector<std::string> broken;
    tree_.forEach([&](const Control& c) {
        const auto layout = c.attributes().find("tabLayout");
        if (layout == c.attributes().end()) {
            return;
        }
        const Control* target = tree_.find(layout->second);
        const auto pageIt = c.attributes().find("tabPage");
        const std::string page = pageIt == c.attributes().end() ? "" : pageIt->second;
        const bool pageOfLayout =
            target != nullptr && std::ranges::any_of(target->children(), [&](const Control* child) {
                return child->name() == page;
            });
        if (c.kind() != ControlKind::Option || target == nullptr ||
            target->kind() != ControlKind::TabLayout || !pageOfLayout) {
            broken.push_back(c.name() + " → " + layout->second + " / " + page);
        }
    });
    EXPECT_TRUE(broken.empty()) << joined(broken);
}

// A tab checked in the skin names the page its layout starts on, so the highlighted tab
// and the page below it agree before anything is clicked.
TEST_P(SkinContractTest, CheckedTabsNameTheFirstPageShown) {
    std::vector<std::string> wrong;
    tree_.forEach([&](const Control& c) {
        const auto layout = c.attributes().find("tabLayout");
        const auto page = c.attributes().find("tabPage");
        if (!c.selected() || layout == c.attributes().end() || page == c.attributes().end()) {
            return;
        }
        const Control* target = tree_.find(layout->second);
        if (target == nullptr) {
            return;  // reported by TabBindingsNameExistingPages
        }
        const auto& pages = target->children();
        const auto current = static_cast<std::size_t>(target->page());
        if (current >= pages.size() || pages[current]->name() != page->second) {
            wrong.push_back(c.name() + " → " + page->second);
        }
    });
    EXPECT_TRUE(wrong.empty()) << joined(wrong);
}

// Background images are skin-relative descriptions "file='…'"; the files must ship.
TEST_P(SkinContractTest, BackgroundImagesExist) {
    std::vector<std::string> missing;
    tree_.forEach([&](const Control& c) {
        const std::string& image = c.bkImage();
        if (image.empty()) {
            return;
        }
        const std::string_view open = "file='";
        if (!image.starts_with(open) || !image.ends_with("'")) {
            missing.push_back(c.name() + ": " + image);
            return;
        }
        const std::string file = image.substr(open.size(), image.size() - open.size() - 1);
        if (!fs::is_regular_file(kSkin / file)) {
            missing.push_back(c.name() + ": " + file);
        }
    });
    EXPECT_TRUE(missing.empty()) << joined(missing);
}

INSTANTIATE_TEST_SUITE_P(Windows, SkinContractTest, ::testing::ValuesIn(windows()),
                         [](const auto& info) {
                             std::string name(info.param.skinName);
                             std::erase(name, '_');
                             return name;
                         });

// ---------------------------------------------------------------- main-window specifics

class MainSkinTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(ReadSkin(kSkin, kMainWindowSkin, tree_, error)) << error;
    }
    ControlTree tree_;
};

TEST_F(MainSkinTest, DevicePicturesAreKeyControls) {
    for (const Family& f : {Family{"kb_dkey_", 0, 125}, Family{"kb_key_", 0, 125},
                            Family{"ms2_dkey_", 0, 19}, Family{"mp_dkey_", 0, 14}}) {
        for (int i = f.first; i <= f.last; ++i) {
            const Control* key = tree_.findIndexed(f.prefix, i);
            ASSERT_NE(key, nullptr) << f.prefix << i;
            EXPECT_EQ(key->kind(), ControlKind::Picture) << f.prefix << i;
        }
    }
}

// The routers recognise indexed senders by prefix ("ms_key_" followed by 0 … 5); a control
// of the skin's own that sends notifications under such a prefix would pass for one of them.
TEST_F(MainSkinTest, IndexedPrefixesAreFollowedByTheirIndex) {
    std::set<std::string> known;
    for (const std::string& name : mainWindowNames()) {
        known.insert(name);
    }
    std::vector<std::string_view> prefixes;
    for (const Family& f : kMainFamilies) {
        for (int i = f.first; i <= f.last; ++i) {
            known.insert(std::string(f.prefix) + std::to_string(i) + std::string(f.suffix));
        }
        if (f.suffix.empty()) {
            prefixes.push_back(f.prefix);
        }
    }
    std::vector<std::string> clashes;
    tree_.forEach([&](const Control& c) {
        switch (c.kind()) {
            case ControlKind::Container:
            case ControlKind::Label:
            case ControlKind::TabLayout:
            case ControlKind::Progress:
                return;  // these send nothing
            default:
                break;
        }
        for (std::string_view prefix : prefixes) {
            const std::string_view name = c.name();
            if (name.starts_with(prefix) && !known.contains(c.name())) {
                clashes.push_back(c.name());
            }
        }
    });
    EXPECT_TRUE(clashes.empty()) << "sends under an indexed prefix:" << joined(clashes);
}

// Selecting one device tab unselects the others, and the window starts with none shown:
// the connection sequences show the tab of the device that arrives.
TEST_F(MainSkinTest, DeviceTabsAreOneHiddenOptionGroup) {
    const std::set<std::string> tabs{"kb_tab", "kb_onecolor_tab", "kb_film_tab", "kb_membrane_tab",
                                     "ms_tab", "ms2_tab",         "mp_tab"};
    for (const std::string& name : tabs) {
        const Control* tab = tree_.find(name);
        ASSERT_NE(tab, nullptr) << name;
        EXPECT_EQ(tab->kind(), ControlKind::Option) << name;
        EXPECT_FALSE(tab->visible()) << name;
    }
    std::set<std::string> group;
    for (const Control* c : tree_.optionGroup(tree_.find("kb_tab")->group())) {
        group.insert(c->name());
    }
    EXPECT_EQ(group, tabs);

    tree_.find("ms_tab")->setSelected(true);
    tree_.find("mp_tab")->setSelected(true);
    EXPECT_FALSE(tree_.find("ms_tab")->selected());
}

// The hover pictures of the mouse buttons: every part in both states for both models.
TEST_F(MainSkinTest, MouseButtonHoverImagesExist) {
    constexpr std::string_view kParts[] = {"left", "wheel", "right", "forward", "back", "dpi"};
    for (std::string_view part : kParts) {
        for (std::string_view state : {"normal", "down"}) {
            for (std::string_view model : {"", "_2"}) {
                const std::string file = "ms/key_" + std::string(part) + "_" + std::string(state) +
                                         std::string(model) + ".png";
                EXPECT_TRUE(fs::is_regular_file(kSkin / file)) << file;
            }
        }
    }
    EXPECT_TRUE(fs::is_regular_file(kSkin / "common/background.png"));
    // The pictures start as the program leaves them after a hover, in the same notation.
    EXPECT_EQ(tree_.find("ms_key_0_0")->bkImage(), "file='ms/key_left_normal.png'");
    EXPECT_EQ(tree_.find("ms_key_5_0")->bkImage(), "file='ms/key_dpi_normal.png'");
    EXPECT_EQ(tree_.find("ms2_key_1_0")->bkImage(), "file='ms/key_wheel_normal_2.png'");
}

// ---------------------------------------------------------------- menus

struct MenuEntry {
    std::string name;
    std::string text;
};

void collectEntries(const pugi::xml_node& menu, std::vector<MenuEntry>& out) {
    for (const pugi::xml_node& child : menu.children()) {
        const std::string_view tag = child.name();
        if (tag == "item") {
            out.push_back({child.attribute("name").value(), child.attribute("text").value()});
        } else if (tag == "menu") {
            collectEntries(child, out);
        }
    }
}

class MenuFileTest : public ::testing::TestWithParam<std::string_view> {};

TEST_P(MenuFileTest, CarriesTheLanguageEntries) {
    pugi::xml_document doc;
    const fs::path file = kSkin / std::string(GetParam());
    ASSERT_TRUE(doc.load_file(file.c_str())) << file;
    const pugi::xml_node menu = doc.child("menu");
    ASSERT_TRUE(menu) << file;
    std::vector<MenuEntry> entries;
    collectEntries(menu, entries);
    std::set<std::string> names;
    for (const MenuEntry& e : entries) {
        EXPECT_FALSE(e.name.empty()) << file;
        EXPECT_FALSE(e.text.empty()) << e.name;
        EXPECT_TRUE(names.insert(e.name).second) << "twice: " << e.name;
    }
    for (const char* language : {"lan_cn", "lan_tw", "lan_en"}) {
        EXPECT_EQ(names.count(language), 1u) << language << " in " << file;
    }
    // The program appends these itself.
    for (const char* own : {"exit", "ON_or_OFF", "power_off"}) {
        EXPECT_EQ(names.count(own), 0u) << own << " in " << file;
    }
}

INSTANTIATE_TEST_SUITE_P(Menus, MenuFileTest, ::testing::Values("menu.xml", "setmenu.xml"),
                         [](const auto& info) {
                             return info.param == "menu.xml" ? std::string("Tray")
                                                             : std::string("Settings");
                         });

}  // namespace
