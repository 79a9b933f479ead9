#include "core/platform/thread_main_loop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "core/platform/stop_event.h"

namespace korvane::platform {
namespace {

using namespace std::chrono_literals;

// Generous: the waits end as soon as the condition holds; the limit only keeps a broken
// build from hanging.
constexpr auto kPatience = 20s;

bool eventually(const std::function<bool()>& condition) {
    const auto end = std::chrono::steady_clock::now() + kPatience;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

TEST(ThreadMainLoop, PostsRunInOrderOnTheLoopThread) {
    ThreadMainLoop loop;
    EXPECT_FALSE(loop.isMainThread());
    std::vector<int> order;  // touched only on the loop thread
    bool allOnLoop = true;
    for (int i = 0; i < 100; ++i) {
        loop.post([&, i] {
            order.push_back(i);
            allOnLoop = allOnLoop && loop.isMainThread();
        });
    }
    std::vector<int> seen;
    ASSERT_TRUE(loop.invoke([&] { seen = order; }));
    ASSERT_EQ(seen.size(), 100u);
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(seen[i], i);
    }
    ASSERT_TRUE(loop.invoke([&] { EXPECT_TRUE(allOnLoop); }));
}

TEST(ThreadMainLoop, PostsFromManyThreadsRunExactlyOnce) {
    ThreadMainLoop loop;
    long counter = 0;  // no atomic: the loop is the only thread that touches it
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 1000; ++i) {
                loop.post([&] { ++counter; });
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    long seen = 0;
    ASSERT_TRUE(loop.invoke([&] { seen = counter; }));
    EXPECT_EQ(seen, 4000);
}

TEST(ThreadMainLoop, InvokeOnTheLoopThreadRunsInline) {
    ThreadMainLoop loop;
    std::vector<int> order;
    loop.post([&] {
        loop.post([&] { order.push_back(3); });
        EXPECT_TRUE(loop.invoke([&] { order.push_back(1); }));
        order.push_back(2);
    });
    ASSERT_TRUE(loop.invoke([] {}));  // the first task has run and queued the third
    std::vector<int> seen;
    ASSERT_TRUE(loop.invoke([&] { seen = order; }));
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3}));
}

TEST(ThreadMainLoop, NothingRunsOnceStopped) {
    ThreadMainLoop loop;
    loop.stop();
    loop.stop();  // a second stop is harmless
    std::atomic<bool> ran{false};
    loop.post([&] { ran = true; });
    EXPECT_FALSE(loop.invoke([&] { ran = true; }));
    loop.startTimer(1, 1ms);
    EXPECT_FALSE(ran.load());
    EXPECT_FALSE(loop.isMainThread());
}

TEST(ThreadMainLoop, StopDropsQueuedTasksAndReleasesWaitingInvokers) {
    ThreadMainLoop loop;
    StopEvent release;
    StopEvent blocking;
    loop.post([&] {
        blocking.set();
        release.wait(kPatience);
    });
    ASSERT_TRUE(blocking.wait(kPatience));

    std::atomic<bool> queuedRan{false};
    loop.post([&] { queuedRan = true; });
    std::atomic<int> invokeResult{-1};
    std::thread invoker([&] { invokeResult = loop.invoke([&] { queuedRan = true; }) ? 1 : 0; });
    // Whether the invoke is queued before or after the quit, it must come back false.
    std::this_thread::sleep_for(20ms);
    loop.requestQuit();
    release.set();
    loop.waitUntilStopped();
    invoker.join();
    EXPECT_EQ(invokeResult.load(), 0);
    EXPECT_FALSE(queuedRan.load());
}

TEST(ThreadMainLoop, ManyInvokersDuringStopNeverHang) {
    auto loop = std::make_unique<ThreadMainLoop>();
    std::atomic<long> runs{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 6; ++t) {
        threads.emplace_back([&] {
            while (loop->invoke([&] { runs.fetch_add(1); })) {
            }
        });
    }
    ASSERT_TRUE(eventually([&] { return runs.load() > 100; }));
    loop->stop();
    for (auto& thread : threads) {
        thread.join();
    }
    const long atStop = runs.load();
    EXPECT_FALSE(loop->invoke([&] { runs.fetch_add(1); }));
    EXPECT_EQ(runs.load(), atStop);
}

