#include "core/lighting/effects/frame_sender.h"

#include <algorithm>

namespace korvane::lighting::effects {

int FrameSender::send(device::DeviceCommander& commander, std::span<const std::uint8_t> frame) {
    const std::shared_ptr<device::HidHandle> handle = commander.handle();
    if (valid_ && handle != nullptr && handle_.lock() == handle &&
        std::ranges::equal(last_, frame)) {
        ++skipped_;
        return device::kResultDone;
    }
    const int result = commander.WriteLightFrame(frame);
    valid_ = result == device::kResultDone && handle != nullptr;
    if (valid_) {
        last_.assign(frame.begin(), frame.end());
        handle_ = handle;
    }
    return result;
}

void FrameSender::forget() {
    valid_ = false;
}

}  // namespace korvane::lighting::effects
