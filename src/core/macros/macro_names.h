#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace korvane::macros {

// The index of the first macro named `name`, compared without regard to case; `except` is
// left out (the macro being renamed).
std::optional<std::size_t> FindMacroName(std::span<const std::string> names, std::string_view name,
                                         std::optional<std::size_t> except = std::nullopt);

// The name a new macro gets: "Macro_%d" with the number of macros + 1, counted up while a
// macro of that name exists.
std::string NextMacroName(std::span<const std::string> names);

}  // namespace korvane::macros
