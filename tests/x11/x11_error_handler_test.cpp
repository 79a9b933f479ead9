// X errors of the program's own connections are ignored; every other connection's errors
// still reach the handler that was installed before, exactly once, however often our
// connections come and go.

#include "x11/x11_fixture.h"

#include <cstdlib>

#include "backends/x11/x11_error_handler.h"

namespace korvane::testing {
namespace {

int gForeignErrors = 0;

int countingHandler(Display*, XErrorEvent*) {
    ++gForeignErrors;
    return 0;
}

// A request about a window that does not exist: one BadWindow error, delivered by XSync.
void provokeError(Display* display) {
    XDestroyWindow(display, static_cast<Window>(0x3fffffff));
    XSync(display, False);
}

using X11ErrorHandler = X11Test;

TEST_F(X11ErrorHandler, OwnErrorsAreIgnoredOthersReachThePreviousHandlerOnce) {
    // The handler is process-wide and installed once, so the check runs in a fresh process.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string display = server()->display();
    EXPECT_EXIT(
        {
            XSetErrorHandler(&countingHandler);
            Display* foreign = XOpenDisplay(display.c_str());
            // Connections of ours come and go, as the pointer's do, beside a long-lived one.
            Display* longLived = XOpenDisplay(display.c_str());
            backends::AdoptX11Display(longLived);
            for (int i = 0; i < 3; ++i) {
                Display* shortLived = XOpenDisplay(display.c_str());
                backends::AdoptX11Display(shortLived);
                provokeError(shortLived);
                XCloseDisplay(shortLived);
                backends::ReleaseX11Display(shortLived);
            }
            provokeError(longLived);
            const bool ownIgnored = gForeignErrors == 0;
            provokeError(foreign);
            std::exit(ownIgnored && gForeignErrors == 1 ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace korvane::testing
