#include "core/update/versions.h"

#include <cstdio>

namespace korvane::update {
namespace {

constexpr std::size_t kMaxDigits = 9;

std::string hexDigits(std::uint16_t word) {
    char text[8] = {};
    std::snprintf(text, sizeof text, "%x", static_cast<unsigned>(word));
    return text;
}

}  // namespace

std::optional<long> DecimalNumber(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || text.size() > kMaxDigits) {
        return std::nullopt;
    }
    long value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    return negative ? -value : value;
}

std::optional<long> VersionNumber(std::string_view text) {
    long value = 0;
    std::size_t digits = 0;
    for (const char c : text) {
        if (c == '.') {
            continue;
        }
        if (c < '0' || c > '9' || ++digits > kMaxDigits) {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    if (digits == 0) {
        return std::nullopt;
    }
    return value;
}

std::optional<long> PlausibleVersion(std::string_view text, long limit) {
    const std::optional<long> number = VersionNumber(text);
    if (!number || *number >= limit) {
        return std::nullopt;
    }
    return number;
}

long FirmwareNumber(std::uint16_t word) {
    long value = 0;
    for (const char c : hexDigits(word)) {
        if (c < '0' || c > '9') {
            break;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

std::string FirmwareDisplay(std::uint16_t word) {
    std::string digits = hexDigits(word);
    if (digits.size() > 2) {
        digits.insert(2, 1, '.');
    }
    if (digits.size() > 1) {
        digits.insert(1, 1, '.');
    }
    return digits;
}

std::string FirmwareLabel(std::uint16_t word) {
    return "V" + hexDigits(word);
}

}  // namespace korvane::update
