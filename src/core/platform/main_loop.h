#pragma once

#include <chrono>
#include <functional>

namespace korvane::platform {

// The main thread's queue. All application state belongs to the main thread;
// workers hand results to it with post (fire and forget) or invoke (run and wait).
// In the GUI this is Qt's event loop; ThreadMainLoop runs one on a thread of its own.
class MainLoop {
  public:
    using Task = std::function<void()>;
    using TimerHandler = std::function<void(int id)>;

    virtual ~MainLoop() = default;

    virtual void post(Task task) = 0;
    // Runs the task on the main thread and waits for it; inline when called there.
    // Returns false, without running it, once the loop has stopped or teardown has begun.
    virtual bool invoke(Task task) = 0;
    // On the main thread, when the program starts to end: from now on no other thread waits
    // for the main thread. Invokes from other threads return false at once (those already
    // waiting too, their tasks never run); their posts and timer starts are dropped, and what
    // they posted before does not run any more. The main thread's own calls work as before.
    virtual void beginTeardown() = 0;
    // Periodic main-window timers by number: the handler runs on the main thread every
    // interval until stopped. Starting an active timer restarts its interval.
    virtual void setTimerHandler(TimerHandler handler) = 0;
    virtual void startTimer(int id, std::chrono::milliseconds interval) = 0;
    virtual void stopTimer(int id) = 0;
    virtual bool isMainThread() const = 0;
    // On the main thread only: runs queued tasks and timers until done() is true or the
    // time is up, so the main thread can wait for workers that may still invoke it.
    virtual bool pumpUntil(const std::function<bool()>& done,
                           std::chrono::milliseconds timeout) = 0;
};

}  // namespace korvane::platform
