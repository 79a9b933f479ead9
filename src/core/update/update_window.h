#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/app/window_host.h"
#include "core/ui/control_tree.h"
#include "core/update/background_task.h"
#include "core/update/mailbox.h"
#include "core/update/update_protocol.h"
#include "core/update/update_settings.h"
#include "core/update/updater.h"

namespace korvane::app {
class MainWindow;
}

namespace korvane::update {

// The skin file of the update window.
inline constexpr std::string_view kUpdateWindowSkin = "update";
// Shown for a newest version the service did not name or that is not believable.
inline constexpr std::string_view kUnknownVersion = "unknown";
// The message when the updater program cannot be started.
inline constexpr std::string_view kNoUpdaterMessage = "update_no_updater";

// What the update window works with, kept by the update service for its whole run.
struct UpdateContext {
    app::MainWindow& main;
    UpdateSettings settings;
    HttpClient* http = nullptr;  // null: no requests
    Updater* updater = nullptr;
};

// The update window's logic ("FunctionSet"): the installed and newest versions of the
// software and the attached devices, one update button per product, the language list and
// the updater's progress. Lives on the main thread; the version readback and the update
// launches talk to the service on threads of their own, which closing the window abandons.
class UpdateWindow {
  public:
    // The rows of the window: the software and the six device rows.
    static constexpr std::size_t kRowCount = 7;

    UpdateWindow(UpdateContext& context, std::function<void()> requestClose);
    ~UpdateWindow();
    UpdateWindow(const UpdateWindow&) = delete;
    UpdateWindow& operator=(const UpdateWindow&) = delete;

    // Builds the tree from the skin; false with the reason.
    bool create(std::string& error);
    ui::ControlTree& tree() { return tree_; }
    // The window on screen (none in sessions without one).
    void setView(std::unique_ptr<app::WindowHost> view) { view_ = std::move(view); }
    app::WindowHost* view() const { return view_.get(); }

    // A keyboard or mouse came or went: the pages and versions again.
    void deviceChanged();
    // A report of the updater.
    void onUpdaterMessage(const UpdaterMessage& message);
    // Ends the version readback and the launches in flight; their results are dropped.
    void terminateReadback();
    bool running(std::size_t row) const { return running_[row]; }

  private:
    void onNotify(const ui::Notification& notification);
    void windowInit();
    void showPages();
    void showInstalled();
    void startReadback();
    void showNewest(std::size_t row, const std::string& version);
    void selectLanguageItem();
    void languageSelected(int item);
    void launch(std::size_t row);
    void startUpdater(std::size_t row, const std::string& parameters);
    void openPage(const std::optional<std::string>& page);
    void restoreRunningRows();
    void setText(std::string_view name, const std::string& text);
    void setVisible(std::string_view name, bool visible);
    void setEnabled(std::string_view name, bool enabled);

    UpdateContext& context_;
    std::function<void()> requestClose_;
    std::shared_ptr<Mailbox> mailbox_;
    ui::ControlTree tree_;
    // Goes before the tree it shows.
    std::unique_ptr<app::WindowHost> view_;
    std::array<bool, kRowCount> running_{};
    // Go first of all: their threads are joined before anything they reach.
    std::unique_ptr<BackgroundTask> readback_;
    std::vector<std::unique_ptr<BackgroundTask>> launches_;
};

}  // namespace korvane::update