TEST(ThreadMainLoop, RequestQuitFromATaskEndsTheLoop) {
    ThreadMainLoop loop;
    std::atomic<bool> after{false};
    loop.post([&] {
        loop.requestQuit();
        loop.post([&] { after = true; });  // refused: the loop is ending
    });
    loop.waitUntilStopped();
    EXPECT_FALSE(after.load());
    EXPECT_FALSE(loop.invoke([] {}));
}

// The exit sequence keeps the main thread busy while workers stop; a worker waiting for it
// must be let go, and nothing a worker asked for may run any more.
TEST(ThreadMainLoop, TeardownReleasesWaitingWorkersAndDropsWhatTheyAsked) {
    ThreadMainLoop loop;
    StopEvent release;
    StopEvent busy;
    loop.post([&] {
        busy.set();
        release.wait(kPatience);
    });
    ASSERT_TRUE(busy.wait(kPatience));

    std::atomic<int> ranForWorkers{0};
    loop.post([&] { ranForWorkers.fetch_add(1); });  // queued before the teardown
    std::atomic<int> invokeResult{-1};
    std::thread worker(
        [&] { invokeResult = loop.invoke([&] { ranForWorkers.fetch_add(1); }) ? 1 : 0; });
    std::this_thread::sleep_for(20ms);
    loop.beginTeardown();
    worker.join();  // while the loop is still busy: this would hang without the teardown
    EXPECT_EQ(invokeResult.load(), 0);

    std::atomic<int> timerFired{0};
    loop.setTimerHandler([&](int) { timerFired.fetch_add(1); });
    EXPECT_FALSE(loop.invoke([&] { ranForWorkers.fetch_add(1); }));
    loop.post([&] { ranForWorkers.fetch_add(1); });
    loop.startTimer(3, 1ms);
    release.set();

    // The main thread's own work and its owner's go on until the loop stops.
    bool mainPostRan = false;
    EXPECT_TRUE(loop.invokeAsOwner([&] { loop.post([&] { mainPostRan = true; }); }));
    std::this_thread::sleep_for(20ms);
    bool seen = false;
    EXPECT_TRUE(loop.invokeAsOwner([&] { seen = mainPostRan; }));
    EXPECT_TRUE(seen);
    EXPECT_EQ(ranForWorkers.load(), 0);
    EXPECT_EQ(timerFired.load(), 0);
}

TEST(ThreadMainLoop, AnInvokedTaskThatBeginsTheTeardownStillFinishes) {
    ThreadMainLoop loop;
    bool ran = false;
    std::atomic<int> result{-1};
    std::thread caller([&] {
        result = loop.invoke([&] {
            loop.beginTeardown();
            ran = true;
        })
                     ? 1
                     : 0;
    });
    caller.join();
    EXPECT_EQ(result.load(), 1);
    EXPECT_TRUE(ran);
}

TEST(ThreadMainLoop, TimersFireOnTheLoopThreadUntilStopped) {
    ThreadMainLoop loop;
    std::atomic<int> fired{0};
    std::atomic<bool> wrongThread{false};
    std::atomic<bool> wrongId{false};
    loop.setTimerHandler([&](int id) {
        wrongThread = wrongThread || !loop.isMainThread();
        wrongId = wrongId || id != 5;
        fired.fetch_add(1);
    });
    loop.startTimer(5, 2ms);
    ASSERT_TRUE(eventually([&] { return fired.load() >= 3; }));
    loop.stopTimer(5);
    ASSERT_TRUE(loop.invoke([] {}));  // a firing in progress has ended
    const int atStop = fired.load();
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(fired.load(), atStop);
    EXPECT_FALSE(wrongThread.load());
    EXPECT_FALSE(wrongId.load());
}

