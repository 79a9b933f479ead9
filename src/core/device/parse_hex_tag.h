#pragma once

#include <cstdint>
#include <string_view>

namespace korvane::device {

// Finds tag in text without regard to case and reads the hexadecimal number that follows it
// ("vid_0c45" → 0x0C45). The low 16 bits of the number; 0 when the tag is absent or no
// digits follow.
std::uint16_t ParseHexTag(std::string_view text, std::string_view tag);

}  // namespace korvane::device
