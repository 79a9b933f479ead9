#include "core/profiles/operations/profile_operations.h"

#include <system_error>

#include "core/app/main_window.h"
#include "core/app/profile_selection.h"
#include "core/platform/debug_line.h"
#include "core/profiles/default_files.h"
#include "core/profiles/operations/list_access.h"
#include "core/profiles/profile_file.h"
#include "core/profiles/profile_names.h"
#include "core/profiles/seeding.h"

namespace korvane::profiles::operations {
namespace {

namespace fs = std::filesystem;

void removeFile(const fs::path& path) {
    std::error_code ec;
    fs::remove(resolveProfilePath(path), ec);
    if (ec) {
        platform::debugLine("profile file not deleted: " + path.string() + ": " + ec.message());
    }
}

// A new profile at the end of the list: its file first, then the index entry in one write,
// then the item, selected (which loads and applies it). A failure leaves no file without an
// entry and no entry without a file.
void addProfile(app::MainWindow& main, ProfileList list, ui::Control& combo,
                const std::string& name, std::span<const std::uint8_t> body) {
    const auto path = fileOfName(main, list, name);
    if (!path) {
        return;
    }
    if (!WriteProfileFile(*path, infoOf(list).classCode, body)) {
        main.showMessage(kMessageDataFolderUnwritable);
        return;
    }
    const long position = static_cast<long>(combo.items().size());
    ProfileIndex index(list);
    const bool written = index.write([&](ProfileIndex::Edit& edit) {
        edit.setCount(position + 1);
        edit.setName(position, name);
        edit.setLinkFlag(position, false);
    });
    if (!written) {
        removeFile(*path);
        main.showMessage(kMessageDataFolderUnwritable);
        return;
    }
    appendItem(combo, name);
    app::SelectProfileAt(main, list, position);
}

}  // namespace

void NewProfile(app::MainWindow& main, ProfileList list) {
    ui::Control* combo = comboOf(main, list);
    if (combo == nullptr || !indexUsable(main, ProfileIndex(list))) {
        return;
    }
    const std::string name = newProfileName(itemTexts(*combo));
    const auto body = readSource(main, defaultProfilePath(list, defaultKindOf(main, list)),
                                 infoOf(list).bodyLength);
    if (body) {
        addProfile(main, list, *combo, name, *body);
    }
}

void CopyProfile(app::MainWindow& main, ProfileList list) {
    ui::Control* combo = comboOf(main, list);
    if (combo == nullptr) {
        return;
    }
    const int position = selectedPosition(*combo);
    if (position < 0 || !indexUsable(main, ProfileIndex(list))) {
        return;
    }
    const std::vector<std::string> names = itemTexts(*combo);
    const std::string& selected = names[static_cast<std::size_t>(position)];
    const std::string name = copyName(selected, names);
    const auto source = fileOfName(main, list, selected);
    if (!source) {
        return;
    }
    const auto body = readSource(main, *source, infoOf(list).bodyLength);
    if (body) {
        addProfile(main, list, *combo, name, *body);
    }
}

void DeleteProfile(app::MainWindow& main, ProfileList list) {
    ui::Control* combo = comboOf(main, list);
    if (combo == nullptr) {
        return;
    }
    const int position = selectedPosition(*combo);
    if (combo->items().size() == 1) {
        main.showMessage(kMessageLastProfile);
        return;
    }
    if (position < 0 || main.showMessage(kMessageConfirmDelete) != 1) {
        return;
    }
    ProfileIndex index(list);
    if (!indexUsable(main, index)) {
        return;
    }
    const long formerCount = static_cast<long>(combo->items().size());
    const long count = formerCount - 1;
    std::vector<std::string> names = itemTexts(*combo);
    const std::string deleted = names[static_cast<std::size_t>(position)];
    names.erase(names.begin() + position);
    // The pad's list always ends on its last profile; the others on the profile that
    // followed the deleted one, or the new last one when the last was deleted.
    const long next =
        list == ProfileList::MousePadLight || position + 1 == formerCount ? count - 1 : position;
    const bool written = index.write([&](ProfileIndex::Edit& edit) {
        edit.setCount(count);
        for (long i = 0; i < count; ++i) {
            edit.setName(i, names[static_cast<std::size_t>(i)]);
            if (i >= position) {
                edit.setLinkFlagValue(i, edit.linkFlag(i + 1));
                if (const auto path = edit.linkPath(i + 1)) {
                    edit.setLinkPath(i, *path);
                } else {
                    edit.removeLinkPath(i);
                }
            }
        }
        edit.setSelected(next);
    });
    if (!written) {
        main.showMessage(kMessageDataFolderUnwritable);
        return;
    }
    if (const auto path = profilePath(list, deleted)) {
        removeFile(*path);
    }
    if (list == ProfileList::MousePadLight) {
        combo->removeItem(position);
    } else {
        main.fillProfileCombo(list, readIndexList(index));
    }
    app::SelectProfileAt(main, list, next);
}

void RenameProfile(app::MainWindow& main, ProfileList list) {
    ui::Control* combo = comboOf(main, list);
    const ui::Control* edit = main.tree().find(app::controlsOf(list).nameEdit);
    if (combo == nullptr || edit == nullptr) {
        return;
    }
    const std::string name = edit->text();
    if (name.empty()) {
        main.showMessage(kMessageEmptyName);
        return;
    }
    const std::vector<std::string> names = itemTexts(*combo);
    if (nameTaken(names, name)) {
        main.showMessage(kMessageNameTaken);
        return;
    }
    const int position = selectedPosition(*combo);
    ProfileIndex index(list);
    if (position < 0 || !indexUsable(main, index)) {
        return;
    }
    const auto target = fileOfName(main, list, name);
    if (!target) {
        return;
    }
    // The old file is read before anything changes, so a failed read loses nothing.
    const auto old = profilePath(list, index.name(position));
    if (!old) {
        main.showMessage(kMessageFileMissing);
        return;
    }
    const auto body = readSource(main, *old, infoOf(list).bodyLength);
    if (!body) {
        return;
    }
    if (!WriteProfileFile(*target, infoOf(list).classCode, *body)) {
        main.showMessage(kMessageDataFolderUnwritable);
        return;
    }
    if (!index.write([&](ProfileIndex::Edit& e) { e.setName(position, name); })) {
        removeFile(*target);
        main.showMessage(kMessageDataFolderUnwritable);
        return;
    }
    removeFile(*old);
    // The item's text and tool tip both become the new name.
    std::vector<ui::ListItem> items = combo->items();
    items[static_cast<std::size_t>(position)] = {name, name, 0};
    combo->clearItems();
    for (ui::ListItem& item : items) {
        combo->addItem(std::move(item));
    }
    combo->selectItem(position, ui::Notify::No);
    if (ui::Control* nameEdit = main.tree().find(app::controlsOf(list).nameEdit)) {
        nameEdit->setText(name);
    }
}

void ToggleShown(app::MainWindow& main, std::string_view control) {
    if (ui::Control* c = main.tree().find(control)) {
        c->setVisible(!c->visible());
    }
}

}  // namespace korvane::profiles::operations
