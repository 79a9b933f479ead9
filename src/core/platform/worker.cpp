#include "core/platform/worker.h"

#include <utility>

#include "core/platform/debug_line.h"

namespace korvane::platform {

Worker::Worker(std::string name) : name_(std::move(name)), shared_(std::make_shared<Shared>()) {
    shared_->finished.set();
}

Worker::~Worker() {
    shared_->stop.set();
    if (!abandoned_ && !waitFinished(kEndPatience)) {
        abandon();
    }
}

void Worker::start(Body body) {
    if (thread_.joinable() || abandoned_) {
        return;
    }
    shared_->finished.reset();
    thread_ = std::thread([shared = shared_, body = std::move(body)] {
        body(shared->stop);
        shared->finished.set();
    });
}

bool Worker::running() const {
    return (thread_.joinable() || abandoned_) && !shared_->finished.isSet();
}

bool Worker::waitFinished(std::chrono::milliseconds timeout) {
    if (!shared_->finished.wait(timeout)) {
        return false;
    }
    if (thread_.joinable()) {
        thread_.join();
    }
    return true;
}

bool Worker::abandon() {
    if (!thread_.joinable() || shared_->finished.isSet()) {
        return false;
    }
    debugLine("worker \"" + name_ + "\" abandoned: it did not end when told to stop");
    thread_.detach();
    abandoned_ = true;
    return true;
}

}  // namespace korvane::platform
