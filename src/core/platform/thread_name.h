#pragma once

#include <string_view>

namespace korvane::platform {

// Names the calling thread as debuggers and `top -H` show it ("kv-…"); the system keeps at
// most 15 bytes of it.
void nameThisThread(std::string_view name);

}  // namespace korvane::platform
