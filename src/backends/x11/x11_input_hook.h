#pragma once

#include <chrono>
#include <memory>

#include "core/macros/input_hook.h"

namespace korvane::backends::x11 {

struct X11InputHookOptions {
    // How long an event may wait for the main thread before a keyboard grab is given up: a
    // program that stopped answering must not keep the desktop's keyboard.
    std::chrono::milliseconds answerTimeout{3000};
    // How long a keyboard held by another client is asked for again before giving up.
    std::chrono::milliseconds grabRetry{200};
};

// The desktop's keyboard and mouse under X11, on a thread of its own ("kv-input") with a
// display connection of its own:
//  - observing: XInput 2.1 raw key and button events of the master devices on the root window,
//    selected only while a hook is installed (an idle program gets no input events);
//  - swallowing: while the keyboard hook is installed, the keyboard is grabbed on a mapped
//    override-redirect window of its own, so no other client gets the keys (lock keys still
//    toggle). The grab ends with RemoveHooks, when the server takes it away, when another
//    window becomes the active one (the window deactivation of the capture), when the
//    program stops taking the events it is sent, and at exit; a crash ends the connection
//    and with it the grab.
// X keycodes become the virtual-key codes, scan codes and extended flag of the key catalogue
// (x11_key_codes.h); events carry the X server's time. Capture is unavailable without an X
// server, under Wayland (XWayland sees only its own clients' input) and without XInput 2.1.
std::unique_ptr<macros::InputHook> makeX11InputHook(X11InputHookOptions options = {});

}  // namespace korvane::backends::x11
