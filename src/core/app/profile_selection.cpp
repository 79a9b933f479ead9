#include "core/app/profile_selection.h"

#include <string>

#include "core/app/live_profile_loads.h"
#include "core/app/main_window.h"
#include "core/profiles/profile_store.h"

namespace korvane::app {
namespace {

using profiles::ProfileList;

void setText(ui::ControlTree& tree, std::string_view name, std::string text) {
    if (ui::Control* control = tree.find(name)) {
        control->setText(std::move(text));
    }
}

// The key page's function panel closes when another key profile comes in.
void closeFunctionPanel(ui::ControlTree& tree, std::string_view name) {
    ui::Control* panel = tree.find(name);
    if (panel != nullptr && panel->visible()) {
        panel->setVisible(false);
        panel->setEnabled(false);
    }
}

void showLink(ui::ControlTree& tree, const ProfileListControls& controls,
              const profiles::ProfileIndex& index, long position) {
    ui::Control* check = tree.find(controls.linkCheck);
    if (index.linkFlag(position) != 0) {
        setText(tree, controls.linkEdit, std::string(linkedProgramName(index.linkPath(position))));
        if (check != nullptr) {
            check->setSelected(true, ui::Notify::No);
        }
        if (ui::Control* row = tree.find(controls.linkRow)) {
            row->setVisible(true);
        }
    } else if (check != nullptr) {
        check->setSelected(false, ui::Notify::Yes);
    }
}

void apply(MainWindow& main, ProfileList list, long position) {
    DeviceStores& stores = main.stores();
    const PageRefreshHooks& refresh = main.pageRefresh();
    ui::ControlTree& tree = main.tree();
    switch (list) {
        case ProfileList::KeyboardLight:
            profiles::LoadKeyboardLight(position, stores.keyboardLight);
            main.publishLighting();
            runRefresh(refresh.keyboardLighting);
            break;
        case ProfileList::KeyboardKeys:
            profiles::LoadKeyboardKeys(position, stores.keyboardTable);
            closeFunctionPanel(tree, "kb_tab_function");
            runRefresh(refresh.keyboardKeys);
            main.queueDeviceWrite(device::DeviceClass::Keyboard, "profile table 0",
                                  [table = stores.keyboardTable](device::DeviceCommander& c) {
                                      c.WriteProfileTable(table, 0);
                                  });
            break;
        case ProfileList::MouseLight: {
            LoadMouseLightIntoStores(stores, position);
            // Applying pointer and wheel speed to the system belongs to the mouse settings
            // page; here the controls take the profile's values.
            if (ui::Control* slider = tree.find("ms_point_speed_slider")) {
                slider->setValue(stores.pointerSpeed / 2 - 1);
                slider->setValue(stores.pointerSpeed / 2);
            }
            setText(tree, "ms_gunlun_speed_edit", std::to_string(stores.wheelSpeed));
            main.publishLighting();
            runRefresh(refresh.mousePages);
            main.mouseSettingsChanged = true;
            break;
        }
        case ProfileList::MouseKeys:
            profiles::LoadMouseKeys(position, stores.mouseTables[0]);
            closeFunctionPanel(tree, "ms_tab_function");
            runRefresh(refresh.mouseKeys);
            main.queueDeviceWrite(device::DeviceClass::Mouse, "profile table 0",
                                  [table = stores.mouseTables[0]](device::DeviceCommander& c) {
                                      c.WriteProfileTable(table, 0);
                                  });
            break;
        case ProfileList::MousePadLight:
            LoadMousePadLightIntoStores(stores, position);
            main.publishLighting();
            runRefresh(refresh.mousePadPage);
            main.mousePadSettingsChanged = true;
            break;
    }
}

}  // namespace

std::string_view linkedProgramName(std::string_view path) {
    const std::size_t separator = path.find_last_of("\\/");
    return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

namespace {

enum class Chooser { User, LinkedProgram };

void selectCurrent(MainWindow& main, ProfileList list, Chooser chooser) {
    const ProfileListControls& controls = controlsOf(list);
    ui::ControlTree& tree = main.tree();
    const ui::Control* combo = tree.find(controls.combo);
    if (combo == nullptr) {
        return;
    }
    const int position = combo->currentItem();
    if (position < 0 || position >= static_cast<int>(combo->items().size())) {
        return;
    }
    setText(tree, controls.nameEdit, combo->items()[static_cast<std::size_t>(position)].text);
    profiles::ProfileIndex index(list);
    if (chooser == Chooser::User) {
        index.setSelected(position);
    }
    showLink(tree, controls, index, position);
    apply(main, list, position);
    if (chooser == Chooser::User && main.pageRefresh().profileSelected) {
        main.pageRefresh().profileSelected(list);
    }
}

}  // namespace

void SelectProfile(MainWindow& main, ProfileList list) {
    selectCurrent(main, list, Chooser::User);
}

void SelectLinkedProfileAt(MainWindow& main, ProfileList list, long position) {
    ui::Control* combo = main.tree().find(controlsOf(list).combo);
    if (combo == nullptr || position < 0 || position >= static_cast<long>(combo->items().size()) ||
        combo->currentItem() == position) {
        return;
    }
    combo->selectItem(static_cast<int>(position), ui::Notify::No);
    selectCurrent(main, list, Chooser::LinkedProgram);
}

void SelectProfileAt(MainWindow& main, ProfileList list, long position) {
    ui::Control* combo = main.tree().find(controlsOf(list).combo);
    if (combo == nullptr || position < 0 || position >= static_cast<long>(combo->items().size())) {
        return;
    }
    combo->selectItem(static_cast<int>(position), ui::Notify::No);
    SelectProfile(main, list);
}

void InstallProfileSelection(MainWindow& main) {
    for (const ProfileListControls& controls : kProfileListControls) {
        main.router().onName(
            ui::notify::kItemSelect, std::string(controls.combo),
            [&main, list = controls.list](ui::Control&) { SelectProfile(main, list); });
    }
}

}  // namespace korvane::app
