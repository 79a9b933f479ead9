#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

#include "backends/hidapi/hidapi_calls.h"
#include "core/device/hid_backend.h"

namespace korvane::backends {

// hidapi as the process shares it: hid_init, hid_enumerate, hid_open_path and hid_close
// touch library-wide state, so they run one at a time under globalMutex, whichever thread
// or backend calls them.
struct HidapiLibrary {
    explicit HidapiLibrary(std::shared_ptr<HidapiCalls> c) : calls(std::move(c)) {}

    std::shared_ptr<HidapiCalls> calls;
    std::mutex globalMutex;
};

// One opened hidraw node. hidapi documents no concurrent use of one hid_device, so a read
// and a write never run together on it. Writes go through a writer thread of the handle so
// that one which the device does not take (the kernel waits seconds for a NAKing device)
// can be given up: at most one write is in flight; a write that has not begun when its time
// is up is cancelled and never sent; while one is stuck in the kernel, further writes fail
// at once; closing sends nothing more and does not wait for a stuck write, whose thread
// closes the device once the kernel lets go.
class HidapiHandle final : public device::HidHandle {
  public:
    HidapiHandle(std::shared_ptr<HidapiLibrary> library, HidapiDevice* device,
                 device::HidInterfaceInfo info, std::vector<std::uint8_t> descriptor);
    ~HidapiHandle() override;
    HidapiHandle(const HidapiHandle&) = delete;
    HidapiHandle& operator=(const HidapiHandle&) = delete;

    bool write(std::span<const std::uint8_t> report, std::chrono::milliseconds timeout) override;
    device::HidReadStatus read(std::span<std::uint8_t> buffer, std::chrono::milliseconds timeout,
                               std::size_t& bytesRead) override;
    void abortRead() override;
    std::vector<std::uint8_t> reportDescriptor() const override { return descriptor_; }
    const device::HidInterfaceInfo& info() const override { return info_; }

    // Whether reports carry their report ID in byte 0 as read from the node: true unless the
    // descriptor says it uses none. An empty or unreadable descriptor says nothing, and the
    // devices number their reports.
    static bool reportsAreNumbered(std::span<const std::uint8_t> descriptor);

  private:
    struct Core;

    std::shared_ptr<Core> core_;
    device::HidInterfaceInfo info_;
    std::vector<std::uint8_t> descriptor_;
    bool numbered_ = true;
};

}  // namespace korvane::backends
