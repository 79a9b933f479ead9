#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "backends/desktop/desktop_pointer_settings.h"
#include "core/mouse/system_pointer.h"

namespace korvane::backends {

// The desktop's pointer speed on X11: every pointer that has the libinput driver's
// "libinput Accel Speed" gets (speed − 10) / 10; one with the older acceleration scheme gets
// a constant deceleration of 10 / speed; a server with neither takes the core pointer's
// acceleration speed / 10. The desktop's own copy of the setting follows (see
// DesktopPointerSettings). Each call opens a connection of its own for the calling thread.
class X11SystemPointer final : public mouse::SystemPointer {
  public:
    // displayName empty: $DISPLAY.
    X11SystemPointer(std::string displayName, DesktopPointerSettings desktop);

    void setPointerSpeed(int speed) override;
    void setWheelLines(int lines) override;

  private:
    std::string displayName_;
    DesktopPointerSettings desktop_;
    // Two speeds set at once would interleave their device writes.
    std::mutex speedMutex_;
};

// The session's pointer: X11 with the desktop found in the environment.
std::unique_ptr<mouse::SystemPointer> makeDesktopSystemPointer();

}  // namespace korvane::backends
