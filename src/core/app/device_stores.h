#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "core/device/report64.h"
#include "core/keys/picture_key_map.h"
#include "core/lighting/keyboard_light_payload.h"
#include "core/lighting/light_records.h"
#include "core/profiles/profile_store.h"

namespace korvane::app {

using TableBytes = std::array<std::uint8_t, 512>;
using RecordSlot = std::array<std::uint8_t, 64>;

// The in-memory copies of what the devices hold and what the editors work on. Owned by
// the main window and touched on the main thread only; effect threads get snapshots.
struct DeviceStores {
    device::DeviceInfo keyboardInfo;
    TableBytes keyboardBaseTable{};
    TableBytes keyboardTable{};  // onboard profile 0
    lighting::KeyboardLightState keyboardLight;

    device::DeviceInfo mouseInfo;
    TableBytes mouseBaseTable{};
    // The built-in defaults apply until a mouse's base table was read.
    bool mouseBaseRead = false;
    std::array<TableBytes, 5> mouseTables{};
    std::array<RecordSlot, 5> mouseSettingsSlots{};
    lighting::MouseSettingsRecord mouseSettings;

    device::DeviceInfo mousePadInfo;
    std::array<RecordSlot, 5> mousePadSlots{};
    lighting::MousePadSettingsRecord mousePadSettings;

    lighting::SyncLightSettings sync;

    // Filled by the connection sequences and the profile loads: the keyboard's picture
    // positions, and what the selected mouse and mouse-pad light profiles carry besides
    // the live records above (the last loaded body, pointer and wheel speed).
    keys::PictureKeyMap keyboardPictureMap;
    profiles::MouseLightRecord mouseLightKept;
    std::uint8_t pointerSpeed = 0;
    std::uint8_t wheelSpeed = 0;
    profiles::MousePadLightRecord mousePadLightKept;
};

// Which models are attached, as the connection sequences set it; read by every page and
// effect, so kept as atomics.
struct CurrentKinds {
    std::atomic<int> keyboardKind{0};  // KeyboardKind 0..3
    std::atomic<int> mouseKind{0};     // 0 Mouse, 1 MouseAlt, 2 Mouse2
    std::atomic<int> keyboardShown{0};
    std::atomic<int> mouseShown{0};
    std::atomic<std::uint16_t> keyboardFirmware{0};
    std::atomic<std::uint16_t> mouseFirmware{0};
};

}  // namespace korvane::app
