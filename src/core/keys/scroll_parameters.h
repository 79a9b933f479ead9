#pragma once

#include <cstdint>

#include "core/keys/key_function.h"

namespace korvane::keys {

// The editor's view of a HorizontalScroll or VerticalScroll record. Direction 0 is left
// (horizontal) or up (vertical), 1 is right or down.
struct ScrollSetting {
    int highNibble = 0;  // 0..15
    int lowNibble = 0;   // 0..15
    int direction = 0;   // 0 or 1
    int amount = 0;      // 0..127
};

// Out-of-range values are clamped to their ranges (as the editor corrects its boxes).
// Horizontal: P2 = amount, plus 128 to the right (sign and magnitude).
KeyFunction encodeHorizontalScroll(const ScrollSetting& setting);
// Vertical: P2 = amount up, 256 − amount down (two's complement).
KeyFunction encodeVerticalScroll(const ScrollSetting& setting);

// Reads a 0x11 or 0x12 record back; the type byte decides the encoding. A vertical P2 of
// 0x80 reads as 128 down.
ScrollSetting decodeScroll(const KeyFunction& record);

}  // namespace korvane::keys
