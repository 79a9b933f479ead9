#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "core/macros/macro_action.h"

namespace korvane::macros {

// The text ID of an event read back from a device: mouse buttons and moves by their own
// IDs, modifier and keyboard keys by the ordinary key rows of the key code table. Empty when
// nothing matches (HID usages 0x32 and 0x64 have no row, for one).
std::string EventNameFor(std::uint8_t kind, std::uint8_t code);

// The action an ordinary key (key code table rows 0..103) records: kind 0x0A with its usage,
// or kind 0x09 with its modifier bit for the modifier rows, press flag in bit 7 and in down.
// nullopt for rows outside the ordinary keys.
std::optional<MacroAction> MakeKeyAction(std::size_t row, bool press);

}  // namespace korvane::macros
