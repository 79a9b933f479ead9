// Devices found by their plug and unplug events rather than by polling, and threads that
// sleep while nothing happens.

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "connection/connection_fixture.h"
#include "core/app/window_messages.h"
#include "core/app/worker_set.h"

namespace korvane::app::testing {
namespace {

using namespace std::chrono_literals;
using device::DeviceKind;

// Counts the enumerations every thread makes through it.
class CountingBackend final : public BorrowedBackend {
  public:
    using BorrowedBackend::BorrowedBackend;
    std::optional<std::vector<device::HidInterfaceInfo>> enumerate() override {
        ++enumerations;
        return BorrowedBackend::enumerate();
    }

    std::atomic<int> enumerations{0};
};

struct ThreadState {
    std::string name;
    long switches = 0;  // voluntary and involuntary context switches so far
};

// Every thread of this process but the main one, by thread id.
std::map<std::string, ThreadState> otherThreads() {
    std::map<std::string, ThreadState> threads;
    const std::string self = std::to_string(::getpid());
    DIR* dir = ::opendir("/proc/self/task");
    if (dir == nullptr) {
        return threads;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const std::string tid = entry->d_name;
        if (tid == "." || tid == ".." || tid == self) {
            continue;
        }
        ThreadState state;
        std::ifstream comm("/proc/self/task/" + tid + "/comm");
        if (!std::getline(comm, state.name)) {
            continue;  // it ended after the listing (a short-lived thread)
        }
        std::ifstream status("/proc/self/task/" + tid + "/status");
        std::string line;
        while (std::getline(status, line)) {
            const auto colon = line.find(':');
            if (colon != std::string::npos && line.find("ctxt_switches") != std::string::npos) {
                state.switches += std::stol(line.substr(colon + 1));
            }
        }
        threads[tid] = state;
    }
    ::closedir(dir);
    return threads;
}

bool isOurs(const std::string& threadName) {
    return threadName.rfind("kv-", 0) == 0;
}

class HotplugTest : public ConnectionFixture {
  protected:
    void startRecording() {
        start([this](MainWindow& main) {
            for (const int message : {msg::kRgbKeyboardConnected, msg::kRgbKeyboardLost}) {
                main.registerMessage(message, [this, message](std::intptr_t, std::intptr_t) {
                    ++messages_[message];
                });
            }
        });
    }
    int messages(int message) {
        return onMain<int>([&](MainWindow&) { return messages_[message]; });
    }
    bool visible(const std::string& name) {
        return onMain<bool>([&](MainWindow& m) {
            const ui::Control* c = m.tree().find(name);
            return c != nullptr && c->visible();
        });
    }
    // How long until pred holds on the main thread, up to the limit.
    std::chrono::milliseconds timeUntil(const std::function<bool(MainWindow&)>& pred,
                                        std::chrono::milliseconds limit) {
        const auto begin = std::chrono::steady_clock::now();
        waitUntil(pred, limit);
        return std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - begin);
    }

