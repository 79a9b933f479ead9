#include "core/app/connection_sequences.h"

#include <algorithm>
#include <chrono>
#include <string>

#include "core/app/live_profile_loads.h"
#include "core/app/main_window.h"
#include "core/app/profile_selection.h"
#include "core/app/window_messages.h"
#include "core/keys/key_table.h"
#include "core/keys/picture_key_map.h"
#include "core/macros/cursor_store.h"
#include "core/macros/cursor_transfer.h"
#include "core/macros/event_names.h"
#include "core/macros/sequence_image.h"
#include "core/platform/debug_line.h"
#include "core/profiles/profile_index.h"
#include "core/profiles/profile_store.h"
#include "core/profiles/seeding.h"

namespace korvane::app {
namespace {

using namespace std::chrono_literals;
using device::DeviceClass;
using device::DeviceKind;
using profiles::ProfileList;

constexpr std::string_view kTooManyKeysMessage = "message_text_11";
constexpr std::chrono::milliseconds kRedrawDelay{100};
constexpr int kRedrawTimer = 7;

// Keyboard pages per kind: which light-page and key-page variant is shown.
struct KeyboardPages {
    DeviceKind kind;
    std::string_view lightShown;
    std::string_view keyShown;
    int connectedMessage;
    int lostMessage;
    std::string_view lostLine;
};

constexpr std::array<std::string_view, 3> kKeyboardLightVariants{
    "kb_mechanical_light", "kb_film_light", "kb_membrane_light"};
constexpr std::array<std::string_view, 3> kKeyboardKeyVariants{"kb_mechanical_key", "kb_film_key",
                                                               "kb_membrane_key"};

constexpr std::array<KeyboardPages, 4> kKeyboardPages{{
    {DeviceKind::RgbKeyboard, "kb_mechanical_light", "kb_mechanical_key",
     msg::kRgbKeyboardConnected, msg::kRgbKeyboardLost, "RGB键盘不见了"},
    {DeviceKind::MonoKeyboard, "kb_mechanical_light", "kb_mechanical_key",
     msg::kMonoKeyboardConnected, msg::kMonoKeyboardLost, "单色键盘不见了"},
    {DeviceKind::RegionKeyboard, "kb_film_light", "kb_film_key", msg::kRegionKeyboardConnected,
     msg::kRegionKeyboardLost, "薄膜键盘Lost"},
    {DeviceKind::MembraneKeyboard, "kb_membrane_light", "kb_membrane_key",
     msg::kMembraneKeyboardConnected, msg::kMembraneKeyboardLost, "薄膜键盘Lost"},
}};

// Mouse pages per kind; MouseAlt changes no pictures and has no tab and no messages.
struct MousePages {
    DeviceKind kind;
    std::array<std::string_view, 4> shown;
    std::array<std::string_view, 4> hidden;
    int connectedMessage;  // 0: none
    int lostMessage;
};

constexpr std::array<MousePages, 3> kMousePages{{
    {DeviceKind::Mouse,
     {"ms_cursor_Op_tab", "key_gun", "ms_deng_key", "ms_key_layout"},
     {"ms2_deng_key", "ms2_key_layout", "", ""},
     msg::kMouseConnected,
     msg::kMouseLost},
    {DeviceKind::MouseAlt, {"ms_cursor_Op_tab", "key_gun", "", ""}, {"", "", "", ""}, 0, 0},
    {DeviceKind::Mouse2,
     {"ms2_deng_key", "ms2_key_layout", "", ""},
     {"ms_cursor_Op_tab", "key_gun", "ms_deng_key", "ms_key_layout"},
     msg::kMouse2Connected,
     msg::kMouse2Lost},
}};

constexpr std::array<std::string_view, 4> kKeyboardTabs{"kb_tab", "kb_onecolor_tab", "kb_film_tab",
                                                        "kb_membrane_tab"};

const KeyboardPages& keyboardPagesOf(int keyboardKind) {
    return kKeyboardPages[static_cast<std::size_t>(std::clamp(keyboardKind, 0, 3))];
}

const MousePages& mousePagesOf(int mouseKind) {
    return kMousePages[static_cast<std::size_t>(std::clamp(mouseKind, 0, 2))];
}

DeviceKind keyboardKindOf(int keyboardKind) {
    return keyboardPagesOf(keyboardKind).kind;
}
DeviceKind mouseKindOf(int mouseKind) {
    return mousePagesOf(mouseKind).kind;
}

void setVisible(ui::ControlTree& tree, std::string_view name, bool visible) {
    if (name.empty()) {
        return;
    }
    if (ui::Control* control = tree.find(name)) {
        control->setVisible(visible);
    }
}

void selectTab(ui::ControlTree& tree, std::string_view name) {
    if (name.empty()) {
        return;
    }
    if (ui::Control* tab = tree.find(name)) {
        tab->setSelected(true);
    }
}

void showAndSelectTab(ui::ControlTree& tree, std::string_view name) {
    setVisible(tree, name, true);
    selectTab(tree, name);
}

// The update window's messages reach it through the main window's message table.
void notifyUpdateWindow(MainWindow& main, int message) {
    if (message != 0) {
        main.handleMessage(message);
    }
}

// The last device has gone: the update window closes and the window hides.
void noDeviceLeft(MainWindow& main) {
    main.handleMessage(msg::kCloseUpdateWindow);
    main.window().hide();
}

void startRedraw(MainWindow& main) {
    main.loop().startTimer(kRedrawTimer, kRedrawDelay);
}

long selectedPosition(ProfileList list) {
    return profiles::ProfileIndex(list).selected();
}

// A first-run light list re-seeded for this kind shows the re-written profile again.
void reseedLightProfiles(MainWindow& main, DeviceKind kind, ProfileList list) {
    const bool reseeded = profiles::ReseedOnConnect(
        kind, main.seededThisRun(),
        [&main](std::string_view key) { main.postMessageBox(std::string(key)); });
    if (reseeded) {
        main.fillProfileCombo(list, profiles::readIndexList(profiles::ProfileIndex(list)));
    }
}

void copyRecordIntoSlot(RecordSlot& slot, std::span<const std::uint8_t> record) {
    std::copy_n(record.begin(), std::min(record.size(), slot.size()), slot.begin());
}

template <typename Record>
Record recordOfSlot(const RecordSlot& slot, std::uint8_t firstByte) {
    auto record = lighting::recordFromBytes<Record>(slot);
    record.onboardProfile = firstByte;
    return record;
}

}  // namespace

KeyboardRead ReadKeyboardDevice(device::DeviceCommander& keyboard) {
    KeyboardRead read;
    keyboard.BeginTransfer();
    device::DeviceInfo info;
    if (keyboard.ReadDeviceInfo(info) != device::kResultDone) {
        // Without the key count no table length is known: nothing more is read.
        keyboard.EndTransfer();
        return read;
    }
    read.info = info;
    const unsigned length = 3u * info.keyCount();
    if (length > TableBytes{}.size()) {
        read.tooManyKeys = true;
        keyboard.EndTransfer();
        return read;
    }
    read.tableLength = static_cast<std::uint16_t>(length);
    keyboard.setTableLength(read.tableLength);
    TableBytes table{};
    if (keyboard.ReadBaseTable(table) == device::kResultDone) {
        read.baseTable = table;
    }
    table.fill(0);
    if (keyboard.ReadProfileTable(table, 0) == device::kResultDone) {
        read.table = table;
    }
    keyboard.EndTransfer();
    return read;
}

MouseRead ReadMouseDevice(device::DeviceCommander& mouse) {
    MouseRead read;
    mouse.BeginTransfer();
    device::DeviceInfo info;
    if (mouse.ReadDeviceInfo(info) == device::kResultDone) {
        read.info = info;
    }
    TableBytes table{};
    if (mouse.ReadBaseTable(table) == device::kResultDone) {
        read.baseTable = table;
    }
    for (int profile = 0; profile < device::kProfileCount; ++profile) {
        table.fill(0);
        if (mouse.ReadProfileTable(table, profile) == device::kResultDone) {
            read.tables[static_cast<std::size_t>(profile)] = table;
        }
    }
    mouse.EndTransfer();
    return read;
}

MousePadRead ReadMousePadDevice(device::DeviceCommander& mousePad) {
    MousePadRead read;
    mousePad.BeginTransfer();
    device::DeviceInfo info;
    if (mousePad.ReadDeviceInfo(info) == device::kResultDone) {
        read.info = info;
    }
    for (std::size_t slot = 0; slot < read.slots.size(); ++slot) {
        RecordSlot bytes{};
        const auto address = static_cast<std::uint16_t>(slot * kRecordSlotStride);
        if (mousePad.ReadRecord(address, kRecordReadLength, bytes) == device::kResultDone) {
            read.slots[slot] = bytes;
        }
    }
    std::array<std::uint8_t, 1> active{};
    if (mousePad.ReadRecord(0, 1, active) == device::kResultDone) {
        read.activeIndex = active[0];
    }
    mousePad.EndTransfer();
    return read;
}

CursorRead ReadCursorMemory(device::DeviceCommander& mouse) {
    CursorRead read;
    std::vector<std::uint8_t> header(macros::kImageHeaderSize, 0);
    if (mouse.ReadCursorData(header) != device::kResultDone) {
        return read;
    }
    read.header = header;
    // The announced size is checked against the cursor memory before anything is read.
    const auto size = macros::ImageSizeFromHeader(header);
    if (!size || *size > macros::kMaxCursorImageSize) {
        return read;
    }
    std::vector<std::uint8_t> image(*size, 0);
    if (mouse.ReadCursorData(image) == device::kResultDone) {
        read.image = std::move(image);
    }
    return read;
}

ActiveRecordRead ReadMouseActiveRecord(device::DeviceCommander& mouse) {
    ActiveRecordRead read;
    std::array<std::uint8_t, 1> active{};
    if (mouse.ReadRecord(0, 1, active) == device::kResultDone) {
        read.activeIndex = active[0];
    }
    RecordSlot bytes{};
    if (mouse.ReadRecord(0, kRecordReadLength, bytes) == device::kResultDone) {
        read.record = bytes;
    }
    return read;
}

ActiveRecordRead ReadMousePadActiveRecord(device::DeviceCommander& mousePad) {
    ActiveRecordRead read;
    std::array<std::uint8_t, 1> active{};
    if (mousePad.ReadRecord(0, 1, active) != device::kResultDone ||
        active[0] >= device::kProfileCount) {
        // An index outside the five slots would address memory the pad does not have.
        return read;
    }
    read.activeIndex = active[0];
    read.slot = active[0];
    RecordSlot bytes{};
    const auto address = static_cast<std::uint16_t>(read.slot * kRecordSlotStride);
    if (mousePad.ReadRecord(address, kRecordReadLength, bytes) == device::kResultDone) {
        read.record = bytes;
    }
    return read;
}

void ApplyKeyboardRead(MainWindow& main, const KeyboardRead& read) {
    DeviceStores& stores = main.stores();
    if (read.info) {
        stores.keyboardInfo = *read.info;
    }
    if (!read.info || read.tooManyKeys) {
        if (read.tooManyKeys) {
            main.postMessageBox(std::string(kTooManyKeysMessage));
        }
        return;
    }
    if (read.baseTable) {
        std::copy_n(read.baseTable->begin(), read.tableLength, stores.keyboardBaseTable.begin());
    }
    if (read.table) {
        std::copy_n(read.table->begin(), read.tableLength, stores.keyboardTable.begin());
    }
    lighting::loadLightSlot(stores.keyboardLight.slots, 0, stores.keyboardLight.live);
    stores.keyboardPictureMap = keys::BuildPictureKeyMap(
        keys::KeyTable::fromBytes(stores.keyboardBaseTable), read.info->keyCount());
    profiles::LoadKeyboardKeys(selectedPosition(ProfileList::KeyboardKeys), stores.keyboardTable);
    main.publishLighting();
}

void ApplyMouseRead(MainWindow& main, const MouseRead& read) {
    DeviceStores& stores = main.stores();
    if (read.info) {
        stores.mouseInfo = *read.info;
    }
    if (read.baseTable) {
        stores.mouseBaseTable = *read.baseTable;
        stores.mouseBaseRead = true;
    }
    for (std::size_t profile = 0; profile < read.tables.size(); ++profile) {
        if (read.tables[profile]) {
            stores.mouseTables[profile] = *read.tables[profile];
        }
    }
    stores.mouseSettings =
        recordOfSlot<lighting::MouseSettingsRecord>(stores.mouseSettingsSlots[0], 0);
    LoadMouseLightIntoStores(stores, selectedPosition(ProfileList::MouseLight));
    profiles::LoadMouseKeys(selectedPosition(ProfileList::MouseKeys), stores.mouseTables[0]);
    main.publishLighting();
}

void ApplyMousePadRead(MainWindow& main, const MousePadRead& read) {
    DeviceStores& stores = main.stores();
    if (read.info) {
        stores.mousePadInfo = *read.info;
    }
    for (std::size_t slot = 0; slot < read.slots.size(); ++slot) {
        if (read.slots[slot]) {
            stores.mousePadSlots[slot] = *read.slots[slot];
        }
    }
    // An active index outside the five slots leaves the current record as it was.
    if (read.activeIndex && *read.activeIndex < stores.mousePadSlots.size()) {
        const std::uint8_t a = *read.activeIndex;
        stores.mousePadSettings =
            recordOfSlot<lighting::MousePadSettingsRecord>(stores.mousePadSlots[a], a);
    }
    LoadMousePadLightIntoStores(stores, selectedPosition(ProfileList::MousePadLight));
    main.publishLighting();
}

void ApplyMouseActiveRecord(MainWindow& main, const ActiveRecordRead& read) {
    DeviceStores& stores = main.stores();
    const std::uint8_t current = stores.mouseSettings.onboardProfile;
    if (current < stores.mouseSettingsSlots.size()) {
        copyRecordIntoSlot(stores.mouseSettingsSlots[current],
                           lighting::bytesOf(stores.mouseSettings));
    }
    if (read.record) {
        stores.mouseSettingsSlots[0] = *read.record;
        stores.mouseSettingsSlots[0][0] = 0;
    }
    stores.mouseSettings =
        recordOfSlot<lighting::MouseSettingsRecord>(stores.mouseSettingsSlots[0], 0);
    LoadMouseLightIntoStores(stores, selectedPosition(ProfileList::MouseLight));
    main.publishLighting();
    runRefresh(main.pageRefresh().mousePages);
}

void ApplyMousePadActiveRecord(MainWindow& main, const ActiveRecordRead& read) {
    DeviceStores& stores = main.stores();
    const std::uint8_t current = stores.mousePadSettings.onboardProfile;
    if (current < stores.mousePadSlots.size()) {
        copyRecordIntoSlot(stores.mousePadSlots[current],
                           lighting::bytesOf(stores.mousePadSettings));
    }
    if (read.activeIndex) {
        const std::uint8_t a = read.slot;
        if (read.record) {
            stores.mousePadSlots[a] = *read.record;
            stores.mousePadSlots[a][0] = a;
        }
        stores.mousePadSettings =
            recordOfSlot<lighting::MousePadSettingsRecord>(stores.mousePadSlots[a], a);
    }
    LoadMousePadLightIntoStores(stores, selectedPosition(ProfileList::MousePadLight));
    main.publishLighting();
    runRefresh(main.pageRefresh().mousePadPage);
}

void StoreKeyboardLightRecord(MainWindow& main) {
    lighting::KeyboardLightState& light = main.stores().keyboardLight;
    lighting::saveLightSlot(light.slots, light.live);
    light.slots[0] = lighting::LightSlot{};
    light.live = lighting::KeyboardLightRecord{};
    main.publishLighting();
    runRefresh(main.pageRefresh().keyboardLighting);
}

void CaptureKeyboardDefaultKeys(MainWindow& main, const std::optional<TableBytes>& baseTable) {
    DeviceStores& stores = main.stores();
    if (baseTable) {
        stores.keyboardBaseTable = *baseTable;
    }
    profiles::CaptureDefaultKeyProfile(keyboardKindOf(main.kinds().keyboardKind.load()),
                                       stores.keyboardBaseTable);
    stores.keyboardPictureMap = keys::BuildPictureKeyMap(
        keys::KeyTable::fromBytes(stores.keyboardBaseTable), stores.keyboardInfo.keyCount());
}

void ConnectKeyboard(MainWindow& main, DeviceKind kind, const KeyboardRead& read) {
    ui::ControlTree& tree = main.tree();
    const device::DeviceModel& model = device::modelOf(kind);
    profiles::deviceFolder(DeviceClass::Keyboard);
    main.kinds().keyboardKind = model.classKind;
    const KeyboardPages& pages = keyboardPagesOf(model.classKind);
    for (const std::string_view name : kKeyboardLightVariants) {
        setVisible(tree, name, name == pages.lightShown);
    }
    for (const std::string_view name : kKeyboardKeyVariants) {
        setVisible(tree, name, name == pages.keyShown);
    }
    main.bindKeyboardPictures(model.keyPicturePrefix);
    if (kind != DeviceKind::RgbKeyboard) {
        reseedLightProfiles(main, kind, ProfileList::KeyboardLight);
    }
    // The first-run key profile was made before any keyboard was known; the keyboard gets
    // one made for its own key table before the selected key profile is loaded and sent.
    profiles::ReseedKeysOnConnect(kind, main.seededThisRun(), [&main](std::string_view key) {
        main.postMessageBox(std::string(key));
    });
    ApplyKeyboardRead(main, read);
    SelectProfileAt(main, ProfileList::KeyboardLight, selectedPosition(ProfileList::KeyboardLight));
    SelectProfileAt(main, ProfileList::KeyboardKeys, selectedPosition(ProfileList::KeyboardKeys));
    runRefresh(main.pageRefresh().keyboardLighting);
    startRedraw(main);
    setVisible(tree, "kb_tab_panel", true);
    main.window().show();
    showAndSelectTab(tree, model.tab);
    main.kinds().keyboardShown = model.classKind + 1;
    notifyUpdateWindow(main, pages.connectedMessage);
}

void ConnectMouse(MainWindow& main, DeviceKind kind, const MouseRead& read) {
    ui::ControlTree& tree = main.tree();
    const device::DeviceModel& model = device::modelOf(kind);
    profiles::deviceFolder(DeviceClass::Mouse);
    main.kinds().mouseKind = model.classKind;
    const MousePages& pages = mousePagesOf(model.classKind);
    for (const std::string_view name : pages.shown) {
        setVisible(tree, name, true);
    }
    for (const std::string_view name : pages.hidden) {
        setVisible(tree, name, false);
    }
    if (!model.keyPicturePrefix.empty()) {
        main.bindMousePictures(model.keyPicturePrefix);
    }
    if (kind == DeviceKind::Mouse2) {
        reseedLightProfiles(main, kind, ProfileList::MouseLight);
    }
    ApplyMouseRead(main, read);
    SelectProfileAt(main, ProfileList::MouseLight, selectedPosition(ProfileList::MouseLight));
    SelectProfileAt(main, ProfileList::MouseKeys, selectedPosition(ProfileList::MouseKeys));
    runRefresh(main.pageRefresh().mousePages);
    startRedraw(main);
    setVisible(tree, "ms_tab_panel", true);
    main.window().show();
}

void ConnectMouseCursors(MainWindow& main, DeviceKind kind, const CursorRead& read) {
    ui::ControlTree& tree = main.tree();
    if (read.header && macros::ImageSizeFromHeader(*read.header)) {
        // The bytes were read under the mouse's lock; the files change here.
        const std::array<const std::optional<std::vector<std::uint8_t>>*, 2> parts{&read.header,
                                                                                   &read.image};
        std::size_t next = 0;
        const macros::CursorMemoryReader replay =
            [&](std::size_t length) -> std::optional<std::vector<std::uint8_t>> {
            if (next >= parts.size() || !*parts[next] || (*parts[next])->size() != length) {
                return std::nullopt;
            }
            return **parts[next++];
        };
        macros::CursorStore store = macros::CursorStore::fromDataFolder();
        const auto result = macros::ReceiveCursorImage(store, replay, macros::EventNameFor);
        if (result != macros::ReceiveResult::Stored) {
            platform::debugLine("cursor image not taken over");
        }
        runRefresh(main.pageRefresh().cursorSequences);
        if (ui::Control* option = tree.find("ms_gun_op_0")) {
            option->setSelected(true);
        }
    }
    const device::DeviceModel& model = device::modelOf(kind);
    showAndSelectTab(tree, model.tab);
    main.kinds().mouseShown = kind == DeviceKind::Mouse ? 1 : kind == DeviceKind::Mouse2 ? 2 : 0;
    notifyUpdateWindow(main, mousePagesOf(model.classKind).connectedMessage);
}

void ConnectMousePad(MainWindow& main, const MousePadRead& read) {
    ui::ControlTree& tree = main.tree();
    showAndSelectTab(tree, "mp_tab");
    ApplyMousePadRead(main, read);
    profiles::deviceFolder(DeviceClass::MousePad);
    SelectProfileAt(main, ProfileList::MousePadLight, selectedPosition(ProfileList::MousePadLight));
    runRefresh(main.pageRefresh().mousePadPage);
    main.window().invalidate();
    startRedraw(main);
}

void KeyboardLost(MainWindow& main) {
    ui::ControlTree& tree = main.tree();
    const KeyboardPages& pages = keyboardPagesOf(main.kinds().keyboardKind.load());
    platform::debugLine(pages.lostLine);
    notifyUpdateWindow(main, pages.lostMessage);
    main.kinds().keyboardShown = 0;
    for (const std::string_view tab : kKeyboardTabs) {
        setVisible(tree, tab, false);
    }
    if (main.mouseCommander().connected()) {
        selectTab(tree, device::modelOf(mouseKindOf(main.kinds().mouseKind.load())).tab);
    } else if (main.mousePadCommander().connected()) {
        selectTab(tree, "mp_tab");
    } else {
        noDeviceLeft(main);
    }
}

void MouseLost(MainWindow& main) {
    ui::ControlTree& tree = main.tree();
    setVisible(tree, "ms_tab", false);
    setVisible(tree, "ms2_tab", false);
    main.kinds().mouseShown = 0;
    notifyUpdateWindow(main, mousePagesOf(main.kinds().mouseKind.load()).lostMessage);
    if (main.keyboardCommander().connected()) {
        selectTab(tree, device::modelOf(keyboardKindOf(main.kinds().keyboardKind.load())).tab);
    } else if (main.mousePadCommander().connected()) {
        selectTab(tree, "mp_tab");
    } else {
        noDeviceLeft(main);
    }
}

void MousePadLost(MainWindow& main) {
    ui::ControlTree& tree = main.tree();
    setVisible(tree, "mp_tab", false);
    if (main.keyboardCommander().connected()) {
        selectTab(tree, device::modelOf(keyboardKindOf(main.kinds().keyboardKind.load())).tab);
    } else if (main.mouseCommander().connected()) {
        selectTab(tree, device::modelOf(mouseKindOf(main.kinds().mouseKind.load())).tab);
    } else {
        main.window().hide();
    }
}

bool OtherDeviceConnected(MainWindow& main, DeviceClass deviceClass) {
    const bool keyboard = main.keyboardCommander().connected();
    const bool mouse = main.mouseCommander().connected();
    const bool pad = main.mousePadCommander().connected();
    switch (deviceClass) {
        case DeviceClass::Keyboard:
            return mouse || pad;
        case DeviceClass::Mouse:
            return keyboard || pad;
        case DeviceClass::MousePad:
            return keyboard || mouse;
    }
    return false;
}

void SetSameModeCheck(MainWindow& main, DeviceClass deviceClass, bool enabled) {
    static constexpr std::array<std::string_view, 3> kChecks{
        "kb_deng_same_mode", "ms_deng_same_mode", "mp_deng_same_mode"};
    if (ui::Control* check = main.tree().find(kChecks[static_cast<std::size_t>(deviceClass)])) {
        check->setEnabled(enabled);
    }
}

}  // namespace korvane::app
