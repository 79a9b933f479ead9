#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "core/profiles/foreground_app.h"

namespace korvane::backends {

struct X11ForegroundOptions {
    // The display to watch; empty: $DISPLAY.
    std::string display;
    // Window managers write "no window" just before the new one: a change is read once it
    // has been quiet this long.
    std::chrono::milliseconds settle{50};
    // Without a window manager that announces the active window, the input focus is
    // looked at this often.
    std::chrono::milliseconds focusPoll{1000};
};

// The program in front on an X11 display, on a thread of its own ("kv-foreground") with its
// own connection. With an EWMH window manager it sleeps until the root window's
// _NET_ACTIVE_WINDOW changes; without one it polls the input focus. The window's process comes
// from the X-Resource extension's client ids, else from _NET_WM_PID; its program file from
// /proc/PID/exe. A process that may not be inspected leaves the last path.
// Null when the display cannot be opened.
std::unique_ptr<profiles::ForegroundApp> makeX11ForegroundApp(X11ForegroundOptions options = {});

}  // namespace korvane::backends
