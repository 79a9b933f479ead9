#pragma once

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "core/platform/child_process.h"
#include "core/platform/stop_event.h"

namespace korvane::update {

// What the updater reports, one line of its standard output each: "TYPE [VALUE]".
enum class UpdaterReport : int {
    Success = 1,
    NothingToDo = 2,
    Failure = 3,   // VALUE: the error code
    Progress = 4,  // VALUE: the percentage
};

struct UpdaterMessage {
    UpdaterReport type;
    int value = 0;
};

// A line of the updater's output; none for anything that is not one of the four reports
// (a percentage outside 0–100, a missing percentage, other words, numbers out of range).
std::optional<UpdaterMessage> ParseUpdaterLine(std::string_view line);

// The vendor's updater: downloads and installs one product's update on its own.
class Updater {
  public:
    virtual ~Updater() = default;
    // Starts it with the parameter string as its one argument. None when started.
    virtual platform::SpawnError start(const std::string& parameters) = 0;
};

// Runs the updater program, one reader thread per started program passing its reports on
// (from that thread). An updater that ends without reporting success or failure reports a
// failure with its exit status. Destroying this stops the reading; the programs go on.
class ProcessUpdater final : public Updater {
  public:
    using OnMessage = std::function<void(UpdaterMessage)>;

    // Longer lines are not reports.
    static constexpr std::size_t kMaxLine = 256;

    ProcessUpdater(std::filesystem::path program, std::filesystem::path workingFolder,
                   OnMessage onMessage);
    ~ProcessUpdater() override;
    ProcessUpdater(const ProcessUpdater&) = delete;
    ProcessUpdater& operator=(const ProcessUpdater&) = delete;

    platform::SpawnError start(const std::string& parameters) override;

  private:
    struct Run {
        std::unique_ptr<platform::ChildProcess> child;
        std::thread reader;
        std::atomic<bool> finished{false};
    };
    void read(Run& run);

    std::filesystem::path program_;
    std::filesystem::path workingFolder_;
    OnMessage onMessage_;
    platform::StopEvent stop_;
    std::mutex mutex_;
    std::vector<std::unique_ptr<Run>> runs_;
};

}  // namespace korvane::update
