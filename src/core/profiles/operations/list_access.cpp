#include "core/profiles/operations/list_access.h"

#include <algorithm>

#include "core/app/main_window.h"
#include "core/app/profile_selection.h"
#include "core/profiles/operations/profile_operations.h"
#include "core/profiles/profile_file.h"
#include "core/profiles/seeding.h"

namespace korvane::profiles::operations {

ui::Control* comboOf(app::MainWindow& main, ProfileList list) {
    return main.tree().find(app::controlsOf(list).combo);
}

std::vector<std::string> itemTexts(const ui::Control& combo) {
    std::vector<std::string> texts;
    texts.reserve(combo.items().size());
    for (const ui::ListItem& item : combo.items()) {
        texts.push_back(item.text);
    }
    return texts;
}

int selectedPosition(const ui::Control& combo) {
    const int position = combo.currentItem();
    return position >= 0 && position < static_cast<int>(combo.items().size()) ? position : -1;
}

void appendItem(ui::Control& combo, const std::string& name) {
    combo.addItem({name, name, 0});
}

device::DeviceKind defaultKindOf(app::MainWindow& main, ProfileList list) {
    switch (infoOf(list).deviceClass) {
        case device::DeviceClass::Keyboard:
            return static_cast<device::DeviceKind>(
                static_cast<int>(device::DeviceKind::RgbKeyboard) +
                std::clamp(main.kinds().keyboardKind.load(), 0, 3));
        case device::DeviceClass::Mouse:
            return static_cast<device::DeviceKind>(static_cast<int>(device::DeviceKind::Mouse) +
                                                   std::clamp(main.kinds().mouseKind.load(), 0, 2));
        case device::DeviceClass::MousePad:
            break;
    }
    return device::DeviceKind::MousePad;
}

std::optional<std::vector<std::uint8_t>> readSource(app::MainWindow& main,
                                                    const std::filesystem::path& path,
                                                    std::size_t length) {
    std::vector<std::uint8_t> body(length, 0);
    const int result = ReadProfileFile(path, body);
    if (result == kReadOk) {
        return body;
    }
    main.showMessage(result == kReadBadSignature ? kMessageBadSignature : kMessageFileMissing);
    return std::nullopt;
}

std::optional<std::filesystem::path> fileOfName(app::MainWindow& main, ProfileList list,
                                                std::string_view name) {
    auto path = profilePath(list, name);
    if (!path) {
        main.showMessage(kMessageNameInvalid);
    }
    return path;
}

bool indexUsable(app::MainWindow& main, const ProfileIndex& index) {
    if (index.state() == platform::IniFile::State::Unreadable) {
        main.showMessage(kMessageIndexUnreadable);
        return false;
    }
    return true;
}

}  // namespace korvane::profiles::operations
