#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvane::update {

// Server versions at or above these are not believed: ignored for the update hint and
// shown as "unknown".
inline constexpr long kSoftwareVersionLimit = 500;
inline constexpr long kFirmwareVersionLimit = 300;

// A decimal number as the service's answers and the updater's reports write it: an optional
// sign and at most nine digits, nothing else.
std::optional<long> DecimalNumber(std::string_view text);

// The numeric form of a version text ("1.2.10" → 1210): the dots removed, the rest read as a
// decimal number. Only digits and dots make a version; an empty text, any other character
// (blanks included) or more than nine digits is none.
std::optional<long> VersionNumber(std::string_view text);

// A server version below the limit, else none.
std::optional<long> PlausibleVersion(std::string_view text, long limit);

// A device's 16-bit version word printed as "%x" and read back as a decimal number
// (0x0105 → 105); the reading stops at the first hexadecimal letter.
long FirmwareNumber(std::uint16_t word);
// The same digits with dots after the first and the second ("1.0.5").
std::string FirmwareDisplay(std::uint16_t word);
// "V" and the digits ("V105"), as the update window shows an installed firmware.
std::string FirmwareLabel(std::uint16_t word);

}  // namespace korvane::update
