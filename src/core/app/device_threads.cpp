#include "core/app/device_threads.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/app/connection_sequences.h"
#include "core/app/main_window.h"
#include "core/app/profile_selection.h"
#include "core/app/window_messages.h"
#include "core/device/connection_watcher.h"
#include "core/device/consumer_listener.h"
#include "core/device/device_permissions.h"

namespace korvane::app {
namespace {

using namespace std::chrono_literals;
using device::DeviceClass;
using device::DeviceKind;

constexpr std::chrono::milliseconds kConnectSettle{100};
constexpr std::chrono::milliseconds kCoalesceDelay{50};
constexpr int kReReadActiveTimer = 9;
constexpr int kFullReReadTimer = 10;
// Re-reads asked of a connection thread by window messages; each bit runs once at the next
// pass while the device is present.
enum ReReadBits : unsigned {
    kReReadFull = 1u << 0,
    kReReadActive = 1u << 1,
    kCaptureDefaultKeys = 1u << 2,
    kDeviceWrites = 1u << 3,
};

class ReReadRequests {
  public:
    // Wakes the connection thread, which sleeps on its stop event between passes.
    void request(unsigned bits) {
        pending_.fetch_or(bits);
        if (const platform::StopEvent* sleeper = sleeper_.load()) {
            sleeper->wake();
        }
    }
    unsigned take() { return pending_.exchange(0); }
    bool pending() const { return pending_.load() != 0; }
    // The stop event the connection thread sleeps on (before then, its first sleep sees
    // what is pending).
    void setSleeper(const platform::StopEvent* stop) { sleeper_.store(stop); }

  private:
    std::atomic<unsigned> pending_{0};
    std::atomic<const platform::StopEvent*> sleeper_{nullptr};
};

// One connection thread's state between the locked read and the main thread's apply.
struct Connection {
    Connection(DeviceClass cls, device::DeviceCommander& c) : deviceClass(cls), commander(c) {}

    DeviceClass deviceClass;
    device::DeviceCommander& commander;
    ReReadRequests requests;
    std::optional<bool> sameModeEnabled;  // last state set, so it is set only on change

    // Writes the main thread queued, by name, in the order they were first queued.
    std::mutex writesMutex;
    std::vector<std::pair<std::string, MainWindow::DeviceWrite>> writes;

    DeviceKind kind{};
    KeyboardRead keyboard;
    MouseRead mouse;
    MousePadRead mousePad;
};

struct DeviceFeatures {
    explicit DeviceFeatures(MainWindow& main)
        : keyboard(DeviceClass::Keyboard, main.keyboardCommander()),
          mouse(DeviceClass::Mouse, main.mouseCommander()),
          mousePad(DeviceClass::MousePad, main.mousePadCommander()) {}

    Connection keyboard;
    Connection mouse;
    Connection mousePad;

