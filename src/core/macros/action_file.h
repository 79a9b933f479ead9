#pragma once

#include <cstddef>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/macros/sequence_image.h"

namespace korvane::macros {

// Macro files (".mac") and cursor sequence files (".cur") share one INI layout:
//   [MACROACTIONCOUNT] count=<number of actions>
//   [MACROACTION]      0=<action text>, 1=..., up to count − 1
inline constexpr std::string_view kActionCountSection = "MACROACTIONCOUNT";
inline constexpr std::string_view kActionSection = "MACROACTION";
inline constexpr std::string_view kCountKey = "count";

// The most actions one sequence can carry in a device image (its size field is 16 bits).
// A file claiming more is damaged: only this many keys are ever read from it.
inline constexpr std::size_t kMaxFileActions =
    (kMaxImageSize - kImageHeaderSize - 2 - kImageBodyHeaderSize) / kImageActionSize;

// The "count" of the file, with a missing file, a missing key or a negative or
// non-numeric value reading as 0.
std::uint64_t ReadActionCount(const std::filesystem::path& file);

// Action text of key `index`; "0" (not an action) when the file or key is missing.
std::string ReadActionText(const std::filesystem::path& file, std::size_t index);

// The texts of keys 0 .. count − 1 (at most kMaxFileActions of them).
std::vector<std::string> ReadActionFile(const std::filesystem::path& file);

// Replaces the file as a whole with the count and the given texts, atomically, with the
// CR LF line ends the INI layer writes. Line breaks and NULs cannot be stored in a value
// and are dropped.
bool WriteActionFile(const std::filesystem::path& file, std::span<const std::string> texts);

// Rewrites one action key of an existing layout, leaving the count and the other keys.
bool WriteActionText(const std::filesystem::path& file, std::size_t index, std::string_view text);

}  // namespace korvane::macros
