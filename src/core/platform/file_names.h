#pragma once

#include <string_view>

namespace korvane::platform {

// The one check for names that become file names (profiles, macros, cursor sequences):
// not empty, no path separators ('/' or '\\'), not "." or "..", no control characters,
// no NUL, valid UTF-8, at most 259 UTF-16 code units and at most 251 bytes (so the name
// plus a four-character extension fits a Linux file name). Names must also survive being
// stored and copied: no blank at either end (the index files trim values), none of
// < > : " | ? * and no trailing dot (other systems cannot hold such files). A refused name
// gets a message from the caller; names are never changed to fit.
bool isSafeFileName(std::string_view name);

}  // namespace korvane::platform
