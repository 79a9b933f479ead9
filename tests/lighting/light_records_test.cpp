#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <numeric>
#include <vector>

#include "core/lighting/keyboard_light_payload.h"
#include "core/lighting/light_records.h"

namespace korvane::lighting {
namespace {

// Offsets that files, reports and other modules rely on.
TEST(LightRecords, FieldOffsetsMatchTheByteLayout) {
    EXPECT_EQ(offsetof(LightSettings, mode), 0u);
    EXPECT_EQ(offsetof(LightSettings, brightness), 1u);
    EXPECT_EQ(offsetof(LightSettings, speed), 2u);
    EXPECT_EQ(offsetof(LightSettings, direction), 3u);
    EXPECT_EQ(offsetof(LightSettings, colourful), 4u);
    EXPECT_EQ(offsetof(LightSettings, blue), 7u);

    EXPECT_EQ(offsetof(KeyboardLightRecord, light), 1u);
    EXPECT_EQ(offsetof(KeyboardLightRecord, carried), 9u);

    EXPECT_EQ(offsetof(MouseSettingsRecord, light), 1u);
    EXPECT_EQ(offsetof(MouseSettingsRecord, colourGroup), 9u);
    EXPECT_EQ(offsetof(MouseSettingsRecord, dpiRed), 11u);
    EXPECT_EQ(offsetof(MouseSettingsRecord, dpiBlue), 13u);
    EXPECT_EQ(offsetof(MouseSettingsRecord, reportRate), 14u);
    EXPECT_EQ(offsetof(MouseSettingsRecord, dpiStages), 15u);
    EXPECT_EQ(offsetof(MouseSettingsRecord, currentStage), 21u);
    EXPECT_EQ(offsetof(MouseSettingsRecord, sensorHeight), 22u);

    EXPECT_EQ(offsetof(MousePadSettingsRecord, light), 1u);
    EXPECT_EQ(offsetof(MousePadSettingsRecord, extra), 9u);
    EXPECT_EQ(offsetof(MousePadSettingsRecord, carried), 10u);
}

TEST(LightRecords, BytesOfShowsTheFieldsInOrder) {
    MouseSettingsRecord rec;
    rec.onboardProfile = 3;
    rec.light.mode = 7;
    rec.light.blue = 0xB1;
    rec.colourGroup = 2;
    rec.reportRate = 4;
    rec.dpiStages[5] = 0x55;
    rec.sensorHeight = 0xEE;
    const auto b = bytesOf(rec);
    ASSERT_EQ(b.size(), 23u);
    EXPECT_EQ(b[0], 3);
    EXPECT_EQ(b[1], 7);
    EXPECT_EQ(b[8], 0xB1);
    EXPECT_EQ(b[9], 2);
    EXPECT_EQ(b[14], 4);
    EXPECT_EQ(b[20], 0x55);
    EXPECT_EQ(b[22], 0xEE);
}

TEST(LightRecords, RecordFromBytesZeroFillsShortInputAndIgnoresExtra) {
    const std::vector<std::uint8_t> shortInput{9, 1, 2};
    const auto pad = recordFromBytes<MousePadSettingsRecord>(shortInput);
    EXPECT_EQ(pad.onboardProfile, 9);
    EXPECT_EQ(pad.light.mode, 1);
    EXPECT_EQ(pad.light.brightness, 2);
    EXPECT_EQ(pad.light.speed, 0);
    EXPECT_EQ(pad.carried[10], 0);

    std::vector<std::uint8_t> longInput(100);
    std::iota(longInput.begin(), longInput.end(), std::uint8_t{1});
    const auto pad2 = recordFromBytes<MousePadSettingsRecord>(longInput);
    EXPECT_EQ(pad2.carried[10], 21);

    const auto empty = recordFromBytes<MousePadSettingsRecord>({});
    EXPECT_EQ(empty, MousePadSettingsRecord{});
}

LightSlots numberedSlots() {
    LightSlots slots{};
    for (std::size_t s = 0; s < slots.size(); ++s) {
        auto bytes = mutableBytesOf(slots[s]);
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            bytes[i] = static_cast<std::uint8_t>(s * 64 + i + 1);
        }
    }
    return slots;
}

class LightSlotLoad : public ::testing::TestWithParam<std::size_t> {};

TEST_P(LightSlotLoad, CopiesTheRecordAndSetsByteZeroToTheSlot) {
    const std::size_t slot = GetParam();
    const LightSlots slots = numberedSlots();
    KeyboardLightRecord live;
    ASSERT_TRUE(loadLightSlot(slots, slot, live));
    EXPECT_EQ(live.onboardProfile, slot);
    EXPECT_EQ(live.light, slots[slot].record.light);
    EXPECT_EQ(live.carried, slots[slot].record.carried);
}

TEST_P(LightSlotLoad, SaveWritesOnlyTheSlotOfByteZero) {
    const std::size_t slot = GetParam();
    LightSlots slots = numberedSlots();
    const LightSlots before = slots;
    KeyboardLightRecord live;
    ASSERT_TRUE(loadLightSlot(slots, slot, live));
    live.light.mode = 0xAB;
    live.carried[11] = 0xCD;
    ASSERT_TRUE(saveLightSlot(slots, live));
    for (std::size_t s = 0; s < slots.size(); ++s) {
        if (s == slot) {
            EXPECT_EQ(slots[s].record, live);
            EXPECT_EQ(slots[s].carried, before[s].carried) << "the 43 trailing bytes are carried";
        } else {
            EXPECT_EQ(slots[s], before[s]);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllSlots, LightSlotLoad, ::testing::Range<std::size_t>(0, 5));

TEST(LightSlots, OutOfRangeSlotNumbersAreRefused) {
    LightSlots slots = numberedSlots();
    const LightSlots before = slots;
    KeyboardLightRecord live;
    live.light.mode = 3;
    const KeyboardLightRecord liveBefore = live;
    EXPECT_FALSE(loadLightSlot(slots, 5, live));
    EXPECT_EQ(live, liveBefore);

    live.onboardProfile = 200;  // e.g. from a damaged file
    EXPECT_FALSE(saveLightSlot(slots, live));
    EXPECT_EQ(slots, before);
}

TEST(CustomColourStore, SelectedSlotFallsBackToSlotZeroWhenOutOfRange) {
    CustomColourStore store;
    store.slots[0][0] = 10;
    store.slots[4][0] = 44;
    EXPECT_EQ(store.selected(4)[0], 44);
    EXPECT_EQ(store.selected(5)[0], 10);
    EXPECT_EQ(store.selected(255)[0], 10);
}

std::vector<std::uint8_t> patternBody(std::size_t size, std::uint8_t seed) {
    std::vector<std::uint8_t> body(size);
    std::uint32_t x = seed * 2654435761u + 1;
    for (auto& b : body) {
        x = x * 1103515245u + 12345u;
        b = static_cast<std::uint8_t>(x >> 16);
    }
    return body;
}

TEST(KeyboardLightPayload, LoadThenSaveGivesTheSameBytes) {
    for (std::uint8_t seed : {1, 2, 3}) {
        const auto body = patternBody(KeyboardLightPayload::kSize, seed);
        KeyboardLightState state;
        state.slots = numberedSlots();
        KeyboardLightPayload::fromBytes(body).applyTo(state);
        const auto saved = KeyboardLightPayload::fromLive(state).toBytes();
        ASSERT_EQ(saved.size(), 1958u);
        EXPECT_TRUE(std::equal(saved.begin(), saved.end(), body.begin())) << "seed " << int(seed);
    }
}

TEST(KeyboardLightPayload, LoadFillsSlotZeroLiveRecordWordAndStore) {
    auto body = patternBody(KeyboardLightPayload::kSize, 7);
    body[0] = 3;  // the file's byte 0 is taken as it stands
    body[64] = 2;
    body[65] = 0x11;
    body[66] = 0x22;
    body[67] = 0x33;
    body[68] = 0xA0;
    body[1957] = 0xA1;
    KeyboardLightState state;
    state.slots = numberedSlots();
    const LightSlots before = state.slots;
    KeyboardLightPayload::fromBytes(body).applyTo(state);

    EXPECT_TRUE(std::equal(body.begin(), body.begin() + 64, bytesOf(state.slots[0]).begin()));
    EXPECT_TRUE(std::equal(body.begin(), body.begin() + 21, bytesOf(state.live).begin()));
    EXPECT_EQ(state.live.onboardProfile, 3);
    EXPECT_EQ(state.word, (CustomSlotWord{2, 0x11, 0x22, 0x33}));
    EXPECT_EQ(state.store.slots[0][0], 0xA0);
    EXPECT_EQ(state.store.slots[4][377], 0xA1);
    for (std::size_t s = 1; s < 5; ++s) {
        EXPECT_EQ(state.slots[s], before[s]) << "slot " << s;
    }
}

TEST(KeyboardLightPayload, SaveCopiesTheLiveRecordOverSlotZero) {
    KeyboardLightState state;
    state.slots = numberedSlots();
    state.live.onboardProfile = 2;
    state.live.light = {4, 14, 3, 1, 1, 255, 128, 0};
    state.word = {1, 9, 8, 7};
    state.store.slots[1][100] = 0x42;
    const auto bytes = KeyboardLightPayload::fromLive(state).toBytes();

    EXPECT_TRUE(std::equal(bytes.begin(), bytes.begin() + 21, bytesOf(state.live).begin()));
    // bytes 21..63 come from slot 0 as it is held
    const auto slot0 = bytesOf(state.slots[0]);
    EXPECT_TRUE(std::equal(bytes.begin() + 21, bytes.begin() + 64, slot0.begin() + 21));
    EXPECT_EQ(bytes[64], 1);
    EXPECT_EQ(bytes[67], 7);
    EXPECT_EQ(bytes[68 + 378 + 100], 0x42);
}

TEST(KeyboardLightPayload, ShortBodyLeavesMissingBytesZeroAndLongBodyIsCut) {
    const auto body = patternBody(100, 4);
    const auto shortPayload = KeyboardLightPayload::fromBytes(body).toBytes();
    EXPECT_TRUE(std::equal(body.begin(), body.end(), shortPayload.begin()));
    EXPECT_TRUE(std::all_of(shortPayload.begin() + 100, shortPayload.end(),
                            [](std::uint8_t b) { return b == 0; }));

    const auto longBody = patternBody(5000, 5);
    const auto longPayload = KeyboardLightPayload::fromBytes(longBody).toBytes();
    EXPECT_TRUE(std::equal(longPayload.begin(), longPayload.end(), longBody.begin()));

    const auto emptyPayload = KeyboardLightPayload::fromBytes({}).toBytes();
    EXPECT_TRUE(std::all_of(emptyPayload.begin(), emptyPayload.end(),
                            [](std::uint8_t b) { return b == 0; }));
}

}  // namespace
}  // namespace korvane::lighting

namespace korvane::lighting {
namespace {

TEST(LightSettings, EditingTheSingleColourClearsColourful) {
    LightSettings s{3, 14, 2, 1, 1, 0, 0, 0};
    setSingleColour(s, {10, 20, 30});
    EXPECT_EQ(s, (LightSettings{3, 14, 2, 1, 0, 10, 20, 30}));
    EXPECT_EQ(singleColour(s), (Rgb{10, 20, 30}));
}

TEST(CustomColourStore, LedEntriesAreThreeBytesByPositionAndNoLedIsIgnored) {
    CustomColourStore store;
    CustomColourSlot& slot = store.selected(2);
    setLedColour(slot, 0, {1, 2, 3});
    setLedColour(slot, 125, {4, 5, 6});
    setLedColour(slot, kLedPositions, {9, 9, 9});
    EXPECT_EQ(slot[0], 1);
    EXPECT_EQ(slot[2], 3);
    EXPECT_EQ(slot[375], 4);
    EXPECT_EQ(slot[377], 6);
    EXPECT_EQ(ledColour(slot, 125), (Rgb{4, 5, 6}));
    EXPECT_EQ(ledColour(slot, kLedPositions), Rgb{});
    EXPECT_EQ(std::count(slot.begin(), slot.end(), 9), 0);
    EXPECT_EQ(store.slots[0], CustomColourSlot{});
}

}  // namespace
}  // namespace korvane::lighting
