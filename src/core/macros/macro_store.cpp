#include "core/macros/macro_store.h"

#include <system_error>

#include "core/macros/action_file.h"
#include "core/macros/cursor_store.h"
#include "core/platform/atomic_file.h"
#include "core/platform/file_names.h"
#include "core/platform/ini_document.h"
#include "core/platform/ini_file.h"
#include "core/platform/paths.h"
#include "core/profiles/profile_file.h"

namespace korvane::macros {

namespace {

void appendLine(std::string& content, std::string_view key, std::string_view value) {
    content += key;
    content += '=';
    for (const char c : value) {
        if (c != '\n' && c != '\r' && c != '\0') {
            content += c;
        }
    }
    content += "\r\n";
}

void appendSection(std::string& content, std::string_view section) {
    content += '[';
    content += section;
    content += "]\r\n";
}

}  // namespace

MacroStore::MacroStore(MacroClass macroClass, std::filesystem::path folder)
    : class_(macroClass), folder_(std::move(folder)) {}

MacroStore MacroStore::forClass(MacroClass macroClass) {
    return MacroStore(macroClass, macroClass == MacroClass::Keyboard ? platform::KeyboardFolder()
                                                                     : platform::MouseFolder());
}

std::filesystem::path MacroStore::listFile() const {
    return profiles::resolveProfilePath(
        folder_ / (class_ == MacroClass::Keyboard ? kKeyboardMacroListFile : kMouseMacroListFile));
}

std::optional<std::filesystem::path> MacroStore::macroFile(std::string_view name) const {
    if (!platform::isSafeFileName(name)) {
        return std::nullopt;
    }
    std::string fileName(name);
    fileName += kMacroFileExtension;
    return profiles::resolveProfilePath(folder_ / fileName);
}

std::size_t MacroStore::ReadMacroCount() const {
    const long count = platform::IniFile(listFile()).readInt(kMacroCountSection, kCountKey);
    if (count <= 0) {
        return 0;
    }
    return count > static_cast<long>(kMaxMacros) ? kMaxMacros : static_cast<std::size_t>(count);
}

std::vector<std::string> MacroStore::ReadMacroList() const {
    const platform::IniFile ini(listFile());
    const std::size_t count = ReadMacroCount();
    std::vector<std::string> names;
    names.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        names.push_back(ini.readString(kMacroNameSection, std::to_string(i)));
    }
    return names;
}

bool MacroStore::WriteMacroCount(long count) {
    if (count < 0 || count > static_cast<long>(kMaxMacros)) {
        return false;
    }
    return platform::IniFile(listFile()).writeInt(kMacroCountSection, kCountKey, count);
}

bool MacroStore::WriteMacroName(std::size_t index, std::string_view name) {
    if (index >= kMaxMacros || !platform::isSafeFileName(name)) {
        return false;
    }
    return platform::IniFile(listFile())
        .writeString(kMacroNameSection, std::to_string(index), name);
}

bool MacroStore::WriteLastMacroName(std::size_t index, std::string_view name) {
    if (index >= kMaxMacros || !platform::isSafeFileName(name)) {
        return false;
    }
    const std::string count = std::to_string(index + 1);
    return platform::IniFile(listFile()).update([&](platform::IniDocument& list) {
        // set() tells whether the text changed; a name saved again changes nothing.
        list.set(kMacroCountSection, kCountKey, count);
        list.set(kMacroNameSection, std::to_string(index), name);
        return true;
    });
}

bool MacroStore::RewriteMacroList(std::span<const std::string> names) {
    if (names.size() > kMaxMacros) {
        return false;
    }
    for (const auto& name : names) {
        if (!platform::isSafeFileName(name)) {
            return false;
        }
    }
    std::string content;
    appendSection(content, kMacroCountSection);
    appendLine(content, kCountKey, std::to_string(names.size()));
    if (class_ == MacroClass::Mouse) {
        appendSection(content, kCursorCountSection);
        appendLine(content, kCountKey, std::to_string(kCursorSequenceCount));
        appendSection(content, kCursorNameSection);
        for (std::size_t i = 0; i < kCursorSequenceCount; ++i) {
            appendLine(content, std::to_string(i), DefaultCursorName(i));
        }
    }
    appendSection(content, kMacroNameSection);
    for (std::size_t i = 0; i < names.size(); ++i) {
        appendLine(content, std::to_string(i), names[i]);
    }
    // Replacing the file as a whole has the effect of deleting and rewriting it, without a
    // moment in which the list is gone.
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(content.data());
    return platform::writeFileAtomically(listFile(), {bytes, content.size()});
}

std::vector<std::string> MacroStore::ReadMacro(std::string_view name) const {
    const auto file = macroFile(name);
    if (!file) {
        return {};
    }
    return ReadActionFile(*file);
}

std::uint64_t MacroStore::ReadMacroActionCount(std::string_view name) const {
    const auto file = macroFile(name);
    return file ? ReadActionCount(*file) : 0;
}

bool MacroStore::WriteMacro(std::string_view name, std::span<const std::string> actionTexts) {
    const auto file = macroFile(name);
    return file && WriteActionFile(*file, actionTexts);
}

bool MacroStore::RenameMacroFile(std::string_view from, std::string_view to) {
    const auto source = macroFile(from);
    const auto target = macroFile(to);
    if (!source || !target) {
        return false;
    }
    std::error_code error;
    if (std::filesystem::exists(*target, error)) {
        // Names differing only in case are the same macro; the file system may disagree.
        if (!std::filesystem::equivalent(*source, *target, error)) {
            return false;
        }
    }
    std::filesystem::rename(*source, *target, error);
    return !error;
}

bool MacroStore::DeleteMacroFile(std::string_view name) {
    const auto file = macroFile(name);
    if (!file) {
        return false;
    }
    std::error_code error;
    std::filesystem::remove(*file, error);
    return !error;
}

}  // namespace korvane::macros
