#pragma once

#include <functional>

namespace korvane::device {

// Tells when HID nodes come and go, so that nothing has to enumerate in a loop to find out.
// On a real system this is the kernel's device events (hidraw nodes added or removed); the
// simulator tells when a virtual device is plugged or unplugged.
class HotplugMonitor {
  public:
    using Listener = std::function<void()>;

    virtual ~HotplugMonitor() = default;

    // onChange runs after a node was added or removed, on a thread of the monitor's (or the
    // one that plugged), until it is unsubscribed; it must be quick and must not wait.
    // Returns an id for unsubscribe; 0 when nothing can be watched, and the caller then
    // relies on its slow poll alone.
    virtual int subscribe(Listener onChange) = 0;
    // After it returns, that listener never runs again.
    virtual void unsubscribe(int id) = 0;
};

}  // namespace korvane::device
