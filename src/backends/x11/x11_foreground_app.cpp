#include "backends/x11/x11_foreground_app.h"

#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XRes.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "backends/x11/x11_error_handler.h"
#include "core/platform/debug_line.h"

namespace korvane::backends {
namespace {

using Clock = std::chrono::steady_clock;

std::optional<std::string> programFileOf(pid_t pid) {
    std::array<char, 4096> buffer{};
    const std::string link = "/proc/" + std::to_string(pid) + "/exe";
    const ssize_t length = ::readlink(link.c_str(), buffer.data(), buffer.size() - 1);
    if (length <= 0) {
        return std::nullopt;
    }
    return std::string(buffer.data(), static_cast<std::size_t>(length));
}

class X11ForegroundApp final : public profiles::ForegroundApp {
  public:
    X11ForegroundApp(Display* display, X11ForegroundOptions options)
        : display_(display), options_(options) {
        AdoptX11Display(display_);
        root_ = DefaultRootWindow(display_);
        netActiveWindow_ = XInternAtom(display_, "_NET_ACTIVE_WINDOW", False);
        netSupported_ = XInternAtom(display_, "_NET_SUPPORTED", False);
        netSupportingWmCheck_ = XInternAtom(display_, "_NET_SUPPORTING_WM_CHECK", False);
        netWmPid_ = XInternAtom(display_, "_NET_WM_PID", False);
        wmState_ = XInternAtom(display_, "WM_STATE", False);
        int event = 0;
        int error = 0;
        int major = 0;
        int minor = 0;
        xres_ = XResQueryExtension(display_, &event, &error) != 0 &&
                XResQueryVersion(display_, &major, &minor) != 0 &&
                (major > 1 || (major == 1 && minor >= 2));
        wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        thread_ = std::thread([this] { run(); });
    }

    ~X11ForegroundApp() override {
        const std::uint64_t one = 1;
        if (wakeFd_ >= 0 && ::write(wakeFd_, &one, sizeof one) < 0) {
            platform::debugLine("foreground watcher: cannot wake its thread");
        }
        if (thread_.joinable()) {
            thread_.join();
        }
        if (wakeFd_ >= 0) {
            ::close(wakeFd_);
        }
        ReleaseX11Display(display_);
        XCloseDisplay(display_);
    }

  private:
    void run() {
        pthread_setname_np(pthread_self(), "kv-foreground");
        XSelectInput(display_, root_, PropertyChangeMask);
        detectWindowManager();
        evaluate();
        // When a change was seen: the moment it is read, once the window manager settled.
        bool changed = false;
        Clock::time_point due{};
        while (true) {
            while (XPending(display_) > 0) {
                XEvent event;
                XNextEvent(display_, &event);
                if (handle(event) && !changed) {
                    changed = true;
                    due = Clock::now() + options_.settle;
                }
            }
            int timeout = -1;
            if (changed) {
                timeout = static_cast<int>(std::max<long long>(
                    0, std::chrono::duration_cast<std::chrono::milliseconds>(due - Clock::now())
                           .count()));
            } else if (!ewmh_) {
                timeout = static_cast<int>(options_.focusPoll.count());
            }
            std::array<pollfd, 2> fds{
                {{ConnectionNumber(display_), POLLIN, 0}, {wakeFd_, POLLIN, 0}}};
            const int ready = ::poll(fds.data(), fds.size(), timeout);
            if (ready < 0 && errno != EINTR) {
                platform::debugLine("foreground watcher: poll failed");
                return;
            }
            if ((fds[1].revents & POLLIN) != 0) {
                return;
            }
            if ((fds[0].revents & (POLLHUP | POLLERR)) != 0) {
                platform::debugLine("foreground watcher: display connection lost");
                return;
            }
            if (changed && Clock::now() >= due) {
                changed = false;
                evaluate();
            } else if (ready == 0 && !ewmh_) {
                evaluate();
            }
        }
    }

    // True when the event may have changed the window in front.
    bool handle(const XEvent& event) {
        if (event.type == PropertyNotify && event.xproperty.window == root_) {
            const Atom atom = event.xproperty.atom;
            if (atom == netSupportingWmCheck_ || atom == netSupported_) {
                detectWindowManager();
                return true;
            }
            return atom == netActiveWindow_;
        }
        if (event.type == DestroyNotify && checkWindow_ != None &&
            event.xdestroywindow.window == checkWindow_) {
            // The window manager went away: fall back to the input focus.
            checkWindow_ = None;
            detectWindowManager();
            return true;
        }
        return false;
    }

