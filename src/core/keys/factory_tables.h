#pragma once

#include <array>
#include <cstdint>

#include "core/device/device_kind.h"

namespace korvane::keys {

// The base key table a device of that kind holds from the factory (what ReadBaseTable answers),
// as the 512-byte table body: 170 three-byte records, then 2 zero bytes.
//  - Keyboards: record j is the function of one physical key; every key shown on the picture
//    carries the function kKeyboardPictureLayout gives its position, so the picture maps onto
//    the records. Records from FactoryKeyCount(kind) on are NoFunction.
//  - Mice: left, middle (wheel), right, forward, back, DPI cycle, then NoFunction.
//  - Mouse pad: it has no keys; every record is NoFunction.
std::array<std::uint8_t, 512> FactoryBaseTable(device::DeviceKind kind);

// The key count the device reports in DeviceInfo byte 5: the number of used records of the
// keyboard's base table; 6 buttons for the mice; 0 for the mouse pad.
int FactoryKeyCount(device::DeviceKind kind);

}  // namespace korvane::keys
