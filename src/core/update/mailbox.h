#pragma once

#include <functional>
#include <memory>
#include <mutex>

#include "core/platform/main_loop.h"

namespace korvane::update {

// The way from a background thread to its owner on the main thread: a posted task runs on
// the main thread only while the owner has not closed the mailbox, so results that arrive
// after the owner has gone are dropped instead of reaching freed objects.
class Mailbox : public std::enable_shared_from_this<Mailbox> {
  public:
    static std::shared_ptr<Mailbox> create(platform::MainLoop& loop) {
        return std::shared_ptr<Mailbox>(new Mailbox(loop));
    }

    // From any thread.
    void post(std::function<void()> task) {
        std::lock_guard lock(mutex_);
        if (loop_ == nullptr) {
            return;
        }
        loop_->post([self = shared_from_this(), task = std::move(task)] {
            if (self->isOpen()) {
                task();
            }
        });
    }

    // From the main thread, before the owner goes.
    void close() {
        std::lock_guard lock(mutex_);
        loop_ = nullptr;
    }

  private:
    explicit Mailbox(platform::MainLoop& loop) : loop_(&loop) {}
    bool isOpen() {
        std::lock_guard lock(mutex_);
        return loop_ != nullptr;
    }

    std::mutex mutex_;
    platform::MainLoop* loop_;
};

}  // namespace korvane::update