TEST(ThreadMainLoop, StartingAnActiveTimerRestartsItsInterval) {
    ThreadMainLoop loop;
    std::atomic<int> fired{0};
    loop.setTimerHandler([&](int) { fired.fetch_add(1); });
    StopEvent release;
    StopEvent blocking;
    // Keep the loop busy so the first interval runs out before the restart is seen.
    loop.post([&] {
        blocking.set();
        release.wait(kPatience);
    });
    ASSERT_TRUE(blocking.wait(kPatience));
    loop.startTimer(9, 5ms);
    std::this_thread::sleep_for(20ms);
    loop.startTimer(9, 60s);
    release.set();
    ASSERT_TRUE(loop.invoke([] {}));
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(fired.load(), 0) << "the overdue first interval was replaced by the restart";

    loop.startTimer(9, 1ms);
    EXPECT_TRUE(eventually([&] { return fired.load() > 0; }));
}

TEST(ThreadMainLoop, TimersKeepTheirOwnIds) {
    ThreadMainLoop loop;
    std::atomic<int> one{0};
    std::atomic<int> two{0};
    loop.setTimerHandler([&](int id) { (id == 1 ? one : two).fetch_add(1); });
    loop.startTimer(1, 1ms);
    loop.startTimer(2, 1ms);
    ASSERT_TRUE(eventually([&] { return one.load() >= 2 && two.load() >= 2; }));
    loop.stopTimer(1);
    ASSERT_TRUE(loop.invoke([] {}));
    const int oneAtStop = one.load();
    const int twoAtStop = two.load();
    EXPECT_TRUE(eventually([&] { return two.load() > twoAtStop + 2; }));
    EXPECT_EQ(one.load(), oneAtStop);
}

TEST(ThreadMainLoop, PumpUntilLetsWorkersInvokeWhileTheLoopWaits) {
    ThreadMainLoop loop;
    bool pumped = false;
    bool workerResult = false;
    ASSERT_TRUE(loop.invoke([&] {
        // A worker that needs the loop thread while the loop thread waits for it: without
        // pumping this would deadlock.
        std::atomic<bool> workerDone{false};
        int value = 0;
        std::thread worker([&] {
            workerResult = loop.invoke([&] { value = 42; });
            workerDone = true;
        });
        pumped = loop.pumpUntil([&] { return workerDone.load(); }, kPatience);
        worker.join();
        EXPECT_EQ(value, 42);
    }));
    EXPECT_TRUE(pumped);
    EXPECT_TRUE(workerResult);
}

TEST(ThreadMainLoop, PumpUntilRunsTimersAndTimesOut) {
    ThreadMainLoop loop;
    int fired = 0;
    loop.setTimerHandler([&](int) { ++fired; });
    bool reached = false;
    bool timedOut = true;
    ASSERT_TRUE(loop.invoke([&] {
        loop.startTimer(4, 1ms);
        reached = loop.pumpUntil([&] { return fired >= 3; }, kPatience);
        loop.stopTimer(4);
        timedOut = !loop.pumpUntil([] { return false; }, 10ms);
    }));
    EXPECT_TRUE(reached);
    EXPECT_TRUE(timedOut);
}

TEST(ThreadMainLoop, PumpUntilOffTheLoopThreadOnlyWaits) {
    ThreadMainLoop loop;
    std::atomic<bool> flag{false};
    loop.post([&] { flag = true; });
    EXPECT_TRUE(loop.pumpUntil([&] { return flag.load(); }, kPatience));
    EXPECT_FALSE(loop.pumpUntil([] { return false; }, 5ms));
}

TEST(ThreadMainLoop, DestructorEndsALoopWithWorkQueued) {
    std::atomic<int> ran{0};
    {
        ThreadMainLoop loop;
        loop.setTimerHandler([&](int) {});
        loop.startTimer(1, 1ms);
        for (int i = 0; i < 1000; ++i) {
            loop.post([&] { ran.fetch_add(1); });
        }
    }
    EXPECT_LE(ran.load(), 1000);
}

}  // namespace
}  // namespace korvane::platform
