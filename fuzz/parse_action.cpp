// Action texts come from files anyone can edit: parsing must never misbehave, and what
// parses must format back into a text that parses to the same action.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/macros/macro_action.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto action = korvane::macros::ParseAction(text);
    if (!action) {
        return 0;
    }
    if (action->down > 1) {
        std::abort();
    }
    const auto again = korvane::macros::ParseAction(korvane::macros::FormatAction(*action));
    if (!again || again->wireBytes() != action->wireBytes() || again->down != action->down) {
        std::abort();
    }
    return 0;
}
