#include "core/platform/file_names.h"

#include "core/platform/text.h"

namespace korvane::platform {
namespace {

// Linux file names are limited to 255 bytes; the name gets an extension of four
// (".led", ".pro", ".mac", ".cur") before it reaches the file system.
constexpr std::size_t kMaxNameBytes = 255 - 4;
constexpr std::size_t kMaxNameUnits = 259;

// Characters a profile file copied to another system could not be named with.
constexpr std::u16string_view kNotPortable = u"<>:\"|?*";

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

}  // namespace

bool isSafeFileName(std::string_view name) {
    if (name.empty() || name == "." || name == ".." || name.size() > kMaxNameBytes) {
        return false;
    }
    if (isBlank(name.front()) || isBlank(name.back()) || name.back() == '.') {
        return false;
    }
    const std::u16string units = utf8ToUtf16(name);
    // Bytes that are not UTF-8 would not survive the round trip through the index files.
    if (units.size() > kMaxNameUnits || utf16ToUtf8(units) != name) {
        return false;
    }
    for (const char16_t c : units) {
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == u'/' || c == u'\\' ||
            kNotPortable.find(c) != std::u16string_view::npos) {
            return false;
        }
    }
    return true;
}

}  // namespace korvane::platform