    Connection& of(DeviceClass deviceClass) {
        switch (deviceClass) {
            case DeviceClass::Keyboard:
                break;
            case DeviceClass::Mouse:
                return mouse;
            case DeviceClass::MousePad:
                return mousePad;
        }
        return keyboard;
    }
};

void queueWrite(Connection& c, std::string_view name, MainWindow::DeviceWrite write) {
    {
        std::lock_guard guard(c.writesMutex);
        auto it = std::find_if(c.writes.begin(), c.writes.end(),
                               [name](const auto& queued) { return queued.first == name; });
        if (it != c.writes.end()) {
            it->second = std::move(write);
        } else {
            c.writes.emplace_back(std::string(name), std::move(write));
        }
    }
    c.requests.request(kDeviceWrites);
}

void dropQueuedWrites(Connection& c) {
    std::lock_guard guard(c.writesMutex);
    c.writes.clear();
}

// The writes the main thread queued, each under the lock; none once the program ends.
void runQueuedWrites(Connection& c, const platform::StopEvent& stop) {
    std::vector<std::pair<std::string, MainWindow::DeviceWrite>> writes;
    {
        std::lock_guard guard(c.writesMutex);
        writes.swap(c.writes);
    }
    for (auto& [name, write] : writes) {
        if (stop.isSet()) {
            return;
        }
        std::lock_guard lock(c.commander.lock());
        write(c.commander);
    }
}

// Runs fn on the main thread and waits; never called with a commander's lock held. False
// when it did not run: the program is ending.
bool onMain(MainWindow& main, std::function<void()> fn) {
    return main.loop().invoke(std::move(fn));
}

void readArrived(MainWindow& main, Connection& c, DeviceKind kind,
                 const device::HidInterfaceInfo& info, const platform::StopEvent& stop) {
    c.kind = kind;
    c.sameModeEnabled.reset();
    // A device that arrives while the program ends is not read: nobody would apply it.
    if (stop.isSet()) {
        return;
    }
    switch (c.deviceClass) {
        case DeviceClass::Keyboard:
            if (stop.wait(kConnectSettle)) {
                return;
            }
            main.kinds().keyboardFirmware = info.versionNumber;
            c.commander.setConnected(true);
            c.keyboard = ReadKeyboardDevice(c.commander);
            break;
        case DeviceClass::Mouse:
            c.commander.setConnected(true);
            main.kinds().mouseFirmware = info.versionNumber;
            c.mouse = ReadMouseDevice(c.commander);
            break;
        case DeviceClass::MousePad:
            c.commander.setConnected(true);
            c.mousePad = ReadMousePadDevice(c.commander);
            break;
    }
}

void applyArrived(MainWindow& main, Connection& c) {
    switch (c.deviceClass) {
        case DeviceClass::Keyboard:
            onMain(main, [&] { ConnectKeyboard(main, c.kind, c.keyboard); });
            break;
        case DeviceClass::Mouse: {
            if (!onMain(main, [&] { ConnectMouse(main, c.kind, c.mouse); })) {
                return;
            }
            CursorRead cursors;
            {
                std::lock_guard lock(c.commander.lock());
                cursors = ReadCursorMemory(c.commander);
            }
            onMain(main, [&] { ConnectMouseCursors(main, c.kind, cursors); });
            break;
        }
        case DeviceClass::MousePad:
            onMain(main, [&] { ConnectMousePad(main, c.mousePad); });
            break;
    }
}

void lost(MainWindow& main, Connection& c) {
    c.requests.take();
    dropQueuedWrites(c);
    c.sameModeEnabled.reset();
    switch (c.deviceClass) {
        case DeviceClass::Keyboard:
            onMain(main, [&] { KeyboardLost(main); });
            break;
        case DeviceClass::Mouse:
            onMain(main, [&] { MouseLost(main); });
            break;
        case DeviceClass::MousePad:
            onMain(main, [&] { MousePadLost(main); });
            break;
    }
}

// The requests since the last pass: the writes the main thread queued, then the re-reads
// (device reads under the lock, then the apply).
void runReReads(MainWindow& main, Connection& c, const platform::StopEvent& stop) {
    const unsigned bits = c.requests.take();
    if (bits == 0) {
        return;
    }
    if ((bits & kDeviceWrites) != 0) {
        runQueuedWrites(c, stop);
    }
    if ((bits & kReReadFull) != 0) {
        std::unique_lock lock(c.commander.lock());
        switch (c.deviceClass) {
            case DeviceClass::Keyboard: {
                KeyboardRead read = ReadKeyboardDevice(c.commander);
                lock.unlock();
                onMain(main, [&] {
                    ApplyKeyboardRead(main, read);
                    runRefresh(main.pageRefresh().keyboardLighting);
                });
                break;
            }
            case DeviceClass::Mouse: {
                MouseRead read = ReadMouseDevice(c.commander);
                lock.unlock();
                onMain(main, [&] {
                    ApplyMouseRead(main, read);
                    runRefresh(main.pageRefresh().mousePages);
                });
                break;
            }
            case DeviceClass::MousePad: {
                MousePadRead read = ReadMousePadDevice(c.commander);
                lock.unlock();
                onMain(main, [&] {
                    ApplyMousePadRead(main, read);
                    runRefresh(main.pageRefresh().mousePadPage);
                });
                break;
            }
        }
    }
    if ((bits & kReReadActive) != 0 && c.deviceClass != DeviceClass::Keyboard) {
        std::unique_lock lock(c.commander.lock());
        const bool mouse = c.deviceClass == DeviceClass::Mouse;
        ActiveRecordRead read =
            mouse ? ReadMouseActiveRecord(c.commander) : ReadMousePadActiveRecord(c.commander);
        lock.unlock();
        onMain(main, [&] {
            if (mouse) {
                ApplyMouseActiveRecord(main, read);
            } else {
                ApplyMousePadActiveRecord(main, read);
            }
        });
    }
    if ((bits & kCaptureDefaultKeys) != 0) {
        std::unique_lock lock(c.commander.lock());
        std::optional<TableBytes> base;
        TableBytes table{};
        if (c.commander.ReadBaseTable(table) == device::kResultDone) {
            base = table;
        }
        lock.unlock();
        onMain(main, [&] { CaptureKeyboardDefaultKeys(main, base); });
    }
}

void installDeviceWriteQueue(MainWindow& main, const std::shared_ptr<DeviceFeatures>& features) {
    main.setDeviceWriteQueue(
        [features](DeviceClass deviceClass, std::string_view name, MainWindow::DeviceWrite write) {
            Connection& c = features->of(deviceClass);
            if (write && c.commander.connected()) {
                queueWrite(c, name, std::move(write));
            }
        });
}

void installConnectionThread(MainWindow& main, device::HidBackend& backend,
                             const std::shared_ptr<DeviceFeatures>& features, Connection& c,
                             WorkerSlot slot, device::InterfaceRole role) {
    main.workers().assign(slot, [&main, &backend, features, &c, role](platform::StopEvent& stop) {
        c.requests.setSleeper(&stop);
        device::ConnectionWatcher::Hooks hooks;
        hooks.readArrived = [&](DeviceKind kind, const device::HidInterfaceInfo& info) {
            readArrived(main, c, kind, info, stop);
        };
        // What a pass read is not applied once the program is ending: the main thread no
        // longer takes it, and the device is not asked for more.
        hooks.applyArrived = [&] {
            if (!stop.isSet()) {
                applyArrived(main, c);
            }
        };
        hooks.stillPresent = [&] {
            if (stop.isSet()) {
                return;
            }
            const bool enabled = OtherDeviceConnected(main, c.deviceClass);
            if (c.sameModeEnabled != enabled) {
                c.sameModeEnabled = enabled;
                main.loop().post([&main, deviceClass = c.deviceClass, enabled] {
                    SetSameModeCheck(main, deviceClass, enabled);
                });
            }
            runReReads(main, c, stop);
        };
        hooks.lost = [&] {
            if (!stop.isSet()) {
                lost(main, c);
            }
        };
        hooks.permissionDenied = [&main](const device::HidInterfaceInfo&) {
            main.postMessageBox(std::string(device::DeviceAccessMessageKey()));
        };
        device::ConnectionWatcher watcher(backend, c.commander, role, std::move(hooks),
                                          &main.deviceChanges());
        watcher.run(stop, [&c] { return c.requests.pending(); });
        c.requests.setSleeper(nullptr);
    });
}

void onConsumerUsage(MainWindow& main, std::uint16_t usage) {
    switch (usage) {
        case device::kUsageReReadActive:
            main.loop().post(
                [&main] { main.loop().startTimer(kReReadActiveTimer, kCoalesceDelay); });
            break;
        case device::kUsageFullReRead:
            main.loop().post([&main] { main.loop().startTimer(kFullReReadTimer, kCoalesceDelay); });
            break;
        case device::kUsageFlash:
            main.flashTriggers().mouse = true;
            main.flashTriggers().mousePad = true;
            break;
        default:
            break;
    }
}

void registerMessages(MainWindow& main, const std::shared_ptr<DeviceFeatures>& shared) {
    DeviceFeatures& features = *shared;
    const auto ask = [&shared](Connection& c, unsigned bits) {
        return [keep = shared, &c, bits](std::intptr_t, std::intptr_t) {
            if (c.commander.connected()) {
                c.requests.request(bits);
            }
        };
    };
    main.registerMessage(msg::kReadMouse, ask(features.mouse, kReReadFull));
    main.registerMessage(msg::kReReadMouseActive, ask(features.mouse, kReReadActive));
    main.registerMessage(msg::kReadMousePad, ask(features.mousePad, kReReadFull));
    main.registerMessage(msg::kReReadMousePadActive, ask(features.mousePad, kReReadActive));
    main.registerMessage(msg::kReadKeyboard, ask(features.keyboard, kReReadFull));
    main.registerMessage(msg::kCaptureDefaultKeyProfile,
                         ask(features.keyboard, kCaptureDefaultKeys));
    // Memory only: no need to wait for the connection thread.
    main.registerMessage(msg::kStoreKeyboardLight,
                         [&main](std::intptr_t, std::intptr_t) { StoreKeyboardLightRecord(main); });
}

}  // namespace

void InstallDeviceFeatures(MainWindow& main) {
    // Held by the workers and the message handlers, which the window owns.
    auto features = std::make_shared<DeviceFeatures>(main);
    InstallProfileSelection(main);
    registerMessages(main, features);
    device::HidBackend* backend = main.hidBackend();
    if (backend == nullptr) {
        return;
    }
    if (device::HotplugMonitor* monitor = backend->hotplugMonitor()) {
        main.deviceChanges().follow(*monitor);
    }
    installDeviceWriteQueue(main, features);
    installConnectionThread(main, *backend, features, features->keyboard,
                            WorkerSlot::KeyboardConnection,
                            device::InterfaceRole::KeyboardCommander);
    installConnectionThread(main, *backend, features, features->mouse, WorkerSlot::MouseConnection,
                            device::InterfaceRole::MouseCommander);
    installConnectionThread(main, *backend, features, features->mousePad,
                            WorkerSlot::MousePadConnection,
                            device::InterfaceRole::MousePadCommander);
    main.workers().assign(
        WorkerSlot::MouseConsumerListener, [&main, backend](platform::StopEvent& stop) {
            device::MouseConsumerListener listener(
                *backend, [&main](std::uint16_t usage) { onConsumerUsage(main, usage); },
                &main.deviceChanges());
            listener.run(stop);
        });
    main.workers().assign(
        WorkerSlot::KeyboardConsumerHolder, [&main, backend](platform::StopEvent& stop) {
            device::KeyboardConsumerHolder holder(*backend, &main.deviceChanges());
            holder.run(stop);
        });
}

}  // namespace korvane::app
