#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

namespace korvane::platform {

// A manual-reset event. Every sleep of a worker is a wait on its stop event,
// so shutdown interrupts sleeps instead of waiting them out.
class StopEvent {
  public:
    void set();
    void reset();
    bool isSet() const;
    // True when the event is (or becomes) signalled within the time; false on time-out.
    bool wait(std::chrono::milliseconds timeout) const;

    // For workers woken by something besides stopping: wake() makes waitUntil test its
    // condition again, without setting the event. waitUntil returns true once the event is
    // set, false as soon as `ready` holds. `ready` runs with the event's lock held, so it
    // must only read flags (atomics); whoever makes it true calls wake() afterwards.
    void wake();
    bool waitUntil(const std::function<bool()>& ready) const;

  private:
    mutable std::mutex mutex_;
    mutable std::condition_variable cv_;
    bool signalled_ = false;
};

}  // namespace korvane::platform
