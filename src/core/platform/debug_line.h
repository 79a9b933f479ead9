#pragma once

#include <functional>
#include <string_view>

namespace korvane::platform {

// One diagnostic line. The texts are the system's own (many of them Chinese),
// passed as UTF-8. Written to stderr only when KORVANE_DEBUG is set, so a user
// can ask for them without a debugger; always handed to an installed sink.
void debugLine(std::string_view text);

// Receives every debug line in addition to stderr; tests install one to check
// what was said. Pass an empty function to remove it. Thread-safe.
using DebugSink = std::function<void(std::string_view)>;
void setDebugSink(DebugSink sink);

}  // namespace korvane::platform
