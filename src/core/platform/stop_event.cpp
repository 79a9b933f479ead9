#include "core/platform/stop_event.h"

#include <algorithm>

namespace korvane::platform {

void StopEvent::set() {
    {
        std::lock_guard lock(mutex_);
        signalled_ = true;
        for (const auto& [id, wake] : wakers_) {
            wake();
        }
    }
    cv_.notify_all();
}

void StopEvent::reset() {
    std::lock_guard lock(mutex_);
    signalled_ = false;
}

bool StopEvent::isSet() const {
    std::lock_guard lock(mutex_);
    return signalled_;
}

bool StopEvent::wait(std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return cv_.wait_for(lock, timeout, [this] { return signalled_; });
}

int StopEvent::addWaker(Waker wake) const {
    std::lock_guard lock(mutex_);
    const int id = nextWaker_++;
    if (signalled_) {
        wake();
    }
    wakers_.emplace_back(id, std::move(wake));
    return id;
}

void StopEvent::removeWaker(int id) const {
    std::lock_guard lock(mutex_);
    std::erase_if(wakers_, [id](const auto& entry) { return entry.first == id; });
}

void StopEvent::wake() const {
    // Taking the lock orders this wake after a waiter's test of its condition, so the wake
    // is never lost between the test and the wait.
    { std::lock_guard lock(mutex_); }
    cv_.notify_all();
}

bool StopEvent::waitUntil(const std::function<bool()>& ready) const {
    std::unique_lock lock(mutex_);
    cv_.wait(lock, [&] { return signalled_ || ready(); });
    return signalled_;
}

bool StopEvent::waitUntil(const std::function<bool()>& ready,
                          std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    cv_.wait_for(lock, timeout, [&] { return signalled_ || ready(); });
    return signalled_;
}

}  // namespace korvane::platform
