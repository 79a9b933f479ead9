#include "core/platform/worker.h"

#include <utility>

namespace korvane::platform {

Worker::Worker(std::string name) : name_(std::move(name)) {
    finished_.set();
}

Worker::~Worker() {
    stop_.set();
    if (thread_.joinable()) {
        thread_.join();
    }
}

void Worker::start(Body body) {
    if (thread_.joinable()) {
        return;
    }
    finished_.reset();
    thread_ = std::thread([this, body = std::move(body)] {
        body(stop_);
        finished_.set();
    });
}

bool Worker::running() const {
    return thread_.joinable() && !finished_.isSet();
}

bool Worker::waitFinished(std::chrono::milliseconds timeout) {
    if (!finished_.wait(timeout)) {
        return false;
    }
    if (thread_.joinable()) {
        thread_.join();
    }
    return true;
}

}  // namespace korvane::platform
