#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/app/device_stores.h"
#include "core/device/device_commander.h"
#include "core/device/device_kind.h"

namespace korvane::app {

class MainWindow;

// What the device reads fetch, taken on the connection thread with the commander's lock
// held and applied on the main thread afterwards. A read that failed leaves its part unset,
// and the store keeps what it held.

struct KeyboardRead {
    std::optional<device::DeviceInfo> info;
    bool tooManyKeys = false;  // 3 × key count above 512: no table was read
    std::uint16_t tableLength = 0;
    std::optional<TableBytes> baseTable;
    std::optional<TableBytes> table;  // onboard profile 0
};

struct MouseRead {
    std::optional<device::DeviceInfo> info;
    std::optional<TableBytes> baseTable;
    std::array<std::optional<TableBytes>, 5> tables;
};

struct MousePadRead {
    std::optional<device::DeviceInfo> info;
    std::array<std::optional<RecordSlot>, 5> slots;
    std::optional<std::uint8_t> activeIndex;
};

// The mouse's cursor memory: the header, and the image it announces when it announces one.
struct CursorRead {
    std::optional<std::vector<std::uint8_t>> header;
    std::optional<std::vector<std::uint8_t>> image;
};

// One active-record re-read: the slot the device names and the 56 bytes read from it.
struct ActiveRecordRead {
    std::optional<std::uint8_t> activeIndex;
    std::uint8_t slot = 0;
    std::optional<RecordSlot> record;
};

inline constexpr std::size_t kRecordReadLength = 56;
inline constexpr std::uint16_t kRecordSlotStride = 64;

// Device side, lock held (the connection thread's pass or a re-read request).
KeyboardRead ReadKeyboardDevice(device::DeviceCommander& keyboard);
MouseRead ReadMouseDevice(device::DeviceCommander& mouse);
MousePadRead ReadMousePadDevice(device::DeviceCommander& mousePad);
CursorRead ReadCursorMemory(device::DeviceCommander& mouse);
// The mouse always re-reads slot 0; the pad the slot its active index names.
ActiveRecordRead ReadMouseActiveRecord(device::DeviceCommander& mouse);
ActiveRecordRead ReadMousePadActiveRecord(device::DeviceCommander& mousePad);

// Main-thread side: the stores, profiles, pages and tabs.
void ApplyKeyboardRead(MainWindow& main, const KeyboardRead& read);
void ApplyMouseRead(MainWindow& main, const MouseRead& read);
void ApplyMousePadRead(MainWindow& main, const MousePadRead& read);
void ApplyMouseActiveRecord(MainWindow& main, const ActiveRecordRead& read);
void ApplyMousePadActiveRecord(MainWindow& main, const ActiveRecordRead& read);
// Keyboard message 0x0B02: the live record back into its slot, then slot 0 and the live
// record cleared.
void StoreKeyboardLightRecord(MainWindow& main);
// Keyboard message 0x0B03, after the base table was read again.
void CaptureKeyboardDefaultKeys(MainWindow& main, const std::optional<TableBytes>& baseTable);

// The connection sequences after the device reads: kind, pages, key pictures, re-seeding,
// profile selection, refreshes, the window and the kind's tab.
void ConnectKeyboard(MainWindow& main, device::DeviceKind kind, const KeyboardRead& read);
void ConnectMouse(MainWindow& main, device::DeviceKind kind, const MouseRead& read);
// The mouse's second half, after its cursor memory was read.
void ConnectMouseCursors(MainWindow& main, device::DeviceKind kind, const CursorRead& read);
void ConnectMousePad(MainWindow& main, const MousePadRead& read);

// The loss steps, main thread, after the connection thread cleared the connected flag.
void KeyboardLost(MainWindow& main);
void MouseLost(MainWindow& main);
void MousePadLost(MainWindow& main);

// The same-mode check box of a device's lighting page is enabled while another device is
// connected. The flags are atomics, so any thread may ask; the box is set on the main thread.
bool OtherDeviceConnected(MainWindow& main, device::DeviceClass deviceClass);
void SetSameModeCheck(MainWindow& main, device::DeviceClass deviceClass, bool enabled);

}  // namespace korvane::app
