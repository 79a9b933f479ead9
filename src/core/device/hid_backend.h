#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/device/hotplug_monitor.h"

namespace korvane::device {

// One top-level collection of a HID interface, as enumeration finds it. On Linux one
// hidraw node can carry several collections; each is listed with the same path.
struct HidInterfaceInfo {
    std::string path;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint16_t versionNumber = 0;  // the device's release number
    std::uint16_t usagePage = 0;
    std::uint16_t usage = 0;
    int interfaceNumber = 0;
    int collectionNumber = 0;
};

enum class HidAccess : std::uint8_t { ReadOnly, ReadWrite };

enum class HidReadStatus : std::uint8_t { Ok, Timeout, Aborted, Failed };

// Why an interface could not be opened.
enum class HidOpenFailure : std::uint8_t {
    Other,             // gone, busy, not a HID node, ...
    PermissionDenied,  // present, but this user may not open its node (EACCES)
};

// An opened interface. write/read may be called from different threads; abortRead may be
// called from any thread and makes a pending (or the next) read return Aborted at once.
class HidHandle {
  public:
    static constexpr std::chrono::milliseconds kInfinite{-1};

    virtual ~HidHandle() = default;

    // One output report, byte 0 the report ID. False on failure or after the time limit.
    virtual bool write(std::span<const std::uint8_t> report, std::chrono::milliseconds timeout) = 0;
    // One input report into buffer (byte 0 the report ID); bytesRead set on Ok.
    virtual HidReadStatus read(std::span<std::uint8_t> buffer, std::chrono::milliseconds timeout,
                               std::size_t& bytesRead) = 0;
    virtual void abortRead() = 0;
    // The interface's report descriptor (all its collections).
    virtual std::vector<std::uint8_t> reportDescriptor() const = 0;
    virtual const HidInterfaceInfo& info() const = 0;
};

class HidBackend {
  public:
    virtual ~HidBackend() = default;

    // What tells when its interfaces come and go; null when nothing does (callers poll).
    virtual HotplugMonitor* hotplugMonitor() { return nullptr; }

    // Every present collection; nullopt when enumeration itself failed.
    virtual std::optional<std::vector<HidInterfaceInfo>> enumerate() = 0;
    // Opens the interface of that collection; nullptr when it cannot be opened.
    virtual std::unique_ptr<HidHandle> open(const HidInterfaceInfo& info, HidAccess access) = 0;
    // Whether the interface at that path is still plugged in (a cheap probe).
    virtual bool isStillPresent(const std::string& path) = 0;
    // Asked after open returned nullptr: why that interface cannot be opened, looked at
    // afresh (the library that opens it may not say).
    virtual HidOpenFailure whyNotOpened(const HidInterfaceInfo& /*info*/, HidAccess /*access*/) {
        return HidOpenFailure::Other;
    }
};

}  // namespace korvane::device
