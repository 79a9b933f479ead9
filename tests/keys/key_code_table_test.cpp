#include "core/keys/key_code_table.h"

#include <gtest/gtest.h>

#include <set>

#include "core/keys/keyboard_picture_layout.h"

namespace korvane::keys {
namespace {

struct LookupCase {
    const char* name;
    std::uint32_t code;
    std::uint32_t flags;
    KeyCodeRows rows;
    std::optional<std::size_t> row;
};

class KeyCodeLookup : public testing::TestWithParam<LookupCase> {};

TEST_P(KeyCodeLookup, FindsTheRow) {
    const auto& c = GetParam();
    EXPECT_EQ(LookupKeyCode(c.code, c.flags, c.rows), c.row);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KeyCodeLookup,
    testing::Values(LookupCase{"MainEnter", 0x0D, 0x00, KeyCodeRows::All, 44},
                    LookupCase{"MainEnterUp", 0x0D, 0x80, KeyCodeRows::All, 44},
                    LookupCase{"NumpadEnterDown", 0x0D, 0x01, KeyCodeRows::All, 91},
                    LookupCase{"NumpadEnterUp", 0x0D, 0x81, KeyCodeRows::All, 91},
                    LookupCase{"NumpadEnterInMacro", 0x0D, 0x01, KeyCodeRows::MacroKeys, 91},
                    LookupCase{"OtherFlagsAreNotExtended", 0x0D, 0x11, KeyCodeRows::All, 44},
                    LookupCase{"ExtendedFlagOnOtherKey", 0x41, 0x01, KeyCodeRows::All, 8},
                    LookupCase{"LeftCtrl", 0xA2, 0, KeyCodeRows::All, 0},
                    LookupCase{"App", 0x5D, 0, KeyCodeRows::MacroKeys, 103},
                    LookupCase{"DuplicateMediaSelect", 0xB5, 0, KeyCodeRows::All, 120},
                    LookupCase{"MediaKeyNotInMacros", 0xB5, 0, KeyCodeRows::MacroKeys,
                               std::nullopt},
                    LookupCase{"Power", 0x103, 0, KeyCodeRows::All, 122},
                    LookupCase{"Wake", 0x105, 0, KeyCodeRows::All, 124},
                    LookupCase{"PowerNotInMacros", 0x103, 0, KeyCodeRows::MacroKeys, std::nullopt},
                    LookupCase{"UnknownCode", 0xFF, 0, KeyCodeRows::All, std::nullopt},
                    LookupCase{"HugeCode", 0xFFFFFFFF, 0x81, KeyCodeRows::All, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(KeyCodeTable, EnterRowsCarryTheirUsages) {
    EXPECT_EQ(kKeyCodeTable[44].function, (KeyFunction{0x20, 0x00, 0x28}));
    EXPECT_EQ(kKeyCodeTable[91].function, (KeyFunction{0x20, 0x00, 0x58}));
    EXPECT_EQ(kKeyCodeTable[91].textId, "keyboard_key_Num Enter");
}

TEST(KeyCodeTable, RowClassesFollowTheirRanges) {
    std::set<int> usages;
    for (std::size_t i = 0; i < kKeyCodeRows; ++i) {
        const auto& row = kKeyCodeTable[i];
        SCOPED_TRACE(testing::Message() << "row " << i << " " << row.textId);
        EXPECT_EQ(row.textId.rfind("keyboard_key_", 0), 0u);
        if (i < 8) {
            EXPECT_EQ(row.function.type, 0x20);
            EXPECT_EQ(row.function.p1, 1u << i);
            EXPECT_EQ(row.function.p2, 0);
        } else if (i < kMacroKeyRows) {
            EXPECT_EQ(row.function.type, 0x20);
            EXPECT_EQ(row.function.p1, 0);
            EXPECT_TRUE(usages.insert(row.function.p2).second) << "usage repeated";
        } else if (i < 122) {
            EXPECT_EQ(row.function.type, 0x30);
        } else {
            EXPECT_EQ(row.function.type, 0x40);
        }
    }
    EXPECT_EQ(usages.count(0x32), 0u);
    EXPECT_EQ(usages.count(0x64), 0u);
    EXPECT_EQ(kKeyCodeTable[120].function, kKeyCodeTable[121].function);
    EXPECT_EQ(kKeyCodeTable[120].textId, kKeyCodeTable[121].textId);
}

TEST(KeyCodeTable, ParameterSearchYieldsTheFirstOfEqualRows) {
    EXPECT_EQ(FindKeyCodeRowByParameters(0x83, 0x01), 120u);
    EXPECT_EQ(FindKeyCodeRowByParameters(0x00, 0x58), 91u);
    EXPECT_EQ(FindKeyCodeRowByParameters(0x00, 0x00), std::nullopt);
}

// Every key of the picture but the Fn key and the ISO key (usage 0x64) has a row, so the
// picture can name the key.
TEST(KeyCodeTable, NamesEveryPictureKeyButFnAndIsoKey) {
    for (std::size_t pos = 0; pos < kPicturePositions; ++pos) {
        if (!isKeyPosition(pos)) {
            continue;
        }
        const auto& f = kKeyboardPictureLayout[pos];
        const auto row = FindKeyCodeRowByParameters(f.p1, f.p2);
        const bool unnamed = pos == 110 || pos == 102;
        EXPECT_EQ(row.has_value(), !unnamed) << "position " << pos;
        if (row) {
            EXPECT_EQ(kKeyCodeTable[*row].function, f) << "position " << pos;
        }
    }
}

}  // namespace
}  // namespace korvane::keys
