#include "core/keys/factory_tables.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "core/keys/key_function.h"
#include "core/keys/keyboard_picture_layout.h"

namespace korvane::keys {
namespace {

using device::DeviceKind;

KeyFunction recordAt(const std::array<std::uint8_t, 512>& table, std::size_t i) {
    return {table[3 * i], table[3 * i + 1], table[3 * i + 2]};
}

struct KeyboardCase {
    DeviceKind kind;
    int keyCount;
    bool hasIsoKey;
    bool hasAppKey;
};

class FactoryKeyboardTable : public testing::TestWithParam<KeyboardCase> {};

TEST_P(FactoryKeyboardTable, UsedRecordsAreDistinctPictureKeysAndTheRestIsUnused) {
    const auto& c = GetParam();
    const auto table = FactoryBaseTable(c.kind);
    ASSERT_EQ(FactoryKeyCount(c.kind), c.keyCount);
    ASSERT_LE(c.keyCount, 170);

    std::set<std::tuple<int, int, int>> seen;
    for (int j = 0; j < c.keyCount; ++j) {
        const auto r = recordAt(table, j);
        EXPECT_NE(r, kNoFunction) << "record " << j;
        EXPECT_NE(r, (KeyFunction{0x20, 0, 0})) << "record " << j << " would match empty places";
        EXPECT_TRUE(seen.insert({r.type, r.p1, r.p2}).second) << "duplicate record " << j;
    }
    for (int j = c.keyCount; j < 170; ++j) {
        EXPECT_EQ(recordAt(table, j), kNoFunction) << "record " << j;
    }
    EXPECT_EQ(table[510], 0);
    EXPECT_EQ(table[511], 0);
}

TEST_P(FactoryKeyboardTable, EveryPictureKeyTheKeyboardHasFindsItsRecord) {
    const auto& c = GetParam();
    const auto table = FactoryBaseTable(c.kind);
    for (std::size_t pos = 0; pos < kPicturePositions; ++pos) {
        bool found = false;
        for (int j = 0; j < c.keyCount && !found; ++j) {
            found = recordAt(table, j) == kKeyboardPictureLayout[pos];
        }
        const bool expected =
            isKeyPosition(pos) && (pos != 102 || c.hasIsoKey) && (pos != 111 || c.hasAppKey);
        EXPECT_EQ(found, expected) << "position " << pos;
    }
}

INSTANTIATE_TEST_SUITE_P(AllKeyboards, FactoryKeyboardTable,
                         testing::Values(KeyboardCase{DeviceKind::RgbKeyboard, 106, true, true},
                                         KeyboardCase{DeviceKind::MonoKeyboard, 104, false, false},
                                         KeyboardCase{DeviceKind::RegionKeyboard, 105, false, true},
                                         KeyboardCase{DeviceKind::MembraneKeyboard, 107, false,
                                                      false}));

TEST(FactoryKeyboardTable, MembraneMediaKeysComeBeforeThePictureKeys) {
    const auto table = FactoryBaseTable(DeviceKind::MembraneKeyboard);
    EXPECT_EQ(recordAt(table, 0), (KeyFunction{0x30, 0xE2, 0x00}));
    EXPECT_EQ(recordAt(table, 3), (KeyFunction{0x20, 0x00, 0x29}));  // Esc, position 0
}

class FactoryMouseTable : public testing::TestWithParam<DeviceKind> {};

TEST_P(FactoryMouseTable, HoldsTheDefaultButtons) {
    const auto table = FactoryBaseTable(GetParam());
    EXPECT_EQ(FactoryKeyCount(GetParam()), 6);
    const std::array<KeyFunction, 6> buttons{{{0x10, 0x01, 0x00},
                                              {0x10, 0x04, 0x00},
                                              {0x10, 0x02, 0x00},
                                              {0x10, 0x10, 0x00},
                                              {0x10, 0x08, 0x00},
                                              {0x13, 0x03, 0x00}}};
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        EXPECT_EQ(recordAt(table, i), buttons[i]) << "button " << i;
    }
    for (std::size_t i = 6; i < 170; ++i) {
        EXPECT_EQ(recordAt(table, i), kNoFunction) << "record " << i;
    }
    EXPECT_EQ(table[510], 0);
    EXPECT_EQ(table[511], 0);
}

INSTANTIATE_TEST_SUITE_P(AllMice, FactoryMouseTable,
                         testing::Values(DeviceKind::Mouse, DeviceKind::MouseAlt,
                                         DeviceKind::Mouse2));

TEST(FactoryMousePadTable, HasNoKeys) {
    EXPECT_EQ(FactoryKeyCount(DeviceKind::MousePad), 0);
    const auto table = FactoryBaseTable(DeviceKind::MousePad);
    for (std::size_t i = 0; i < 170; ++i) {
        EXPECT_EQ(recordAt(table, i), kNoFunction);
    }
}

}  // namespace
}  // namespace korvane::keys
