#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace korvane::device {

// The models of the family. Keyboards and mice have their own kind numbers
// (KeyboardKind 0..3, mouse kind 0..2); the mouse pad has one model.
enum class DeviceKind : std::uint8_t {
    RgbKeyboard,
    MonoKeyboard,
    RegionKeyboard,
    MembraneKeyboard,
    Mouse,
    MouseAlt,
    Mouse2,
    MousePad,
};

enum class DeviceClass : std::uint8_t { Keyboard, Mouse, MousePad };

inline constexpr std::uint16_t kVendorPrimary = 0x0C45;
inline constexpr std::uint16_t kVendorSecondary = 0x320F;

struct DeviceModel {
    DeviceKind kind;
    DeviceClass deviceClass;
    int classKind;  // KeyboardKind 0..3, mouse kind 0..2, 0 for the pad
    std::uint16_t productId;
    std::string_view tab;         // tab control of the main window, empty when none
    std::string_view updatePage;  // page of the update window, empty when none
    std::string_view keyPicturePrefix;
    std::string_view defaultKeyProfile;  // file in the program folder, empty when none
    std::string_view cliName;            // model name on command lines
};

inline constexpr std::array<DeviceModel, 8> kDeviceModels{{
    {DeviceKind::RgbKeyboard, DeviceClass::Keyboard, 0, 0x8611, "kb_tab", "rgb_page", "kb_dkey_",
     "kbkeydefault.pro", "rgb-keyboard"},
    {DeviceKind::MonoKeyboard, DeviceClass::Keyboard, 1, 0x6556, "kb_onecolor_tab", "blue_page",
     "kb_dkey_", "kbkeyonecolordefault.pro", "mono-keyboard"},
    {DeviceKind::RegionKeyboard, DeviceClass::Keyboard, 2, 0x6523, "kb_film_tab", "region_page",
     "kb_fkey_", "kbkeyfilmdefault.pro", "region-keyboard"},
    {DeviceKind::MembraneKeyboard, DeviceClass::Keyboard, 3, 0x5006, "kb_membrane_tab",
     "ZR530X_page", "kb_mkey_", "kbkeymembranedefault.pro", "membrane-keyboard"},
    {DeviceKind::Mouse, DeviceClass::Mouse, 0, 0x5523, "ms_tab", "ms_page", "ms_dkey_", "",
     "mouse"},
    {DeviceKind::MouseAlt, DeviceClass::Mouse, 1, 0x6656, "", "", "", "", "mouse-alt"},
    {DeviceKind::Mouse2, DeviceClass::Mouse, 2, 0x764D, "ms2_tab", "MS2_page", "ms2_dkey_", "",
     "mouse2"},
    {DeviceKind::MousePad, DeviceClass::MousePad, 0, 0x5104, "mp_tab", "", "mp_dkey_", "",
     "mousepad"},
}};

constexpr const DeviceModel& modelOf(DeviceKind kind) {
    return kDeviceModels[static_cast<std::size_t>(kind)];
}

constexpr std::optional<DeviceKind> kindFromProductId(std::uint16_t productId) {
    for (const auto& m : kDeviceModels) {
        if (m.productId == productId) {
            return m.kind;
        }
    }
    return std::nullopt;
}

constexpr std::optional<DeviceKind> kindFromCliName(std::string_view name) {
    for (const auto& m : kDeviceModels) {
        if (m.cliName == name) {
            return m.kind;
        }
    }
    return std::nullopt;
}

}  // namespace korvane::device
