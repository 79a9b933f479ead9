#include "core/keys/key_tables.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/keys/factory_tables.h"

namespace korvane::keys {
namespace {

TEST(KeyTable, BytesPlaceRecordIAtThreeITimesAndKeepTheReservedBytes) {
    std::array<std::uint8_t, kKeyTableBytes> bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 7 + 1);
    }
    const auto table = KeyTable::fromBytes(bytes);
    EXPECT_EQ(table.records[0], (KeyFunction{bytes[0], bytes[1], bytes[2]}));
    EXPECT_EQ(table.records[169], (KeyFunction{bytes[507], bytes[508], bytes[509]}));
    EXPECT_EQ(table.reserved[0], bytes[510]);
    EXPECT_EQ(table.reserved[1], bytes[511]);
    EXPECT_EQ(table.toBytes(), bytes);
}

TEST(KeyTable, OverwritePrefixKeepsTheRest) {
    KeyTable table = builtInDefaultTable(KeyClass::Keyboard);
    const std::vector<std::uint8_t> bytes{0x20, 0x00, 0x04, 0x20};
    table.overwritePrefix(bytes);
    EXPECT_EQ(table.records[0], (KeyFunction{0x20, 0x00, 0x04}));
    EXPECT_EQ(table.records[1], (KeyFunction{0x20, 0x05, 0x05}));
    EXPECT_EQ(table.records[2], kNoFunction);

    const std::vector<std::uint8_t> tooLong(600, 0x11);
    table.overwritePrefix(tooLong);
    EXPECT_EQ(table.reserved[1], 0x11);
}

TEST(KeyTable, BuiltInDefaults) {
    const auto mouse = builtInDefaultTable(KeyClass::Mouse).toBytes();
    const std::array<std::uint8_t, 18> buttons{0x10, 0x01, 0, 0x10, 0x04, 0, 0x10, 0x02, 0,
                                               0x10, 0x10, 0, 0x10, 0x08, 0, 0x13, 0x03, 0};
    EXPECT_TRUE(std::equal(buttons.begin(), buttons.end(), mouse.begin()));
    for (std::size_t i = 18; i < 510; ++i) {
        ASSERT_EQ(mouse[i], 0x05) << i;
    }
    EXPECT_EQ(mouse[510], 0);
    EXPECT_EQ(mouse[511], 0);

    const auto keyboard = builtInDefaultTable(KeyClass::Keyboard);
    for (const auto& r : keyboard.records) {
        EXPECT_EQ(r, kNoFunction);
    }
    // The simulated mice are built to hold the same buttons from the factory.
    EXPECT_EQ(FactoryBaseTable(device::DeviceKind::Mouse), mouse);
}

class KeyTablesTest : public testing::Test {
  protected:
    KeyTables keyboard_{KeyClass::Keyboard};
    KeyTables mouse_{KeyClass::Mouse};
};

TEST_F(KeyTablesTest, StartZeroFilledWithBuiltInDefaults) {
    for (int p = 0; p < kOnboardProfiles; ++p) {
        EXPECT_EQ(*keyboard_.profileTable(p), KeyTable{});
        EXPECT_EQ(*mouse_.profileTable(p), KeyTable{});
    }
    EXPECT_FALSE(mouse_.defaultsFromDevice());
    EXPECT_EQ(mouse_.defaultTable(), builtInDefaultTable(KeyClass::Mouse));
    EXPECT_EQ(keyboard_.recordCount(), 0);
    EXPECT_EQ(keyboard_.wireLength(), 0u);
    EXPECT_EQ(mouse_.wireLength(), 512u);
    // A zero record is not the default and has no function of its own.
    EXPECT_FALSE(IsDefault(mouse_, 0, 5));
}

TEST_F(KeyTablesTest, ProfileAndRecordIndicesAreBoundsChecked) {
    EXPECT_EQ(keyboard_.profileTable(-1), nullptr);
    EXPECT_EQ(keyboard_.profileTable(5), nullptr);
    EXPECT_EQ(DefaultFunction(mouse_, -1), std::nullopt);
    EXPECT_EQ(DefaultFunction(mouse_, 170), std::nullopt);
    EXPECT_EQ(DefaultFunction(mouse_, 169), kNoFunction);
    EXPECT_FALSE(IsDefault(mouse_, 5, 0));
    EXPECT_FALSE(IsDefault(mouse_, 0, 170));
}

TEST_F(KeyTablesTest, KeyboardBaseTableReplacesOnlyTheUsedRecords) {
    const auto base = FactoryBaseTable(device::DeviceKind::MonoKeyboard);
    std::vector<std::uint8_t> read(base.begin(), base.begin() + 3 * 104);
    ASSERT_TRUE(keyboard_.setBaseTable(read, 104));
    EXPECT_TRUE(keyboard_.defaultsFromDevice());
    EXPECT_EQ(keyboard_.recordCount(), 104);
    EXPECT_EQ(keyboard_.editableRecordCount(), 104);
    EXPECT_EQ(keyboard_.wireLength(), 312u);
    EXPECT_EQ(DefaultFunction(keyboard_, 0), (KeyFunction{0x20, 0x00, 0x29}));
    EXPECT_EQ(DefaultFunction(keyboard_, 104), kNoFunction);
    EXPECT_EQ(RecordForPosition(keyboard_.pictureMap(), 0), 0);
}

