#pragma once

#include <array>
#include <filesystem>
#include <string_view>

#include "core/device/device_kind.h"
#include "core/profiles/profile_index.h"

namespace korvane::profiles {

// The default profile files shipped in the program folder, by device model.
struct DefaultProfileFiles {
    device::DeviceKind kind;
    std::string_view light;
    std::string_view keys;  // empty for the mouse pad, which has no key list
};

inline constexpr std::array<DefaultProfileFiles, 8> kDefaultProfileFiles{{
    {device::DeviceKind::RgbKeyboard, "kbdengdefault.led", "kbkeydefault.pro"},
    {device::DeviceKind::MonoKeyboard, "kbonecolordengdefault.led", "kbkeyonecolordefault.pro"},
    {device::DeviceKind::RegionKeyboard, "kbdengregiondefault.led", "kbkeyfilmdefault.pro"},
    // The membrane keyboard lists its keys in another order than the region keyboard, so
    // it cannot share the region keyboard's key table.
    {device::DeviceKind::MembraneKeyboard, "kbdengregiondefault.led", "kbkeymembranedefault.pro"},
    {device::DeviceKind::Mouse, "msdengdefault.led", "mskeydefault.pro"},
    {device::DeviceKind::MouseAlt, "msdengdefault2.led", "mskeydefault.pro"},
    {device::DeviceKind::Mouse2, "msdengdefault3.led", "mskeydefault.pro"},
    {device::DeviceKind::MousePad, "mpdengdefault.led", ""},
}};

// The first-run seed of the mouse pad's light list is opened by this spelling; the
// case-insensitive lookup of resolveProfilePath finds the shipped "mpdengdefault.led".
inline constexpr std::string_view kMousePadSeedName = "mpdengdefault.Led";

// Where the first-run seeding leaves the bodies that a later connection of another model
// puts into "New Profile 1.led" (see ReseedOnConnect).
inline constexpr std::string_view kKeyboardMonoStash = "Profile";     // kb, from the mono default
inline constexpr std::string_view kKeyboardRegionStash = "Profile2";  // kb, from the region default
inline constexpr std::string_view kMouseStash = "Profile";            // ms, from the Mouse2 default

// The default file of a list for a device model (new, reset and seeding). Empty when the
// model's class has no such list. A model of another class than the list is answered with
// the class's first model.
std::string_view defaultProfileFile(ProfileList list, device::DeviceKind kind);

// Where the default file of a list for a model is read from: ProgramFolder() /
// defaultProfileFile(list, kind), except for a keyboard key profile captured from an
// attached keyboard into the data folder (capturedKeyProfilePath), which wins while it
// exists.
std::filesystem::path defaultProfilePath(ProfileList list, device::DeviceKind kind);

// DataRoot() / the kind's default key profile file: where a captured default key profile
// goes when the program folder must not be written (see CaptureDefaultKeyProfile).
std::filesystem::path capturedKeyProfilePath(device::DeviceKind keyboardKind);

}  // namespace korvane::profiles
