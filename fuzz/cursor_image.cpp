// Cursor images come from the mouse: decoding must stay inside the buffer, the result can
// never outgrow it, and a decoded image built again gives the same sequences.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "core/macros/action_file.h"
#include "core/macros/cursor_store.h"
#include "core/macros/event_names.h"
#include "core/macros/sequence_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace korvane::macros;
    const std::span<const std::uint8_t> image(data, size);
    const auto sequences = ParseSequenceImage(image);
    if (!sequences) {
        return 0;
    }
    std::size_t actions = 0;
    std::vector<std::vector<std::string>> texts;
    for (const auto& sequence : *sequences) {
        actions += sequence.size();
        auto& sequenceTexts = texts.emplace_back();
        for (const auto& bytes : sequence) {
            sequenceTexts.push_back(FormatAction(ActionFromWire(bytes, EventNameFor)));
        }
    }
    if (kImageHeaderSize + 6 * sequences->size() + 4 * actions > size) {
        std::abort();
    }
    const auto rebuilt = BuildSequenceImage(texts);
    if (!rebuilt || ParseSequenceImage(*rebuilt) != sequences) {
        std::abort();
    }
    return 0;
}
