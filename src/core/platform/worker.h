#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "core/platform/stop_event.h"

namespace korvane::platform {

// A long-lived worker thread with its own stop event. The body runs once and
// is expected to loop until the event is signalled.
class Worker {
  public:
    using Body = std::function<void(StopEvent& stop)>;

    // How long the destructor waits for a body that was told to stop before it abandons it.
    static constexpr std::chrono::milliseconds kEndPatience{2000};

    explicit Worker(std::string name);
    // Signals the stop event and joins; a body that does not end within kEndPatience is
    // abandoned instead of joined forever.
    ~Worker();
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    void start(Body body);
    bool running() const;
    StopEvent& stopEvent() { return shared_->stop; }
    void requestStop() { shared_->stop.set(); }
    // Waits up to the time for the body to return; true when it has ended
    // (or never started). A worker that does not end in time is left running.
    bool waitFinished(std::chrono::milliseconds timeout);
    // Lets a body that will not end go: its thread is detached and keeps the stop event and
    // the body (with what it captured) alive until it returns. True when there was one.
    bool abandon();
    bool abandoned() const { return abandoned_; }
    const std::string& name() const { return name_; }

  private:
    // What the thread itself uses, shared with it so that it outlives this object.
    struct Shared {
        StopEvent stop;
        StopEvent finished;
    };

    std::string name_;
    std::shared_ptr<Shared> shared_;
    std::thread thread_;
    bool abandoned_ = false;
};

}  // namespace korvane::platform
