#include "core/app/worker_set.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/platform/debug_line.h"
#include "core/platform/stop_event.h"

namespace korvane::app {
namespace {

using namespace std::chrono_literals;
using platform::StopEvent;

constexpr const char* kAllEnded = "所有对象处于激发状态";
constexpr const char* kTimedOut = "所有对象处于非激发状态，超时";

class WorkerSetTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::setDebugSink([this](std::string_view line) {
            std::lock_guard lock(mutex_);
            lines_.emplace_back(line);
        });
    }
    void TearDown() override { platform::setDebugSink({}); }

    int count(const std::string& line) {
        std::lock_guard lock(mutex_);
        return static_cast<int>(std::count(lines_.begin(), lines_.end(), line));
    }

    // A worker that sleeps on its stop event, as every well-behaved worker does.
    static WorkerSet::Body sleeper() {
        return [](StopEvent& stop) {
            while (!stop.wait(1h)) {
            }
        };
    }
    // A worker stuck in a call that ignores its stop event until the test lets it go.
    WorkerSet::Body stuck() {
        return [release = release_](StopEvent&) { release->wait(60s); };
    }

    std::shared_ptr<StopEvent> release_ = std::make_shared<StopEvent>();
    std::mutex mutex_;
    std::vector<std::string> lines_;
};

TEST_F(WorkerSetTest, StoppingSignalsEveryWorkerBeforeCuttingDeviceWorkShort) {
    WorkerSet set;
    for (const WorkerSlot slot :
         {WorkerSlot::KeyboardConnection, WorkerSlot::MouseEffect, WorkerSlot::MousePadLightLink}) {
        set.assign(slot, sleeper());
    }
    set.startAll({});
    bool allSignalled = false;
    set.stopAll([&] {
        allSignalled = true;
        for (const auto& entry : kWorkerTable) {
            allSignalled = allSignalled && set.stopEvent(entry.slot).isSet();
        }
    });
    EXPECT_TRUE(allSignalled);
    EXPECT_EQ(count(kAllEnded), 1);
    EXPECT_EQ(count(kTimedOut), 0);
    EXPECT_EQ(count("键盘设备侦测线程设定退出"), 1);
    EXPECT_EQ(count("鼠标灯光线程设定退出"), 1);
    EXPECT_EQ(count("鼠标垫灯光进程侦测线程设定退出"), 1);
    EXPECT_FALSE(set.anyAbandoned());
    EXPECT_FALSE(set.running(WorkerSlot::KeyboardConnection));
}

TEST_F(WorkerSetTest, AWorkerThatDoesNotEndIsAbandonedWithinTheBudget) {
    auto set = std::make_unique<WorkerSet>();
    set->assign(WorkerSlot::KeyboardConnection, sleeper());
    set->assign(WorkerSlot::MouseConnection, stuck());
    set->startAll({});
    const auto before = std::chrono::steady_clock::now();
    set->stopAll();
    const auto took = std::chrono::steady_clock::now() - before;
    // Bounded by the budget, with room for a slow machine; without it fifteen rounds of
    // a second each, and then a join that never returns.
    EXPECT_LT(took, WorkerSet::kStopBudget + 2s);
    EXPECT_GE(count(kTimedOut), 1);
    EXPECT_EQ(count(kAllEnded), 0);
    EXPECT_TRUE(set->anyAbandoned());
    EXPECT_FALSE(set->running(WorkerSlot::KeyboardConnection));
    EXPECT_TRUE(set->running(WorkerSlot::MouseConnection));
    set.reset();  // must not wait for the stuck worker
    release_->set();
    // Let go, it still ends the normal way, on what it kept alive.
    for (int i = 0; i < 3000 && count("鼠标设备侦测线程设定退出") == 0; ++i) {
        StopEvent().wait(10ms);
    }
    EXPECT_EQ(count("鼠标设备侦测线程设定退出"), 1);
}

TEST_F(WorkerSetTest, TheVersionReadbackIsNotWaitedFor) {
    WorkerSet set;
    set.assign(WorkerSlot::MouseEffect, sleeper());
    set.assign(WorkerSlot::VersionReadback, stuck());
    set.startAll({});
    set.stopAll();
    // The others ended: the first wait says so, and nothing waited for the readback.
    EXPECT_EQ(count(kAllEnded), 1);
    EXPECT_EQ(count(kTimedOut), 0);
    EXPECT_TRUE(set.anyAbandoned());
    release_->set();
}

}  // namespace
}  // namespace korvane::app
