#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <numeric>
#include <set>
#include <vector>

#include "core/lighting/key_matrices.h"
#include "core/lighting/key_orders.h"
#include "core/lighting/led_maps.h"
#include "core/lighting/mouse_tables.h"

namespace korvane::lighting {
namespace {

template <typename Range>
std::multiset<int> keysOf(const Range& r, int none) {
    std::multiset<int> keys;
    for (auto v : r) {
        if (v != none) {
            keys.insert(v);
        }
    }
    return keys;
}

template <typename Matrix>
std::vector<std::uint8_t> flatten(const Matrix& m) {
    std::vector<std::uint8_t> out;
    for (const auto& column : m) {
        out.insert(out.end(), column.begin(), column.end());
    }
    return out;
}

template <typename Range>
std::vector<int> duplicates(const Range& r, int none) {
    const auto keys = keysOf(r, none);
    std::vector<int> dups;
    for (int k : std::set<int>(keys.begin(), keys.end())) {
        if (keys.count(k) > 1) {
            dups.push_back(k);
        }
    }
    return dups;
}

struct MapEntry {
    const LedMap* map;
    const char* name;
    std::size_t key;
    std::uint8_t position;
};

void PrintTo(const MapEntry& e, std::ostream* os) {
    *os << e.name << "[" << e.key << "]";
}

class LedMapEntries : public ::testing::TestWithParam<MapEntry> {};

TEST_P(LedMapEntries, MapTheKeyToItsPosition) {
    EXPECT_EQ((*GetParam().map)[GetParam().key], GetParam().position);
}

INSTANTIATE_TEST_SUITE_P(
    Listed, LedMapEntries,
    ::testing::Values(
        MapEntry{&RgbLedMap, "RgbLedMap", 12, 12}, MapEntry{&RgbLedMap, "RgbLedMap", 13, 14},
        MapEntry{&RgbLedMap, "RgbLedMap", 16, 17}, MapEntry{&RgbLedMap, "RgbLedMap", 17, 17},
        MapEntry{&RgbLedMap, "RgbLedMap", 62, kNoLed}, MapEntry{&RgbLedMap, "RgbLedMap", 75, 76},
        MapEntry{&RgbLedMap, "RgbLedMap", 76, 80}, MapEntry{&RgbLedMap, "RgbLedMap", 118, 104},
        MapEntry{&RgbLedMap, "RgbLedMap", 119, 62}, MapEntry{&RgbLedMap, "RgbLedMap", 125, kNoLed},
        MapEntry{&MonoLedMap, "MonoLedMap", 15, 15},
        MapEntry{&MonoLedMap, "MonoLedMap", 16, kNoLed},
        MapEntry{&MonoLedMap, "MonoLedMap", 38, 53}, MapEntry{&MonoLedMap, "MonoLedMap", 40, 71},
        MapEntry{&MonoLedMap, "MonoLedMap", 41, 89}, MapEntry{&MonoLedMap, "MonoLedMap", 59, 68},
        MapEntry{&MonoLedMap, "MonoLedMap", 122, 122},
        MapEntry{&MonoLedMap, "MonoLedMap", 125, 125},
        MapEntry{&kZonedPaintLedMap, "ZonedPaint", 15, 15},
        MapEntry{&kZonedPaintLedMap, "ZonedPaint", 16, 17},
        MapEntry{&kZonedPaintLedMap, "ZonedPaint", 17, 17},
        MapEntry{&kZonedPaintLedMap, "ZonedPaint", 61, 61},
        MapEntry{&kZonedPaintLedMap, "ZonedPaint", 62, kNoLed},
        MapEntry{&kZonedPaintLedMap, "ZonedPaint", 78, 78},
        MapEntry{&kZonedPaintLedMap, "ZonedPaint", 79, kNoLed},
        MapEntry{&kZonedPaintLedMap, "ZonedPaint", 84, 84},
        MapEntry{&kZonedPaintLedMap, "ZonedPaint", 104, kNoLed},
        MapEntry{&kZonedPaintLedMap, "ZonedPaint", 119, 119},
        MapEntry{&kZonedPaintLedMap, "ZonedPaint", 120, kNoLed}));

TEST(LedMaps, PositionsAreInRangeAndSharedOnlyWhereListed) {
    for (const LedMap* map : {&RgbLedMap, &MonoLedMap, &kZonedPaintLedMap}) {
        EXPECT_TRUE(
            std::all_of(map->begin(), map->end(), [](std::uint8_t p) { return p <= kNoLed; }));
    }
    EXPECT_EQ(duplicates(RgbLedMap, kNoLed), std::vector<int>{17});
    EXPECT_TRUE(duplicates(MonoLedMap, kNoLed).empty());
    EXPECT_EQ(std::count(RgbLedMap.begin(), RgbLedMap.end(), kNoLed), 17);
}

TEST(ZoneGroupPositions, BothTablesPlaceEveryByteOfTheFrameOnce) {
    for (const auto* table : {&ZoneGroupPositions::region, &ZoneGroupPositions::membrane}) {
        std::vector<int> sorted(table->begin(), table->end());
        std::sort(sorted.begin(), sorted.end());
        std::vector<int> expected(36);
        std::iota(expected.begin(), expected.end(), 0);
        EXPECT_EQ(sorted, expected);
    }
}

TEST(ZoneGroupPositions, MembraneDiffersOnlyInEntries15To20) {
    const auto& region = ZoneGroupPositions::region;
    const auto& membrane = ZoneGroupPositions::membrane;
    EXPECT_EQ(region[0], 16);
    EXPECT_EQ(region[35], 29);
    for (std::size_t i = 0; i < region.size(); ++i) {
        if (i < 15 || i > 20) {
            EXPECT_EQ(region[i], membrane[i]) << i;
        }
    }
    const std::array<std::uint8_t, 6> regionMiddle{4, 3, 5, 7, 6, 8};
    const std::array<std::uint8_t, 6> membraneMiddle{7, 6, 8, 4, 3, 5};
    EXPECT_TRUE(std::equal(regionMiddle.begin(), regionMiddle.end(), region.begin() + 15));
    EXPECT_TRUE(std::equal(membraneMiddle.begin(), membraneMiddle.end(), membrane.begin() + 15));
}

TEST(KeyMatrices, KeyColumns7ListsSpanningKeysInBothColumns) {
    EXPECT_EQ(KeyColumns7[0], (std::array<std::uint8_t, 7>{255, 255, 255, 255, 255, 255, 105}));
    // keys 34, 55, 95 and 112 span columns 14 and 15
    for (std::size_t row : {2u, 3u, 5u, 6u}) {
        EXPECT_EQ(KeyColumns7[14][row], KeyColumns7[15][row]) << "row " << row;
    }
    EXPECT_NE(KeyColumns7[14][1], KeyColumns7[15][1]);
    EXPECT_EQ(KeyColumns7[20][0], 125);
    EXPECT_EQ(KeyColumns7[22], (std::array<std::uint8_t, 7>{255, 20, 41, 255, 119, 118, 255}));
    const auto flat = flatten(KeyColumns7);
    EXPECT_TRUE(std::all_of(flat.begin(), flat.end(),
                            [](std::uint8_t k) { return k == kNoKey7 || k < kNoKey; }));
    EXPECT_EQ(duplicates(flat, kNoKey7), (std::vector<int>{34, 55, 95, 109, 112, 116}));
}

TEST(KeyMatrices, KeyColumns6HoldsEachKeyOnceAndMonoVariantRepeatsSpanningKeys) {
    const auto flat = flatten(KeyColumns6);
    EXPECT_TRUE(duplicates(flat, kNoKey).empty());
    EXPECT_EQ(keysOf(flat, kNoKey).size(), 108u);
    EXPECT_EQ(KeyColumns6[19][0], 122);
    EXPECT_EQ(KeyColumns6[22], (std::array<std::uint8_t, 6>{125, 41, 126, 119, 118, 126}));

    const auto mono = flatten(MonoKeyColumns6);
    EXPECT_EQ(duplicates(mono, kNoKey), (std::vector<int>{34, 55, 95, 109, 112, 116}));
    EXPECT_EQ(MonoKeyColumns6[0], (std::array<std::uint8_t, 6>{126, 126, 126, 126, 84, 105}));
    EXPECT_EQ(MonoKeyColumns6[14], (std::array<std::uint8_t, 6>{11, 34, 55, 75, 95, 112}));
    EXPECT_EQ(MonoKeyColumns6[15], (std::array<std::uint8_t, 6>{12, 34, 55, 126, 95, 112}));
}

TEST(KeyMatrices, ZoneColumnsPutEachKeyInOneZone) {
    const auto flat = flatten(ZoneColumns);
    EXPECT_TRUE(duplicates(flat, kNoKey).empty());
    EXPECT_EQ(keysOf(flat, kNoKey).size(), 104u);
    EXPECT_EQ(ZoneColumns[0], (std::array<std::uint8_t, 6>{0, 2, 6, 9, 13, 38}));
    EXPECT_EQ(ZoneColumns[21], (std::array<std::uint8_t, 6>{126, 108, 109, 126, 126, 126}));
    EXPECT_TRUE(std::all_of(ZoneColumns[22].begin(), ZoneColumns[22].end(),
                            [](std::uint8_t k) { return k == kNoKey; }));
}

TEST(KeyMatrices, RingsAreDisjointAndDrawnOnlyOnSnakeKeys) {
    const auto flat = flatten(RingKeys);
    EXPECT_TRUE(duplicates(flat, kNoKey).empty());
    EXPECT_EQ(RingKeys[0][0], 51);
    EXPECT_EQ(RingKeys[4][11], 11);
    EXPECT_EQ(RingKeys[11][2], 41);
    const std::set<int> snake(SnakeOrder.begin(), SnakeOrder.end());
    for (int k : keysOf(flat, kNoKey)) {
        EXPECT_TRUE(snake.count(k)) << "key " << k;
    }
}

TEST(KeyOrders, SnakeAndRunOrdersVisitTheSame108KeysOnce) {
    for (const auto* order : {&SnakeOrder, &MonoSnakeOrder, &RunOrder, &MonoRunOrder}) {
        EXPECT_TRUE(duplicates(*order, kNoKey).empty());
        EXPECT_EQ(keysOf(*order, kNoKey).size(), 108u);
    }
    const auto snake = keysOf(SnakeOrder, kNoKey);
    EXPECT_EQ(snake, keysOf(RunOrder, kNoKey));
    EXPECT_EQ(keysOf(MonoSnakeOrder, kNoKey), keysOf(MonoRunOrder, kNoKey));
}

TEST(KeyOrders, ListedEntries) {
    EXPECT_EQ(SnakeOrder[0], 17);
    EXPECT_EQ(SnakeOrder[4], 15);
    EXPECT_EQ(SnakeOrder[19], 0);
    EXPECT_EQ(SnakeOrder[20], 21);
    EXPECT_EQ(SnakeOrder[24], 105);
    EXPECT_EQ(SnakeOrder[38], 119);
    EXPECT_EQ(SnakeOrder[39], 41);
    EXPECT_EQ(SnakeOrder[76], 78);
    EXPECT_EQ(SnakeOrder[107], 77);
    EXPECT_EQ(SnakeOrder[108], 126);
    EXPECT_EQ(SnakeOrder[109], 126);
    EXPECT_TRUE(std::equal(SnakeOrder.begin() + 4, SnakeOrder.end(), MonoSnakeOrder.begin() + 4));
    EXPECT_EQ(MonoSnakeOrder[0], 122);
    EXPECT_EQ(MonoSnakeOrder[3], 125);

    EXPECT_EQ(RunOrder[15], 15);
    EXPECT_EQ(RunOrder[16], 17);
    EXPECT_EQ(RunOrder[20], 41);
    EXPECT_EQ(RunOrder[40], 21);
    EXPECT_EQ(RunOrder[41], 42);
    EXPECT_EQ(RunOrder[60], 61);
    EXPECT_EQ(RunOrder[61], 119);
    EXPECT_EQ(RunOrder[65], 75);
    EXPECT_EQ(RunOrder[66], 126);
    EXPECT_EQ(RunOrder[67], 74);
    EXPECT_EQ(RunOrder[79], 84);
    EXPECT_EQ(RunOrder[80], 126);
    EXPECT_EQ(RunOrder[95], 99);
    EXPECT_EQ(RunOrder[109], 105);
    EXPECT_EQ(MonoRunOrder[16], 122);
    EXPECT_EQ(MonoRunOrder[19], 125);
    EXPECT_TRUE(std::equal(RunOrder.begin() + 20, RunOrder.end(), MonoRunOrder.begin() + 20));
}

TEST(KeyOrders, RandomKeyOrderIsAPermutationOf0To103) {
    std::vector<int> sorted(RandomKeyOrder.begin(), RandomKeyOrder.end());
    std::sort(sorted.begin(), sorted.end());
    std::vector<int> expected(104);
    std::iota(expected.begin(), expected.end(), 0);
    EXPECT_EQ(sorted, expected);
    EXPECT_EQ(RandomKeyOrder.front(), 88);
    EXPECT_EQ(RandomKeyOrder.back(), 63);
}

TEST(KeyOrders, TwinkleStartCoversSixRowsOfEveryColumn) {
    ASSERT_EQ(TwinkleStart.size(), 6 * kMatrixColumns);
    EXPECT_EQ(TwinkleStart[0], 72);
    EXPECT_EQ(TwinkleStart[38], 0);
    EXPECT_EQ(TwinkleStart[78], 192);
    EXPECT_EQ(TwinkleStart[137], 32);
}

TEST(MouseTables, MouseColumnsCoverEveryLed) {
    std::set<int> leds;
    for (const auto& column : MouseColumns) {
        leds.insert(column.begin(), column.end());
    }
    EXPECT_EQ(leds.size(), kMouseLeds);
    EXPECT_EQ(*leds.rbegin(), 19);
    EXPECT_EQ(MouseColumns[2], (std::array<std::uint8_t, 3>{2, 9, 9}));
}

TEST(MouseTables, PadColumnsHoldEachPadLedOnce) {
    std::multiset<int> leds;
    for (const auto& row : PadColumns) {
        for (auto led : row) {
            if (led >= 0) {
                leds.insert(led);
            }
        }
    }
    std::multiset<int> expected;
    for (int i = 0; i < static_cast<int>(kPadLeds); ++i) {
        expected.insert(i);
    }
    EXPECT_EQ(leds, expected);
    for (std::size_t r = 0; r < 4; ++r) {
        EXPECT_EQ(PadColumns[r][0], static_cast<int>(r));
        EXPECT_EQ(PadColumns[r][6], static_cast<int>(14 - r));
    }
    for (std::size_t c = 0; c < 7; ++c) {
        EXPECT_EQ(PadColumns[4][c], static_cast<int>(4 + c));
    }
}

}  // namespace
}  // namespace korvane::lighting
