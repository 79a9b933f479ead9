// Import, export and reset: the operations that move a whole body between a profile and a
// file outside the list (a chosen file or the model's default).

#include <algorithm>

#include "core/app/live_profile_loads.h"
#include "core/app/main_window.h"
#include "core/app/profile_selection.h"
#include "core/lighting/keyboard_light_payload.h"
#include "core/platform/atomic_file.h"
#include "core/profiles/default_files.h"
#include "core/profiles/operations/list_access.h"
#include "core/profiles/operations/profile_operations.h"
#include "core/profiles/profile_file.h"
#include "core/profiles/profile_store.h"
#include "core/profiles/seeding.h"

namespace korvane::profiles::operations {
namespace {

namespace fs = std::filesystem;

// The mouse and pad defaults give only the bytes a settings block carries; the rest of the
// kept record stays.
constexpr std::size_t kSettingsBlockLength = 56;
constexpr std::uint8_t kResetPointerSpeed = 10;
constexpr std::uint8_t kResetWheelSpeed = 3;

enum class Direction { Import, Export };

ui::FileDialogOptions dialogOptions(ProfileList list, Direction direction) {
    const bool keys = infoOf(list).extension == ".pro";
    const std::string extension = keys ? "pro" : "led";
    std::string filter = keys ? "(*.pro) | *.pro |(*.*)|*.*||" : "(*.led) | *.led |(*.*)|*.*||";
    if (direction == Direction::Export && list == ProfileList::KeyboardLight) {
        filter = "(*.led) | *.led ||";
    }
    return {extension, "*." + extension, filter, {}};
}

// The selected position and the file the user chose for it; nullopt when nothing is
// selected or the dialog was cancelled.
std::optional<std::pair<int, fs::path>> chooseFile(app::MainWindow& main, ProfileList list,
                                                   Direction direction) {
    const ui::Control* combo = comboOf(main, list);
    const int position = combo != nullptr ? selectedPosition(*combo) : -1;
    if (position < 0) {
        return std::nullopt;
    }
    const ui::FileDialogOptions options = dialogOptions(list, direction);
    auto chosen = direction == Direction::Import ? main.dialogs().openFile(options)
                                                 : main.dialogs().saveFile(options);
    if (!chosen) {
        return std::nullopt;
    }
    return std::pair{position, std::move(*chosen)};
}

// The selected profile's file, as the index names it.
std::optional<fs::path> selectedFile(app::MainWindow& main, ProfileList list, int position) {
    const auto path = profilePath(list, ProfileIndex(list).name(position));
    if (!path) {
        main.showMessage(kMessageFileMissing);
    }
    return path;
}

void resetKeyboardLight(app::MainWindow& main, const std::vector<std::uint8_t>& body) {
    app::DeviceStores& stores = main.stores();
    lighting::KeyboardLightPayload::fromBytes(body).applyTo(stores.keyboardLight);
    SaveKeyboardLight(stores.keyboardLight);
    main.publishLighting();
    app::runRefresh(main.pageRefresh().keyboardLighting);
}

void resetKeys(app::MainWindow& main, ProfileList list, const std::vector<std::uint8_t>& body) {
    app::DeviceStores& stores = main.stores();
    const app::PageRefreshHooks& refresh = main.pageRefresh();
    if (list == ProfileList::KeyboardKeys) {
        std::copy(body.begin(), body.end(), stores.keyboardTable.begin());
        SaveKeyboardKeys(stores.keyboardTable);
        app::runRefresh(refresh.keyboardLighting);
        app::runRefresh(refresh.keyboardKeys);
        main.queueDeviceWrite(device::DeviceClass::Keyboard, "profile table 0",
                              [table = stores.keyboardTable](device::DeviceCommander& c) {
                                  c.WriteProfileTable(table, 0);
                              });
    } else {
        std::copy(body.begin(), body.end(), stores.mouseTables[0].begin());
        SaveMouseKeys(stores.mouseTables[0]);
        app::runRefresh(refresh.mousePages);
        app::runRefresh(refresh.mouseKeys);
        main.queueDeviceWrite(device::DeviceClass::Mouse, "profile table 0",
                              [table = stores.mouseTables[0]](device::DeviceCommander& c) {
                                  c.WriteProfileTable(table, 0);
                              });
    }
}

template <typename Record>
Record withSettingsBlock(const Record& kept, const std::vector<std::uint8_t>& body) {
    std::vector<std::uint8_t> bytes(sizeof(Record));
    const auto old = lighting::bytesOf(kept);
    std::copy(old.begin(), old.end(), bytes.begin());
    std::copy_n(body.begin(), std::min(kSettingsBlockLength, body.size()), bytes.begin());
    return lighting::recordFromBytes<Record>(bytes);
}

void resetMouseLight(app::MainWindow& main, const std::vector<std::uint8_t>& body) {
    app::DeviceStores& stores = main.stores();
    stores.mouseLightKept = withSettingsBlock(stores.mouseLightKept, body);
    stores.mouseSettings = stores.mouseLightKept.settings;
    // The reset speeds are saved with the reset, so the file holds what the page shows.
    stores.pointerSpeed = kResetPointerSpeed;
    stores.wheelSpeed = kResetWheelSpeed;
    SaveMouseLight(app::mouseLightState(stores));
    main.publishLighting();
    // The page shows the reset speeds and the desktop gets them.
    app::runRefresh(main.pageRefresh().mousePages);
    app::runRefresh(main.pageRefresh().mouseProfileSpeeds);
    main.mouseSettingsChanged = true;
}

void resetMousePadLight(app::MainWindow& main, const std::vector<std::uint8_t>& body) {
    app::DeviceStores& stores = main.stores();
    // The onboard slot the live record names is the pad's, not the profile's.
    const std::uint8_t slot = stores.mousePadSettings.onboardProfile;
    stores.mousePadLightKept = withSettingsBlock(stores.mousePadLightKept, body);
    stores.mousePadSettings = stores.mousePadLightKept.settings;
    stores.mousePadSettings.onboardProfile = slot;
    SaveMousePadLight(app::mousePadLightState(stores));
    main.publishLighting();
    app::runRefresh(main.pageRefresh().mousePadPage);
    main.mousePadSettingsChanged = true;
}

}  // namespace

void ImportProfile(app::MainWindow& main, ProfileList list) {
    const auto chosen = chooseFile(main, list, Direction::Import);
    if (!chosen) {
        return;
    }
    const auto [position, file] = *chosen;
    // The whole chosen file is read and checked before the profile is touched.
    const auto body = readSource(main, file, infoOf(list).bodyLength);
    if (!body || !indexUsable(main, ProfileIndex(list))) {
        return;
    }
    const auto target = selectedFile(main, list, position);
    if (!target) {
        return;
    }
    if (!WriteProfileFile(*target, infoOf(list).classCode, *body)) {
        main.showMessage(kMessageDataFolderUnwritable);
        return;
    }
    app::SelectProfileAt(main, list, position);
}

void ExportProfile(app::MainWindow& main, ProfileList list) {
    const auto chosen = chooseFile(main, list, Direction::Export);
    if (!chosen) {
        return;
    }
    const auto [position, file] = *chosen;
    const auto source = selectedFile(main, list, position);
    if (!source) {
        return;
    }
    const auto body = readSource(main, *source, infoOf(list).bodyLength);
    if (!body) {
        return;
    }
    // Exactly the chosen file: no case-insensitive match with another file of that folder.
    if (!platform::writeFileAtomically(file, profileFileBytes(infoOf(list).classCode, *body))) {
        main.showMessage(kMessageFileNotWritten);
    }
}

void ResetProfile(app::MainWindow& main, ProfileList list) {
    ui::Control* combo = comboOf(main, list);
    if (combo == nullptr || selectedPosition(*combo) < 0) {
        return;
    }
    const bool settingsBlock =
        list == ProfileList::MouseLight || list == ProfileList::MousePadLight;
    const auto body = readSource(main, defaultProfilePath(list, defaultKindOf(main, list)),
                                 settingsBlock ? kSettingsBlockLength : infoOf(list).bodyLength);
    if (!body || !indexUsable(main, ProfileIndex(list))) {
        return;
    }
    switch (list) {
        case ProfileList::KeyboardLight:
            resetKeyboardLight(main, *body);
            break;
        case ProfileList::KeyboardKeys:
        case ProfileList::MouseKeys:
            resetKeys(main, list, *body);
            break;
        case ProfileList::MouseLight:
            resetMouseLight(main, *body);
            break;
        case ProfileList::MousePadLight:
            resetMousePadLight(main, *body);
            break;
    }
}

}  // namespace korvane::profiles::operations