    std::map<int, int> messages_;
};

// The poll behind the events runs every few seconds: a device found well within one second
// was found through its plug event, and its loss through its unplug event.
TEST_F(HotplugTest, PlugAndUnplugAreSeenThroughTheirEvents) {
    start();
    platform::StopEvent().wait(300ms);  // every thread has made its first pass and sleeps

    backend().plug(DeviceKind::MousePad);
    const auto plugged =
        timeUntil([](MainWindow& m) { return m.mousePadCommander().connected(); }, 5000ms);
    EXPECT_LT(plugged, 800ms);
    ASSERT_TRUE(waitUntil([](MainWindow& m) {
        const ui::Control* tab = m.tree().find("mp_tab");
        return tab != nullptr && tab->visible();
    }));

    backend().unplug(backend().devices().front()->name());
    const auto unplugged = timeUntil(
        [](MainWindow& m) {
            const ui::Control* tab = m.tree().find("mp_tab");
            return !m.mousePadCommander().connected() && tab != nullptr && !tab->visible();
        },
        5000ms);
    EXPECT_LT(unplugged, 800ms);
}

// Plugged and pulled again faster than a connection takes: at the end the keyboard is
// connected once, to the device that stayed, and every connection the program announced
// was followed by its loss.
TEST_F(HotplugTest, QuickPlugCyclesLeaveOneConnection) {
    startRecording();
    for (int i = 0; i < 10; ++i) {
        auto keyboard = backend().plug(DeviceKind::RgbKeyboard);
        platform::StopEvent().wait(std::chrono::milliseconds(i * 15));
        backend().unplug(keyboard->name());
    }
    const auto last = backend().plug(DeviceKind::RgbKeyboard);
    ASSERT_TRUE(waitUntil([&](MainWindow& m) {
        const auto handle = m.keyboardCommander().handle();
        return m.keyboardCommander().connected() && handle != nullptr &&
               handle->info().path == last->path(sim::SimInterface::Vendor) && visible("kb_tab");
    }));
    ASSERT_TRUE(settle(*last));
    EXPECT_EQ(messages(msg::kRgbKeyboardConnected) - messages(msg::kRgbKeyboardLost), 1);
    EXPECT_TRUE(main().workers().running(WorkerSlot::KeyboardConnection));

    // The thread is not stuck: the last one's loss is seen as well.
    backend().unplug(last->name());
    ASSERT_TRUE(waitUntil([](MainWindow& m) { return !m.keyboardCommander().connected(); }));
    ASSERT_TRUE(waitUntil([&](MainWindow&) {
        return messages_[msg::kRgbKeyboardConnected] == messages_[msg::kRgbKeyboardLost];
    }));
}

// With no device attached nothing polls: no thread enumerates, and the program's threads
// hardly wake at all (the one-second settings flush rests while nothing waits for it).
TEST_F(HotplugTest, NoDeviceMeansSleepingThreads) {
    auto counting = std::make_unique<CountingBackend>(backend());
    CountingBackend& backendSeen = *counting;
    traced_ = std::move(counting);
    start();
    platform::StopEvent().wait(500ms);

    const int enumerationsBefore = backendSeen.enumerations.load();
    const auto before = otherThreads();
    platform::StopEvent().wait(2000ms);
    const auto after = otherThreads();
    EXPECT_EQ(backendSeen.enumerations.load(), enumerationsBefore);

    long wakeups = 0;
    for (const auto& [tid, state] : after) {
        if (!isOurs(state.name)) {
            continue;  // a sanitizer's own thread
        }
        const auto then = before.find(tid);
        wakeups += state.switches - (then != before.end() ? then->second.switches : 0);
    }
    // Two seconds of polling as the devices' threads used to do would be hundreds.
    EXPECT_LE(wakeups, 12);

    // And a device still wakes them.
    backend().plug(DeviceKind::Mouse);
    EXPECT_TRUE(waitUntil([](MainWindow& m) { return m.mouseCommander().connected(); }, 2000ms));
}

// The one-second flush timer rests while nothing waits, and a changed record wakes it: the
// record still reaches the device.
TEST_F(HotplugTest, TheSettingsFlushWakesForAChangedRecord) {
    const auto pad = backend().plug(DeviceKind::MousePad);
    start();
    ASSERT_TRUE(waitUntil([](MainWindow& m) { return m.mousePadCommander().connected(); }));
    ASSERT_TRUE(settle(*pad));
    const auto writes = [&] {
        return pad->inspect([](const sim::Firmware& f) { return f.settingsWriteCount(); });
    };
    const auto before = writes();
    app_->query([this] { main().mousePadSettingsChanged = true; });
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (writes() == before && std::chrono::steady_clock::now() < deadline) {
        platform::StopEvent().wait(20ms);
    }
    EXPECT_EQ(writes(), before + 1);
}

// Every thread the program starts carries a name, so whoever looks at the process sees who
// costs what.
TEST_F(HotplugTest, EveryThreadIsNamed) {
    backend().plug(DeviceKind::RgbKeyboard);
    backend().plug(DeviceKind::Mouse);
    start();
    ASSERT_TRUE(waitUntil([](MainWindow& m) { return m.mouseCommander().connected(); }));
    // The task list can miss a thread while another ends (short-lived threads apply system
    // settings), and a thread names itself as it starts: look a few times.
    std::map<std::string, std::string> seen;  // thread id → its name when last seen
    for (int look = 0; look < 4; ++look) {
        for (const auto& [tid, state] : otherThreads()) {
            seen[tid] = state.name;
        }
        platform::StopEvent().wait(100ms);
    }
    std::set<std::string> names;
    for (const auto& [tid, name] : seen) {
        names.insert(name);
#if !defined(__SANITIZE_THREAD__)
        // (ThreadSanitizer runs an unnamed thread of its own.)
        EXPECT_TRUE(isOurs(name)) << "thread " << tid << " is \"" << name << "\"";
#endif
    }
    EXPECT_TRUE(names.contains("kv-kb-conn"));
    EXPECT_TRUE(names.contains("kv-kb-fx"));
}

}  // namespace
}  // namespace korvane::app::testing
