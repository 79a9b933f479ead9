#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/app/autostart.h"
#include "core/app/device_stores.h"
#include "core/app/installer_settings.h"
#include "core/app/notification_router.h"
#include "core/app/page_refresh.h"
#include "core/app/window_host.h"
#include "core/app/worker_set.h"
#include "core/device/device_changes.h"
#include "core/device/device_commander.h"
#include "core/device/device_kind.h"
#include "core/lighting/effects/effect_engines.h"
#include "core/lighting/settings_snapshot.h"
#include "core/macros/input_capture.h"
#include "core/mouse/system_pointer.h"
#include "core/platform/main_loop.h"
#include "core/profiles/foreground_app.h"
#include "core/profiles/seeding.h"
#include "core/ui/control_tree.h"
#include "core/ui/dialogs.h"
#include "core/ui/language_host.h"
#include "core/ui/menu.h"
#include "core/ui/preview_buffer.h"

namespace korvane::update {
class HttpClient;
}

namespace korvane::app {

// A settings record waiting for the one-second flush. Setting it starts the flush timer,
// which stops itself once nothing is left to flush, so an idle program has no timer running.
class PendingFlush {
  public:
    PendingFlush& operator=(bool value) {
        store(value);
        return *this;
    }
    void store(bool value) {
        flag_.store(value);
        if (value && onSet_) {
            onSet_();
        }
    }
    bool exchange(bool value) { return flag_.exchange(value); }
    bool load() const { return flag_.load(); }
    explicit operator bool() const { return load(); }
    // Set once by the window before any thread sets the flag.
    void setOnSet(std::function<void()> onSet) { onSet_ = std::move(onSet); }

  private:
    std::atomic<bool> flag_{false};
    std::function<void()> onSet_;
};

struct MainWindowServices {
    platform::MainLoop& loop;
    ui::Dialogs& dialogs;
    WindowHost& window;
    Autostart& autostart;
    InstallerSettings& installer;
    ui::LanguageHost& language;
    // The devices' HID interfaces; null in sessions that never look for devices.
    device::HidBackend* hid = nullptr;
    std::filesystem::path skinFolder;
    // The running program, for the autostart entry when the installer named no folder.
    std::filesystem::path programFile;
    // Requests to the update service; null in sessions that make none.
    update::HttpClient* http = nullptr;
    // The desktop's keyboard and mouse hooks; null gives the injected-event hook of headless
    // sessions.
    std::unique_ptr<macros::InputHook> inputHook = nullptr;
    // The program in front, for linked profiles; null where nothing can tell.
    profiles::ForegroundApp* foreground = nullptr;
    // The desktop's pointer speed and wheel lines; null leaves the desktop alone.
    mouse::SystemPointer* pointer = nullptr;
};

// What the front end does for the window (all optional).
struct FrontEndHooks {
    std::function<void()> openSkinPicker;
    // Shows the update window's tree on screen; onClose runs when the user closes it there.
    std::function<std::unique_ptr<WindowHost>(ui::ControlTree& tree, std::function<void()> onClose)>
        createUpdateWindow;
    // Opens a web page in the desktop's browser.
    std::function<void(const std::string& url)> openUrl;
    // Shows a popup menu; the front end answers with menuCommand().
    std::function<void(const ui::Menu&)> popupMenu;
    // Ends the main loop after shutdown.
    std::function<void()> quit;
};

// The main window's logic: owner of the commanders, the workers, the device stores and
// the control tree of "XML_MAIN"; routes notifications and window messages. Every method
// runs on the main thread unless it says otherwise.
class MainWindow {
  public:
    using MessageHandler = std::function<void(std::intptr_t wParam, std::intptr_t lParam)>;

    static constexpr std::uint32_t kPresetPaletteColour = 0xFF0199CB;
    static constexpr std::string_view kNoDeviceMessage = "message_text_1";

    explicit MainWindow(MainWindowServices services);
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Builds the tree from the skin and runs InitWindow. False with an error naming the
    // skin file when it cannot be read.
    bool create(std::string& error);
    // The "windowinit" notification: fills the lists, gives the commanders their
    // identities, takes over the installer language, starts the workers.
    void windowInit();
    // The "exit" entry: shutdown in order; calls the quit hook at the end. Never waits for
    // a device or a worker longer than WorkerSet::kStopBudget. When a worker had to be
    // abandoned (workers().anyAbandoned()), this object must outlive it: its owner keeps it
    // (platform::KeepUntilExit) or ends the process.
    void exit();
    bool exited() const { return exited_; }

