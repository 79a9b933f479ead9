// The connection watcher, the consumer listener and holder, and the consumer decoder, each
// against simulated devices without the rest of the program.

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "core/device/connection_watcher.h"
#include "core/device/consumer_listener.h"
#include "core/platform/debug_line.h"
#include "sim/report_descriptors.h"
#include "sim/simulated_backend.h"

namespace korvane::device {
namespace {

using namespace std::chrono_literals;

// The simulator, with an enumeration that can be made to fail.
class FailingBackend final : public HidBackend {
  public:
    explicit FailingBackend(HidBackend& inner) : inner_(inner) {}
    std::optional<std::vector<HidInterfaceInfo>> enumerate() override {
        if (fail) {
            return std::nullopt;
        }
        return inner_.enumerate();
    }
    std::unique_ptr<HidHandle> open(const HidInterfaceInfo& info, HidAccess access) override {
        return inner_.open(info, access);
    }
    bool isStillPresent(const std::string& path) override { return inner_.isStillPresent(path); }

    std::atomic<bool> fail{false};

  private:
    HidBackend& inner_;
};

// Whether another thread can take the lock right now.
bool freeForOthers(std::recursive_mutex& lock) {
    bool free = false;
    std::thread([&] {
        if (lock.try_lock()) {
            free = true;
            lock.unlock();
        }
    }).join();
    return free;
}

TEST(ConnectionWatcherTest, PassesFollowTheDeviceAndMainThreadStepsRunWithoutTheLock) {
    sim::SimulatedBackend backend;
    DeviceCommander commander;
    std::vector<std::string> events;
    ConnectionWatcher::Hooks hooks;
    hooks.readArrived = [&](DeviceKind kind, const HidInterfaceInfo& info) {
        events.push_back("read " + std::string(modelOf(kind).cliName));
        EXPECT_FALSE(freeForOthers(commander.lock()));
        EXPECT_EQ(info.usagePage, kVendorUsagePage);
        commander.setConnected(true);
    };
    hooks.applyArrived = [&] {
        events.push_back("apply");
        EXPECT_TRUE(freeForOthers(commander.lock()));
    };
    hooks.stillPresent = [&] { events.push_back("present"); };
    hooks.lost = [&] {
        events.push_back("lost");
        EXPECT_TRUE(freeForOthers(commander.lock()));
        EXPECT_FALSE(commander.connected());
        EXPECT_EQ(commander.handle(), nullptr);
    };
    ConnectionWatcher watcher(backend, commander, InterfaceRole::KeyboardCommander, hooks);

    EXPECT_EQ(watcher.runPass(), ConnectionWatcher::Pass::Absent);
    backend.plug(DeviceKind::Mouse);  // not the keyboard's
    EXPECT_EQ(watcher.runPass(), ConnectionWatcher::Pass::Absent);
    auto keyboard = backend.plug(DeviceKind::MonoKeyboard);
    EXPECT_EQ(watcher.runPass(), ConnectionWatcher::Pass::Arrived);
    EXPECT_EQ(watcher.runPass(), ConnectionWatcher::Pass::Present);
    keyboard->unplug();
    EXPECT_EQ(watcher.runPass(), ConnectionWatcher::Pass::Lost);
    EXPECT_EQ(watcher.runPass(), ConnectionWatcher::Pass::Absent);
    EXPECT_EQ(events, (std::vector<std::string>{"read mono-keyboard", "apply", "present", "lost"}));
}

TEST(ConnectionWatcherTest, AnEnumerationFailureEndsTheThread) {
    sim::SimulatedBackend simulator;
    FailingBackend backend(simulator);
    DeviceCommander commander;
    ConnectionWatcher watcher(backend, commander, InterfaceRole::MousePadCommander, {});
    platform::StopEvent stop;
    std::atomic<bool> ended{false};
    std::thread thread([&] {
        watcher.run(stop);
        ended = true;
    });
    backend.fail = true;
    thread.join();  // without the stop event
    EXPECT_TRUE(ended);
    EXPECT_FALSE(stop.isSet());
}

// A device this user may not open: one debug line naming its node and one notice, however
// often the watcher looks, and it never connects.
TEST(ConnectionWatcherTest, APermissionFailureIsToldOncePerDevice) {
    std::vector<std::string> debug;
    std::mutex debugMutex;
    platform::setDebugSink([&](std::string_view line) {
        std::lock_guard guard(debugMutex);
        debug.emplace_back(line);
    });
    sim::SimSettings denied;
    denied.faults.push_back({sim::FaultKind::PermissionDenied, 0});
    sim::SimulatedBackend backend(denied);
    const auto mouse = backend.plug(DeviceKind::Mouse);
    backend.plug(DeviceKind::RgbKeyboard);  // the keyboard watcher's, not this one's
    DeviceCommander commander;
    std::vector<std::string> told;
    ConnectionWatcher::Hooks hooks;
    hooks.permissionDenied = [&](const HidInterfaceInfo& info) {
        EXPECT_TRUE(freeForOthers(commander.lock()));
        told.push_back(info.path);
    };
    ConnectionWatcher watcher(backend, commander, InterfaceRole::MouseCommander, hooks);
    for (int pass = 0; pass < 3; ++pass) {
        EXPECT_EQ(watcher.runPass(), ConnectionWatcher::Pass::Absent);
    }
    platform::setDebugSink({});
    EXPECT_FALSE(commander.connected());
    const std::string node = mouse->path(sim::SimInterface::Vendor);
    EXPECT_EQ(told, std::vector<std::string>{node});
    std::lock_guard guard(debugMutex);
    ASSERT_EQ(debug.size(), 1u);
    EXPECT_NE(debug[0].find(node), std::string::npos) << debug[0];
    EXPECT_NE(debug[0].find("70-korvane.rules"), std::string::npos) << debug[0];
}

TEST(ConsumerDecoderTest, TheFirstUsageOfAConsumerReport) {
    const auto decoder = ConsumerDecoder::fromDescriptor(sim::kConsumerReportDescriptor);
    ASSERT_TRUE(decoder.has_value());
    EXPECT_EQ(decoder->firstUsage(std::vector<std::uint8_t>{0x02, 0x01, 0x04}), 0x0401);
    EXPECT_EQ(decoder->firstUsage(std::vector<std::uint8_t>{0x02, 0x03, 0x04}), 0x0403);
    // Released, another report ID, too short.
    EXPECT_FALSE(decoder->firstUsage(std::vector<std::uint8_t>{0x02, 0x00, 0x00}));
    EXPECT_FALSE(decoder->firstUsage(std::vector<std::uint8_t>{0x05, 0x01, 0x04}));
    EXPECT_FALSE(decoder->firstUsage(std::vector<std::uint8_t>{0x02, 0x01}));
    EXPECT_FALSE(decoder->firstUsage({}));
}

TEST(ConsumerDecoderTest, ADescriptorWithoutAConsumerCollectionOrMalformedIsRefused) {
    // Vendor collection only.
    const std::vector<std::uint8_t> vendor{0x06, 0x1C, 0xFF, 0x09, 0x92, 0xA1, 0x01, 0x85,
                                           0x04, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08,
                                           0x95, 0x3F, 0x09, 0x00, 0x81, 0x02, 0xC0};
    EXPECT_FALSE(ConsumerDecoder::fromDescriptor(vendor).has_value());
    // Cut off inside an item.
    const std::vector<std::uint8_t> cut(sim::kConsumerReportDescriptor.begin(),
                                        sim::kConsumerReportDescriptor.begin() + 12);
    EXPECT_FALSE(ConsumerDecoder::fromDescriptor(cut).has_value());
}

class ListenerThread {
  public:
    explicit ListenerThread(HidBackend& backend)
        : listener_(backend,
                    [this](std::uint16_t usage) {
                        std::lock_guard lock(mutex_);
                        usages_.push_back(usage);
                    }),
          thread_([this] { listener_.run(stop_); }) {}
    ~ListenerThread() { stop(); }

