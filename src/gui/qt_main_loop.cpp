#include "gui/qt_main_loop.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMetaObject>
#include <QThread>
#include <QTimer>

#include <condition_variable>

namespace korvane::gui {

QtMainLoop::QtMainLoop(QObject* parent) : QObject(parent) {}

QtMainLoop::~QtMainLoop() {
    stop();
}

void QtMainLoop::stop() {
    std::lock_guard lock(mutex_);
    stopped_ = true;
}

bool QtMainLoop::stopped() const {
    std::lock_guard lock(mutex_);
    return stopped_;
}

void QtMainLoop::post(Task task) {
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
}

bool QtMainLoop::invoke(Task task) {
    if (isMainThread()) {
        if (stopped()) {
            return false;
        }
        task();
        return true;
    }
    // A blocking queued call would wait forever once the loop stops taking events, so
    // wait on our own flag and give up when the loop is stopped.
    struct Waiter {
        std::mutex mutex;
        std::condition_variable done;
        bool finished = false;
        bool ran = false;
    };
    auto waiter = std::make_shared<Waiter>();
    if (stopped()) {
        return false;
    }
    QMetaObject::invokeMethod(
        this,
        [this, waiter, task = std::move(task)] {
            const bool run = !stopped();
            if (run) {
                task();
            }
            std::lock_guard lock(waiter->mutex);
            waiter->ran = run;
            waiter->finished = true;
            waiter->done.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock lock(waiter->mutex);
    while (!waiter->finished) {
        waiter->done.wait_for(lock, std::chrono::milliseconds(20));
        if (!waiter->finished && stopped()) {
            return false;
        }
    }
    return waiter->ran;
}

void QtMainLoop::setTimerHandler(TimerHandler handler) {
    handler_ = std::move(handler);
}

void QtMainLoop::startTimer(int id, std::chrono::milliseconds interval) {
    if (!isMainThread()) {
        post([this, id, interval] { startTimer(id, interval); });
        return;
    }
    auto& timer = timers_[id];
    if (!timer) {
        timer = std::make_unique<QTimer>();
        // A coarse timer may fire up to 5 % early; a device given a second to restart needs
        // the whole second.
        timer->setTimerType(Qt::PreciseTimer);
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
