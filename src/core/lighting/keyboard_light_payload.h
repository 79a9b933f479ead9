#pragma once

// The keyboard lighting data that a keyboard light profile carries, and the
// live state it is loaded into and saved from.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "core/lighting/light_records.h"

namespace korvane::lighting {

// The live keyboard lighting state; the application owns one instance.
struct KeyboardLightState {
    LightSlots slots{};
    KeyboardLightRecord live;
    CustomSlotWord word;
    CustomColourStore store;
};

struct KeyboardLightPayload {
    LightSlot slot0;  // light slot 0 with the live record over its first 21 bytes
    CustomSlotWord word;
    CustomColourStore store;

    static constexpr std::size_t kSize = 1958;

    // The payload a save writes, whatever the keyboard kind.
    static KeyboardLightPayload fromLive(const KeyboardLightState& state);

    // Parses a body read from a file. A short body leaves the missing bytes
    // zero; bytes beyond 1958 are ignored.
    static KeyboardLightPayload fromBytes(std::span<const std::uint8_t> body);

    // Loads the payload: slot 0, the live record (taken from the first 21 bytes
    // as they stand), the word and the store. Slots 1..4 are left alone.
    void applyTo(KeyboardLightState& state) const;

    std::array<std::uint8_t, kSize> toBytes() const;

    friend bool operator==(const KeyboardLightPayload&, const KeyboardLightPayload&) = default;
};

static_assert(sizeof(KeyboardLightPayload) == KeyboardLightPayload::kSize);
static_assert(offsetof(KeyboardLightPayload, word) == 64);
static_assert(offsetof(KeyboardLightPayload, store) == 68);
static_assert(std::is_trivially_copyable_v<KeyboardLightPayload>);

}  // namespace korvane::lighting
