#include "core/device/parse_hex_tag.h"

#include <algorithm>
#include <cctype>

namespace korvane::device {

namespace {

char lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    const char l = lower(c);
    if (l >= 'a' && l <= 'f') {
        return l - 'a' + 10;
    }
    return -1;
}

}  // namespace

std::uint16_t ParseHexTag(std::string_view text, std::string_view tag) {
    if (tag.empty()) {
        return 0;
    }
    const auto hit = std::search(text.begin(), text.end(), tag.begin(), tag.end(),
                                 [](char a, char b) { return lower(a) == lower(b); });
    if (hit == text.end()) {
        return 0;
    }
    std::string_view rest = text.substr(static_cast<std::size_t>(hit - text.begin()) + tag.size());
    // The number is read the way a "%x" conversion reads it: leading blanks, an optional
    // sign and an optional 0x prefix are taken.
    while (!rest.empty() && std::isspace(static_cast<unsigned char>(rest.front()))) {
        rest.remove_prefix(1);
    }
    bool negative = false;
    if (!rest.empty() && (rest.front() == '-' || rest.front() == '+')) {
        negative = rest.front() == '-';
        rest.remove_prefix(1);
    }
    if (rest.size() > 2 && rest[0] == '0' && lower(rest[1]) == 'x' && hexDigit(rest[2]) >= 0) {
        rest.remove_prefix(2);
    }
    std::uint32_t value = 0;
    for (char c : rest) {
        const int digit = hexDigit(c);
        if (digit < 0) {
            break;
        }
        value = (value << 4) | static_cast<std::uint32_t>(digit);
    }
    if (negative) {
        value = 0u - value;
    }
    return static_cast<std::uint16_t>(value & 0xFFFF);
}

}  // namespace korvane::device