    std::vector<unsigned long> readProperty(Window window, Atom property, Atom type) {
        Atom actualType = None;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        const int status = XGetWindowProperty(display_, window, property, 0, 1024, False, type,
                                              &actualType, &format, &count, &after, &data);
        std::vector<unsigned long> values;
        if (status == Success && data != nullptr && actualType == type && format == 32) {
            // Xlib hands 32-bit items as longs.
            const auto* items = reinterpret_cast<const unsigned long*>(data);
            values.assign(items, items + count);
        }
        if (data != nullptr) {
            XFree(data);
        }
        return values;
    }

    bool hasProperty(Window window, Atom property) {
        Atom actualType = None;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        const int status =
            XGetWindowProperty(display_, window, property, 0, 0, False, AnyPropertyType,
                               &actualType, &format, &count, &after, &data);
        if (data != nullptr) {
            XFree(data);
        }
        return status == Success && actualType != None;
    }

    void detectWindowManager() {
        bool ewmh = false;
        const auto check = readProperty(root_, netSupportingWmCheck_, XA_WINDOW);
        if (!check.empty()) {
            const Window window = check.front();
            const auto self = readProperty(window, netSupportingWmCheck_, XA_WINDOW);
            const auto supported = readProperty(root_, netSupported_, XA_ATOM);
            if (!self.empty() && self.front() == window &&
                std::find(supported.begin(), supported.end(), netActiveWindow_) !=
                    supported.end()) {
                ewmh = true;
                if (checkWindow_ != window) {
                    XSelectInput(display_, window, StructureNotifyMask);
                    checkWindow_ = window;
                }
            }
        }
        if (ewmh != ewmh_) {
            platform::debugLine(ewmh ? "foreground watcher: following the active window"
                                     : "foreground watcher: polling the input focus");
        }
        ewmh_ = ewmh;
    }

    Window activeWindow() {
        const auto active = readProperty(root_, netActiveWindow_, XA_WINDOW);
        return active.empty() ? None : active.front();
    }

    // The top-level window holding the input focus: the first one up from the focus that
    // has WM_STATE, else the child of the root.
    Window focusedTopLevel() {
        Window focus = None;
        int revert = 0;
        XGetInputFocus(display_, &focus, &revert);
        if (focus == None || focus == PointerRoot || focus == root_) {
            return None;
        }
        Window window = focus;
        for (int depth = 0; depth < 64; ++depth) {
            if (hasProperty(window, wmState_)) {
                return window;
            }
            Window rootReturn = None;
            Window parent = None;
            Window* children = nullptr;
            unsigned int count = 0;
            if (XQueryTree(display_, window, &rootReturn, &parent, &children, &count) == 0) {
                return None;
            }
            if (children != nullptr) {
                XFree(children);
            }
            if (parent == None || parent == root_) {
                return window;
            }
            window = parent;
        }
        return None;
    }

    std::optional<pid_t> processOf(Window window) {
        if (xres_) {
            XResClientIdSpec spec{window, XRES_CLIENT_ID_PID_MASK};
            long count = 0;
            XResClientIdValue* ids = nullptr;
            pid_t pid = -1;
            if (XResQueryClientIds(display_, 1, &spec, &count, &ids) == Success) {
                for (long i = 0; i < count && pid <= 0; ++i) {
                    if (XResGetClientIdType(&ids[i]) == XRES_CLIENT_ID_PID) {
                        pid = XResGetClientPid(&ids[i]);
                    }
                }
                XResClientIdsDestroy(count, ids);
            }
            if (pid > 0) {
                return pid;
            }
        }
        const auto pid = readProperty(window, netWmPid_, XA_CARDINAL);
        if (!pid.empty() && pid.front() > 0) {
            return static_cast<pid_t>(pid.front());
        }
        return std::nullopt;
    }

    void evaluate() {
        const Window window = ewmh_ ? activeWindow() : focusedTopLevel();
        if (window == None) {
            publish({});
            return;
        }
        // A window whose process or program file cannot be read keeps the last path.
        if (const auto pid = processOf(window)) {
            if (auto file = programFileOf(*pid)) {
                publish(std::move(*file));
            }
        }
    }

    Display* display_;
    X11ForegroundOptions options_;
    Window root_ = None;
    Atom netActiveWindow_ = None;
    Atom netSupported_ = None;
    Atom netSupportingWmCheck_ = None;
    Atom netWmPid_ = None;
    Atom wmState_ = None;
    Window checkWindow_ = None;
    bool ewmh_ = false;
    bool xres_ = false;
    int wakeFd_ = -1;
    std::thread thread_;
};

}  // namespace

std::unique_ptr<profiles::ForegroundApp> makeX11ForegroundApp(X11ForegroundOptions options) {
    Display* display = XOpenDisplay(options.display.empty() ? nullptr : options.display.c_str());
    if (display == nullptr) {
        return nullptr;
    }
    return std::make_unique<X11ForegroundApp>(display, options);
}

}  // namespace korvane::backends
