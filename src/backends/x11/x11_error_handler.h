#pragma once

#include <X11/Xlib.h>

namespace korvane::backends {

// Xlib reports protocol errors through one handler per process, and its default ends the
// program. Windows and pointers vanish between a query and the request about them, so the
// errors of our own connections are expected: an adopted connection's errors are ignored,
// every other connection's go to the handler that was there before ours. Every part that
// opens its own connection adopts it here, so that there is exactly one handler of ours and
// the chain can never loop back into itself.
void AdoptX11Display(Display* display);
void ReleaseX11Display(Display* display);

}  // namespace korvane::backends
