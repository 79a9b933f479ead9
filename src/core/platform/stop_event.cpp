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

}  // namespace korvane::platform
