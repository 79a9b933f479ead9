#pragma once

#include <QObject>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "core/app/autostart.h"
#include "core/app/installer_settings.h"
#include "core/app/main_window.h"
#include "gui/geometry_report.h"
#include "gui/language_texts.h"
#include "gui/message_box.h"
#include "gui/power_events.h"
#include "gui/qt_main_loop.h"
#include "gui/skin_picker.h"
#include "gui/skin_window.h"
#include "gui/tray.h"
#include "gui/tree_binder.h"

namespace korvane::gui {

struct GuiAppOptions {
    std::filesystem::path skinFolder;
    std::filesystem::path programFile;
    std::filesystem::path installerFile;  // install.ini
    std::filesystem::path configHome;     // holds autostart/; empty: from the environment
    device::HidBackend* hid = nullptr;
    // Makes the desktop's input hook (key capture, macro recording); empty: no input of other
    // programs reaches this one.
    std::function<std::unique_ptr<macros::InputHook>()> makeInputHook;
    update::HttpClient* http = nullptr;
    // The program in front, for linked profiles; null where the display cannot tell.
    profiles::ForegroundApp* foreground = nullptr;
};

// The whole program with its window: the main window's logic on Qt's event loop, the skin
// built from its files and bound to the logic's control tree, tray, menus, message box and
// languages. The QApplication must exist before it.
class GuiApp final : public QObject {
    Q_OBJECT
  public:
    explicit GuiApp(GuiAppOptions options, QObject* parent = nullptr);
    ~GuiApp() override;

    // Builds the window from the skin and delivers "windowinit" (the window stays hidden).
    // False with the reason when the skin cannot be built.
    bool start(std::string& error);
    // A later start of the program asked for the window.
    void activate();
    // The background picker below the skin button; null when the skin has none.
    SkinPicker* openSkinPicker();
    // The update window on screen for the logic's tree; null when the skin has none.
    std::unique_ptr<app::WindowHost> openUpdateWindow(ui::ControlTree& tree,
                                                      std::function<void()> onClose);
    // The "exit" entry's shutdown, if it has not happened yet.
    void shutdown();
    // Whether the shutdown had to abandon a worker: the window logic is then kept until exit.
    bool workersAbandoned() const;

    app::MainWindow& mainWindow() { return *main_; }
    SkinWindow& window() { return window_; }
    TreeBinder& binder() { return *binder_; }
    QtLanguageHost& language() { return language_; }
    QtDialogs& dialogs() { return dialogs_; }
    QtMainLoop& loop() { return loop_; }
    Tray& tray() { return *tray_; }
    PowerEvents& power() { return *power_; }
    // Time from construction to the window's first appearance (zero until then).
    std::chrono::milliseconds startToShown() const { return startToShown_; }

  private:
    void popupMenu(const ui::Menu& menu);

    GuiAppOptions options_;
    std::chrono::steady_clock::time_point constructed_;
    std::chrono::milliseconds startToShown_{0};
    QtMainLoop loop_;
    QtLanguageHost language_;
    QtDialogs dialogs_;
    SkinWindow window_;
    QtWindowHost windowHost_;
    app::XdgAutostart autostart_;
    app::IniInstallerSettings installer_;
    std::unique_ptr<Tray> tray_;
    std::unique_ptr<PowerEvents> power_;
    std::unique_ptr<app::MainWindow> main_;
    std::unique_ptr<TreeBinder> binder_;
    std::unique_ptr<GeometryReport> geometry_;
};

}  // namespace korvane::gui
