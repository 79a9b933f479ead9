#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/platform/debug_line.h"
#include "core/platform/stop_event.h"
#include "core/platform/worker.h"

using namespace std::chrono_literals;
using korvane::platform::StopEvent;
using korvane::platform::Worker;

TEST(StopEvent, StaysSignalledUntilReset) {
    StopEvent ev;
    EXPECT_FALSE(ev.wait(1ms));
    ev.set();
    EXPECT_TRUE(ev.wait(0ms));
    EXPECT_TRUE(ev.wait(0ms)) << "manual reset: a wait does not consume the signal";
    ev.reset();
    EXPECT_FALSE(ev.isSet());
}

TEST(Worker, StopInterruptsALongSleep) {
    Worker worker("sleeper");
    std::atomic<bool> woke{false};
    worker.start([&](StopEvent& stop) {
        // A worker "sleep" of a minute must end as soon as the event is set.
        stop.wait(60s);
        woke = true;
    });
    worker.requestStop();
    ASSERT_TRUE(worker.waitFinished(30s));
    EXPECT_TRUE(woke);
}

TEST(Worker, WaitFinishedTimesOutWhileBodyRuns) {
    Worker worker("busy");
    StopEvent release;
    worker.start([&](StopEvent&) { release.wait(60s); });
    EXPECT_FALSE(worker.waitFinished(10ms));
    EXPECT_TRUE(worker.running());
    release.set();
    EXPECT_TRUE(worker.waitFinished(5s));
    EXPECT_FALSE(worker.running());
}

// A body stuck in a call that ignores its stop event (a device or network call that never
// returns). Whatever the body uses is held by the body itself, as an abandoned worker must.
struct StuckBody {
    std::shared_ptr<StopEvent> release = std::make_shared<StopEvent>();
    std::shared_ptr<StopEvent> ended = std::make_shared<StopEvent>();
    std::shared_ptr<std::atomic<bool>> sawStop = std::make_shared<std::atomic<bool>>(false);

    Worker::Body body() const {
        return [release = release, ended = ended, sawStop = sawStop](StopEvent& stop) {
            release->wait(60s);
            sawStop->store(stop.isSet());  // its own stop event outlives the Worker object
            ended->set();
        };
    }
};

// Runs fn on a thread of its own; true when it returned within the time.
bool returnsWithin(std::chrono::milliseconds limit, const std::function<void()>& fn) {
    auto returned = std::make_shared<StopEvent>();
    std::thread runner([fn, returned] {
        fn();
        returned->set();
    });
    const bool inTime = returned->wait(limit);
    runner.detach();
    return inTime;
}

TEST(Worker, AnAbandonedWorkerIsNotJoinedAndKeepsItsOwnState) {
    StuckBody stuck;
    const bool destroyed = returnsWithin(5s, [&] {
        Worker worker("stuck");
        worker.start(stuck.body());
        worker.requestStop();
        EXPECT_FALSE(worker.waitFinished(10ms));
        EXPECT_TRUE(worker.abandon());
        EXPECT_TRUE(worker.abandoned());
        EXPECT_TRUE(worker.running());
    });
    stuck.release->set();
    EXPECT_TRUE(destroyed) << "the destructor joined an abandoned worker";
    ASSERT_TRUE(stuck.ended->wait(30s));
    EXPECT_TRUE(stuck.sawStop->load());
}

TEST(Worker, TheDestructorLetsGoOfABodyThatDoesNotEnd) {
    StuckBody stuck;
    const bool destroyed = returnsWithin(Worker::kEndPatience + 5s, [&] {
        Worker worker("stuck");
        worker.start(stuck.body());
    });
    stuck.release->set();
    EXPECT_TRUE(destroyed);
    ASSERT_TRUE(stuck.ended->wait(30s));
    EXPECT_TRUE(stuck.sawStop->load());
}

TEST(Worker, AFinishedWorkerIsNotAbandoned) {
    Worker worker("quick");
    worker.start([](StopEvent&) {});
    ASSERT_TRUE(worker.waitFinished(30s));
    EXPECT_FALSE(worker.abandon());
    EXPECT_FALSE(worker.abandoned());
}

TEST(DebugLine, SinkReceivesOneLinePerCallWithoutTrailingNewline) {
    std::vector<std::string> lines;
    korvane::platform::setDebugSink([&](std::string_view l) { lines.emplace_back(l); });
    korvane::platform::debugLine("所有对象处于激发状态\n");
    korvane::platform::debugLine("InitWindow");
    korvane::platform::setDebugSink({});
    korvane::platform::debugLine("not captured");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "所有对象处于激发状态");
    EXPECT_EQ(lines[1], "InitWindow");
}

TEST(StopEvent, WakersRunOnSetAtOnceWhenSetAlreadyAndNeverAfterRemoval) {
    StopEvent ev;
    std::atomic<int> woken{0};
    const int id = ev.addWaker([&] { ++woken; });
    EXPECT_EQ(woken, 0);
    ev.set();
    EXPECT_EQ(woken, 1);
    // A waker added to a set event runs straight away: a wait it guards never starts.
    {
        korvane::platform::ScopedWaker late(ev, [&] { woken += 10; });
        EXPECT_EQ(woken, 11);
    }
    ev.removeWaker(id);
    ev.reset();
    ev.set();
    EXPECT_EQ(woken, 11);
}

namespace korvane::platform {
namespace {

TEST(StopEvent, WaitUntilEndsOnAWokenConditionOrOnTheEvent) {
    StopEvent event;
    std::atomic<bool> ready{false};
    std::thread waker([&] {
        ready = true;
        event.wake();
    });
    EXPECT_FALSE(event.waitUntil([&] { return ready.load(); }));
    waker.join();

    std::thread stopper([&] { event.set(); });
    EXPECT_TRUE(event.waitUntil([] { return false; }));
    stopper.join();
}

}  // namespace
}  // namespace korvane::platform