    // Notifications of the window's controls.
    void onNotify(const ui::Notification& notification);
    // Window messages; post() is the way from other threads.
    void handleMessage(int message, std::intptr_t wParam = 0, std::intptr_t lParam = 0);
    void post(int message, std::intptr_t wParam = 0, std::intptr_t lParam = 0);
    void onTimer(int id);

    void trayLeftClick();
    ui::Menu trayMenu() const;
    ui::Menu settingsMenu() const;
    void trayRightClick();
    void menuCommand(std::string_view entry, std::string_view text);
    // A second instance was started.
    void activate();
    void suspend();
    void resume();
    // The window lost the activation (WM_ACTIVATE, inactive): capture and recording hooks end.
    void windowDeactivated();
    void applySkinChange(bool isColour, std::uint32_t argb, const std::string& image);

    // Modal message box by language key; returns its close code.
    int showMessage(std::string_view textKey);
    // From any thread: the box is shown later on the main thread, not awaited.
    void postMessageBox(std::string textKey);

    // Features register their window messages and control names here.
    void registerMessage(int message, MessageHandler handler);
    // A main-window timer of a feature's own (an id the window's timers do not use); the
    // handler runs on each tick until the feature stops the timer. Stopped at exit.
    void registerTimer(int id, std::function<void()> handler);
    // Runs at "windowinit" before the workers start: the pages fill their lists here.
    void addPageInitialiser(std::function<void()> initialise) {
        pageInitialisers_.push_back(std::move(initialise));
    }
    NotificationRouter& router() { return router_; }
    WorkerSet& workers() { return workers_; }

    ui::ControlTree& tree() { return tree_; }
    ui::PreviewBuffer& preview() { return preview_; }
    device::DeviceCommander& keyboardCommander() { return keyboard_; }
    device::DeviceCommander& mouseCommander() { return mouse_; }
    device::DeviceCommander& mousePadCommander() { return mousePad_; }
    bool anyDeviceConnected() const;
    // Wakes sleeping threads when a device node comes or goes, or a commander's connected
    // or synchronised flag changes. Any thread.
    device::DeviceChanges& deviceChanges() { return deviceChanges_; }
    DeviceStores& stores() { return stores_; }
    CurrentKinds& kinds() { return kinds_; }
    // Read by the effect threads; publish after changing the live lighting records.
    lighting::LightingSnapshots& lightingSnapshots() { return snapshots_; }
    lighting::FlashTriggers& flashTriggers() { return flash_; }
    // The effect engines' state; the lighting editors reset and initialise it here.
    lighting::effects::EffectEngines& effectEngines() { return effects_; }
    // Publishes the keyboard, mouse, mouse-pad and synchronised settings from the stores.
    void publishLighting();
    profiles::SeededThisRun& seededThisRun() { return seeded_; }
    // The combo box that shows a profile list.
    static std::string_view comboOf(profiles::ProfileList list);
    // Refills a list's combo box (text and tool tip = name), without notification.
    void fillProfileCombo(profiles::ProfileList list, const std::vector<std::string>& names);
    // The steps of the macro and cursor lists that run inside the profile lists' start-up.
    void setIndexListHooks(profiles::IndexListHooks hooks) { indexListHooks_ = std::move(hooks); }
    WindowHost& window() { return services_.window; }
    InstallerSettings& installer() { return services_.installer; }
    ui::LanguageHost& language() { return services_.language; }
    const std::filesystem::path& skinFolder() const { return services_.skinFolder; }
    update::HttpClient* httpClient() const { return services_.http; }
    // The devices' HID interfaces; null when the session looks for none.
    device::HidBackend* hidBackend() const { return services_.hid; }
    mouse::SystemPointer* systemPointer() const { return services_.pointer; }
    platform::MainLoop& loop() { return services_.loop; }
    // Null where nothing tells which program is in front.
    profiles::ForegroundApp* foreground() const { return services_.foreground; }
    ui::Dialogs& dialogs() { return services_.dialogs; }
    void setFrontEndHooks(FrontEndHooks hooks) { hooks_ = std::move(hooks); }
    const FrontEndHooks& frontEndHooks() const { return hooks_; }
    // The editors' page refreshes that connections, re-reads and profile selection call.
    PageRefreshHooks& pageRefresh() { return pageRefresh_; }
    // The input hook and what captures with it (key editors, macro recording). Hook events
    // arrive as the hook messages 0x0801 ... 0x0813, with the key record behind lParam
    // (valid while the handler runs) or the mouse event's time in lParam.
    macros::InputCapture& inputCapture() { return *capture_; }
    // Device writes this thread asks for (settings flush, key table of a selected profile)
    // run on the device's own connection thread, which owns the device's I/O, so this thread
    // never waits for a device. A write queued under a name that is still waiting replaces
    // it; writes for a device that is not connected are dropped. Without device threads (no
    // HID backend) the write runs here at once.
    using DeviceWrite = std::function<void(device::DeviceCommander&)>;
    using DeviceWriteQueue =
        std::function<void(device::DeviceClass, std::string_view name, DeviceWrite)>;
    void setDeviceWriteQueue(DeviceWriteQueue queue) { deviceWrites_ = std::move(queue); }
    void queueDeviceWrite(device::DeviceClass deviceClass, std::string_view name,
                          DeviceWrite write);
    device::DeviceCommander& commanderOf(device::DeviceClass deviceClass);
    // Expires when this window is destroyed: for work that reaches it later from elsewhere.
    std::weak_ptr<const bool> aliveToken() const { return alive_; }

