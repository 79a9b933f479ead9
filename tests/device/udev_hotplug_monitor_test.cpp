// The udev hotplug monitor over a fake udev: which events tell the subscribers, and how the
// monitor ends.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "backends/udev/udev_hotplug_monitor.h"
#include "core/platform/stop_event.h"

namespace korvane::backends {
namespace {

using namespace std::chrono_literals;

// Events queued by the test; a byte in a pipe makes the monitor's descriptor readable.
class FakeUdev final : public UdevMonitorCalls {
  public:
    struct Shared {
        std::mutex mutex;
        std::deque<UdevEvent> queued;
        int readEnd = -1;
        int writeEnd = -1;
        std::atomic<int> opens{0};
        bool failOpen = false;
    };

    explicit FakeUdev(std::shared_ptr<Shared> shared) : shared_(std::move(shared)) {}

    int open() override {
        ++shared_->opens;
        return shared_->failOpen ? -1 : shared_->readEnd;
    }
    std::optional<UdevEvent> receive() override {
        std::lock_guard lock(shared_->mutex);
        char byte = 0;
        if (::read(shared_->readEnd, &byte, 1) != 1 || shared_->queued.empty()) {
            return std::nullopt;
        }
        UdevEvent event = shared_->queued.front();
        shared_->queued.pop_front();
        return event;
    }

  private:
    std::shared_ptr<Shared> shared_;
};

class UdevHotplugMonitorTest : public ::testing::Test {
  protected:
    UdevHotplugMonitorTest() {
        int fds[2];
        EXPECT_EQ(::pipe2(fds, O_NONBLOCK | O_CLOEXEC), 0);
        shared_->readEnd = fds[0];
        shared_->writeEnd = fds[1];
    }
    ~UdevHotplugMonitorTest() override {
        monitor_.reset();
        ::close(shared_->readEnd);
        ::close(shared_->writeEnd);
    }

    UdevHotplugMonitor& monitor() {
        if (!monitor_) {
            monitor_ = std::make_unique<UdevHotplugMonitor>(std::make_unique<FakeUdev>(shared_));
        }
        return *monitor_;
    }
    void event(const std::string& action, const std::string& subsystem) {
        std::lock_guard lock(shared_->mutex);
        shared_->queued.push_back({action, subsystem, "/dev/hidraw7"});
        const char byte = 1;
        ASSERT_EQ(::write(shared_->writeEnd, &byte, 1), 1);
    }
    // Subscribes a listener that counts its calls and wakes `woken`.
    int subscribeCounter() {
        return monitor().subscribe([this] {
            ++calls_;
            woken_.wake();
        });
    }
    bool waitForCalls(int n, std::chrono::milliseconds limit = 2000ms) {
        woken_.waitUntil([&] { return calls_.load() >= n; }, limit);
        return calls_.load() >= n;
    }

    std::shared_ptr<FakeUdev::Shared> shared_ = std::make_shared<FakeUdev::Shared>();
    std::unique_ptr<UdevHotplugMonitor> monitor_;
    std::atomic<int> calls_{0};
    platform::StopEvent woken_;
};

struct EventCase {
    const char* action;
    const char* subsystem;
    bool tells;
};

class UdevEventKinds : public UdevHotplugMonitorTest,
                       public ::testing::WithParamInterface<EventCase> {};

// Only nodes that come or go count; the marker event after each case shows the case's
// own event was looked at first.
TEST_P(UdevEventKinds, OnlyHidrawNodesAddedOrRemovedTell) {
    ASSERT_NE(subscribeCounter(), 0);
    event(GetParam().action, GetParam().subsystem);
    event("add", "hidraw");  // marker
    ASSERT_TRUE(waitForCalls(1));
    // The case's event and the marker may be taken in one read or two.
    woken_.wait(100ms);
    if (GetParam().tells) {
        EXPECT_GE(calls_.load(), 1);
    } else {
        EXPECT_EQ(calls_.load(), 1);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Events, UdevEventKinds,
    ::testing::Values(EventCase{"add", "hidraw", true}, EventCase{"remove", "hidraw", true},
                      EventCase{"change", "hidraw", false}, EventCase{"bind", "hidraw", false},
                      EventCase{"add", "usb", false}, EventCase{"remove", "input", false}));

TEST_F(UdevHotplugMonitorTest, EverySubscriberIsToldUntilItLeaves) {
    std::atomic<int> second{0};
    // Listeners run in subscription order: once the counter is told, so is the other one.
    const int other = monitor().subscribe([&] { ++second; });
    ASSERT_NE(other, 0);
    ASSERT_NE(subscribeCounter(), 0);
    event("add", "hidraw");
    ASSERT_TRUE(waitForCalls(1));
    EXPECT_EQ(second.load(), 1);

    monitor().unsubscribe(other);
    event("remove", "hidraw");
    ASSERT_TRUE(waitForCalls(2));
    EXPECT_EQ(second.load(), 1);
    EXPECT_EQ(shared_->opens.load(), 1);  // one monitor for all subscribers
}

// Without udev (a container, no netlink) nobody is subscribed, so the callers keep polling.
TEST_F(UdevHotplugMonitorTest, AMonitorThatCannotOpenSubscribesNobody) {
    shared_->failOpen = true;
    EXPECT_EQ(subscribeCounter(), 0);
    EXPECT_EQ(subscribeCounter(), 0);
    EXPECT_EQ(shared_->opens.load(), 1);  // not tried again and again
}

// Its thread sleeps in poll() until an event comes; destroying the monitor ends it at once.
TEST_F(UdevHotplugMonitorTest, EndsPromptlyWhileWaiting) {
    ASSERT_NE(subscribeCounter(), 0);
    const auto begin = std::chrono::steady_clock::now();
    monitor_.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - begin, 2000ms);
    EXPECT_EQ(calls_.load(), 0);
}

}  // namespace
}  // namespace korvane::backends
