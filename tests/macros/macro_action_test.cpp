#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "core/macros/macro_action.h"

namespace korvane::macros {
namespace {

MacroAction action(std::uint8_t low, std::uint8_t high, std::uint8_t kind, std::uint8_t code,
                   std::uint8_t down, std::string name) {
    return MacroAction{low, high, kind, code, down, std::move(name)};
}

struct ParseCase {
    std::string label;
    std::string text;
    std::optional<MacroAction> expected;
};

void PrintTo(const ParseCase& c, std::ostream* os) {
    *os << c.label;
}

class ParseActionTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseActionTest, ReadsFromTheRight) {
    const auto& c = GetParam();
    EXPECT_EQ(ParseAction(c.text), c.expected) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseActionTest,
    ::testing::Values(
        ParseCase{"key_press", "5,0,138,4,1,keyboard_key_A",
                  action(5, 0, 0x8A, 0x04, 1, "keyboard_key_A")},
        ParseCase{"move_left", "5,0,132,7,1,mouse_move_to_left_text",
                  action(5, 0, 0x84, 7, 1, "mouse_move_to_left_text")},
        ParseCase{"all_maximum", "255,255,255,255,1,x", action(255, 255, 255, 255, 1, "x")},
        ParseCase{"empty_name", "1,2,3,4,0,", action(1, 2, 3, 4, 0, "")},
        // Missing numbers read as 0, like every number of the settings files.
        ParseCase{"empty_fields", ",,,,,name", action(0, 0, 0, 0, 0, "name")},
        ParseCase{"words_as_numbers", "abc,1,x9,2,no,n", action(0, 1, 0, 2, 0, "n")},
        ParseCase{"blanks_and_sign", " 7, +8,9 ,10,1,n", action(7, 8, 9, 10, 1, "n")},
        // Extra leading fields all belong to delay low, which is read up to its first
        // non-digit.
        ParseCase{"extra_leading_field", "9,1,2,3,4,1,name", action(9, 2, 3, 4, 1, "name")},
        ParseCase{"down_flag_normalised", "1,2,3,4,7,n", action(1, 2, 3, 4, 1, "n")},
        ParseCase{"four_commas", "1,2,3,4,name", std::nullopt},
        ParseCase{"just_zero", "0", std::nullopt}, ParseCase{"empty_text", "", std::nullopt},
        ParseCase{"five_commas_only", ",,,,,", action(0, 0, 0, 0, 0, "")},
        ParseCase{"byte_too_large", "256,0,10,4,1,n", std::nullopt},
        ParseCase{"negative_byte", "1,-1,10,4,1,n", std::nullopt},
        ParseCase{"huge_number", "1,0,10,99999999999999999999999,1,n", std::nullopt},
        ParseCase{"huge_down_flag", "1,0,10,4,99999999999999999999999,n",
                  action(1, 0, 10, 4, 1, "n")}),
    [](const auto& info) { return info.param.label; });

TEST(FormatAction, WritesTheSixFieldsAndReadsBack) {
    const MacroAction original = action(44, 1, 0x0A, 0x28, 0, "keyboard_key_Enter");
    EXPECT_EQ(FormatAction(original), "44,1,10,40,0,keyboard_key_Enter");
    EXPECT_EQ(ParseAction(FormatAction(original)), original);
}

TEST(FormatAction, NameCannotShiftTheFields) {
    const MacroAction odd = action(1, 2, 3, 4, 1, "a,b,,c");
    EXPECT_EQ(FormatAction(odd), "1,2,3,4,1,abc");
    EXPECT_EQ(ParseAction(FormatAction(odd))->wireBytes(), odd.wireBytes());
}

TEST(ActionWireBytes, NonActionsBecomeZeroBytes) {
    EXPECT_EQ(ActionWireBytes("100,0,129,1,1,mouse_key_left"),
              (std::array<std::uint8_t, 4>{100, 0, 0x81, 0x01}));
    EXPECT_EQ(ActionWireBytes("0"), (std::array<std::uint8_t, 4>{0, 0, 0, 0}));
}

struct DelayCase {
    long ms;
    std::uint8_t low;
    std::uint8_t high;
};

class DelayCountTest : public ::testing::TestWithParam<DelayCase> {};

TEST_P(DelayCountTest, MillisecondsBecomeTenMillisecondCounts) {
    MacroAction a;
    a.setDelayCount(DelayCountFromMs(GetParam().ms));
    EXPECT_EQ(a.delayLow, GetParam().low);
    EXPECT_EQ(a.delayHigh, GetParam().high);
}

INSTANTIATE_TEST_SUITE_P(Delays, DelayCountTest,
                         ::testing::Values(DelayCase{1000, 100, 0}, DelayCase{3000, 44, 1},
                                           DelayCase{1234, 123, 0}, DelayCase{9, 0, 0},
                                           DelayCase{-50, 0, 0}, DelayCase{655350, 255, 255},
                                           DelayCase{10'000'000, 255, 255}));

TEST(MacroAction, DelayCountShowsInMilliseconds) {
    MacroAction a;
    a.setDelayCount(65535);
    EXPECT_EQ(a.delayLow, 255);
    EXPECT_EQ(a.delayHigh, 255);
    EXPECT_EQ(a.delayMs(), 655350);
}

TEST(EventBuilders, MovesAndButtonsCarryKindDownFlagAndName) {
    EXPECT_EQ(FormatAction(MakeHorizontalMove(true, 7)), "0,0,132,7,1,mouse_move_to_left_text");
    EXPECT_EQ(FormatAction(MakeHorizontalMove(false, 255)), "0,0,4,255,0,mouse_move_to_right_text");
    EXPECT_EQ(FormatAction(MakeVerticalMove(true, 3)), "0,0,133,3,1,mouse_move_to_up_text");
    EXPECT_EQ(FormatAction(MakeVerticalMove(false, 0)), "0,0,5,0,0,mouse_move_to_down_text");
    EXPECT_EQ(FormatAction(MakeMouseButton(kButtonForward, true)),
              "0,0,129,16,1,mouse_key_forward");
    EXPECT_EQ(FormatAction(MakeMouseButton(kButtonBack, false)), "0,0,1,8,0,mouse_key_back");
}

TEST(MouseEventName, NamesButtonsAndMovesOnly) {
    EXPECT_EQ(MouseEventName(0x81, kButtonMiddle), "mouse_key_middle");
    EXPECT_EQ(MouseEventName(0x01, kButtonRight), "mouse_key_right");
    EXPECT_EQ(MouseEventName(0x01, 0x03), "");
    EXPECT_EQ(MouseEventName(0x85, 200), "mouse_move_to_up_text");
    EXPECT_EQ(MouseEventName(0x05, 200), "mouse_move_to_down_text");
    EXPECT_EQ(MouseEventName(0x8A, 0x04), "");
}

}  // namespace
}  // namespace korvane::macros
