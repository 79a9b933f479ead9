// The main thread's queue on Qt's event loop.

#include <gtest/gtest.h>

#include <QThread>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "gui/qt_main_loop.h"
#include "qt_environment.h"

using namespace korvane::gui;
using namespace std::chrono_literals;
using korvane::gui::test_support::pumpUntil;

namespace {

TEST(QtMainLoop, PostsAndInvokesRunOnTheMainThread) {
    QtMainLoop loop;
    EXPECT_TRUE(loop.isMainThread());
    std::atomic<bool> posted{false};
    std::atomic<bool> invoked{false};
    std::atomic<bool> invokeReturned{false};
    std::atomic<bool> ranOnMain{true};
    std::thread worker([&] {
        EXPECT_FALSE(loop.isMainThread());
        loop.post([&] {
            ranOnMain = ranOnMain && loop.isMainThread();
            posted = true;
        });
        invokeReturned = loop.invoke([&] {
            ranOnMain = ranOnMain && loop.isMainThread();
            invoked = true;
        });
    });
    EXPECT_TRUE(pumpUntil([&] { return invokeReturned.load(); }));
    worker.join();
    EXPECT_TRUE(posted);
    EXPECT_TRUE(invoked);
    EXPECT_TRUE(ranOnMain);
    // On the main thread an invoke runs at once.
    bool inline_ = false;
    EXPECT_TRUE(loop.invoke([&] { inline_ = true; }));
    EXPECT_TRUE(inline_);
}

// The exit sequence keeps the main thread busy, not running events, while the workers stop.
TEST(QtMainLoop, TeardownLetsAWaitingWorkerGoAndDropsWhatWorkersAsked) {
    QtMainLoop loop;
    std::atomic<int> ranForWorkers{0};
    std::atomic<int> invokeResult{-1};
    std::thread worker([&] {
        loop.post([&] { ranForWorkers.fetch_add(1); });
        invokeResult = loop.invoke([&] { ranForWorkers.fetch_add(1); }) ? 1 : 0;
    });
    std::this_thread::sleep_for(20ms);  // the worker waits; no events run meanwhile
    loop.beginTeardown();
    worker.join();  // would hang: nothing runs the loop here
    EXPECT_EQ(invokeResult.load(), 0);
    std::thread late([&] {
        EXPECT_FALSE(loop.invoke([&] { ranForWorkers.fetch_add(1); }));
        loop.post([&] { ranForWorkers.fetch_add(1); });
        loop.startTimer(3, 1ms);
    });
    late.join();
    // The main thread's own calls still work.
    bool mainPostRan = false;
    loop.post([&] { mainPostRan = true; });
    std::atomic<int> timerFired{0};
    loop.setTimerHandler([&](int) { timerFired.fetch_add(1); });
    EXPECT_TRUE(pumpUntil([&] { return mainPostRan; }));
    pumpUntil([] { return false; }, 50ms);
    EXPECT_EQ(ranForWorkers.load(), 0);
    EXPECT_EQ(timerFired.load(), 0);
    EXPECT_FALSE(loop.timerActive(3));
}

TEST(QtMainLoop, AStoppedLoopRunsNothingAndNobodyWaitsForIt) {
    QtMainLoop loop;
    bool ran = false;
    loop.post([&] { ran = true; });
    loop.stop();
    std::atomic<int> result{-1};
    std::thread worker([&] { result = loop.invoke([&] { ran = true; }) ? 1 : 0; });
    worker.join();  // does not hang although nobody runs the loop
    pumpUntil([] { return false; }, 50ms);
    EXPECT_EQ(result, 0);
    EXPECT_FALSE(ran);
}

TEST(QtMainLoop, TimersFireByNumberUntilStopped) {
    QtMainLoop loop;
    std::vector<int> fired;
    loop.setTimerHandler([&](int id) {
        fired.push_back(id);
        if (id == 7) {
            loop.stopTimer(7);
        }
    });
    loop.startTimer(7, 5ms);
    loop.startTimer(2, 5ms);
    EXPECT_TRUE(loop.timerActive(7));
    EXPECT_TRUE(pumpUntil([&] { return std::count(fired.begin(), fired.end(), 2) >= 3; }));
    EXPECT_EQ(std::count(fired.begin(), fired.end(), 7), 1);
    EXPECT_FALSE(loop.timerActive(7));
    loop.stopTimer(2);
    EXPECT_FALSE(loop.timerActive(2));
}

TEST(QtMainLoop, TimersStartedFromAWorkerRunOnTheMainThread) {
    QtMainLoop loop;
    std::atomic<bool> fired{false};
    loop.setTimerHandler([&](int) { fired = loop.isMainThread(); });
    std::thread worker([&] { loop.startTimer(9, 5ms); });
    worker.join();
    EXPECT_TRUE(pumpUntil([&] { return fired.load(); }));
    loop.stopTimer(9);
}

TEST(QtMainLoop, PumpUntilServesWorkersThatInvokeWhileTheMainThreadWaits) {
    QtMainLoop loop;
    std::atomic<bool> done{false};
    std::thread worker([&] {
        loop.invoke([] {});
        done = true;
    });
    EXPECT_TRUE(loop.pumpUntil([&] { return done.load(); }, 2000ms));
    worker.join();
    EXPECT_FALSE(loop.pumpUntil([] { return false; }, 20ms));
}

}  // namespace
