#include "core/update/updater.h"

#include <sstream>

#include "core/platform/debug_line.h"
#include "core/platform/thread_name.h"
#include "core/update/versions.h"

namespace korvane::update {
namespace {

constexpr int kMaxPercent = 100;

}  // namespace

std::optional<UpdaterMessage> ParseUpdaterLine(std::string_view line) {
    std::istringstream words{std::string(line)};
    std::string type;
    std::string value;
    std::string extra;
    if (!(words >> type) || (words >> value && words >> extra)) {
        return std::nullopt;
    }
    const std::optional<long> kind = DecimalNumber(type);
    if (!kind || type.front() == '-' || type.front() == '+' || *kind < 1 || *kind > 4) {
        return std::nullopt;
    }
    UpdaterMessage message{static_cast<UpdaterReport>(*kind), 0};
    if (!value.empty()) {
        const std::optional<long> number = DecimalNumber(value);
        if (!number) {
            return std::nullopt;
        }
        message.value = static_cast<int>(*number);
    }
    if (message.type == UpdaterReport::Progress &&
        (value.empty() || message.value < 0 || message.value > kMaxPercent)) {
        return std::nullopt;
    }
    return message;
}

ProcessUpdater::ProcessUpdater(std::filesystem::path program, std::filesystem::path workingFolder,
                               OnMessage onMessage)
    : program_(std::move(program)),
      workingFolder_(std::move(workingFolder)),
      onMessage_(std::move(onMessage)) {}

ProcessUpdater::~ProcessUpdater() {
    stop_.set();
    std::lock_guard lock(mutex_);
    for (const auto& run : runs_) {
        run->reader.join();
    }
}

platform::SpawnError ProcessUpdater::start(const std::string& parameters) {
    platform::SpawnError error = platform::SpawnError::None;
    auto child = platform::ChildProcess::start(program_, {parameters}, workingFolder_, error);
    if (!child) {
        platform::debugLine("updater not started: " + program_.string());
        return error;
    }
    std::lock_guard lock(mutex_);
    // The readers of updaters that have ended are done with.
    std::erase_if(runs_, [](const std::unique_ptr<Run>& run) {
        if (!run->finished.load()) {
            return false;
        }
        run->reader.join();
        return true;
    });
    auto run = std::make_unique<Run>();
    run->child = std::move(child);
    Run& started = *run;
    run->reader = std::thread([this, &started] { read(started); });
    runs_.push_back(std::move(run));
    return platform::SpawnError::None;
}

void ProcessUpdater::read(Run& run) {
    platform::nameThisThread("kv-updater");
    bool ended = false;
    const std::optional<int> status =
        run.child->readLines(stop_, kMaxLine, [&](std::string_view line) {
            const std::optional<UpdaterMessage> message = ParseUpdaterLine(line);
            if (!message) {
                platform::debugLine("updater: not a report: " + std::string(line.substr(0, 80)));
                return;
            }
            ended = ended || message->type == UpdaterReport::Success ||
                    message->type == UpdaterReport::Failure;
            onMessage_(*message);
        });
    if (status && !ended) {
        platform::debugLine("updater ended without a result, status " + std::to_string(*status));
        onMessage_({UpdaterReport::Failure, *status});
    }
    run.finished = true;
}

}  // namespace korvane::update
