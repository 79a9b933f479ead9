#include "core/keys/scroll_parameters.h"

#include <algorithm>

namespace korvane::keys {
namespace {

std::uint8_t nibbles(const ScrollSetting& s) {
    return static_cast<std::uint8_t>((std::clamp(s.highNibble, 0, 15) << 4) |
                                     std::clamp(s.lowNibble, 0, 15));
}

}  // namespace

KeyFunction encodeHorizontalScroll(const ScrollSetting& setting) {
    const int amount = std::clamp(setting.amount, 0, 127);
    const int p2 = setting.direction != 0 ? amount + 128 : amount;
    return {KeyFunctionType::kHorizontalScroll, nibbles(setting), static_cast<std::uint8_t>(p2)};
}

KeyFunction encodeVerticalScroll(const ScrollSetting& setting) {
    const int amount = std::clamp(setting.amount, 0, 127);
    const int p2 = setting.direction != 0 ? 256 - amount : amount;
    return {KeyFunctionType::kVerticalScroll, nibbles(setting),
            static_cast<std::uint8_t>(p2 & 0xFF)};
}

ScrollSetting decodeScroll(const KeyFunction& record) {
    ScrollSetting s;
    s.highNibble = record.p1 >> 4;
    s.lowNibble = record.p1 & 0x0F;
    s.direction = (record.p2 & 0x80) != 0 ? 1 : 0;
    if (record.type == KeyFunctionType::kVerticalScroll) {
        s.amount = s.direction != 0 ? 128 - (record.p2 & 0x7F) : record.p2;
    } else {
        s.amount = record.p2 & 0x7F;
    }
    return s;
}

}  // namespace korvane::keys