    // Binds 126 keyboard pictures by name prefix ("kb_dkey_", "kb_fkey_", "kb_mkey_"),
    // 20 mouse pictures ("ms_dkey_", "ms2_dkey_"); missing controls leave null entries.
    void bindKeyboardPictures(std::string_view prefix);
    void bindMousePictures(std::string_view prefix);
    const std::array<ui::Control*, 126>& keyboardPictures() const { return keyboardPictures_; }
    const std::array<ui::Control*, 20>& mousePictures() const { return mousePictures_; }
    const std::array<ui::Control*, 15>& mousePadPictures() const { return mousePadPictures_; }

    std::atomic<bool> streamingEnabled{true};
    PendingFlush mouseSettingsChanged;
    PendingFlush mousePadSettingsChanged;
    bool autoStartEnabled() const { return autoStart_; }

  private:
    void initWindow();
    void connectInputHook();
    bool takeHookEvent(std::uint64_t serial, std::uint64_t generation);
    void deliverKeyHookEvent(const macros::KeyHookEvent& event);
    void deliverMouseHookEvent(const macros::MouseHookEvent& event);
    void captureEnded(std::uint64_t generation, macros::CaptureEnd why);
    void onClick(ui::Control& sender);
    void onMouseHover(ui::Control& sender, bool enter);
    void showNoDeviceMessage();
    void toggleAutostart();
    void flushSettings();
    // Starts the one-second flush timer unless it runs; any thread.
    void wantFlush();
    ui::Menu readMenu(std::string_view file) const;
    std::string startupText() const;

    MainWindowServices services_;
    FrontEndHooks hooks_;
    PageRefreshHooks pageRefresh_;
    DeviceWriteQueue deviceWrites_;
    ui::ControlTree tree_;
    ui::PreviewBuffer preview_;
    NotificationRouter router_;
    std::map<int, MessageHandler> messageHandlers_;
    std::map<int, std::function<void()>> timerHandlers_;
    std::vector<std::function<void()>> pageInitialisers_;
    DeviceStores stores_;
    CurrentKinds kinds_;
    lighting::LightingSnapshots snapshots_;
    lighting::FlashTriggers flash_;
    lighting::effects::EffectEngines effects_;
    profiles::SeededThisRun seeded_;
    profiles::IndexListHooks indexListHooks_;

    // Outlives the commanders and workers that notify and listen.
    device::DeviceChanges deviceChanges_;
    // Destroyed in the order mouse pad, mouse, keyboard (reverse of declaration).
    device::DeviceCommander keyboard_;
    device::DeviceCommander mouse_;
    device::DeviceCommander mousePad_;
    WorkerSet workers_;

    // Posted hook events check it: they may arrive after the window is gone.
    std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);
    std::unique_ptr<macros::InputCapture> capture_;

    std::array<ui::Control*, 126> keyboardPictures_{};
    std::array<ui::Control*, 20> mousePictures_{};
    std::array<ui::Control*, 15> mousePadPictures_{};
    bool autoStart_ = false;
    bool noDeviceBoxOpen_ = false;
    bool initialised_ = false;
    bool exited_ = false;
    bool flushTimerRunning_ = false;  // main thread
};

}  // namespace korvane::app
