#pragma once

#include <QObject>

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>

#include "core/platform/main_loop.h"

class QTimer;

namespace korvane::gui {

// The main thread's queue on Qt's event loop: tasks are queued calls on the thread that
// created the loop, the main-window timers are QTimers by number.
class QtMainLoop final : public QObject, public platform::MainLoop {
    Q_OBJECT
  public:
    explicit QtMainLoop(QObject* parent = nullptr);
    ~QtMainLoop() override;

    void post(Task task) override;
    bool invoke(Task task) override;
    void beginTeardown() override;
    void setTimerHandler(TimerHandler handler) override;
    void startTimer(int id, std::chrono::milliseconds interval) override;
    void stopTimer(int id) override;
    bool isMainThread() const override;
    bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) override;

    // After this, posts are dropped and invokes return false at once: workers that are
    // still stopping must not wait for a loop that no longer runs.
    void stop();
    bool stopped() const;
    bool timerActive(int id) const;

  private:
    TimerHandler handler_;
    std::map<int, std::unique_ptr<QTimer>> timers_;
    // Whether another thread's posts and invokes may still run.
    bool othersAllowed() const;

    mutable std::mutex mutex_;
    std::condition_variable released_;  // invokers waiting for their task or for an end
    bool stopped_ = false;
    bool teardown_ = false;
};

}  // namespace korvane::gui
