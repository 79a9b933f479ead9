#include "core/update/update_service.h"

#include <chrono>

#include "core/app/main_window.h"
#include "core/app/window_messages.h"
#include "core/platform/debug_line.h"
#include "core/platform/thread_name.h"
#include "core/update/update_check.h"

namespace korvane::update {
namespace {

using namespace std::chrono_literals;

// Devices attached at start have connected by then, so the check knows their firmware.
constexpr auto kDeviceSettle = 3s;

constexpr std::array<int, 12> kDeviceMessages{
    app::msg::kRgbKeyboardConnected,
    app::msg::kRgbKeyboardLost,
    app::msg::kMonoKeyboardConnected,
    app::msg::kMonoKeyboardLost,
    app::msg::kMouseConnected,
    app::msg::kMouseLost,
    app::msg::kRegionKeyboardConnected,
    app::msg::kMouse2Connected,
    app::msg::kRegionKeyboardLost,
    app::msg::kMouse2Lost,
    app::msg::kMembraneKeyboardConnected,
    app::msg::kMembraneKeyboardLost,
};

// Worker 15: once at start, the newest versions against the installed ones; anything newer
// opens the update window. Takes copies, so it reaches nothing of the window but through the
// mailbox.
void checkAtStart(const platform::StopEvent& stop, HttpClient* http, const UpdateSettings& settings,
                  const app::CurrentKinds& kinds, const std::shared_ptr<Mailbox>& mailbox,
                  app::MainWindow& main) {
    platform::nameThisThread("kv-version");
    if (http == nullptr || !settings.endpoint) {
        platform::debugLine("no update service configured: no version check");
        return;
    }
    if (stop.wait(kDeviceSettle)) {
        return;
    }
    InstalledVersions installed;
    installed.software = settings.installedVersion;
    installed.keyboardShown = kinds.keyboardShown.load();
    installed.keyboardFirmware = kinds.keyboardFirmware.load();
    installed.mouseShown = kinds.mouseShown.load();
    installed.mouseFirmware = kinds.mouseFirmware.load();
    ServiceClient service(*http, *settings.endpoint, stop);
    if (CheckForUpdates(service, installed) && !stop.isSet()) {
        mailbox->post([&main] { main.handleMessage(app::msg::kOpenUpdateWindow); });
    }
}

}  // namespace

UpdateService::UpdateService(app::MainWindow& main)
    : context_{main, ReadUpdateSettings(main.installer()), main.httpClient(), nullptr},
      mailbox_(Mailbox::create(main.loop())) {
    updater_ = std::make_unique<ProcessUpdater>(
        context_.settings.updater, context_.settings.programFolder,
        [mailbox = mailbox_, this](const UpdaterMessage& message) {
            mailbox->post([this, message] { onUpdaterMessage(message); });
        });
    context_.updater = updater_.get();
}

UpdateService::~UpdateService() {
    mailbox_->close();
    window_.reset();
    closing_.clear();
    updater_.reset();
}

app::WorkerSet::Body UpdateService::startupCheck() {
    return [http = context_.http, settings = context_.settings, &kinds = context_.main.kinds(),
            mailbox = mailbox_, &main = context_.main](platform::StopEvent& stop) {
        checkAtStart(stop, http, settings, kinds, mailbox, main);
    };
}

void UpdateService::open() {
    if (window_) {
        if (app::WindowHost* view = window_->view()) {
            view->show();
            view->bringToFront();
        }
        return;
    }
    auto window = std::make_unique<UpdateWindow>(context_, [this] { close(); });
    std::string error;
    if (!window->create(error)) {
        platform::debugLine(error);
        return;
    }
    if (const auto& create = context_.main.frontEndHooks().createUpdateWindow) {
        auto view = create(window->tree(), [this] { close(); });
        if (!view) {
            // A window nobody could see or close is not kept.
            return;
        }
        window->setView(std::move(view));
    }
    window_ = std::move(window);
    if (ui::Control* root = window_->tree().root()) {
        window_->tree().raise(ui::notify::kWindowInit, *root);
    }
    if (app::WindowHost* view = window_->view()) {
        view->show();
        view->bringToFront();
    }
}

void UpdateService::close() {
    if (!window_) {
        return;
    }
    window_->terminateReadback();
    if (app::WindowHost* view = window_->view()) {
        view->hide();
    }
    // The close may come from the window's own button: it goes once that click has returned.
    closing_.push_back(std::move(window_));
    mailbox_->post([this] { closing_.clear(); });
}

void UpdateService::deviceMessage(int /*message*/) {
    if (window_) {
        window_->deviceChanged();
    }
}

void UpdateService::onUpdaterMessage(const UpdaterMessage& message) {
    if (window_) {
        window_->onUpdaterMessage(message);
    } else {
        platform::debugLine("updater report with no update window open");
    }
}

void InstallUpdateService(app::MainWindow& main) {
    auto service = std::make_shared<UpdateService>(main);
    main.registerMessage(app::msg::kOpenUpdateWindow,
                         [service](std::intptr_t, std::intptr_t) { service->open(); });
    main.registerMessage(app::msg::kCloseUpdateWindow,
                         [service](std::intptr_t, std::intptr_t) { service->close(); });
    for (const int message : kDeviceMessages) {
        main.registerMessage(message, [service, message](std::intptr_t, std::intptr_t) {
            service->deviceMessage(message);
        });
    }
    main.router().onName(ui::notify::kClick, "setbtn",
                         [service](ui::Control&) { service->open(); });
    main.workers().assign(app::WorkerSlot::VersionReadback, service->startupCheck());
}

}  // namespace korvane::update
