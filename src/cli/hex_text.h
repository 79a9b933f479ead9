#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace korvane::cli {

// Lowercase hex digits, a line break after every bytesPerLine bytes (0 = one line).
std::string formatHex(std::span<const std::uint8_t> bytes, std::size_t bytesPerLine = 32);

// Pairs of hex digits; spaces, tabs, line breaks and ':' between them are ignored, so that
// formatHex output can be fed back. nullopt on any other character, an odd digit count or
// more than maxBytes bytes.
std::optional<std::vector<std::uint8_t>> parseHex(std::string_view text, std::size_t maxBytes);

// A decimal or 0x-prefixed hexadecimal number up to max.
std::optional<std::uint32_t> parseUnsigned(std::string_view text, std::uint32_t max);

}  // namespace korvane::cli
