#include "core/macros/macro_names.h"

#include "core/platform/text.h"

namespace korvane::macros {

std::optional<std::size_t> FindMacroName(std::span<const std::string> names, std::string_view name,
                                         std::optional<std::size_t> except) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i != except && platform::equalsIgnoreCase(names[i], name)) {
            return i;
        }
    }
    return std::nullopt;
}

std::string NextMacroName(std::span<const std::string> names) {
    // At most names.size() numbers are taken, so this ends within that many steps.
    for (std::size_t number = names.size() + 1;; ++number) {
        std::string name = "Macro_" + std::to_string(number);
        if (!FindMacroName(names, name)) {
            return name;
        }
    }
}

}  // namespace korvane::macros
