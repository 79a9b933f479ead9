#include "gui/qt_main_loop.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMetaObject>
#include <QThread>
#include <QTimer>

#include <condition_variable>

namespace korvane::gui {

namespace {

// One invoke from another thread, shared with its queued call so the caller may give up
// while the call is still queued.
struct InvokeWaiter {
    bool started = false;
    bool finished = false;
};

}  // namespace

QtMainLoop::QtMainLoop(QObject* parent) : QObject(parent) {}

QtMainLoop::~QtMainLoop() {
    stop();
}

void QtMainLoop::stop() {
    {
        std::lock_guard lock(mutex_);
        stopped_ = true;
    }
    released_.notify_all();
}

bool QtMainLoop::stopped() const {
    std::lock_guard lock(mutex_);
    return stopped_;
}

void QtMainLoop::beginTeardown() {
    {
        std::lock_guard lock(mutex_);
        teardown_ = true;
    }
    released_.notify_all();
}

bool QtMainLoop::othersAllowed() const {
    std::lock_guard lock(mutex_);
    return !stopped_ && !teardown_;
}

void QtMainLoop::post(Task task) {
    if (isMainThread()) {
        if (stopped()) {
            return;
        }
        QMetaObject::invokeMethod(
            this,
            [this, task = std::move(task)] {
                if (!stopped()) {
                    task();
                }
            },
            Qt::QueuedConnection);
        return;
    }
    if (!othersAllowed()) {
        return;
    }
    // Queued before teardown, run after it: a worker's request that nobody needs now.
    QMetaObject::invokeMethod(
        this,
        [this, task = std::move(task)] {
            if (othersAllowed()) {
                task();
            }
        },
        Qt::QueuedConnection);
}

bool QtMainLoop::invoke(Task task) {
    if (isMainThread()) {
        if (stopped()) {
            return false;
        }
        task();
        return true;
    }
    auto waiter = std::make_shared<InvokeWaiter>();
    {
        std::lock_guard lock(mutex_);
        if (stopped_ || teardown_) {
            return false;
        }
    }
    QMetaObject::invokeMethod(
        this,
        [this, waiter, task = std::move(task)] {
            {
                std::lock_guard lock(mutex_);
                if (stopped_ || teardown_) {
                    return;  // its caller has already been told no
                }
                waiter->started = true;
            }
            task();
            {
                std::lock_guard lock(mutex_);
                waiter->finished = true;
            }
            released_.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock lock(mutex_);
    // A call that has started runs to its end even when it begins the teardown itself.
    released_.wait(
        lock, [&] { return waiter->finished || ((stopped_ || teardown_) && !waiter->started); });
    return waiter->finished;
}

void QtMainLoop::setTimerHandler(TimerHandler handler) {
    handler_ = std::move(handler);
}

void QtMainLoop::startTimer(int id, std::chrono::milliseconds interval) {
    if (!isMainThread()) {
        // Dropped once teardown has begun, like any other thread's post.
        post([this, id, interval] { startTimer(id, interval); });
        return;
    }
    auto& timer = timers_[id];
    if (!timer) {
        timer = std::make_unique<QTimer>();
        QObject::connect(timer.get(), &QTimer::timeout, this, [this, id] {
            if (handler_) {
                handler_(id);
            }
        });
    }
    timer->start(interval);
}

void QtMainLoop::stopTimer(int id) {
    if (!isMainThread()) {
        post([this, id] { stopTimer(id); });
        return;
    }
    if (auto it = timers_.find(id); it != timers_.end()) {
        it->second->stop();
    }
}

bool QtMainLoop::timerActive(int id) const {
    const auto it = timers_.find(id);
    return it != timers_.end() && it->second->isActive();
}

bool QtMainLoop::isMainThread() const {
    return QThread::currentThread() == thread();
}

bool QtMainLoop::pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        const qint64 left = timeout.count() - clock.elapsed();
        if (left <= 0) {
            return done();
        }
        // done() may depend on a worker that never touches the loop: look again soon.
        QCoreApplication::processEvents(QEventLoop::AllEvents,
                                        static_cast<int>(std::min<qint64>(left, 5)));
        QThread::msleep(1);
    }
    return true;
}

}  // namespace korvane::gui
