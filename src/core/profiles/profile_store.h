#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <type_traits>

#include "core/device/device_kind.h"
#include "core/lighting/keyboard_light_payload.h"
#include "core/lighting/light_records.h"

namespace korvane::profiles {

// The body of a mouse light profile: the settings record, the system pointer and wheel
// speeds, and bytes that are carried from the last load back into the next save.
struct MouseLightRecord {
    lighting::MouseSettingsRecord settings;
    std::uint8_t pointerSpeed = 0;  // 0 is read as 1
    std::uint8_t wheelSpeed = 0;    // 0 is read as 1
    std::array<std::uint8_t, 39> carried{};

    friend bool operator==(const MouseLightRecord&, const MouseLightRecord&) = default;
};
static_assert(sizeof(MouseLightRecord) == 64);
static_assert(offsetof(MouseLightRecord, pointerSpeed) == 23);
static_assert(std::is_trivially_copyable_v<MouseLightRecord>);

struct MousePadLightRecord {
    lighting::MousePadSettingsRecord settings;
    std::array<std::uint8_t, 43> carried{};

    friend bool operator==(const MousePadLightRecord&, const MousePadLightRecord&) = default;
};
static_assert(sizeof(MousePadLightRecord) == 64);
static_assert(std::is_trivially_copyable_v<MousePadLightRecord>);

// The live mouse lighting state a light profile is loaded into; the application owns one.
struct MouseLightState {
    MouseLightRecord kept;  // the last loaded body, for the carried bytes
    lighting::MouseSettingsRecord live;
    std::uint8_t pointerSpeed = 0;
    std::uint8_t wheelSpeed = 0;
};

struct MousePadLightState {
    MousePadLightRecord kept;
    lighting::MousePadSettingsRecord live;
};

// A key profile body: the 512-byte key table of onboard profile 0, as bytes.
using KeyTableBytes = std::span<std::uint8_t, 512>;
using ConstKeyTableBytes = std::span<const std::uint8_t, 512>;

// Body moves between the bytes of a file and the live state. A load leaves the state
// alone unless it succeeds.
void applyMouseLightBody(const MouseLightRecord& body, MouseLightState& state);
MouseLightRecord mouseLightBody(const MouseLightState& state);
void applyMousePadLightBody(const MousePadLightRecord& body, MousePadLightState& state);
MousePadLightRecord mousePadLightBody(const MousePadLightState& state);

// Loads of the profile at a position of its list: the name is read from the index, the
// file of that name is read into the live state. Returns the ReadProfileFile result; a
// failure leaves the state unchanged and says so on the debug output only. A name that is
// not a plain file name reads as a missing file.
int LoadKeyboardLight(long position, lighting::KeyboardLightState& state);
int LoadKeyboardKeys(long position, KeyTableBytes table);
int LoadMouseLight(long position, MouseLightState& state);
int LoadMouseKeys(long position, KeyTableBytes table);
int LoadMousePadLight(long position, MousePadLightState& state);

// Saves into the file of the selected profile of the list (its "select" position). The
// result says whether a file was written; failures leave a debug line. Nothing is written
// while the list's index exists but cannot be read: the selection is unknown and the file
// written could be another profile's.
bool SaveKeyboardLight(const lighting::KeyboardLightState& state);
bool SaveKeyboardKeys(ConstKeyTableBytes table);
bool SaveMouseLight(const MouseLightState& state);
bool SaveMouseKeys(ConstKeyTableBytes table);
bool SaveMousePadLight(const MousePadLightState& state);

// Keeps the keyboard's base key table as the default key profile of its kind
// ("kbkeydefault.pro", ...), so new and reset key profiles start from what the attached
// keyboard holds. It goes into the program folder when that folder can be written and is not
// the source tree's data/ (whose files are committed); otherwise into the data folder
// (capturedKeyProfilePath), where defaultProfilePath finds it first. False when the kind is
// no keyboard or the write failed.
bool CaptureDefaultKeyProfile(device::DeviceKind keyboardKind, ConstKeyTableBytes baseTable);

}  // namespace korvane::profiles
