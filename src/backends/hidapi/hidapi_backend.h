#pragma once

#include <memory>

#include "core/device/hid_backend.h"

namespace korvane::backends {

// The real devices through hidapi's hidraw flavour. Each hidraw node is listed once per
// top-level collection of its report descriptor, so usage page / usage matching works for
// nodes that carry a vendor and a consumer collection together.
std::unique_ptr<device::HidBackend> makeHidapiBackend();

}  // namespace korvane::backends
