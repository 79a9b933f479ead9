#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "core/macros/macro_store.h"

namespace korvane::macros {

// The device's macro memory: byte 6 of its information record, in 128-byte units.
inline constexpr std::uint64_t kMacroMemoryUnit = 128;

// The bytes written into a device's macro memory (layout in sequence_image.h).
using MacroImage = std::vector<std::uint8_t>;

// What a download of the class's macros would send. The editor shows the messages:
// "message_text_16" with actionsToRemove for TooLarge, "message_text_7" for OutOfMemory.
struct MacroDownloadPlan {
    enum class Outcome {
        NoMacros,     // nothing to write into the macro memory; the key table still goes
        Ready,        // image holds the bytes for the macro memory
        TooLarge,     // nothing may be sent, not even the key table
        OutOfMemory,  // likewise
    };
    Outcome outcome = Outcome::NoMacros;
    MacroImage image;
    std::uint64_t imageSize = 0;        // S, also when refused
    std::uint64_t actionsToRemove = 0;  // (S − C) / 4 + 1 when TooLarge
};

// The capacity check alone: the number of actions to remove, or 0 when S fits C bytes.
std::uint64_t ActionsOverCapacity(std::uint64_t imageSize, std::uint64_t capacityBytes);

// Reads the list and the action counts of every macro, checks the image against the
// device's memory (memoryUnits × 128 bytes) before any action is read, and lays out the
// image. A text that is not an action contributes four zero bytes.
MacroDownloadPlan PrepareMacroDownload(const MacroStore& store, std::uint8_t memoryUnits);

}  // namespace korvane::macros
