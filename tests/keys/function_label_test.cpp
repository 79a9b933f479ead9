#include "core/keys/function_label.h"

#include <gtest/gtest.h>

#include <vector>

namespace korvane::keys {
namespace {

const std::vector<std::string> kMacros{"Reload", "Combo", "长按"};

KeyLabel id(const char* text) {
    return {KeyLabel::Kind::TextId, text};
}
KeyLabel verbatim(const char* text) {
    return {KeyLabel::Kind::Verbatim, text};
}

struct LabelCase {
    const char* name;
    KeyClass keyClass;
    KeyFunction record;
    std::optional<KeyLabel> label;
};

class FunctionLabelTest : public testing::TestWithParam<LabelCase> {};

TEST_P(FunctionLabelTest, Labels) {
    const auto& c = GetParam();
    EXPECT_EQ(FunctionLabel(c.keyClass, c.record, kMacros), c.label);
}

constexpr auto kKb = KeyClass::Keyboard;
constexpr auto kMs = KeyClass::Mouse;

INSTANTIATE_TEST_SUITE_P(
    Cases, FunctionLabelTest,
    testing::Values(LabelCase{"ZeroRecordHasNoLabel", kMs, {0x00, 0x00, 0x00}, std::nullopt},
                    LabelCase{"TypeZeroUsesKeyRow", kKb, {0x00, 0x00, 0x04}, id("keyboard_key_A")},
                    LabelCase{"Key", kKb, {0x20, 0x00, 0x28}, id("keyboard_key_Enter")},
                    LabelCase{"Modifier", kKb, {0x20, 0x40, 0x00}, id("keyboard_key_RAlt")},
                    LabelCase{"KeyWithoutRow", kKb, {0x20, 0x00, 0x64}, std::nullopt},
                    LabelCase{"KeyMatchingMediaRow",
                              kKb,
                              {0x20, 0x83, 0x01},
                              id("keyboard_key_Launch Media Select")},
                    LabelCase{"LeftClick", kMs, {0x10, 0x01, 0x00}, id("mouse_key_left")},
                    LabelCase{"ButtonByP1Only", kMs, {0x10, 0x10, 0x07}, id("mouse_key_forward")},
                    LabelCase{"UnknownButton", kMs, {0x10, 0x20, 0x00}, std::nullopt},
                    LabelCase{"ScrollRight", kMs, {0x11, 0x00, 0x85}, id("mouse_key_right_Swing")},
                    LabelCase{"ScrollLeft", kMs, {0x11, 0x00, 0x05}, id("mouse_key_left_Swing")},
                    LabelCase{"ScrollDown", kMs, {0x12, 0x00, 0xFB}, id("mouse_key_down_Swing")},
                    LabelCase{"ScrollUp", kMs, {0x12, 0x00, 0x05}, id("mouse_key_up_Swing")},
                    LabelCase{"DpiCycle", kMs, {0x13, 0x03, 0x00}, id("mouse_key_DPI_loop")},
                    LabelCase{"DpiUnknown", kMs, {0x13, 0x04, 0x00}, std::nullopt},
                    LabelCase{"Fire", kKb, {0x14, 0x00, 0x01}, id("mouse_key_fire_key")},
                    LabelCase{"Consumer", kKb, {0x30, 0xE9, 0x00}, id("media_vol_add")},
                    LabelCase{"ConsumerAlt", kMs, {0x21, 0x26, 0x02}, id("wed_stop")},
                    LabelCase{"ConsumerAltUnmatched", kMs, {0x21, 0x01, 0x00}, std::nullopt},
                    LabelCase{"ConsumerNeedsBothBytes", kKb, {0x30, 0xE9, 0x01}, std::nullopt},
                    LabelCase{"System", kKb, {0x40, 0x04, 0x00}, id("system_wake_up")},
                    LabelCase{"MacroRun", kKb, {0x70, 2, 3}, verbatim("长按")},
                    LabelCase{"MacroRepeat", kMs, {0x71, 0, 200}, verbatim("Reload")},
                    LabelCase{"MacroBeyondCount", kMs, {0x70, 3, 0}, std::nullopt},
                    LabelCase{"MacroIndexMax", kMs, {0x71, 255, 0}, std::nullopt},
                    LabelCase{"GunOnMouse", kMs, {0x72, 3, 0}, id("GUN_4")},
                    LabelCase{"GunBeyondFour", kMs, {0x72, 4, 0}, std::nullopt},
                    LabelCase{"GunOnKeyboard", kKb, {0x72, 0, 0}, id("关闭")},
                    LabelCase{"NoFunction", kMs, {0x05, 0x05, 0x05}, id("关闭")},
                    LabelCase{"UnknownType", kKb, {0x99, 0x00, 0x00}, id("关闭")},
                    LabelCase{"FnKey", kKb, {0xA0, 0x02, 0x02}, std::nullopt},
                    LabelCase{"Kept15", kMs, {0x15, 0x01, 0x02}, std::nullopt},
                    LabelCase{"Kept50", kMs, {0x50, 0x01, 0x02}, std::nullopt},
                    LabelCase{"Kept60", kMs, {0x60, 0x01, 0x02}, std::nullopt},
                    LabelCase{"KeptB0", kKb, {0xB0, 0x01, 0x02}, std::nullopt},
                    LabelCase{"KeptC0", kKb, {0xC0, 0x01, 0x02}, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FunctionLabel, MacroNamesNeedAList) {
    EXPECT_EQ(FunctionLabel(KeyClass::Mouse, {0x70, 0, 0}, {}), std::nullopt);
}

std::string fakeTranslate(std::string_view textId) {
    return "<" + std::string(textId) + ">";
}

TEST(KeyboardKeyToolTip, DefaultKeyShowsItsTextAlone) {
    EXPECT_EQ(KeyboardKeyToolTip({0x20, 0, 0x04}, {0x20, 0, 0x04}, kMacros, fakeTranslate),
              "<keyboard_key_A>");
}

TEST(KeyboardKeyToolTip, ChangedKeyShowsDefaultSetAndCurrent) {
    EXPECT_EQ(KeyboardKeyToolTip({0x20, 0, 0x04}, {0x30, 0xCD, 0x00}, kMacros, fakeTranslate),
              "<keyboard_key_A><Key_Set><media_play>");
    EXPECT_EQ(KeyboardKeyToolTip({0x20, 0x01, 0}, {0x70, 1, 0}, kMacros, fakeTranslate),
              "<keyboard_key_LCtrl><Key_Set>Combo");
}

TEST(KeyboardKeyToolTip, RecordWithoutLabelKeepsThePreviousToolTip) {
    EXPECT_EQ(KeyboardKeyToolTip({0x20, 0, 0x04}, {0xA0, 2, 2}, kMacros, fakeTranslate),
              std::nullopt);
}

TEST(KeyboardKeyToolTip, FnKeyHasNoDefaultText) {
    EXPECT_EQ(KeyboardKeyToolTip({0xA0, 2, 2}, {0x20, 0, 0x29}, kMacros, fakeTranslate),
              "<Key_Set><keyboard_key_Esc>");
}

}  // namespace
}  // namespace korvane::keys
