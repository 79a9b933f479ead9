#pragma once

// The lighting records shared by the editors, the profile store, the connection
// sequences and the effect threads. Every record is a fixed byte layout that is
// the same in memory, in files and on the wire: only single bytes and byte
// arrays, so there is no padding, the alignment is 1 and a record can be copied
// with memcpy or published to an effect thread as a snapshot.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <type_traits>

#include "core/lighting/rgb.h"

namespace korvane::lighting {

// Lighting settings of one device.
struct LightSettings {
    std::uint8_t mode = 0;
    std::uint8_t brightness = 0;  // index into BrightnessCurve, 0..14
    std::uint8_t speed = 0;       // column of FrameDelayTable, 0 (fastest)..14
    std::uint8_t direction = 0;   // non-zero: phases count up
    std::uint8_t colourful = 0;   // 1: colours come from ColourWheel
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    friend bool operator==(const LightSettings&, const LightSettings&) = default;
};

// A hand-edited single colour ends the colourful mode.
constexpr void setSingleColour(LightSettings& settings, Rgb colour) {
    settings.red = colour.red;
    settings.green = colour.green;
    settings.blue = colour.blue;
    settings.colourful = 0;
}

constexpr Rgb singleColour(const LightSettings& settings) {
    return {settings.red, settings.green, settings.blue};
}

// The synchronised effect uses the same eight bytes.
using SyncLightSettings = LightSettings;

inline constexpr std::size_t kOnboardProfileCount = 5;

struct KeyboardLightRecord {
    std::uint8_t onboardProfile = 0;  // 0..4; also selects the keyboard's key table
    LightSettings light;
    std::array<std::uint8_t, 12> carried{};  // never interpreted, written back unchanged

    friend bool operator==(const KeyboardLightRecord&, const KeyboardLightRecord&) = default;
};

// One of the keyboard's five light slots: the record followed by bytes that are
// carried unchanged.
struct LightSlot {
    KeyboardLightRecord record;
    std::array<std::uint8_t, 43> carried{};

    friend bool operator==(const LightSlot&, const LightSlot&) = default;
};

using LightSlots = std::array<LightSlot, kOnboardProfileCount>;

// Copies slot `slot` into `live` and makes the live record name that slot.
// A slot number outside 0..4 changes nothing and returns false.
bool loadLightSlot(const LightSlots& slots, std::size_t slot, KeyboardLightRecord& live);

// Writes `live` back into the slot named by its byte 0. A live record whose
// byte 0 is not a slot number (it can come from a file) writes nothing and
// returns false.
bool saveLightSlot(LightSlots& slots, const KeyboardLightRecord& live);

struct MouseSettingsRecord {
    std::uint8_t onboardProfile = 0;
    LightSettings light;           // mouse modes
    std::uint8_t colourGroup = 0;  // group index of the colour-group pulse mode
    std::uint8_t carried = 0;
    std::uint8_t dpiRed = 0;  // indicator colour of the DPI stage being edited
    std::uint8_t dpiGreen = 0;
    std::uint8_t dpiBlue = 0;
    std::uint8_t reportRate = 0;  // report-rate code
    std::array<std::uint8_t, 6> dpiStages{};
    std::uint8_t currentStage = 0;  // 0..5
    std::uint8_t sensorHeight = 0;

    friend bool operator==(const MouseSettingsRecord&, const MouseSettingsRecord&) = default;
};

struct MousePadSettingsRecord {
    std::uint8_t onboardProfile = 0;
    LightSettings light;     // mouse-pad modes
    std::uint8_t extra = 0;  // group index advanced by the pad pulse mode
    std::array<std::uint8_t, 11> carried{};

