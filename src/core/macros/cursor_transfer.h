#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "core/macros/cursor_store.h"

namespace korvane::macros {

// Reads `length` bytes of the mouse's cursor memory from its start; nullopt when the
// transfer fails. The mouse connection passes its commander's cursor read here.
using CursorMemoryReader =
    std::function<std::optional<std::vector<std::uint8_t>>(std::size_t length)>;

enum class ReceiveResult {
    Stored,
    NoImage,       // the header read failed or carries no signature: files unchanged
    ReadFailed,    // the image read failed: files unchanged
    DamagedImage,  // an offset or count points outside the image: files unchanged
    WriteFailed,   // a sequence file could not be replaced
};

// The mouse's own copy of its cursor sequences replaces the files: the 16-byte header
// first, then the whole image it announces, decoded and checked as a whole before any
// file is touched.
ReceiveResult ReceiveCursorImage(CursorStore& store, const CursorMemoryReader& read,
                                 const EventNameLookup& lookup);

}  // namespace korvane::macros
