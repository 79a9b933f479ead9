#include "core/platform/thread_main_loop.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "core/platform/thread_name.h"

namespace korvane::platform {

using Clock = std::chrono::steady_clock;

namespace {

// How often pumpUntil looks at its condition when nothing wakes it: done() may depend
// on a worker that never touches the loop.
constexpr std::chrono::milliseconds kPumpPoll{1};

struct Timer {
    std::chrono::milliseconds interval;
    Clock::time_point due;
};

// One invoke from another thread. Shared with the queued task, so the caller may give up
// (teardown) while the task still sits in the queue.
struct InvokeWaiter {
    bool started = false;
    bool done = false;
};

}  // namespace

struct ThreadMainLoop::State {
    std::mutex mutex;
    std::condition_variable wake;      // the loop thread: new task, timer change, quit
    std::condition_variable finished;  // callers of invoke and waitUntilStopped
    std::deque<Task> tasks;
    std::map<int, Timer> timers;
    TimerHandler timerHandler;
    bool quit = false;     // no more tasks are taken or accepted
    bool stopped = false;  // the loop has left its thread function
    // Set under mutex; read without it by tasks other threads posted before teardown.
    std::atomic<bool> teardown{false};
    std::atomic<std::thread::id> loopThread{};

    std::mutex joinMutex;
    std::thread thread;

    enum class Step { kRan, kTimedOut, kQuit };

    // Runs one due timer or one task, waiting until the deadline for either. Timers go
    // first so a steady stream of posts cannot starve them; a fired timer is re-armed
    // from now, so a busy loop cannot starve the tasks either.
    Step runOne(Clock::time_point deadline) {
        std::unique_lock lock(mutex);
        for (;;) {
            if (quit) {
                return Step::kQuit;
            }
            const auto now = Clock::now();
            auto next = timers.end();
            for (auto it = timers.begin(); it != timers.end(); ++it) {
                if (next == timers.end() || it->second.due < next->second.due) {
                    next = it;
                }
            }
            if (next != timers.end() && next->second.due <= now) {
                const int id = next->first;
                next->second.due = now + next->second.interval;
                TimerHandler handler = timerHandler;
                lock.unlock();
                if (handler) {
                    handler(id);
                }
                return Step::kRan;
            }
            if (!tasks.empty()) {
                Task task = std::move(tasks.front());
                tasks.pop_front();
                lock.unlock();
                task();
                return Step::kRan;
            }
            if (now >= deadline) {
                return Step::kTimedOut;
            }
            const auto until =
                next != timers.end() ? std::min(deadline, next->second.due) : deadline;
            if (until == Clock::time_point::max()) {
                wake.wait(lock);
            } else {
                wake.wait_until(lock, until);
            }
        }
    }

    void run() {
        loopThread.store(std::this_thread::get_id());
        while (runOne(Clock::time_point::max()) != Step::kQuit) {
        }
        std::deque<Task> dropped;
        {
            std::lock_guard lock(mutex);
            stopped = true;
            dropped.swap(tasks);
            timers.clear();
        }
        // Thread ids are reused: a later thread must not pass for the loop thread.
        loopThread.store(std::thread::id{});
        finished.notify_all();
        // Dropped tasks are destroyed outside the lock: their captures may post again.
        dropped.clear();
    }

