#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "core/device/device_commander.h"

namespace korvane::lighting::effects {

// Sends one stream of light frames to a device, leaving out a frame identical to the last
// one the device took: a static mode at full rate would otherwise repeat the same frame
// forever. A frame goes out again when the last send failed, when the device was opened
// anew (plugged again), or after forget() (another thread drew on the device meanwhile, or
// frames were held back).
class FrameSender {
  public:
    // WriteLightFrame's result, or kResultDone when the frame was left out.
    int send(device::DeviceCommander& commander, std::span<const std::uint8_t> frame);
    void forget();
    // Frames left out since construction, for tests and benchmarks.
    std::uint64_t skipped() const { return skipped_; }

  private:
    std::vector<std::uint8_t> last_;
    std::weak_ptr<device::HidHandle> handle_;
    bool valid_ = false;
    std::uint64_t skipped_ = 0;
};

}  // namespace korvane::lighting::effects
