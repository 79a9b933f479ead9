#include "core/profiles/foreground_app.h"

#include <utility>

namespace korvane::profiles {

std::string ForegroundApp::programFile() const {
    std::lock_guard lock(stateMutex_);
    return current_;
}

int ForegroundApp::subscribe(Listener listener) {
    std::lock_guard lock(listenersMutex_);
    const int id = nextId_++;
    listeners_.emplace(id, std::move(listener));
    return id;
}

void ForegroundApp::unsubscribe(int id) {
    std::lock_guard lock(listenersMutex_);
    listeners_.erase(id);
}

void ForegroundApp::publish(std::string programFile) {
    {
        std::lock_guard lock(stateMutex_);
        if (current_ == programFile) {
            return;
        }
        current_ = std::move(programFile);
    }
    std::lock_guard lock(listenersMutex_);
    for (const auto& [id, listener] : listeners_) {
        listener();
    }
}

}  // namespace korvane::profiles
