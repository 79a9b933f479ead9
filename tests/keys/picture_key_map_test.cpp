#include "core/keys/picture_key_map.h"

#include <gtest/gtest.h>

#include <set>

#include "core/keys/factory_tables.h"
#include "core/keys/key_tables.h"

namespace korvane::keys {
namespace {

KeyTable tableOf(std::initializer_list<KeyFunction> records) {
    KeyTable t = builtInDefaultTable(KeyClass::Keyboard);
    std::size_t i = 0;
    for (const auto& r : records) {
        t.records[i++] = r;
    }
    return t;
}

TEST(PictureKeyMap, FirstEqualRecordBelowTheKeyCountWins) {
    const KeyFunction esc{0x20, 0x00, 0x29};
    const KeyFunction f1{0x20, 0x00, 0x3A};
    const auto base = tableOf({f1, esc, esc, {0x20, 0x00, 0x3B}});
    const auto map = BuildPictureKeyMap(base, 3);
    EXPECT_EQ(RecordForPosition(map, 0), 1);             // Esc: the first of two equal records
    EXPECT_EQ(RecordForPosition(map, 1), 0);             // F1
    EXPECT_EQ(RecordForPosition(map, 2), std::nullopt);  // F2 is record 3, beyond the count
    EXPECT_EQ(PositionForRecord(map, 1), 0);
    EXPECT_EQ(PositionForRecord(map, 2), std::nullopt);
}

TEST(PictureKeyMap, FnPositionMapsOnlyToAnFnRecord) {
    const auto withoutFn = BuildPictureKeyMap(tableOf({{0xA0, 0x02, 0x03}, {0x20, 0x02, 0x02}}), 2);
    EXPECT_EQ(RecordForPosition(withoutFn, 110), std::nullopt);
    const auto withFn = BuildPictureKeyMap(tableOf({{0x20, 0x02, 0x02}, {0xA0, 0x02, 0x02}}), 2);
    EXPECT_EQ(RecordForPosition(withFn, 110), 1);
}

TEST(PictureKeyMap, PositionsOutsideThePictureHaveNoRecord) {
    const auto map = BuildPictureKeyMap(tableOf({{0x20, 0x00, 0x29}}), 1);
    EXPECT_EQ(RecordForPosition(map, -1), std::nullopt);
    EXPECT_EQ(RecordForPosition(map, 126), std::nullopt);
    EXPECT_EQ(RecordForPosition(map, 1 << 30), std::nullopt);
    EXPECT_EQ(PositionForRecord(map, -1), std::nullopt);
}

TEST(PictureKeyMap, KeyCountIsClampedToTheTable) {
    KeyTable base = builtInDefaultTable(KeyClass::Keyboard);
    base.records[169] = {0x20, 0x00, 0x29};
    EXPECT_EQ(RecordForPosition(BuildPictureKeyMap(base, 100000), 0), 169);
    EXPECT_EQ(RecordForPosition(BuildPictureKeyMap(base, -5), 0), std::nullopt);
}

TEST(PictureKeyMap, ANewKeyboardLeavesNothingOfTheEarlierMap) {
    KeyTables tables(KeyClass::Keyboard);
    ASSERT_TRUE(tables.setBaseTable(FactoryBaseTable(device::DeviceKind::RgbKeyboard), 106));
    EXPECT_EQ(RecordForPosition(tables.pictureMap(), 102), 89);  // the ISO key
    ASSERT_TRUE(tables.setBaseTable(FactoryBaseTable(device::DeviceKind::MembraneKeyboard), 107));
    EXPECT_EQ(RecordForPosition(tables.pictureMap(), 102), std::nullopt);
    EXPECT_EQ(RecordForPosition(tables.pictureMap(), 0), 3);
}

struct FactoryMapCase {
    device::DeviceKind kind;
    int mappedPositions;
};

class FactoryPictureMap : public testing::TestWithParam<FactoryMapCase> {};

// Every key a factory keyboard has is clickable on its picture, each on its own record.
TEST_P(FactoryPictureMap, MapsEachKeyToItsOwnRecord) {
    const auto kind = GetParam().kind;
    KeyTables tables(KeyClass::Keyboard);
    ASSERT_TRUE(tables.setBaseTable(FactoryBaseTable(kind), FactoryKeyCount(kind)));
    std::set<int> records;
    for (int pos = 0; pos < static_cast<int>(kPicturePositions); ++pos) {
        if (const auto r = RecordForPosition(tables.pictureMap(), pos)) {
            EXPECT_TRUE(records.insert(*r).second) << "position " << pos;
            EXPECT_EQ(*DefaultFunction(tables, *r), kKeyboardPictureLayout[pos]);
        } else {
            EXPECT_TRUE(!isKeyPosition(pos) || pos == 102 || pos == 111) << "position " << pos;
        }
    }
    EXPECT_EQ(static_cast<int>(records.size()), GetParam().mappedPositions);
}

INSTANTIATE_TEST_SUITE_P(AllKeyboards, FactoryPictureMap,
                         testing::Values(FactoryMapCase{device::DeviceKind::RgbKeyboard, 106},
                                         FactoryMapCase{device::DeviceKind::MonoKeyboard, 104},
                                         FactoryMapCase{device::DeviceKind::RegionKeyboard, 105},
                                         FactoryMapCase{device::DeviceKind::MembraneKeyboard,
                                                        104}));

}  // namespace
}  // namespace korvane::keys
