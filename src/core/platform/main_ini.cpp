#include "core/platform/main_ini.h"

#include "core/platform/ini_file.h"
#include "core/platform/text.h"

namespace korvane::platform {
namespace {

// languageByIndex indexes the table directly.
constexpr bool indexesArePositions() {
    for (std::size_t i = 0; i < kLanguages.size(); ++i) {
        if (kLanguages[i].index != static_cast<int>(i)) {
            return false;
        }
    }
    return true;
}
static_assert(indexesArePositions());

}  // namespace

const Language* languageByCode(long code) {
    for (const Language& language : kLanguages) {
        if (parseLong(language.registryCode) == code) {
            return &language;
        }
    }
    return nullptr;
}

const Language* languageByIndex(long index) {
    if (index < 0 || index >= static_cast<long>(kLanguages.size())) {
        return nullptr;
    }
    return &kLanguages[static_cast<std::size_t>(index)];
}

MainIni::MainIni(std::filesystem::path path) : path_(std::move(path)) {}

long MainIni::language() const {
    return IniFile(path_).readInt(kSection, kLanguageKey);
}

bool MainIni::setLanguage(long index) {
    return IniFile(path_).writeInt(kSection, kLanguageKey, index);
}

long MainIni::flags() const {
    return IniFile(path_).readInt(kSection, kFlagsKey);
}

bool MainIni::setFlags(long flags) {
    return IniFile(path_).writeInt(kSection, kFlagsKey, flags);
}

std::string MainIni::image() const {
    return IniFile(path_).readString(kSection, kImageKey, "0");
}

bool MainIni::setImage(std::string_view image) {
    return IniFile(path_).writeString(kSection, kImageKey, image);
}

}  // namespace korvane::platform
