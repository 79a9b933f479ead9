#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "core/device/device_kind.h"
#include "core/device/hid_backend.h"
#include "sim/firmware.h"
#include "sim/sim_settings.h"

namespace korvane::sim {

enum class SimInterface : std::uint8_t { Vendor, Consumer };

inline constexpr std::uint16_t kSimVersionNumber = 0x0105;
// Input reports an open handle keeps before the oldest is dropped, as a hidraw node does.
inline constexpr std::size_t kInputQueueLimit = 64;

class SimulatedHandle;

// One simulated device: its firmware, its two interfaces and what is injected into them.
// Every method is thread-safe.
class SimulatedDevice : public std::enable_shared_from_this<SimulatedDevice> {
  public:
    // serial makes the paths unique: "sim:<model>#<serial>/vendor" and ".../consumer".
    SimulatedDevice(device::DeviceKind kind, int serial, SimSettings settings);

    device::DeviceKind kind() const { return kind_; }
    const std::string& name() const { return name_; }
    std::string path(SimInterface which) const;
    std::vector<device::HidInterfaceInfo> interfaces() const;
    bool ownsPath(const std::string& path) const;

    bool present() const;
    // The device vanishes: pending and later reads fail, writes fail.
    void unplug();
    // Runs once, outside the device's lock, when the device vanishes (unplugged or by an
    // injected fault). Set by the backend when it plugs the device.
    void setVanishListener(std::function<void()> listener);
    // Queues a consumer-control input report carrying usage (0 = released).
    void emitConsumer(std::uint16_t usage);

    std::uint32_t requestCount() const;
    // Requests other than light-frame chunks: what a test counts while the effect threads
    // stream frames on their own.
    std::uint32_t controlRequestCount() const;
    // Runs f on the firmware under the device's lock, for looking at its memory.
    template <class F>
    auto inspect(F&& f) const {
        std::lock_guard lock(mutex_);
        return f(firmware_);
    }

    // nullptr when unplugged or when this user may not open it (fault=eacces).
    std::unique_ptr<device::HidHandle> open(const device::HidInterfaceInfo& info,
                                            device::HidAccess access);
    bool permissionDenied() const;
    // The vendor node's report descriptor: input reports under the answer report ID of the
    // settings, or nothing at all (descriptor=empty).
    std::vector<std::uint8_t> vendorDescriptor() const;

  private:
    friend class SimulatedHandle;
    using Clock = std::chrono::steady_clock;

    struct InputReport {
        Clock::time_point readyAt;
        std::vector<std::uint8_t> bytes;
    };
    // Each handle's reader waits on its own condition: a light frame written to the vendor
    // node does not wake a reader of the consumer node.
    struct HandleState {
        SimInterface which = SimInterface::Vendor;
        std::deque<InputReport> queue;
        bool abort = false;
        std::condition_variable changed;
    };

    bool write(HandleState& handle, std::span<const std::uint8_t> report);
    device::HidReadStatus read(HandleState& handle, std::span<std::uint8_t> buffer,
                               std::chrono::milliseconds timeout, std::size_t& bytesRead);
    void abortRead(HandleState& handle);
    void attach(HandleState* handle);
    void detach(HandleState* handle);
    // Both with the lock held.
    void pushInput(SimInterface which, Clock::time_point readyAt,
                   std::span<const std::uint8_t> bytes);
    void wakeAllLocked();
    const Fault* faultFor(std::uint32_t request) const;
    // How long after its request an answer becomes readable.
    std::chrono::milliseconds delayFor(std::uint32_t request) const;

    const device::DeviceKind kind_;
    const std::string name_;
    const SimSettings settings_;

    mutable std::mutex mutex_;
    Firmware firmware_;
    bool present_ = true;
    std::uint32_t requests_ = 0;
    std::uint32_t controlRequests_ = 0;
    std::vector<HandleState*> handles_;
    std::function<void()> vanished_;  // guarded by mutex_; taken when it runs
};

}  // namespace korvane::sim
