#include "core/keys/macro_label_names.h"

#include <algorithm>

#include "core/platform/text.h"

namespace korvane::keys {

std::vector<std::string> ReadMacroLabelNames(const platform::IniFile& macroList) {
    constexpr long kMaxIndexedMacros = 256;
    const long count = std::clamp(macroList.readInt("MACROCOUNT", "count"), 0L, kMaxIndexedMacros);
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(count));
    for (long i = 0; i < count; ++i) {
        names.push_back(macroList.readString("MACRONAME", platform::formatInt(i), ""));
    }
    return names;
}

}  // namespace korvane::keys
