#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <utility>
#include <vector>

namespace korvane::platform {

// A manual-reset event. Every sleep of a worker is a wait on its stop event,
// so shutdown interrupts sleeps instead of waiting them out.
class StopEvent {
  public:
    using Waker = std::function<void()>;

    void set();
    void reset();
    bool isSet() const;
    // True when the event is (or becomes) signalled within the time; false on time-out.
    bool wait(std::chrono::milliseconds timeout) const;

    // For waits a condition variable cannot interrupt (a network poll, a pipe): wake runs on
    // the thread that sets the event, each time it is set, and at once when it is set already,
    // until it is removed. It runs under the event's lock, so after removeWaker returns it
    // never runs again; it must be quick and must not touch the event.
    int addWaker(Waker wake) const;
    void removeWaker(int id) const;
    // For workers woken by something besides stopping: wake() makes waitUntil test its
    // condition again, without setting the event. waitUntil returns true once the event is
    // set, false as soon as `ready` holds. `ready` runs with the event's lock held, so it
    // must only read flags (atomics); whoever makes it true calls wake() afterwards.
    void wake() const;
    bool waitUntil(const std::function<bool()>& ready) const;
    // As waitUntil, giving up after the time: also false when the time ran out.
    bool waitUntil(const std::function<bool()>& ready, std::chrono::milliseconds timeout) const;

  private:
    mutable std::mutex mutex_;
    mutable std::condition_variable cv_;
    bool signalled_ = false;
    mutable std::vector<std::pair<int, Waker>> wakers_;
    mutable int nextWaker_ = 1;
};

// A waker on an event for the length of a scope.
class ScopedWaker {
  public:
    ScopedWaker(const StopEvent& event, StopEvent::Waker wake)
        : event_(event), id_(event.addWaker(std::move(wake))) {}
    ~ScopedWaker() { event_.removeWaker(id_); }
    ScopedWaker(const ScopedWaker&) = delete;
    ScopedWaker& operator=(const ScopedWaker&) = delete;

  private:
    const StopEvent& event_;
    int id_;
};

}  // namespace korvane::platform
