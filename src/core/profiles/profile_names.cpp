#include "core/profiles/profile_names.h"

#include <algorithm>

#include "core/platform/text.h"

namespace korvane::profiles {

bool nameTaken(const std::vector<std::string>& names, std::string_view name) {
    return std::any_of(names.begin(), names.end(), [&](const std::string& existing) {
        return platform::equalsIgnoreCase(existing, name);
    });
}

std::string newProfileName(const std::vector<std::string>& names) {
    // A list of n names leaves one of the first n + 1 numbers free.
    for (std::size_t number = 1;; ++number) {
        std::string candidate = "New Profile " + std::to_string(number);
        if (!nameTaken(names, candidate)) {
            return candidate;
        }
    }
}

std::string copyName(std::string_view name, const std::vector<std::string>& names) {
    std::string candidate = std::string(name) + " copy";
    while (nameTaken(names, candidate)) {
        candidate += " copy";
    }
    return candidate;
}

}  // namespace korvane::profiles
