#include "core/app/main_window.h"

#include <array>
#include <chrono>
#include <thread>

#include "core/app/features.h"
#include "core/app/language.h"
#include "core/app/window_messages.h"
#include "core/device/device_kind.h"
#include "core/macros/cursor_store.h"
#include "core/macros/fake_input_hook.h"
#include "core/platform/debug_line.h"
#include "core/platform/main_ini.h"
#include "core/platform/paths.h"
#include "core/ui/skin_reader.h"

namespace korvane::app {
namespace {

using namespace std::chrono_literals;

constexpr std::array<std::string_view, 4> kPalettes{"Pallet", "ms_deng_Color_Pallet",
                                                    "mp_deng_Color_Pallet", "kb_deng_Color_Pallet"};

constexpr std::array<std::string_view, 6> kMouseButtonParts{"left",    "wheel", "right",
                                                            "forward", "back",  "dpi"};

constexpr device::DeviceIdentity identityOf(device::DeviceKind kind) {
    return {device::kVendorPrimary, device::modelOf(kind).productId, 0x0092, 0xFF1C};
}

}  // namespace

MainWindow::MainWindow(MainWindowServices services) : services_(std::move(services)) {
    tree_.setNotifyHandler([this](const ui::Notification& n) { onNotify(n); });
    if (!services_.inputHook) {
        services_.inputHook = std::make_unique<macros::FakeInputHook>();
    }
    capture_ = std::make_unique<macros::InputCapture>(std::move(services_.inputHook));
    connectInputHook();
    // The cursor list is seeded in its place among the mouse's lists; the editors that show
    // the macro and cursor lists replace these steps with their own.
    indexListHooks_.mouseCursors = [] { macros::CursorStore::fromDataFolder().SeedCursorList(); };
    for (device::DeviceCommander* commander : {&keyboard_, &mouse_, &mousePad_}) {
        commander->setStateListener([this] { deviceChanges_.notify(); });
    }
    mouseSettingsChanged.setOnSet([this] { wantFlush(); });
    mousePadSettingsChanged.setOnSet([this] { wantFlush(); });
}

void MainWindow::wantFlush() {
    if (!services_.loop.isMainThread()) {
        services_.loop.post([this] { wantFlush(); });
        return;
    }
    if (initialised_ && !exited_ && !flushTimerRunning_) {
        flushTimerRunning_ = true;
        services_.loop.startTimer(2, 1000ms);
    }
}

MainWindow::~MainWindow() {
    if (initialised_ && !exited_) {
        exit();
    }
    // The hook's thread ends here, before anything its events would reach.
    capture_.reset();
    mousePad_.close();
    mouse_.close();
    keyboard_.close();
}

bool MainWindow::create(std::string& error) {
    if (!ui::ReadSkin(services_.skinFolder, ui::kMainWindowSkin, tree_, error)) {
        return false;
    }
    initWindow();
    InstallFeatures(*this);
    return true;
}

void MainWindow::initWindow() {
    platform::debugLine("InitWindow");
    services_.language.loadLanguageFile("lan.xml");
    for (int i = 0; i < static_cast<int>(mousePadPictures_.size()); ++i) {
        mousePadPictures_[static_cast<std::size_t>(i)] = tree_.findIndexed("mp_dkey_", i);
    }
    bindMousePictures("ms_dkey_");
    bindKeyboardPictures("kb_dkey_");
    for (ui::Control* picture : mousePadPictures_) {
        if (picture != nullptr) {
            picture->setChangerMode(true);
            picture->setChangerAlpha(0);
        }
    }
    for (const std::string_view name : kPalettes) {
        if (ui::Control* palette = tree_.find(name)) {
            palette->setColour(kPresetPaletteColour);
        }
    }
}

void MainWindow::bindKeyboardPictures(std::string_view prefix) {
    for (int i = 0; i < static_cast<int>(keyboardPictures_.size()); ++i) {
        ui::Control* picture = tree_.findIndexed(prefix, i);
        keyboardPictures_[static_cast<std::size_t>(i)] = picture;
        if (picture != nullptr) {
            picture->setChangerMode(true);
            picture->setChangerAlpha(0);
        }
    }
}

void MainWindow::bindMousePictures(std::string_view prefix) {
    for (int i = 0; i < static_cast<int>(mousePictures_.size()); ++i) {
        ui::Control* picture = tree_.findIndexed(prefix, i);
        mousePictures_[static_cast<std::size_t>(i)] = picture;
        if (picture != nullptr) {
            picture->setChangerMode(true);
            picture->setChangerAlpha(0);
        }
    }
}

void MainWindow::windowInit() {
    if (initialised_) {
        return;
    }
    initialised_ = true;
    platform::MainIni mainIni(platform::MainIniPath());
    if (mainIni.flags() == 1) {
        if (ui::Control* root = tree_.find("root")) {
            root->setBkColor(0);
            root->setBkImage(mainIni.image());
        }
    }
    const profiles::IndexLists lists = profiles::LoadIndexLists(
        seeded_, [this](std::string_view key) { showMessage(key); }, indexListHooks_);
    for (const auto& info : profiles::kProfileLists) {
        fillProfileCombo(info.list, lists[info.list]);
    }
    for (const auto& initialise : pageInitialisers_) {
        initialise();
    }
    services_.window.hide();
    mouse_.setIdentity(identityOf(device::DeviceKind::Mouse));
    mousePad_.setIdentity(identityOf(device::DeviceKind::MousePad));
    keyboard_.setIdentity(identityOf(device::DeviceKind::RgbKeyboard));
    mouse_.setConnected(false);
    mousePad_.setConnected(false);
    keyboard_.setConnected(false);
    std::this_thread::sleep_for(100ms);
    TakeOverInstallerLanguage(services_.installer, mainIni);
    services_.window.hide();
    workers_.startAll([this] {
        flushTimerRunning_ = true;
        services_.loop.startTimer(2, 1000ms);
    });
    ApplyStartLanguage(mainIni, services_.language);
    autoStart_ = services_.autostart.exists();
}

std::string_view MainWindow::comboOf(profiles::ProfileList list) {
    switch (list) {
        case profiles::ProfileList::KeyboardLight:
            return "kb_deng_profile_combo";
        case profiles::ProfileList::KeyboardKeys:
            return "kb_key_profile_combo";
        case profiles::ProfileList::MouseLight:
            return "ms_deng_profile_combo";
        case profiles::ProfileList::MouseKeys:
            return "ms_key_profile_combo";
        case profiles::ProfileList::MousePadLight:
            return "mp_deng_profile_combo";
    }
    return {};
}

void MainWindow::fillProfileCombo(profiles::ProfileList list,
                                  const std::vector<std::string>& names) {
    ui::Control* combo = tree_.find(comboOf(list));
    if (combo == nullptr) {
        return;
    }
    combo->clearItems();
    for (const std::string& name : names) {
        combo->addItem({name, name, 0});
    }
}

void MainWindow::exit() {
    if (exited_) {
        return;
    }
    exited_ = true;
    platform::debugLine("退出测试");
    capture_->RemoveHooks();
    // No worker may wait for the main thread from here on, and what they posted stays
    // unrun: the stop waits below neither pump the loop nor show the window again.
    services_.loop.beginTeardown();
    services_.window.hide();
    // The timers stop first: the settings flush of timer 2 is device I/O on this thread.
    for (const int timer : {1, 2, 7, 9, 10}) {
        services_.loop.stopTimer(timer);
    }
    for (const auto& [timer, handler] : timerHandlers_) {
        services_.loop.stopTimer(timer);
    }
    workers_.stopAll([this] {
        keyboard_.stopExchanges();
        mouse_.stopExchanges();
        mousePad_.stopExchanges();
    });
    if (hooks_.quit) {
        hooks_.quit();
    }
}

bool MainWindow::anyDeviceConnected() const {
    return keyboard_.connected() || mouse_.connected() || mousePad_.connected();
}

void MainWindow::registerMessage(int message, MessageHandler handler) {
    messageHandlers_[message] = std::move(handler);
}

void MainWindow::registerTimer(int id, std::function<void()> handler) {
    timerHandlers_[id] = std::move(handler);
}

void MainWindow::onNotify(const ui::Notification& notification) {
    platform::debugLine(std::string(notification.type) + " " + notification.sender.name());
    const std::string_view type = notification.type;
    if (type == ui::notify::kWindowInit) {
        windowInit();
    } else if (type == ui::notify::kClick) {
        onClick(notification.sender);
    } else if (type == ui::notify::kMenu) {
        if (notification.sender.name() == "setbtn" && hooks_.popupMenu) {
            hooks_.popupMenu(settingsMenu());
        }
    } else if (type == ui::notify::kMouseEnter || type == ui::notify::kMouseLeave) {
        onMouseHover(notification.sender, type == ui::notify::kMouseEnter);
    } else {
        // Another page or device view: capture belongs to the page that started it.
        if (type == ui::notify::kSelectChanged && notification.sender.selected() &&
            notification.sender.attributes().contains("tabLayout")) {
            capture_->RemoveHooks();
        }
        router_.route(notification);
    }
}

void MainWindow::onClick(ui::Control& sender) {
    const std::string& name = sender.name();
    WindowHost& window = services_.window;
    if (name == "closebtn") {
        window.hide();
        return;
    }
    if (name == "minbtn") {
        window.minimise();
        return;
    }
    if (name == "maxbtn") {
        window.maximise();
        return;
    }
    if (name == "restorebtn") {
        window.restore();
        return;
    }
    if (name == "skinbtn" && hooks_.openSkinPicker) {
        hooks_.openSkinPicker();
    }
    router_.route(ui::Notification{ui::notify::kClick, sender});
}

void MainWindow::onMouseHover(ui::Control& sender, bool enter) {
    const std::string& name = sender.name();
    if (!name.starts_with("ms_key_") || name.size() != 8 || name[7] < '0' || name[7] > '5') {
        return;
    }
    const int index = name[7] - '0';
    const int mouseKind = kinds_.mouseKind.load();
    std::string pictureName;
    std::string suffix;
    if (mouseKind == device::modelOf(device::DeviceKind::Mouse).classKind) {
        pictureName = name + "_0";
    } else if (mouseKind == device::modelOf(device::DeviceKind::Mouse2).classKind) {
        pictureName = "ms2_" + name.substr(3) + "_0";
        suffix = "_2";
    } else {
        return;
    }
    if (ui::Control* picture = tree_.find(pictureName)) {
        picture->setBkImage("file='ms/key_" +
                            std::string(kMouseButtonParts[static_cast<std::size_t>(index)]) +
                            (enter ? "_down" : "_normal") + suffix + ".png'");
    }
}

void MainWindow::post(int message, std::intptr_t wParam, std::intptr_t lParam) {
    services_.loop.post(
        [this, message, wParam, lParam] { handleMessage(message, wParam, lParam); });
}

void MainWindow::handleMessage(int message, std::intptr_t wParam, std::intptr_t lParam) {
    switch (message) {
        case msg::kPictureColour:
            preview_.setColour(static_cast<int>(wParam), static_cast<std::uint32_t>(lParam));
            return;
        case msg::kPictureAlpha:
            preview_.setAlpha(static_cast<int>(wParam), static_cast<std::uint8_t>(lParam));
            return;
        case msg::kShowProgress:
            if (ui::Control* progress = tree_.find("setting_progress")) {
                progress->setVisible(true);
            }
            return;
        case msg::kHideProgressLater:
            services_.loop.startTimer(1, 1000ms);
            return;
        case msg::kReloadTexts:
            services_.language.reloadTexts();
            services_.window.invalidate();
            return;
        default:
            break;
    }
    if (auto it = messageHandlers_.find(message); it != messageHandlers_.end()) {
        it->second(wParam, lParam);
    }
}

void MainWindow::onTimer(int id) {
    switch (id) {
        case 1:
            services_.loop.stopTimer(1);
            if (ui::Control* progress = tree_.find("setting_progress")) {
                progress->setVisible(false);
            }
            break;
        case 2:
            flushSettings();
            // Nothing waits: the timer rests until a record changes again.
            if (!mouseSettingsChanged.load() && !mousePadSettingsChanged.load()) {
                services_.loop.stopTimer(2);
                flushTimerRunning_ = false;
            }
            break;
        case 7:
            services_.window.invalidate();
            services_.loop.stopTimer(7);
            platform::debugLine("1234567890");
            break;
        case 9:
            services_.loop.stopTimer(9);
            handleMessage(msg::kReReadMouseActive);
            break;
        case 10:
            services_.loop.stopTimer(10);
            handleMessage(msg::kReadMouse);
            break;
        default:
            if (auto it = timerHandlers_.find(id); it != timerHandlers_.end()) {
                it->second();
            }
            break;
    }
}

void MainWindow::flushSettings() {
    const auto queue = [this](device::DeviceClass deviceClass,
                              std::span<const std::uint8_t> record) {
        std::array<std::uint8_t, 56> block{};
        std::copy(record.begin(), record.end(), block.begin());
        queueDeviceWrite(deviceClass, "settings", [block](device::DeviceCommander& commander) {
            commander.WriteSettings(block);
        });
    };
    if (mouseSettingsChanged.exchange(false)) {
        queue(device::DeviceClass::Mouse, lighting::bytesOf(stores_.mouseSettings));
    }
    if (mousePadSettingsChanged.exchange(false)) {
        queue(device::DeviceClass::MousePad, lighting::bytesOf(stores_.mousePadSettings));
    }
}

device::DeviceCommander& MainWindow::commanderOf(device::DeviceClass deviceClass) {
    switch (deviceClass) {
        case device::DeviceClass::Keyboard:
            break;
        case device::DeviceClass::Mouse:
            return mouse_;
        case device::DeviceClass::MousePad:
            return mousePad_;
    }
    return keyboard_;
}

void MainWindow::queueDeviceWrite(device::DeviceClass deviceClass, std::string_view name,
                                  DeviceWrite write) {
    if (deviceWrites_) {
        deviceWrites_(deviceClass, name, std::move(write));
    } else if (write) {
        write(commanderOf(deviceClass));
    }
}

void MainWindow::publishLighting() {
    const lighting::KeyboardLightState& keyboard = stores_.keyboardLight;
    snapshots_.keyboard.publish({keyboard.live.light, keyboard.word, keyboard.store});
    snapshots_.mouse.publish(stores_.mouseSettings);
    snapshots_.mousePad.publish(stores_.mousePadSettings);
    snapshots_.sync.publish(stores_.sync);
}

int MainWindow::showMessage(std::string_view textKey) {
    return services_.dialogs.showMessage(textKey);
}

void MainWindow::postMessageBox(std::string textKey) {
    services_.loop.post([this, key = std::move(textKey)] { showMessage(key); });
}

void MainWindow::showNoDeviceMessage() {
    // One box at a time however often the tray is clicked while it is open.
    if (noDeviceBoxOpen_) {
        return;
    }
    noDeviceBoxOpen_ = true;
    showMessage(kNoDeviceMessage);
    noDeviceBoxOpen_ = false;
}

void MainWindow::trayLeftClick() {
    WindowHost& window = services_.window;
    if (!anyDeviceConnected()) {
        window.hide();
        showNoDeviceMessage();
        return;
    }
    if (window.isVisible() && !window.isMinimised()) {
        window.hide();
        return;
    }
    window.show();
    window.restore();
    window.bringToFront();
    window.invalidate();
    services_.loop.startTimer(7, 10ms);
}

void MainWindow::activate() {
    platform::debugLine("软件标示 activate");
    if (anyDeviceConnected()) {
        services_.window.restore();
        services_.window.bringToFront();
        return;
    }
    services_.window.hide();
    showNoDeviceMessage();
}

void MainWindow::windowDeactivated() {
    platform::debugLine("60d0d");
    capture_->RemoveHooks();
}

void MainWindow::connectInputHook() {
    // Hook events may come from the hook's own thread; they reach the window as messages on
    // the main thread, like every other message from elsewhere, unless it is gone by then.
    const auto later = [this, alive = std::weak_ptr<const bool>(alive_)](std::function<void()> fn) {
        services_.loop.post([alive, fn = std::move(fn)] {
            if (!alive.expired()) {
                fn();
            }
        });
    };
    macros::InputHook::Sink sink;
    sink.key = [this, later](const macros::KeyHookEvent& event) {
        later([this, event] { deliverKeyHookEvent(event); });
    };
    sink.mouse = [this, later](const macros::MouseHookEvent& event) {
        later([this, event] { deliverMouseHookEvent(event); });
    };
    sink.ended = [this, later](std::uint64_t generation, macros::CaptureEnd why) {
        later([this, generation, why] { captureEnded(generation, why); });
    };
    capture_->hook().setSink(std::move(sink));
}

bool MainWindow::takeHookEvent(std::uint64_t serial, std::uint64_t generation) {
    macros::InputHook& hook = capture_->hook();
    hook.answered(serial);
    // An event of a capture that has ended since is dropped, as a removed hook sends none.
    return generation == hook.generation();
}

void MainWindow::deliverKeyHookEvent(const macros::KeyHookEvent& event) {
    const auto message = macros::KeyHookMessage(event.mode);
    if (takeHookEvent(event.serial, event.generation) && message) {
        macros::KeyRecord record = event.record;
        handleMessage(*message, event.message, reinterpret_cast<std::intptr_t>(&record));
    }
}

void MainWindow::deliverMouseHookEvent(const macros::MouseHookEvent& event) {
    const auto message = macros::MouseHookMessage(event.mode);
    if (takeHookEvent(event.serial, event.generation) && message) {
        handleMessage(*message, event.message, static_cast<std::intptr_t>(event.time));
    }
}

void MainWindow::captureEnded(std::uint64_t generation, macros::CaptureEnd why) {
    if (generation != capture_->hook().generation()) {
        return;
    }
    std::string_view reason;
    switch (why) {
        case macros::CaptureEnd::GrabLost:
            reason = "grab lost";
            break;
        case macros::CaptureEnd::Deactivated:
            reason = "deactivated";
            break;
        case macros::CaptureEnd::NotAnswering:
            reason = "not answering";
            break;
        case macros::CaptureEnd::Refused:
            reason = "refused";
            break;
    }
    platform::debugLine("input capture ended: " + std::string(reason));
    capture_->RemoveHooks();
    if (why == macros::CaptureEnd::Refused) {
        showMessage(macros::kCaptureRefusedMessage);
    }
}

void MainWindow::suspend() {
    streamingEnabled = false;
}

void MainWindow::resume() {
    streamingEnabled = true;
}

std::string MainWindow::startupText() const {
    return autoStart_ ? "startup_off" : "startup_on";
}

ui::Menu MainWindow::readMenu(std::string_view file) const {
    ui::Menu menu;
    std::string error;
    if (!ui::ReadMenu(services_.skinFolder / std::string(file), menu, error)) {
        platform::debugLine(error);
    }
    return menu;
}

ui::Menu MainWindow::trayMenu() const {
    ui::Menu menu = readMenu("menu.xml");
    menu.entries.push_back({"exit", "exit", false, {}});
    menu.entries.push_back({"ON_or_OFF", startupText(), false, {}});
    return menu;
}

ui::Menu MainWindow::settingsMenu() const {
    ui::Menu menu = readMenu("setmenu.xml");
    menu.entries.push_back({"power_off", startupText(), false, {}});
    return menu;
}

void MainWindow::trayRightClick() {
    if (hooks_.popupMenu) {
        hooks_.popupMenu(trayMenu());
    }
}

void MainWindow::menuCommand(std::string_view entry, std::string_view text) {
    platform::MainIni mainIni(platform::MainIniPath());
    if (ApplyMenuLanguage(entry, mainIni, services_.installer, services_.language)) {
        services_.window.invalidate();
        return;
    }
    if (entry == "qianting" || entry == "Menu_Import" || entry == "Menu_Export") {
        return;
    }
    if (entry == "exit") {
        exit();
        return;
    }
    if (entry == "ON_or_OFF" || entry == "power_off") {
        toggleAutostart();
        return;
    }
    showMessage(text);
}

void MainWindow::toggleAutostart() {
    if (autoStart_) {
        services_.autostart.remove();
    } else {
        // The installer's folder names the program to start; without one, this program.
        std::filesystem::path program = services_.programFile;
        if (const auto folder = services_.installer.installPath(); folder && !folder->empty()) {
            program = std::filesystem::path(*folder) / "korvane";
        }
        services_.autostart.create(program);
    }
    autoStart_ = !autoStart_;
}

void MainWindow::applySkinChange(bool isColour, std::uint32_t argb, const std::string& image) {
    ui::Control* root = tree_.find("root");
    if (root == nullptr) {
        return;
    }
    if (isColour) {
        root->setBkColor(argb);
        root->setBkImage({});
    } else {
        root->setBkColor(0);
        root->setBkImage(image);
    }
}

}  // namespace korvane::app