    void requestQuit() {
        {
            std::lock_guard lock(mutex);
            quit = true;
        }
        wake.notify_all();
    }
};

ThreadMainLoop::ThreadMainLoop() : state_(std::make_unique<State>()) {
    State* state = state_.get();
    std::lock_guard lock(state->joinMutex);
    state->thread = std::thread([state] {
        nameThisThread("kv-main-loop");
        state->run();
    });
    state->loopThread.store(state->thread.get_id());
}

ThreadMainLoop::~ThreadMainLoop() {
    if (isMainThread()) {
        // Destroyed by one of its own tasks: the thread cannot join itself.
        state_->requestQuit();
        std::lock_guard lock(state_->joinMutex);
        state_->thread.detach();
        // The state must outlive the thread, which still uses it.
        static_cast<void>(state_.release());
        return;
    }
    stop();
}

void ThreadMainLoop::post(Task task) {
    queue(std::move(task), false);
}

void ThreadMainLoop::postAsOwner(Task task) {
    queue(std::move(task), true);
}

void ThreadMainLoop::queue(Task task, bool owner) {
    if (!task) {
        return;
    }
    const bool checked = !owner && !isMainThread();
    State* state = state_.get();
    {
        std::lock_guard lock(state->mutex);
        if (state->quit || (checked && state->teardown)) {
            return;
        }
        if (!checked) {
            state->tasks.push_back(std::move(task));
        } else {
            // Queued before teardown, run after it: a worker's request that nobody needs now.
            state->tasks.push_back([state, task = std::move(task)] {
                if (!state->teardown.load()) {
                    task();
                }
            });
        }
    }
    state->wake.notify_all();
}

bool ThreadMainLoop::invoke(Task task) {
    return invokeFrom(std::move(task), false);
}

bool ThreadMainLoop::invokeAsOwner(Task task) {
    return invokeFrom(std::move(task), true);
}

bool ThreadMainLoop::invokeFrom(Task task, bool owner) {
    if (isMainThread()) {
        if (task) {
            task();
        }
        return true;
    }
    auto waiter = std::make_shared<InvokeWaiter>();
    State* state = state_.get();
    {
        std::lock_guard lock(state->mutex);
        if (state->quit || (!owner && state->teardown)) {
            return false;
        }
        state->tasks.push_back([state, waiter, owner, task = std::move(task)] {
            {
                std::lock_guard inner(state->mutex);
                if (!owner && state->teardown) {
                    return;  // its caller has already been told no
                }
                waiter->started = true;
            }
            if (task) {
                task();
            }
            {
                std::lock_guard inner(state->mutex);
                waiter->done = true;
            }
            state->finished.notify_all();
        });
    }
    state->wake.notify_all();
    std::unique_lock lock(state->mutex);
    // A task that has started runs to its end even when it begins the teardown itself.
    state->finished.wait(lock, [&] {
        return waiter->done || state->stopped || (!owner && state->teardown && !waiter->started);
    });
    return waiter->done;
}

void ThreadMainLoop::beginTeardown() {
    {
        std::lock_guard lock(state_->mutex);
        state_->teardown = true;
    }
    state_->finished.notify_all();
}

void ThreadMainLoop::setTimerHandler(TimerHandler handler) {
    std::lock_guard lock(state_->mutex);
    state_->timerHandler = std::move(handler);
}

void ThreadMainLoop::startTimer(int id, std::chrono::milliseconds interval) {
    // A zero interval would spin the loop; the shortest period is one millisecond.
    interval = std::max(interval, std::chrono::milliseconds(1));
    const bool fromLoop = isMainThread();
    {
        std::lock_guard lock(state_->mutex);
        if (state_->quit || (!fromLoop && state_->teardown)) {
            return;
        }
        state_->timers[id] = Timer{interval, Clock::now() + interval};
    }
    state_->wake.notify_all();
}

void ThreadMainLoop::stopTimer(int id) {
    {
        std::lock_guard lock(state_->mutex);
        state_->timers.erase(id);
    }
    state_->wake.notify_all();
}

bool ThreadMainLoop::isMainThread() const {
    return state_->loopThread.load() == std::this_thread::get_id();
}

bool ThreadMainLoop::pumpUntil(const std::function<bool()>& done,
                               std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    if (!isMainThread()) {
        // Only the loop thread may run its tasks; elsewhere this is a plain wait.
        while (!done()) {
            if (Clock::now() >= deadline) {
                return false;
            }
            std::this_thread::sleep_for(kPumpPoll);
        }
        return true;
    }
    for (;;) {
        if (done()) {
            return true;
        }
        const auto now = Clock::now();
        if (now >= deadline) {
            return false;
        }
        if (state_->runOne(std::min(deadline, now + kPumpPoll)) == State::Step::kQuit) {
            return done();
        }
    }
}

void ThreadMainLoop::stop() {
    state_->requestQuit();
    if (isMainThread()) {
        return;  // the loop ends after the current task; joining here would deadlock
    }
    std::lock_guard lock(state_->joinMutex);
    if (state_->thread.joinable()) {
        state_->thread.join();
    }
}

void ThreadMainLoop::waitUntilStopped() {
    if (isMainThread()) {
        return;  // the loop cannot end while its own thread waits here
    }
    std::unique_lock lock(state_->mutex);
    state_->finished.wait(lock, [this] { return state_->stopped; });
}

void ThreadMainLoop::requestQuit() {
    state_->requestQuit();
}

}  // namespace korvane::platform
