#include "core/lighting/keyboard_light_payload.h"

#include <algorithm>

namespace korvane::lighting {

KeyboardLightPayload KeyboardLightPayload::fromLive(const KeyboardLightState& state) {
    KeyboardLightPayload payload;
    payload.slot0 = state.slots[0];
    payload.slot0.record = state.live;
    payload.word = state.word;
    payload.store = state.store;
    return payload;
}

KeyboardLightPayload KeyboardLightPayload::fromBytes(std::span<const std::uint8_t> body) {
    return recordFromBytes<KeyboardLightPayload>(body);
}

void KeyboardLightPayload::applyTo(KeyboardLightState& state) const {
    state.slots[0] = slot0;
    state.live = slot0.record;
    state.word = word;
    state.store = store;
}

std::array<std::uint8_t, KeyboardLightPayload::kSize> KeyboardLightPayload::toBytes() const {
    std::array<std::uint8_t, kSize> bytes{};
    const auto view = bytesOf(*this);
    std::copy(view.begin(), view.end(), bytes.begin());
    return bytes;
}

}  // namespace korvane::lighting
