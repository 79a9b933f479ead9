#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "core/mouse/system_pointer.h"

namespace korvane::mouse {

// Hands pointer speeds and wheel lines to the desktop, each change on a short-lived thread
// of its own ("kv-pointer", "kv-wheel") so that a slow desktop never holds up the window.
// Two quick changes may overlap; the later one wins: a change that finds a newer one
// already queued leaves the desktop to it. Called on the main thread.
class PointerApplier {
  public:
    // pointer may be null: nothing is applied.
    explicit PointerApplier(SystemPointer* pointer) : pointer_(pointer) {}
    // Waits for the changes still on their way.
    ~PointerApplier();
    PointerApplier(const PointerApplier&) = delete;
    PointerApplier& operator=(const PointerApplier&) = delete;

    void applySpeed(int speed);
    void applyWheelLines(int lines);

  private:
    // One kind of setting: its changes reach the desktop one at a time, newest last.
    struct Channel {
        std::mutex applying;
        std::atomic<std::uint64_t> latest{0};
    };
    struct Running {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };

    void start(Channel& channel, const char* threadName, std::function<void(SystemPointer&)> apply);
    void joinFinished();

    SystemPointer* pointer_;
    Channel speed_;
    Channel wheel_;
    std::vector<Running> threads_;
};

}  // namespace korvane::mouse
