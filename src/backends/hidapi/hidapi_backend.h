#pragma once

#include <memory>

#include "core/device/hid_backend.h"

namespace korvane::backends {

struct HidapiLibrary;

// The real devices through hidapi's hidraw flavour. Each hidraw node is listed once per
// top-level collection of its report descriptor, so usage page / usage matching works for
// nodes that carry a vendor and a consumer collection together. hidapi's library-wide calls
// never run together, whichever thread makes them.
std::unique_ptr<device::HidBackend> makeHidapiBackend();

// The same over given calls (tests put a fake behind the library); hotplug, when given,
// tells when nodes come and go (the real backend has udev's).
std::unique_ptr<device::HidBackend> makeHidapiBackend(
    std::shared_ptr<HidapiLibrary> library,
    std::unique_ptr<device::HotplugMonitor> hotplug = nullptr);

}  // namespace korvane::backends
