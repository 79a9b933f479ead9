#pragma once

#include <memory>
#include <vector>

#include "core/app/worker_set.h"
#include "core/update/mailbox.h"
#include "core/update/update_window.h"
#include "core/update/updater.h"

namespace korvane::app {
class MainWindow;
}

namespace korvane::update {

// The update service of the main window: the start-up version check (worker 15), the update
// window while it is open, and the updater programs with their progress. Main thread only,
// except the check, which runs on its worker.
class UpdateService {
  public:
    explicit UpdateService(app::MainWindow& main);
    ~UpdateService();
    UpdateService(const UpdateService&) = delete;
    UpdateService& operator=(const UpdateService&) = delete;

    // Opens the update window, or brings it up when it is open.
    void open();
    // Ends its readback and closes it; nothing when it is closed.
    void close();
    // The messages the connection threads send the update window.
    void deviceMessage(int message);
    // Worker 15's body: the start-up check. It holds copies and the mailbox, never the service.
    app::WorkerSet::Body startupCheck();
    UpdateWindow* window() const { return window_.get(); }
    const UpdateContext& context() const { return context_; }

  private:
    void onUpdaterMessage(const UpdaterMessage& message);

    UpdateContext context_;
    std::shared_ptr<Mailbox> mailbox_;
    std::unique_ptr<ProcessUpdater> updater_;
    std::unique_ptr<UpdateWindow> window_;
    // Closed windows wait here until their own notification has returned.
    std::vector<std::unique_ptr<UpdateWindow>> closing_;
};

// Installs the service: worker 15, the messages 3408 and 3429, the messages to the update
// window and the settings button.
void InstallUpdateService(app::MainWindow& main);

}  // namespace korvane::update
