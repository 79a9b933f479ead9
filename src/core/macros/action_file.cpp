#include "core/macros/action_file.h"

#include <algorithm>

#include "core/platform/atomic_file.h"
#include "core/platform/ini_document.h"
#include "core/platform/ini_file.h"
#include "core/platform/text.h"

namespace korvane::macros {

namespace {

// A file of kMaxFileActions actions is well under a megabyte; the INI layer reads files up
// to this size as well.
constexpr std::size_t kMaxActionFileBytes = 4 * 1024 * 1024;

bool storable(char c) {
    return c != '\n' && c != '\r' && c != '\0';
}

}  // namespace

std::uint64_t ReadActionCount(const std::filesystem::path& file) {
    const long count = platform::IniFile(file).readInt(kActionCountSection, kCountKey);
    return count > 0 ? static_cast<std::uint64_t>(count) : 0;
}

std::string ReadActionText(const std::filesystem::path& file, std::size_t index) {
    return platform::IniFile(file).readString(kActionSection, std::to_string(index));
}

std::vector<std::string> ReadActionFile(const std::filesystem::path& file) {
    // The file is read and parsed once rather than once per key; every value is then read
    // the way a single-key INI read would see it (default "0", at most 259 UTF-16 units).
    const auto bytes = platform::readFileLimited(file, kMaxActionFileBytes);
    if (!bytes) {
        return {};
    }
    const auto document = platform::IniDocument::fromBytes(*bytes);
    auto value = [&](std::string_view section, std::string_view key) {
        return platform::truncateUtf16(document.find(section, key).value_or("0"),
                                       platform::IniFile::kMaxValueUnits);
    };
    const long raw = platform::parseLong(value(kActionCountSection, kCountKey));
    const std::size_t count =
        raw > 0 ? std::min(static_cast<std::size_t>(raw), kMaxFileActions) : std::size_t{0};
    std::vector<std::string> texts;
    texts.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        texts.push_back(value(kActionSection, std::to_string(i)));
    }
    return texts;
}

bool WriteActionFile(const std::filesystem::path& file, std::span<const std::string> texts) {
    // One atomic replacement instead of a rewrite per key: a sequence of hundreds of
    // actions is stored at once, and a crash never leaves a count without its actions.
    std::string content;
    content += '[';
    content += kActionCountSection;
    content += "]\r\n";
    content += kCountKey;
    content += '=' + std::to_string(texts.size()) + "\r\n[";
    content += kActionSection;
    content += "]\r\n";
    for (std::size_t i = 0; i < texts.size(); ++i) {
        content += std::to_string(i);
        content += '=';
        std::copy_if(texts[i].begin(), texts[i].end(), std::back_inserter(content), storable);
        content += "\r\n";
    }
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(content.data());
    return platform::writeFileAtomically(file, {bytes, content.size()});
}

bool WriteActionText(const std::filesystem::path& file, std::size_t index, std::string_view text) {
    return platform::IniFile(file).writeString(kActionSection, std::to_string(index), text);
}

}  // namespace korvane::macros
