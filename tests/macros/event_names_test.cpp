#include <gtest/gtest.h>

#include <string>

#include "core/keys/key_code_table.h"
#include "core/macros/event_names.h"

namespace korvane::macros {
namespace {

struct NameCase {
    std::uint8_t kind;
    std::uint8_t code;
    std::string name;
};

class EventNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(EventNameTest, FindsTheTextIdOfAReceivedEvent) {
    EXPECT_EQ(EventNameFor(GetParam().kind, GetParam().code), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(
    Events, EventNameTest,
    ::testing::Values(
        NameCase{0x81, 0x10, "mouse_key_forward"}, NameCase{0x01, 0x08, "mouse_key_back"},
        NameCase{0x01, 0x03, ""}, NameCase{0x84, 0, "mouse_move_to_left_text"},
        NameCase{0x04, 9, "mouse_move_to_right_text"}, NameCase{0x85, 1, "mouse_move_to_up_text"},
        NameCase{0x05, 1, "mouse_move_to_down_text"}, NameCase{0x89, 0x01, "keyboard_key_LCtrl"},
        NameCase{0x09, 0x80, "keyboard_key_RWin"},
        NameCase{0x09, 0x03, ""},  // two modifiers at once are no key
        NameCase{0x8A, 0x04, "keyboard_key_A"}, NameCase{0x0A, 0x28, "keyboard_key_Enter"},
        NameCase{0x0A, 0x58, "keyboard_key_Num Enter"}, NameCase{0x0A, 0x65, "keyboard_key_App"},
        NameCase{0x0A, 0x32, ""}, NameCase{0x0A, 0x00, ""}, NameCase{0x02, 0x01, ""},
        NameCase{0x7F, 0x04, ""}));

TEST(MakeKeyAction, OrdinaryKeysBecomeKeyOrModifierEvents) {
    EXPECT_EQ(FormatAction(*MakeKeyAction(8, true)), "0,0,138,4,1,keyboard_key_A");
    EXPECT_EQ(FormatAction(*MakeKeyAction(8, false)), "0,0,10,4,0,keyboard_key_A");
    EXPECT_EQ(FormatAction(*MakeKeyAction(1, true)), "0,0,137,2,1,keyboard_key_LShift");
    EXPECT_EQ(FormatAction(*MakeKeyAction(103, false)), "0,0,10,101,0,keyboard_key_App");
    EXPECT_FALSE(MakeKeyAction(104, true)) << "media keys cannot be in a macro";
}

TEST(MakeKeyAction, EveryOrdinaryKeyIsNamedBackFromItsEvent) {
    for (std::size_t row = 0; row < keys::kMacroKeyRows; ++row) {
        const auto action = MakeKeyAction(row, true);
        ASSERT_TRUE(action) << row;
        EXPECT_EQ(EventNameFor(action->kind, action->code), keys::kKeyCodeTable[row].textId) << row;
    }
}

}  // namespace
}  // namespace korvane::macros
