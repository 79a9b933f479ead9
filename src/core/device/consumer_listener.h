#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>

#include "core/device/device_changes.h"
#include "core/device/device_matching.h"
#include "core/device/hid_backend.h"
#include "core/device/report_descriptor.h"
#include "core/platform/stop_event.h"

namespace korvane::device {

inline constexpr std::uint16_t kUsageReReadActive = 0x0401;
inline constexpr std::uint16_t kUsageFullReRead = 0x0402;
inline constexpr std::uint16_t kUsageFlash = 0x0403;

// Between scans without a hotplug monitor; with one, scans follow the device changes.
inline constexpr std::chrono::milliseconds kListenerScanInterval{1000};
// The pause before reading a present device again after a failed read.
inline constexpr std::chrono::milliseconds kListenerReadRetry{50};

// The consumer-control collection of an opened interface, decoded from its descriptor.
class ConsumerDecoder {
  public:
    // nullopt when the descriptor is malformed or has no consumer-control collection.
    static std::optional<ConsumerDecoder> fromDescriptor(std::span<const std::uint8_t> bytes);

    std::size_t inputReportLength() const { return collection_.inputReportLength; }
    // The first usage of the first data item of an input report; nullopt when the report
    // belongs to another collection, is too short, or carries nothing.
    std::optional<std::uint16_t> firstUsage(std::span<const std::uint8_t> report) const;

  private:
    explicit ConsumerDecoder(HidCollection collection) : collection_(std::move(collection)) {}

    HidCollection collection_;
};

// The mouse's consumer-control collection: every input report's first usage goes to onUsage
// (on the listener's thread). Owns its interface for as long as it holds one.
class MouseConsumerListener {
  public:
    using UsageHandler = std::function<void(std::uint16_t usage)>;

    // changes, when given, wakes the scans; without it they run once a second.
    MouseConsumerListener(HidBackend& backend, UsageHandler onUsage,
                          DeviceChanges* changes = nullptr);

    // Scans until an interface is accepted, reads it (a read without time limit that the
    // stop event cuts short) until it is lost, and starts over; ends when stop is set or
    // enumeration fails.
    void run(const platform::StopEvent& stop);

  private:
    // The accepted interface and its decoder, or null; false when enumeration failed.
    bool scan(std::unique_ptr<HidHandle>& handle, std::optional<ConsumerDecoder>& decoder);
    void listen(HidHandle& handle, const ConsumerDecoder& decoder, const platform::StopEvent& stop);

    HidBackend& backend_;
    UsageHandler onUsage_;
    DeviceChanges* changes_;
};

// Holds the RGB keyboard's consumer-control collection open for the whole run, so that
// nothing else takes it; it reads nothing.
class KeyboardConsumerHolder {
  public:
    // changes, when given, wakes the scans; without it they run once a second.
    explicit KeyboardConsumerHolder(HidBackend& backend, DeviceChanges* changes = nullptr)
        : backend_(backend), changes_(changes) {}

    // Scans until it holds the interface, then sleeps until stop; ends when stop is set or
    // enumeration fails.
    void run(const platform::StopEvent& stop);
    bool holding() const { return holding_.load(); }

  private:
    HidBackend& backend_;
    DeviceChanges* changes_;
    std::unique_ptr<HidHandle> held_;
    std::atomic<bool> holding_{false};
};

}  // namespace korvane::device
