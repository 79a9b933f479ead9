// Threads that sleep until the devices change: woken by a change, never losing one that came
// while they were awake, and following a hotplug monitor.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "core/device/device_changes.h"
#include "sim/simulated_backend.h"

namespace korvane::device {
namespace {

using namespace std::chrono_literals;

TEST(DeviceChangeWaiterTest, AChangeWakesTheSleeper) {
    DeviceChanges changes;
    platform::StopEvent stop;
    DeviceChangeWaiter waiter(&changes, stop);
    std::thread notifier([&] {
        std::this_thread::sleep_for(50ms);
        changes.notify();
    });
    const auto begin = std::chrono::steady_clock::now();
    EXPECT_FALSE(waiter.wait(10s));
    EXPECT_LT(std::chrono::steady_clock::now() - begin, 5s);
    notifier.join();
}

// A change while the thread was busy (between two waits) ends the next wait at once; after
// that the waiter sleeps again.
TEST(DeviceChangeWaiterTest, AChangeWhileAwakeIsNotLost) {
    DeviceChanges changes;
    platform::StopEvent stop;
    DeviceChangeWaiter waiter(&changes, stop);
    changes.notify();
    const auto begin = std::chrono::steady_clock::now();
    EXPECT_FALSE(waiter.wait(10s));
    EXPECT_LT(std::chrono::steady_clock::now() - begin, 5s);
    EXPECT_FALSE(waiter.wait(50ms));  // times out: nothing new
}

TEST(DeviceChangeWaiterTest, StopEndsTheWaitAndOtherReasonsToo) {
    DeviceChanges changes;
    platform::StopEvent stop;
    DeviceChangeWaiter waiter(&changes, stop);
    std::atomic<bool> requested{false};
    std::thread requester([&] {
        std::this_thread::sleep_for(50ms);
        requested = true;
        stop.wake();
    });
    EXPECT_FALSE(waiter.wait(10s, [&] { return requested.load(); }));
    EXPECT_TRUE(requested.load());
    requester.join();
    stop.set();
    EXPECT_TRUE(waiter.wait(10s));
}

// The poll behind the events is slow only when a monitor watches; without one the caller's
// own interval stays.
TEST(DeviceChangeWaiterTest, PollsSlowlyOnlyWhileAMonitorWatches) {
    platform::StopEvent stop;
    DeviceChanges unwatched;
    EXPECT_EQ(DeviceChangeWaiter(&unwatched, stop).interval(100ms), 100ms);
    EXPECT_EQ(DeviceChangeWaiter(nullptr, stop).interval(100ms), 100ms);

    sim::SimulatedBackend simulator;
    DeviceChanges watched;
    ASSERT_TRUE(watched.follow(*simulator.hotplugMonitor()));
    EXPECT_EQ(DeviceChangeWaiter(&watched, stop).interval(100ms), 5000ms);
}

// The simulator tells of a plug, an unplug and a device that vanishes by itself.
TEST(DeviceChangesTest, FollowsTheSimulatorsPlugsAndUnplugs) {
    sim::SimulatedBackend simulator;
    DeviceChanges changes;
    ASSERT_TRUE(changes.follow(*simulator.hotplugMonitor()));
    std::atomic<int> told{0};
    const ScopedDeviceListener listener(changes, [&] { ++told; });
    auto mouse = simulator.plug(DeviceKind::Mouse);
    EXPECT_EQ(told.load(), 1);
    simulator.unplug(mouse->name());
    EXPECT_EQ(told.load(), 2);
    auto pad = simulator.plug(DeviceKind::MousePad);
    pad->unplug();
    EXPECT_EQ(told.load(), 4);
    pad->unplug();  // already gone: nothing new
    EXPECT_EQ(told.load(), 4);
}

}  // namespace
}  // namespace korvane::device
