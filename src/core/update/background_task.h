#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "core/platform/stop_event.h"

namespace korvane::update {

// A named thread for one piece of blocking work (requests to the update service). Its stop
// event abandons whatever request is in flight, so cancelling and joining take moments.
class BackgroundTask {
  public:
    using Body = std::function<void(const platform::StopEvent& stop)>;

    BackgroundTask(std::string name, Body body);
    // Cancels and joins.
    ~BackgroundTask();
    BackgroundTask(const BackgroundTask&) = delete;
    BackgroundTask& operator=(const BackgroundTask&) = delete;

    void cancel() { stop_.set(); }
    bool finished() const { return finished_.load(); }

  private:
    platform::StopEvent stop_;
    std::atomic<bool> finished_{false};
    std::thread thread_;
};

}  // namespace korvane::update