struct RefusedBase {
    const char* name;
    std::size_t bytes;
    int keyCount;
};

class KeyboardBaseRefused : public KeyTablesTest,
                            public testing::WithParamInterface<RefusedBase> {};

TEST_P(KeyboardBaseRefused, ChangesNothing) {
    const auto base = FactoryBaseTable(device::DeviceKind::RgbKeyboard);
    ASSERT_TRUE(keyboard_.setBaseTable(std::span(base).first(3 * 106), 106));
    const auto before = keyboard_.defaultTable();
    const auto mapBefore = keyboard_.pictureMap().records;

    const std::vector<std::uint8_t> other(GetParam().bytes, 0x20);
    EXPECT_FALSE(keyboard_.setBaseTable(other, GetParam().keyCount));
    EXPECT_EQ(keyboard_.defaultTable(), before);
    EXPECT_EQ(keyboard_.recordCount(), 106);
    EXPECT_EQ(keyboard_.pictureMap().records, mapBefore);
}

INSTANTIATE_TEST_SUITE_P(Cases, KeyboardBaseRefused,
                         testing::Values(RefusedBase{"Count171", 513, 171},
                                         RefusedBase{"NegativeCount", 512, -1},
                                         RefusedBase{"ShortRead", 311, 104},
                                         RefusedBase{"HugeCount", 512, 1 << 30}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(KeyTablesTest, MouseBaseTableMustBeWhole) {
    std::array<std::uint8_t, 512> base = FactoryBaseTable(device::DeviceKind::Mouse2);
    base[15] = 0x13;
    base[16] = 0x01;  // button 5: DPI up
    EXPECT_FALSE(mouse_.setBaseTable(std::span(base).first(510), 0));
    EXPECT_FALSE(mouse_.defaultsFromDevice());
    ASSERT_TRUE(mouse_.setBaseTable(base, 0));
    EXPECT_EQ(DefaultFunction(mouse_, 5), (KeyFunction{0x13, 0x01, 0x00}));
    EXPECT_EQ(mouse_.editableRecordCount(), 6);
    EXPECT_EQ(mouse_.recordCount(), 170);

    mouse_.profileTable(2)->records[5] = {0x13, 0x01, 0x00};
    EXPECT_TRUE(IsDefault(mouse_, 2, 5));
    EXPECT_FALSE(IsDefault(mouse_, 1, 5));
}

TEST_F(KeyTablesTest, RemovingAMacroResetsItsBindingsAndRenumbersLaterOnes) {
    const auto base = FactoryBaseTable(device::DeviceKind::RegionKeyboard);
    ASSERT_TRUE(keyboard_.setBaseTable(base, 105));
    KeyTable& p0 = *keyboard_.profileTable(0);
    KeyTable& p4 = *keyboard_.profileTable(4);
    p0.records[0] = {0x70, 2, 1};
    p0.records[1] = {0x71, 3, 9};
    p0.records[2] = {0x70, 1, 0};
    p4.records[104] = {0x70, 3, 0};
    p4.records[105] = {0x70, 3, 0};  // beyond the key count: not a key, left alone

    EXPECT_TRUE(MacroInUse(keyboard_, 2));
    EXPECT_FALSE(MacroInUse(keyboard_, 0));
    RemoveMacroBindings(keyboard_, 2);

    EXPECT_EQ(p0.records[0], *DefaultFunction(keyboard_, 0));
    EXPECT_EQ(p0.records[1], (KeyFunction{0x71, 2, 9}));
    EXPECT_EQ(p0.records[2], (KeyFunction{0x70, 1, 0}));
    EXPECT_EQ(p4.records[104], (KeyFunction{0x70, 2, 0}));
    EXPECT_EQ(p4.records[105], (KeyFunction{0x70, 3, 0}));
    EXPECT_FALSE(MacroInUse(keyboard_, 3));
}

TEST_F(KeyTablesTest, MouseMacroBookkeepingLooksAtTheSixButtonsOnly) {
    mouse_.profileTable(1)->records[6] = {0x70, 0, 0};
    EXPECT_FALSE(MacroInUse(mouse_, 0));
    mouse_.profileTable(1)->records[5] = {0x71, 0, 4};
    EXPECT_TRUE(MacroInUse(mouse_, 0));
    RemoveMacroBindings(mouse_, 0);
    EXPECT_EQ(mouse_.profileTable(1)->records[5], (KeyFunction{0x13, 0x03, 0x00}));
    EXPECT_EQ(mouse_.profileTable(1)->records[6], (KeyFunction{0x70, 0, 0}));
}

}  // namespace
}  // namespace korvane::keys
