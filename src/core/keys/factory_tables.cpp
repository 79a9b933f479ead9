#include "core/keys/factory_tables.h"

#include <algorithm>
#include <cstddef>
#include <span>
#include <vector>

#include "core/keys/key_function.h"
#include "core/keys/keyboard_picture_layout.h"

namespace korvane::keys {
namespace {

using device::DeviceKind;

constexpr std::size_t kRecords = 170;

// Picture positions of keys the keyboard does not have.
constexpr std::array<std::uint8_t, 1> kNoIsoKey{102};         // the key left of Z
constexpr std::array<std::uint8_t, 2> kNoIsoNoApp{102, 111};  // ... and the menu key

// Media keys of the membrane keyboard. They are not on the picture; the keyboard lists
// them before its ordinary keys, so its record numbers differ from the picture order.
constexpr std::array<KeyFunction, 3> kMembraneMediaKeys{consumerKey(0x00E2), consumerKey(0x00EA),
                                                        consumerKey(0x00E9)};

constexpr std::array<KeyFunction, 6> kMouseButtons{
    mouseButton(MouseButtonBit::kLeft),  mouseButton(MouseButtonBit::kMiddle),
    mouseButton(MouseButtonBit::kRight), mouseButton(MouseButtonBit::kForward),
    mouseButton(MouseButtonBit::kBack),  KeyFunction{KeyFunctionType::kDpiControl, 0x03, 0x00},
};

struct KeyboardFactoryData {
    std::span<const KeyFunction> leadingRecords;  // records before the picture keys
    std::span<const std::uint8_t> missingPositions;
};

KeyboardFactoryData keyboardData(DeviceKind kind) {
    switch (kind) {
        case DeviceKind::RgbKeyboard:
            return {{}, {}};
        case DeviceKind::MonoKeyboard:
            return {{}, kNoIsoNoApp};
        case DeviceKind::RegionKeyboard:
            return {{}, kNoIsoKey};
        case DeviceKind::MembraneKeyboard:
            return {kMembraneMediaKeys, kNoIsoNoApp};
        default:
            return {{}, {}};
    }
}

bool isKeyboard(DeviceKind kind) {
    return device::modelOf(kind).deviceClass == device::DeviceClass::Keyboard;
}

std::vector<KeyFunction> usedRecords(DeviceKind kind) {
    std::vector<KeyFunction> records;
    if (isKeyboard(kind)) {
        const auto data = keyboardData(kind);
        records.assign(data.leadingRecords.begin(), data.leadingRecords.end());
        for (std::size_t pos = 0; pos < kPicturePositions; ++pos) {
            const bool missing =
                std::find(data.missingPositions.begin(), data.missingPositions.end(), pos) !=
                data.missingPositions.end();
            if (isKeyPosition(pos) && !missing) {
                records.push_back(kKeyboardPictureLayout[pos]);
            }
        }
    } else if (device::modelOf(kind).deviceClass == device::DeviceClass::Mouse) {
        records.assign(kMouseButtons.begin(), kMouseButtons.end());
    }
    return records;
}

}  // namespace

std::array<std::uint8_t, 512> FactoryBaseTable(DeviceKind kind) {
    std::array<std::uint8_t, 512> table{};
    auto records = usedRecords(kind);
    records.resize(kRecords, kNoFunction);
    for (std::size_t i = 0; i < kRecords; ++i) {
        table[3 * i] = records[i].type;
        table[3 * i + 1] = records[i].p1;
        table[3 * i + 2] = records[i].p2;
    }
    return table;
}

int FactoryKeyCount(DeviceKind kind) {
    return static_cast<int>(usedRecords(kind).size());
}

}  // namespace korvane::keys
