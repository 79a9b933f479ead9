#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "backends/hidapi/hid_enumeration.h"

namespace korvane::backends {

// hidapi's hid_device, opaque to everything but the real calls.
struct HidapiDevice;

// The hidapi C calls the backend makes, and the few system calls beside them, behind a seam
// so that the backend's own rules (which calls never run together, what becomes of a write
// that does not finish) can be tested without devices. Implementations do no locking of
// their own: the backend decides what may run concurrently.
class HidapiCalls {
  public:
    virtual ~HidapiCalls() = default;

    // Library-wide state in hidapi: hid_init, hid_enumerate (with hid_free_enumeration),
    // hid_open_path, hid_close.
    virtual bool init() = 0;
    virtual std::vector<EnumeratedInterface> enumerate() = 0;
    virtual HidapiDevice* openPath(const std::string& path) = 0;
    virtual void close(HidapiDevice* device) = 0;

    // One device's state: hid_write, hid_read_timeout (-1 on error, else bytes).
    virtual int write(HidapiDevice* device, std::span<const std::uint8_t> report) = 0;
    virtual int readTimeout(HidapiDevice* device, std::span<std::uint8_t> buffer,
                            int milliseconds) = 0;

    // The system, not hidapi. errno of the access check a node would fail for this user
    // (read, and write when asked), 0 when it would pass: hid_open_path loses that detail.
    virtual int accessError(const std::string& path, bool write) = 0;
    virtual std::optional<std::vector<std::uint8_t>> reportDescriptor(const std::string& path) = 0;
    virtual bool exists(const std::string& path) = 0;
};

// The real calls: hidapi's hidraw flavour and the node's sysfs entries.
std::shared_ptr<HidapiCalls> systemHidapiCalls();

}  // namespace korvane::backends
