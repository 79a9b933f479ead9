#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "core/platform/stop_event.h"

namespace korvane::platform {

// A long-lived worker thread with its own stop event. The body runs once and
// is expected to loop until the event is signalled.
class Worker {
  public:
    using Body = std::function<void(StopEvent& stop)>;

    explicit Worker(std::string name);
    ~Worker();  // signals the stop event and joins
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    void start(Body body);
    bool running() const;
    StopEvent& stopEvent() { return stop_; }
    void requestStop() { stop_.set(); }
    // Waits up to the time for the body to return; true when it has ended
    // (or never started). A worker that does not end in time is left running
    // and joined by the destructor.
    bool waitFinished(std::chrono::milliseconds timeout);
    const std::string& name() const { return name_; }

  private:
    std::string name_;
    StopEvent stop_;
    StopEvent finished_;
    std::thread thread_;
};

}  // namespace korvane::platform
