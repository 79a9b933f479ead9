#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "core/app/autostart.h"
#include "core/app/headless_window_host.h"
#include "core/app/installer_settings.h"
#include "core/app/main_window.h"
#include "core/macros/fake_input_hook.h"
#include "core/platform/thread_main_loop.h"
#include "core/ui/language_host.h"
#include "core/ui/scripted_dialogs.h"

namespace korvane::app {

struct HeadlessAppOptions {
    std::filesystem::path skinFolder;
    std::filesystem::path programFile;
    std::filesystem::path installerFile;  // install.ini
    std::filesystem::path configHome;     // holds autostart/; empty: from the environment
    device::HidBackend* hid = nullptr;
    // Requests to the update service; null: none are made.
    update::HttpClient* http = nullptr;
    // Lines for whoever drives the session: "message KEY", "window shown", "window hidden",
    // "update window shown", "update window hidden", "open URL".
    std::function<void(std::string_view line)> output;
    // Features install their workers, routes and messages here, before "windowinit".
    std::function<void(MainWindow&)> installFeatures;
    // Makes the desktop's input hook; empty: a FakeInputHook driven by the script's "input"
    // lines.
    std::function<std::unique_ptr<macros::InputHook>()> makeInputHook;
};

// The whole program without a display: the main window's logic on a main loop of its own,
// with scripted dialogs and a window that only keeps its state.
class HeadlessApp {
  public:
    explicit HeadlessApp(HeadlessAppOptions options);
    ~HeadlessApp();
    HeadlessApp(const HeadlessApp&) = delete;
    HeadlessApp& operator=(const HeadlessApp&) = delete;

    // Builds the window from the skin and delivers "windowinit". False with the reason.
    bool start(std::string& error);
    // Shuts down as the "exit" entry does, then stops the main loop.
    void shutdown();

    // Runs fn on the main thread; returns when it has finished, or as soon as a message
    // box it opened is held open (see ScriptedDialogs::hold). False once stopped.
    bool act(std::function<void()> fn);
    // Runs fn on the main thread and waits for it.
    bool query(const std::function<void()>& fn);

    platform::ThreadMainLoop& loop() { return parts_->loop; }
    ui::ScriptedDialogs& dialogs() { return parts_->dialogs; }
    // The program in front, as the script sets it ("foreground PATH").
    profiles::ScriptedForegroundApp& foreground() { return parts_->foreground; }
    HeadlessWindowHost& windowHost() { return parts_->window; }
    ui::RecordingLanguageHost& languageHost() { return parts_->language; }
    MainWindow& mainWindow() { return *parts_->main; }
    // The injected-event hook; null when the options brought a hook of their own.
    macros::FakeInputHook* fakeInputHook() { return parts_->fakeHook; }
    // The open update window's controls; null while it is closed. Main thread only.
    ui::ControlTree* updateWindowTree() const { return parts_->updateTree; }
    // Whether the update window is on the (imagined) screen. Main thread only.
    bool updateWindowVisible() const;
    // Whether the shutdown had to abandon a worker (its parts are then kept until exit).
    bool workersAbandoned() const;

  private:
    // Everything the window and its workers use, in one piece, so that it can be kept alive
    // past this object when a worker had to be abandoned at shutdown.
    struct Parts {
        explicit Parts(HeadlessAppOptions o);

        HeadlessAppOptions options;
        platform::ThreadMainLoop loop;
        ui::ScriptedDialogs dialogs;
        profiles::ScriptedForegroundApp foreground;
        HeadlessWindowHost window;
        XdgAutostart autostart;
        IniInstallerSettings installer;
        ui::RecordingLanguageHost language;
        std::unique_ptr<MainWindow> main;
        macros::FakeInputHook* fakeHook = nullptr;
        ui::ControlTree* updateTree = nullptr;
        const WindowHost* updateHost = nullptr;
    };

    std::unique_ptr<Parts> parts_;
};

}  // namespace korvane::app
