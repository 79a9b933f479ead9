#include "cli/hex_text.h"

#include "core/platform/text.h"

#include <charconv>

namespace korvane::cli {
namespace {

int digitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

}  // namespace

std::string formatHex(std::span<const std::uint8_t> bytes, std::size_t bytesPerLine) {
    constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(bytes.size() * 2 + bytes.size() / 16 + 1);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytesPerLine != 0 && i != 0 && i % bytesPerLine == 0) {
            text += '\n';
        }
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0x0F];
    }
    return text;
}

std::optional<std::vector<std::uint8_t>> parseHex(std::string_view text, std::size_t maxBytes) {
    std::vector<std::uint8_t> bytes;
    int high = -1;
    for (const char c : text) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == ':') {
            if (high >= 0) {
                return std::nullopt;  // a separator inside a byte
            }
            continue;
        }
        const int value = digitValue(c);
        if (value < 0) {
            return std::nullopt;
        }
        if (high < 0) {
            high = value;
            continue;
        }
        if (bytes.size() == maxBytes) {
            return std::nullopt;
        }
        bytes.push_back(static_cast<std::uint8_t>((high << 4) | value));
        high = -1;
    }
    if (high >= 0) {
        return std::nullopt;
    }
    return bytes;
}

std::optional<std::uint32_t> parseUnsigned(std::string_view text, std::uint32_t max) {
    const auto value = platform::parseWholeNumber(text);
    if (!value || *value < 0 || *value > max) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(*value);
}

}  // namespace korvane::cli
