#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace korvane::profiles {

// Profile names of one list are unique ignoring case (the files of "A" and "a" would be one
// file on the systems the profiles come from).
bool nameTaken(const std::vector<std::string>& names, std::string_view name);

// "New Profile 1", or the first "New Profile N" (N = 2, 3, ...) that no name of the list takes.
std::string newProfileName(const std::vector<std::string>& names);

// "NAME copy", with " copy" added again while the list already has that name
// ("A copy copy", ...).
std::string copyName(std::string_view name, const std::vector<std::string>& names);

}  // namespace korvane::profiles
