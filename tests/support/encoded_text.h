#pragma once

#include <string>
#include <string_view>

namespace korvane::testing {

// Text as another installation stores it in a settings file, built here without the
// program's own conversions.

// UTF-16 with its byte-order mark.
inline std::string encodeUtf16(std::u16string_view text, bool littleEndian) {
    std::string bytes = littleEndian ? "\xFF\xFE" : "\xFE\xFF";
    for (const char16_t c : text) {
        const char lo = static_cast<char>(c & 0xFF);
        const char hi = static_cast<char>(c >> 8);
        bytes.push_back(littleEndian ? lo : hi);
        bytes.push_back(littleEndian ? hi : lo);
    }
    return bytes;
}

// One byte per character, for text within Latin-1 (which Windows-1252 encodes the same).
inline std::string encodeSingleByte(std::u16string_view text) {
    std::string bytes;
    for (const char16_t c : text) {
        bytes.push_back(static_cast<char>(c));
    }
    return bytes;
}

}  // namespace korvane::testing