    friend bool operator==(const MousePadSettingsRecord&, const MousePadSettingsRecord&) = default;
};

inline constexpr std::size_t kLedPositions = 126;
inline constexpr std::size_t kCustomSlotBytes = 3 * kLedPositions;  // 378

// One custom colour slot. RGB and zoned keyboards: 126 entries of red, green,
// blue. Mono keyboard: only the first 126 bytes, 255 = lit, 0 = dark.
using CustomColourSlot = std::array<std::uint8_t, kCustomSlotBytes>;

// Colour of LED position p (RGB and zoned keyboards); positions past the slot,
// such as 126 for "no LED", read black and are not written.
constexpr Rgb ledColour(const CustomColourSlot& slot, std::size_t position) {
    if (position >= kLedPositions) {
        return {};
    }
    return {slot[3 * position], slot[3 * position + 1], slot[3 * position + 2]};
}

constexpr void setLedColour(CustomColourSlot& slot, std::size_t position, Rgb colour) {
    if (position >= kLedPositions) {
        return;
    }
    slot[3 * position] = colour.red;
    slot[3 * position + 1] = colour.green;
    slot[3 * position + 2] = colour.blue;
}

struct CustomColourStore {
    std::array<CustomColourSlot, kOnboardProfileCount> slots{};

    // The slot to draw or paint. A selected slot above 4 can only come from a
    // damaged file; it falls back to slot 0 rather than reading past the store.
    CustomColourSlot& selected(std::uint8_t slot) { return slots[slot < slots.size() ? slot : 0]; }
    const CustomColourSlot& selected(std::uint8_t slot) const {
        return slots[slot < slots.size() ? slot : 0];
    }

    friend bool operator==(const CustomColourStore&, const CustomColourStore&) = default;
};

// The selected custom slot and the paint colour, kept together as one word.
struct CustomSlotWord {
    std::uint8_t slot = 0;  // 0..4
    std::uint8_t red = 0;   // PaintColour
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    friend bool operator==(const CustomSlotWord&, const CustomSlotWord&) = default;
};

static_assert(sizeof(LightSettings) == 8);
static_assert(sizeof(KeyboardLightRecord) == 21);
static_assert(sizeof(LightSlot) == 64);
static_assert(sizeof(LightSlots) == 320);
static_assert(sizeof(MouseSettingsRecord) == 23);
static_assert(sizeof(MousePadSettingsRecord) == 21);
static_assert(sizeof(CustomSlotWord) == 4);
static_assert(sizeof(CustomColourStore) == 1890);
static_assert(std::is_trivially_copyable_v<LightSettings>);
static_assert(std::is_trivially_copyable_v<KeyboardLightRecord>);
static_assert(std::is_trivially_copyable_v<LightSlot>);
static_assert(std::is_trivially_copyable_v<MouseSettingsRecord>);
static_assert(std::is_trivially_copyable_v<MousePadSettingsRecord>);
static_assert(std::is_trivially_copyable_v<CustomSlotWord>);
static_assert(std::is_trivially_copyable_v<CustomColourStore>);
static_assert(std::is_standard_layout_v<MouseSettingsRecord>);

// Byte views of a record, for files and reports.
template <typename Record>
std::span<const std::uint8_t, sizeof(Record)> bytesOf(const Record& record) {
    static_assert(std::is_trivially_copyable_v<Record> && alignof(Record) == 1);
    return std::span<const std::uint8_t, sizeof(Record)>(
        reinterpret_cast<const std::uint8_t*>(&record), sizeof(Record));
}

template <typename Record>
std::span<std::uint8_t, sizeof(Record)> mutableBytesOf(Record& record) {
    static_assert(std::is_trivially_copyable_v<Record> && alignof(Record) == 1);
    return std::span<std::uint8_t, sizeof(Record)>(reinterpret_cast<std::uint8_t*>(&record),
                                                   sizeof(Record));
}

// A record read from an untrusted buffer: bytes beyond the buffer stay zero,
// bytes beyond the record are ignored.
template <typename Record>
Record recordFromBytes(std::span<const std::uint8_t> bytes) {
    Record record{};
    auto out = mutableBytesOf(record);
    std::copy_n(bytes.begin(), std::min(bytes.size(), out.size()), out.begin());
    return record;
}

}  // namespace korvane::lighting
