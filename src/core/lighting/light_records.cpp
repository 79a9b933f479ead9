#include "core/lighting/light_records.h"

namespace korvane::lighting {

bool loadLightSlot(const LightSlots& slots, std::size_t slot, KeyboardLightRecord& live) {
    if (slot >= slots.size()) {
        return false;
    }
    live = slots[slot].record;
    live.onboardProfile = static_cast<std::uint8_t>(slot);
    return true;
}

bool saveLightSlot(LightSlots& slots, const KeyboardLightRecord& live) {
    if (live.onboardProfile >= slots.size()) {
        return false;
    }
    slots[live.onboardProfile].record = live;
    return true;
}

}  // namespace korvane::lighting
