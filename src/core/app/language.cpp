#include "core/app/language.h"

#include <array>
#include <string>

#include "core/platform/debug_line.h"
#include "core/platform/text.h"

namespace korvane::app {
namespace {

struct MenuLanguage {
    std::string_view entry;
    int index;
};

constexpr std::array<MenuLanguage, 3> kMenuLanguages{{
    {"lan_cn", 1},
    {"lan_tw", 2},
    {"lan_en", 0},
}};

// The languages whose start-up also replaces the skin's fonts.
bool startSetsFont(long index) {
    return index == 1 || index == 2 || index == 7;
}

void selectLanguage(const platform::Language& language, platform::MainIni& mainIni,
                    InstallerSettings& installer, ui::LanguageHost& host) {
    host.setResourceLanguage(language.resourceName);
    host.loadLanguageFile(language.file);
    mainIni.setLanguage(language.index);
    if (installer.setLanguage(language.registryCode)) {
        platform::debugLine("写成功！");
    }
}

}  // namespace

void TakeOverInstallerLanguage(const InstallerSettings& installer, platform::MainIni& mainIni) {
    const std::optional<std::string> code = installer.language();
    if (!code) {
        platform::debugLine("读注册表失败了");
        return;
    }
    if (const platform::Language* language = platform::languageByCode(platform::parseLong(*code))) {
        mainIni.setLanguage(language->index);
    }
}

void ApplyStartLanguage(const platform::MainIni& mainIni, ui::LanguageHost& host) {
    const long index = mainIni.language();
    const platform::Language* language = platform::languageByIndex(index);
    if (language == nullptr) {
        return;
    }
    host.setResourceLanguage(language->resourceName);
    host.loadLanguageFile(language->file);
    if (startSetsFont(index)) {
        host.setDefaultFont(language->fontFace, language->fontPoints);
    }
}

bool SwitchLanguage(int index, platform::MainIni& mainIni, InstallerSettings& installer,
                    ui::LanguageHost& host) {
    const platform::Language* language = platform::languageByIndex(index);
    if (language == nullptr) {
        return false;
    }
    selectLanguage(*language, mainIni, installer, host);
    host.setDefaultFont(language->fontFace, language->fontPoints);
    host.reloadTexts();
    return true;
}

bool ApplyMenuLanguage(std::string_view entry, platform::MainIni& mainIni,
                       InstallerSettings& installer, ui::LanguageHost& host) {
    for (const auto& item : kMenuLanguages) {
        if (item.entry == entry) {
            selectLanguage(*platform::languageByIndex(item.index), mainIni, installer, host);
            host.reloadTexts();
            return true;
        }
    }
    return false;
}

}  // namespace korvane::app
