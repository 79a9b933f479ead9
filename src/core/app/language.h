#pragma once

#include <string_view>

#include "core/app/installer_settings.h"
#include "core/platform/main_ini.h"
#include "core/ui/language_host.h"

namespace korvane::app {

// At window start: the installer's language code, when it is one of the table's, becomes
// main.ini's LANGUAGE index. Nothing changes when the code is absent or unknown.
void TakeOverInstallerLanguage(const InstallerSettings& installer, platform::MainIni& mainIni);

// After the workers started: loads main.ini's language; Chinese (simplified and traditional)
// and Thai also set their default font. An index outside the table changes nothing.
void ApplyStartLanguage(const platform::MainIni& mainIni, ui::LanguageHost& host);

// The update window's language list: everything of the menu entries below, plus the table's
// default font. False for an index outside the table.
bool SwitchLanguage(int index, platform::MainIni& mainIni, InstallerSettings& installer,
                    ui::LanguageHost& host);

// The tray and settings menu entries "lan_cn", "lan_tw", "lan_en": resource language,
// language file, main.ini and the installer's code, texts reloaded; fonts unchanged.
// False when the entry is not one of them.
bool ApplyMenuLanguage(std::string_view entry, platform::MainIni& mainIni,
                       InstallerSettings& installer, ui::LanguageHost& host);

}  // namespace korvane::app
