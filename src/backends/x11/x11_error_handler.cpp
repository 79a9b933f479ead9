#include "backends/x11/x11_error_handler.h"

#include <mutex>
#include <set>

namespace korvane::backends {
namespace {

std::mutex gMutex;
std::set<Display*> gOwnDisplays;
XErrorHandler gPreviousHandler = nullptr;
std::once_flag gInstalled;

int onXError(Display* display, XErrorEvent* event) {
    XErrorHandler previous = nullptr;
    {
        std::lock_guard lock(gMutex);
        if (gOwnDisplays.contains(display)) {
            return 0;
        }
        previous = gPreviousHandler;
    }
    return previous != nullptr ? previous(display, event) : 0;
}

}  // namespace

void AdoptX11Display(Display* display) {
    if (display == nullptr) {
        return;
    }
    std::call_once(gInstalled, [] {
        const XErrorHandler previous = XSetErrorHandler(&onXError);
        std::lock_guard lock(gMutex);
        gPreviousHandler = previous;
    });
    std::lock_guard lock(gMutex);
    gOwnDisplays.insert(display);
}

void ReleaseX11Display(Display* display) {
    std::lock_guard lock(gMutex);
    gOwnDisplays.erase(display);
}

}  // namespace korvane::backends
