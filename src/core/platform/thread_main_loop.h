#pragma once

#include <memory>

#include "core/platform/main_loop.h"

namespace korvane::platform {

// A MainLoop on a thread of its own, for tests and command-line programs.
class ThreadMainLoop final : public MainLoop {
  public:
    ThreadMainLoop();
    ~ThreadMainLoop() override;  // stop()

    void post(Task task) override;
    bool invoke(Task task) override;
    void beginTeardown() override;
    void setTimerHandler(TimerHandler handler) override;
    void startTimer(int id, std::chrono::milliseconds interval) override;
    void stopTimer(int id) override;
    bool isMainThread() const override;
    bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) override;

    // For whoever owns and drives the loop (a headless session, a test), never for workers:
    // like post and invoke, but they keep working after teardown has begun, until the loop
    // stops, so the owner can still look at the window after the program has ended.
    void postAsOwner(Task task);
    bool invokeAsOwner(Task task);

    // Ends the loop: tasks still queued are dropped, later posts and invokes do nothing,
    // and the thread is joined. Safe to call more than once; not from the loop thread.
    void stop();
    // Blocks the caller until the loop has stopped (stop() from any thread, or a task
    // calling requestQuit()).
    void waitUntilStopped();
    // From any thread, the loop thread included: ends the loop after the current task.
    void requestQuit();

  private:
    void queue(Task task, bool owner);
    bool invokeFrom(Task task, bool owner);

    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace korvane::platform