    void stop() {
        stop_.set();
        if (thread_.joinable()) {
            thread_.join();
        }
    }
    std::vector<std::uint16_t> usages() {
        std::lock_guard lock(mutex_);
        return usages_;
    }
    // Emits until the listener has heard one (it scans once a second).
    bool hear(sim::SimulatedDevice& device, std::uint16_t usage) {
        for (int i = 0; i < 300; ++i) {
            device.emitConsumer(usage);
            platform::StopEvent().wait(10ms);
            const auto heard = usages();
            if (std::find(heard.begin(), heard.end(), usage) != heard.end()) {
                return true;
            }
        }
        return false;
    }

  private:
    MouseConsumerListener listener_;
    platform::StopEvent stop_;
    std::mutex mutex_;
    std::vector<std::uint16_t> usages_;
    std::thread thread_;
};

TEST(MouseConsumerListenerTest, HearsTheMouseFollowsItsReplugAndEndsAtStopWhileReading) {
    sim::SimulatedBackend backend;
    backend.plug(DeviceKind::RgbKeyboard);  // a consumer collection of another product
    auto mouse = backend.plug(DeviceKind::Mouse2);
    ListenerThread listener(backend);
    ASSERT_TRUE(listener.hear(*mouse, kUsageReReadActive));

    mouse->unplug();
    auto again = backend.plug(DeviceKind::MouseAlt);
    ASSERT_TRUE(listener.hear(*again, kUsageFlash));
    // Now blocked in a read of a present, silent mouse: the stop event still ends it.
    listener.stop();
    for (const std::uint16_t usage : listener.usages()) {
        EXPECT_TRUE(usage == kUsageReReadActive || usage == kUsageFlash) << usage;
    }
}

TEST(KeyboardConsumerHolderTest, HoldsOnlyTheRgbKeyboardsConsumerCollection) {
    sim::SimulatedBackend backend;
    backend.plug(DeviceKind::MonoKeyboard);
    KeyboardConsumerHolder holder(backend);
    platform::StopEvent stop;
    std::thread thread([&] { holder.run(stop); });
    platform::StopEvent().wait(50ms);
    EXPECT_FALSE(holder.holding());
    backend.plug(DeviceKind::RgbKeyboard);
    for (int i = 0; i < 300 && !holder.holding(); ++i) {
        platform::StopEvent().wait(10ms);
    }
    EXPECT_TRUE(holder.holding());
    stop.set();
    thread.join();
    EXPECT_FALSE(holder.holding());
}

}  // namespace
}  // namespace korvane::device
