#include "core/mouse/pointer_applier.h"

#include <pthread.h>

#include <algorithm>

#include "core/platform/debug_line.h"

namespace korvane::mouse {

PointerApplier::~PointerApplier() {
    for (Running& running : threads_) {
        running.thread.join();
    }
}

void PointerApplier::applySpeed(int speed) {
    start(speed_, "kv-pointer", [speed](SystemPointer& p) { p.setPointerSpeed(speed); });
}

void PointerApplier::applyWheelLines(int lines) {
    start(wheel_, "kv-wheel", [lines](SystemPointer& p) { p.setWheelLines(lines); });
}

void PointerApplier::joinFinished() {
    const auto finished = std::partition(threads_.begin(), threads_.end(),
                                         [](const Running& r) { return !r.done->load(); });
    for (auto it = finished; it != threads_.end(); ++it) {
        it->thread.join();
    }
    threads_.erase(finished, threads_.end());
}

void PointerApplier::start(Channel& channel, const char* threadName,
                           std::function<void(SystemPointer&)> apply) {
    if (pointer_ == nullptr) {
        platform::debugLine("no desktop pointer settings in this session");
        return;
    }
    joinFinished();
    const std::uint64_t change = channel.latest.fetch_add(1) + 1;
    auto done = std::make_shared<std::atomic<bool>>(false);
    threads_.push_back(
        {std::thread([this, &channel, threadName, change, done, apply = std::move(apply)] {
             pthread_setname_np(pthread_self(), threadName);
             {
                 std::lock_guard lock(channel.applying);
                 if (channel.latest.load() == change) {
                     apply(*pointer_);
                 }
             }
             done->store(true);
         }),
         done});
}

}  // namespace korvane::mouse
