#include "core/profiles/operations/link_controls.h"

#include <optional>
#include <string>

#include "core/app/main_window.h"
#include "core/app/profile_selection.h"
#include "core/platform/debug_line.h"
#include "core/platform/text.h"
#include "core/profiles/operations/list_access.h"
#include "core/profiles/seeding.h"

namespace korvane::profiles::operations {
namespace {

std::optional<std::string> chooseProgram(app::MainWindow& main) {
    const auto chosen = main.dialogs().openFile({"", "", std::string(kProgramFilter), {}});
    if (!chosen) {
        return std::nullopt;
    }
    std::string path = chosen->string();
    // Only a full path can name the program the system reports; a path the index cannot
    // hold whole would never match.
    if (path.find_first_of("/\\") == std::string::npos ||
        platform::utf16Length(path) > platform::IniFile::kMaxValueUnits) {
        platform::debugLine("program path not usable for a link: " + path);
        return std::nullopt;
    }
    return path;
}

void showRow(app::MainWindow& main, ProfileList list, bool shown) {
    if (ui::Control* row = main.tree().find(app::controlsOf(list).linkRow)) {
        row->setVisible(shown);
    }
}

void setEdit(app::MainWindow& main, ProfileList list, std::string text) {
    if (ui::Control* edit = main.tree().find(app::controlsOf(list).linkEdit)) {
        edit->setText(std::move(text));
    }
}

ui::Control* checkBox(app::MainWindow& main, ProfileList list) {
    return main.tree().find(app::controlsOf(list).linkCheck);
}

// Unchecking notifies, so this runs again from inside itself; the second run finds the box
// unchecked and the index already without the link.
void removeLink(app::MainWindow& main, ProfileList list, int position) {
    if (ui::Control* check = checkBox(main, list)) {
        check->setSelected(false, ui::Notify::Yes);
    }
    setEdit(main, list, " ");
    showRow(main, list, false);
    if (position < 0) {
        return;
    }
    ProfileIndex index(list);
    const std::string path = index.linkPath(position);
    // A profile that never had a link keeps its entries as they are.
    if (index.linkFlag(position) == 0 && (path.empty() || path == "0")) {
        return;
    }
    index.write([&](ProfileIndex::Edit& edit) {
        edit.setLinkFlag(position, false);
        edit.setLinkPath(position, " ");
    });
}

void setLink(app::MainWindow& main, ProfileList list, int position, const std::string& path) {
    ProfileIndex index(list);
    if (!indexUsable(main, index)) {
        removeLink(main, list, -1);
        return;
    }
    const bool written = index.write([&](ProfileIndex::Edit& edit) {
        edit.setLinkFlag(position, true);
        edit.setLinkPath(position, path);
    });
    if (!written) {
        main.showMessage(kMessageDataFolderUnwritable);
        removeLink(main, list, -1);
        return;
    }
    setEdit(main, list, std::string(app::linkedProgramName(path)));
    if (ui::Control* check = checkBox(main, list)) {
        check->setSelected(true, ui::Notify::No);
    }
    showRow(main, list, true);
}

bool linkedElsewhere(ProfileList list, const std::string& path) {
    const auto contents = ProfileIndex(list).readAll();
    if (!contents) {
        return false;
    }
    for (const ProfileIndex::Entry& entry : contents->entries) {
        if (entry.linkFlag == 1 && platform::equalsIgnoreCase(entry.linkPath, path)) {
            return true;
        }
    }
    return false;
}

int selected(app::MainWindow& main, ProfileList list) {
    const ui::Control* combo = comboOf(main, list);
    return combo != nullptr ? selectedPosition(*combo) : -1;
}

}  // namespace

void OnLinkCheckChanged(app::MainWindow& main, ProfileList list) {
    const ui::Control* check = checkBox(main, list);
    if (check == nullptr) {
        return;
    }
    const int position = selected(main, list);
    if (!check->selected()) {
        removeLink(main, list, position);
        return;
    }
    if (position < 0) {
        removeLink(main, list, -1);
        return;
    }
    const auto path = chooseProgram(main);
    if (!path) {
        removeLink(main, list, position);
        return;
    }
    if (linkedElsewhere(list, *path)) {
        main.showMessage(kMessageAlreadyLinked);
        if (ui::Control* box = checkBox(main, list)) {
            box->setSelected(false, ui::Notify::Yes);
        }
        return;
    }
    setLink(main, list, position, *path);
}

void OnLinkButton(app::MainWindow& main, ProfileList list) {
    const int position = selected(main, list);
    if (position < 0) {
        return;
    }
    if (const auto path = chooseProgram(main)) {
        setLink(main, list, position, *path);
    }
}

}  // namespace korvane::profiles::operations
