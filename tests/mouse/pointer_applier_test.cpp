// Applying the desktop settings on short-lived threads: the window never waits, the later
// change wins, each thread carries its name.

#include <gtest/gtest.h>

#include <pthread.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "core/mouse/pointer_applier.h"
#include "core/mouse/printing_system_pointer.h"

namespace korvane::mouse {
namespace {

using namespace std::chrono_literals;

// Records what reaches the desktop; the first speed can be held until released, as a slow
// desktop would hold it.
class RecordingPointer final : public SystemPointer {
  public:
    void setPointerSpeed(int speed) override {
        std::unique_lock lock(mutex_);
        if (holdFirst_ && speeds_.empty() && !released_) {
            held_ = true;
            changed_.notify_all();
            changed_.wait(lock, [this] { return released_; });
        }
        speeds_.push_back(speed);
        threadNames_.push_back(currentThreadName());
        changed_.notify_all();
    }
    void setWheelLines(int lines) override {
        std::lock_guard lock(mutex_);
        lines_.push_back(lines);
        threadNames_.push_back(currentThreadName());
        changed_.notify_all();
    }

    void holdFirstSpeed() { holdFirst_ = true; }
    bool waitHeld() {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, 2s, [this] { return held_; });
    }
    void release() {
        std::lock_guard lock(mutex_);
        released_ = true;
        changed_.notify_all();
    }
    std::vector<int> speeds() const {
        std::lock_guard lock(mutex_);
        return speeds_;
    }
    std::vector<int> lines() const {
        std::lock_guard lock(mutex_);
        return lines_;
    }
    std::vector<std::string> threadNames() const {
        std::lock_guard lock(mutex_);
        return threadNames_;
    }

  private:
    static std::string currentThreadName() {
        char name[16] = {};
        pthread_getname_np(pthread_self(), name, sizeof name);
        return name;
    }

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool holdFirst_ = false;
    bool held_ = false;
    bool released_ = false;
    std::vector<int> speeds_;
    std::vector<int> lines_;
    std::vector<std::string> threadNames_;
};

TEST(PointerApplier, AppliesOnNamedThreadsAndWaitsForThemAtTheEnd) {
    RecordingPointer pointer;
    {
        PointerApplier applier(&pointer);
        applier.applySpeed(14);
        applier.applyWheelLines(6);
    }
    EXPECT_EQ(pointer.speeds(), std::vector<int>{14});
    EXPECT_EQ(pointer.lines(), std::vector<int>{6});
    const auto names = pointer.threadNames();
    ASSERT_EQ(names.size(), 2u);
    EXPECT_NE(std::find(names.begin(), names.end(), "kv-pointer"), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), "kv-wheel"), names.end());
}

TEST(PointerApplier, ASlowDesktopHoldsNobodyAndTheLaterChangeWins) {
    RecordingPointer pointer;
    pointer.holdFirstSpeed();
    {
        PointerApplier applier(&pointer);
        applier.applySpeed(4);
        ASSERT_TRUE(pointer.waitHeld());
        // The desktop is still busy with 4; these return at once.
        const auto before = std::chrono::steady_clock::now();
        applier.applySpeed(8);
        applier.applySpeed(16);
        applier.applyWheelLines(2);
        EXPECT_LT(std::chrono::steady_clock::now() - before, 1s);
        pointer.release();
    }
    // 8 was overtaken by 16 before its turn came; 16 lands last.
    EXPECT_EQ(pointer.speeds(), (std::vector<int>{4, 16}));
    EXPECT_EQ(pointer.lines(), std::vector<int>{2});
}

TEST(PointerApplier, ManyChangesEndWithTheLastOne) {
    RecordingPointer pointer;
    {
        PointerApplier applier(&pointer);
        for (int speed = 1; speed <= 20; ++speed) {
            applier.applySpeed(speed);
        }
    }
    ASSERT_FALSE(pointer.speeds().empty());
    EXPECT_EQ(pointer.speeds().back(), 20);
}

TEST(PrintingSystemPointer, PrintsEachValueApplied) {
    std::vector<std::string> lines;
    PrintingSystemPointer pointer([&](std::string_view line) { lines.emplace_back(line); });
    pointer.setPointerSpeed(12);
    pointer.setWheelLines(7);
    EXPECT_EQ(lines, (std::vector<std::string>{"pointer speed 12", "wheel lines 7"}));
}

}  // namespace
}  // namespace korvane::mouse
