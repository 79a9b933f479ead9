#pragma once

#include <string>
#include <vector>

#include "core/platform/ini_file.h"

namespace korvane::keys {

// The macro names that MacroRun/MacroRepeat labels show, read from the class's macro list
// file: MACRONAME "0" .. count − 1 with count = MACROCOUNT "count". A count that is not a
// number or negative gives no names; counts above 256 stop at 256, since a record's macro
// index is one byte. A missing name reads as empty text.
std::vector<std::string> ReadMacroLabelNames(const platform::IniFile& macroList);

}  // namespace korvane::keys
