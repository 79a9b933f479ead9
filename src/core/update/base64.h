#pragma once

#include <string>
#include <string_view>

namespace korvane::update {

// Base64 with the standard alphabet and '=' padding (RFC 4648, section 4).
std::string EncodeBase64(std::string_view bytes);

}  // namespace korvane::update
