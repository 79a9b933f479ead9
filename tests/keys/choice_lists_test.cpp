#include "core/keys/choice_lists.h"

#include <gtest/gtest.h>

namespace korvane::keys {
namespace {

struct ClassIndexCase {
    const char* name;
    KeyClass keyClass;
    std::uint8_t type;
    std::optional<std::size_t> index;
};

class ClassIndex : public testing::TestWithParam<ClassIndexCase> {};

TEST_P(ClassIndex, FollowsTheEditorsComboOrder) {
    const auto& c = GetParam();
    EXPECT_EQ(classIndexOfType(c.keyClass, c.type), c.index);
    if (c.index && c.type != KeyFunctionType::kMacroRepeat) {
        EXPECT_EQ(classOrder(c.keyClass)[*c.index], c.type);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ClassIndex,
    testing::Values(ClassIndexCase{"MouseKeyboardKey", KeyClass::Mouse, 0x20, 6},
                    ClassIndexCase{"KeyboardKeyboardKey", KeyClass::Keyboard, 0x20, 1},
                    ClassIndexCase{"KeyboardMouseButton", KeyClass::Keyboard, 0x10, 2},
                    ClassIndexCase{"MouseDefault", KeyClass::Mouse, 0x00, 0},
                    ClassIndexCase{"MouseRepeatIsMacroClass", KeyClass::Mouse, 0x71, 9},
                    ClassIndexCase{"KeyboardRepeatIsMacroClass", KeyClass::Keyboard, 0x71, 9},
                    ClassIndexCase{"MouseGun", KeyClass::Mouse, 0x72, 10},
                    ClassIndexCase{"KeyboardHasNoGun", KeyClass::Keyboard, 0x72, std::nullopt},
                    ClassIndexCase{"NoFunctionHasNoClass", KeyClass::Mouse, 0x05, std::nullopt},
                    ClassIndexCase{"FnHasNoClass", KeyClass::Keyboard, 0xA0, std::nullopt},
                    ClassIndexCase{"KeptTypeHasNoClass", KeyClass::Mouse, 0x21, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Choices, MatchOnBothParameters) {
    EXPECT_EQ(findChoice(kConsumerChoices, {0x30, 0x26, 0x02}), 10u);  // "wed_stop"
    EXPECT_EQ(findChoice(kConsumerChoices, {0x30, 0x26, 0x01}), std::nullopt);
    EXPECT_EQ(findChoice(kButtonChoices, {0x10, 0x08, 0x00}), 4u);
    EXPECT_EQ(findChoice(kGunChoices, {0x72, 0x03, 0x00}), 3u);
    EXPECT_EQ(findChoice(kSystemChoices, {0x40, 0x08, 0x00}), std::nullopt);
}

}  // namespace
}  // namespace korvane::keys
