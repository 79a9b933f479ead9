#include "backends/x11/x11_input_hook.h"

#include <atomic>
#include <bitset>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <future>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <time.h>
#include <unistd.h>

#include "backends/x11/x11_error_handler.h"
#include "backends/x11/x11_key_codes.h"
#include "core/platform/debug_line.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

namespace korvane::backends::x11 {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr unsigned kLeftAltKeycode = 64;
constexpr unsigned kRightAltKeycode = 108;
constexpr unsigned kLeftCtrlKeycode = 37;
constexpr unsigned kRightCtrlKeycode = 105;
// How long the main thread waits for the input thread to carry out a command.
constexpr auto kCommandTimeout = 2s;
constexpr auto kGrabRetryStep = 20ms;

std::uint32_t monotonicMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
                                      static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u);
}

// Under Wayland an X connection (XWayland) sees only its own clients' input.
bool waylandSession() {
    const char* type = std::getenv("XDG_SESSION_TYPE");
    return type != nullptr && std::string_view(type) == "wayland";
}

struct Command {
    enum class Kind { Install, Remove, Stop };
    Kind kind = Kind::Remove;
    macros::CaptureMode mode = macros::CaptureMode{};
    bool keyboard = false;
    bool mouse = false;
    std::uint64_t generation = 0;
    std::promise<bool> done;
};

class X11InputHook final : public macros::InputHook {
  public:
    explicit X11InputHook(X11InputHookOptions options);
    ~X11InputHook() override;

    bool available() const override { return available_; }
    std::uint32_t now() const override { return monotonicMs(); }
    void answered(std::uint64_t serial) override {
        std::uint64_t seen = answered_.load();
        while (seen < serial && !answered_.compare_exchange_weak(seen, serial)) {
        }
    }

  protected:
    bool install(macros::CaptureMode mode, bool keyboard, bool mouse,
                 std::uint64_t generation) override;
    void remove() override;

  private:
    bool send(Command::Kind kind, macros::CaptureMode mode = macros::CaptureMode{},
              bool keyboard = false, bool mouse = false, std::uint64_t generation = 0);

    // Input thread.
    void run(std::promise<bool> ready);
    bool open();
    void close();
    void serveCommands(bool& stop);
    bool doInstall(const Command& command);
    void doRemove();
    bool tryGrab();
    void retryGrab();
    void selectRaw(bool keyboard, bool mouse);
    void watchActiveWindow(bool on);
    std::optional<Window> activeWindow();
    void handle(XEvent& event);
    void handleRaw(const XIRawEvent& raw);
    void sendKey(const XIRawEvent& raw, bool down);
    void sendButton(const XIRawEvent& raw, bool down);
    void endCapture(macros::CaptureEnd why);
    int pollTimeout();
    void checkTimers();
    void checkAnswers();

    X11InputHookOptions options_;
    bool available_ = false;
    int wake_ = -1;
    std::thread thread_;
    std::mutex mutex_;
    std::deque<std::unique_ptr<Command>> commands_;
    std::atomic<std::uint64_t> answered_{0};

    // Input thread only.
    Display* display_ = nullptr;
    Window root_ = 0;
    Window grabWindow_ = 0;
    int xiOpcode_ = 0;
    Atom netActiveWindow_ = 0;
    macros::CaptureMode mode_ = macros::CaptureMode{};
    std::uint64_t generation_ = 0;
    bool keyboard_ = false;
    bool mouse_ = false;
    bool grabbed_ = false;
    // A keyboard held by another client is asked for again until then.
    std::optional<Clock::time_point> grabUntil_;
    Clock::time_point nextGrab_{};
    unsigned long grabSerial_ = 0;
    std::optional<Window> activeBaseline_;
    std::bitset<256> keysDown_;
    std::bitset<32> buttonsDown_;
    std::uint64_t serial_ = 0;
    std::optional<Clock::time_point> waitingSince_;
    std::uint64_t answeredSeen_ = 0;
};

X11InputHook::X11InputHook(X11InputHookOptions options) : options_(options) {
    if (waylandSession()) {
        platform::debugLine("input capture: unavailable in a Wayland session");
        return;
    }
    wake_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wake_ < 0) {
        return;
    }
    std::promise<bool> ready;
    std::future<bool> opened = ready.get_future();
    thread_ = std::thread([this, r = std::move(ready)]() mutable { run(std::move(r)); });
    available_ = opened.get();
    if (!available_) {
        thread_.join();
    }
}

X11InputHook::~X11InputHook() {
    if (thread_.joinable()) {
        send(Command::Kind::Stop);
        thread_.join();
    }
    if (wake_ >= 0) {
        ::close(wake_);
    }
}

bool X11InputHook::send(Command::Kind kind, macros::CaptureMode mode, bool keyboard, bool mouse,
                        std::uint64_t generation) {
    if (!thread_.joinable()) {
        return false;
    }
    auto command = std::make_unique<Command>();
    command->kind = kind;
    command->mode = mode;
    command->keyboard = keyboard;
    command->mouse = mouse;
    command->generation = generation;
    std::future<bool> done = command->done.get_future();
    {
        std::lock_guard lock(mutex_);
        commands_.push_back(std::move(command));
    }
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = ::write(wake_, &one, sizeof one);
    if (done.wait_for(kCommandTimeout) != std::future_status::ready) {
        platform::debugLine("input capture: the input thread did not answer");
        return false;
    }
    return done.get();
}

bool X11InputHook::install(macros::CaptureMode mode, bool keyboard, bool mouse,
                           std::uint64_t generation) {
    if (!available_) {
        return false;
    }
    if (send(Command::Kind::Install, mode, keyboard, mouse, generation)) {
        return true;
    }
    send(Command::Kind::Remove);
    return false;
}

void X11InputHook::remove() {
    send(Command::Kind::Remove);
}

// ------------------------------------------------------------------ input thread

void X11InputHook::run(std::promise<bool> ready) {
    pthread_setname_np(pthread_self(), "kv-input");
    if (!open()) {
        close();
        ready.set_value(false);
        return;
    }
    ready.set_value(true);
    bool stop = false;
    while (!stop) {
        while (XPending(display_) > 0) {
            XEvent event;
            XNextEvent(display_, &event);
            handle(event);
        }
        XFlush(display_);
        pollfd fds[2] = {{ConnectionNumber(display_), POLLIN, 0}, {wake_, POLLIN, 0}};
        const int n = ::poll(fds, 2, pollTimeout());
        if (n < 0 && errno != EINTR) {
            break;
        }
        if ((fds[0].revents & (POLLERR | POLLHUP)) != 0) {
            platform::debugLine("input capture: the X connection closed");
            break;
        }
        if ((fds[1].revents & POLLIN) != 0) {
            std::uint64_t count = 0;
            [[maybe_unused]] const auto got = ::read(wake_, &count, sizeof count);
            serveCommands(stop);
        }
        checkTimers();
    }
    doRemove();
    close();
    // Whatever is still queued is answered, so nobody waits for a thread that has ended.
    std::lock_guard lock(mutex_);
    for (auto& command : commands_) {
        command->done.set_value(false);
    }
    commands_.clear();
}

bool X11InputHook::open() {
    display_ = XOpenDisplay(nullptr);
    if (display_ == nullptr) {
        platform::debugLine("input capture: no X display");
        return false;
    }
    // A grab window or device that went away must not end the program through Xlib's
    // default error handler.
    AdoptX11Display(display_);
    int event = 0;
    int error = 0;
    int opcode = 0;
    if (XQueryExtension(display_, "XWAYLAND", &opcode, &event, &error)) {
        platform::debugLine("input capture: unavailable under XWayland");
        return false;
    }
    if (!XQueryExtension(display_, "XInputExtension", &xiOpcode_, &event, &error)) {
        platform::debugLine("input capture: the X server has no XInput");
        return false;
    }
    // 2.1 at least: earlier clients get no raw events while another client holds a grab.
    int major = 2;
    int minor = 2;
    if (XIQueryVersion(display_, &major, &minor) != Success || major < 2 ||
        (major == 2 && minor < 1)) {
        platform::debugLine("input capture: the X server has no XInput 2.1");
        return false;
    }
    root_ = DefaultRootWindow(display_);
    netActiveWindow_ = XInternAtom(display_, "_NET_ACTIVE_WINDOW", False);
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.event_mask = FocusChangeMask;
    grabWindow_ = XCreateWindow(display_, root_, -10, -10, 1, 1, 0, CopyFromParent, InputOnly,
                                CopyFromParent, CWOverrideRedirect | CWEventMask, &attributes);
    XSync(display_, False);
    return grabWindow_ != 0;
}

void X11InputHook::close() {
    if (display_ == nullptr) {
        return;
    }
    if (grabWindow_ != 0) {
        XDestroyWindow(display_, grabWindow_);
        grabWindow_ = 0;
    }
    XCloseDisplay(display_);
    ReleaseX11Display(display_);
    display_ = nullptr;
}

void X11InputHook::serveCommands(bool& stop) {
    while (true) {
        std::unique_ptr<Command> command;
        {
            std::lock_guard lock(mutex_);
            if (commands_.empty()) {
                return;
            }
            command = std::move(commands_.front());
            commands_.pop_front();
        }
        switch (command->kind) {
            case Command::Kind::Install:
                command->done.set_value(doInstall(*command));
                break;
            case Command::Kind::Remove:
                doRemove();
                command->done.set_value(true);
                break;
            case Command::Kind::Stop:
                doRemove();
                command->done.set_value(true);
                stop = true;
                return;
        }
    }
}

bool X11InputHook::doInstall(const Command& command) {
    doRemove();
    mode_ = command.mode;
    generation_ = command.generation;
    keysDown_.reset();
    buttonsDown_.reset();
    keyboard_ = command.keyboard;
    mouse_ = command.mouse;
    selectRaw(keyboard_, mouse_);
    watchActiveWindow(true);
    if (keyboard_) {
        // A grab needs a viewable window; an override-redirect one is mapped at once.
        XMapRaised(display_, grabWindow_);
        XSync(display_, False);
        if (!tryGrab()) {
            // Often the program's own menu or combo popup, whose grab ends as soon as the
            // main thread is back in its event loop: ask again for a while, without waiting.
            grabUntil_ = Clock::now() + options_.grabRetry;
            nextGrab_ = Clock::now() + kGrabRetryStep;
        }
    }
    XFlush(display_);
    return true;
}

void X11InputHook::doRemove() {
    if (display_ == nullptr) {
        return;
    }
    grabUntil_.reset();
    if (grabbed_) {
        grabbed_ = false;
        XUngrabKeyboard(display_, CurrentTime);
    }
    XUnmapWindow(display_, grabWindow_);
    if (keyboard_ || mouse_) {
        selectRaw(false, false);
        watchActiveWindow(false);
    }
    keyboard_ = false;
    mouse_ = false;
    mode_ = macros::CaptureMode{};
    waitingSince_.reset();
    XFlush(display_);
}

bool X11InputHook::tryGrab() {
    grabSerial_ = NextRequest(display_);
    grabbed_ = XGrabKeyboard(display_, grabWindow_, False, GrabModeAsync, GrabModeAsync,
                             CurrentTime) == GrabSuccess;
    return grabbed_;
}

void X11InputHook::retryGrab() {
    if (!grabUntil_ || Clock::now() < nextGrab_) {
        return;
    }
    if (tryGrab()) {
        grabUntil_.reset();
        return;
    }
    if (Clock::now() >= *grabUntil_) {
        platform::debugLine("input capture: another program holds the keyboard");
        endCapture(macros::CaptureEnd::Refused);
        return;
    }
    nextGrab_ = Clock::now() + kGrabRetryStep;
}

void X11InputHook::selectRaw(bool keyboard, bool mouse) {
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    if (keyboard) {
        XISetMask(bits, XI_RawKeyPress);
        XISetMask(bits, XI_RawKeyRelease);
    }
    if (mouse) {
        XISetMask(bits, XI_RawButtonPress);
        XISetMask(bits, XI_RawButtonRelease);
    }
    XIEventMask mask{};
    mask.deviceid = XIAllMasterDevices;
    mask.mask_len = sizeof bits;
    mask.mask = bits;
    XISelectEvents(display_, root_, &mask, 1);
}

void X11InputHook::watchActiveWindow(bool on) {
    XSelectInput(display_, root_, on ? PropertyChangeMask : NoEventMask);
    activeBaseline_ = on ? activeWindow() : std::nullopt;
}

std::optional<Window> X11InputHook::activeWindow() {
    Atom type = 0;
    int format = 0;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::optional<Window> window;
    if (XGetWindowProperty(display_, root_, netActiveWindow_, 0, 1, False, XA_WINDOW, &type,
                           &format, &items, &after, &data) == Success &&
        type == XA_WINDOW && format == 32 && items == 1 && data != nullptr) {
        Window value = 0;
        std::memcpy(&value, data, sizeof value);
        if (value != 0) {
            window = value;
        }
    }
    if (data != nullptr) {
        XFree(data);
    }
    return window;
}

void X11InputHook::handle(XEvent& event) {
    if (event.type == GenericEvent && event.xcookie.extension == xiOpcode_) {
        if (XGetEventData(display_, &event.xcookie)) {
            if (keyboard_ || mouse_) {
                handleRaw(*static_cast<const XIRawEvent*>(event.xcookie.data));
            }
            XFreeEventData(display_, &event.xcookie);
        }
        return;
    }
    if (event.type == FocusOut && event.xfocus.window == grabWindow_ &&
        event.xfocus.mode == NotifyUngrab && grabbed_ && event.xfocus.serial >= grabSerial_) {
        grabbed_ = false;
        endCapture(macros::CaptureEnd::GrabLost);
        return;
    }
    if (event.type == PropertyNotify && event.xproperty.window == root_ &&
        event.xproperty.atom == netActiveWindow_ && (keyboard_ || mouse_)) {
        // Some window managers write None before the new window: only a window counts.
        const std::optional<Window> active = activeWindow();
        if (!active) {
            return;
        }
        if (!activeBaseline_) {
            activeBaseline_ = active;
        } else if (*active != *activeBaseline_) {
            endCapture(macros::CaptureEnd::Deactivated);
        }
    }
}

void X11InputHook::handleRaw(const XIRawEvent& raw) {
    switch (raw.evtype) {
        case XI_RawKeyPress:
        case XI_RawKeyRelease:
            if (keyboard_) {
                sendKey(raw, raw.evtype == XI_RawKeyPress);
            }
            break;
        case XI_RawButtonPress:
        case XI_RawButtonRelease:
            if (mouse_) {
                sendButton(raw, raw.evtype == XI_RawButtonPress);
            }
            break;
        default:
            break;
    }
}

void X11InputHook::sendKey(const XIRawEvent& raw, bool down) {
    const unsigned keycode = static_cast<unsigned>(raw.detail);
    if (keycode >= keysDown_.size()) {
        return;
    }
    // Raw events are not filtered: a key held before capture started releases without a
    // press; such a release belongs to nobody's capture.
    if (down) {
        keysDown_.set(keycode);
    } else if (!keysDown_.test(keycode)) {
        return;
    } else {
        keysDown_.reset(keycode);
    }
    const auto key = TranslateKeycode(keycode);
    if (!key || !sink().key) {
        return;
    }
    const bool alt = keysDown_.test(kLeftAltKeycode) || keysDown_.test(kRightAltKeycode) ||
                     keycode == kLeftAltKeycode || keycode == kRightAltKeycode;
    const bool ctrl = keysDown_.test(kLeftCtrlKeycode) || keysDown_.test(kRightCtrlKeycode);
    macros::KeyHookEvent event;
    event.mode = mode_;
    event.generation = generation_;
    event.serial = ++serial_;
    if (alt && !ctrl) {
        event.message =
            down ? macros::key_message::kSystemKeyDown : macros::key_message::kSystemKeyUp;
    } else {
        event.message = down ? macros::key_message::kKeyDown : macros::key_message::kKeyUp;
    }
    event.record.vkCode = key->vkCode;
    event.record.scanCode = key->scanCode;
    event.record.flags =
        (key->extended ? macros::kKeyFlagExtended : 0u) | (down ? 0u : macros::kKeyFlagUp);
    event.record.time = static_cast<std::uint32_t>(raw.time);
    if (grabbed_ && !waitingSince_) {
        waitingSince_ = Clock::now();
    }
    sink().key(event);
}

void X11InputHook::sendButton(const XIRawEvent& raw, bool down) {
    const int button = raw.detail;
    if (button <= 0 || button >= static_cast<int>(buttonsDown_.size())) {
        return;
    }
    if (down) {
        buttonsDown_.set(static_cast<std::size_t>(button));
    } else if (!buttonsDown_.test(static_cast<std::size_t>(button))) {
        return;
    } else {
        buttonsDown_.reset(static_cast<std::size_t>(button));
    }
    namespace m = macros::mouse_message;
    macros::MouseHookEvent event;
    switch (button) {
        case 1:
            event.message = down ? m::kLeftDown : m::kLeftUp;
            break;
        case 2:
            event.message = down ? m::kMiddleDown : m::kMiddleUp;
            break;
        case 3:
            event.message = down ? m::kRightDown : m::kRightUp;
            break;
        case 4:
        case 5:
        case 6:
        case 7:
            // A wheel step is one message, at the press.
            if (!down) {
                return;
            }
            event.message = button <= 5 ? m::kWheel : m::kHorizontalWheel;
            break;
        case 8:
        case 9:
            event.message = down ? m::kXDown : m::kXUp;
            event.xButton = button - 7;
            break;
        default:
            return;
    }
    if (!sink().mouse) {
        return;
    }
    event.mode = mode_;
    event.generation = generation_;
    event.serial = ++serial_;
    event.time = static_cast<std::uint32_t>(raw.time);
    if (grabbed_ && !waitingSince_) {
        waitingSince_ = Clock::now();
    }
    sink().mouse(event);
}

void X11InputHook::endCapture(macros::CaptureEnd why) {
    const std::uint64_t generation = generation_;
    doRemove();
    if (sink().ended) {
        sink().ended(generation, why);
    }
}

int X11InputHook::pollTimeout() {
    std::optional<Clock::time_point> wake;
    if (waitingSince_) {
        wake = *waitingSince_ + options_.answerTimeout;
    }
    if (grabUntil_ && (!wake || nextGrab_ < *wake)) {
        wake = nextGrab_;
    }
    if (!wake) {
        return -1;
    }
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(*wake - Clock::now()).count();
    return ms > 0 ? static_cast<int>(ms) : 0;
}

void X11InputHook::checkTimers() {
    retryGrab();
    checkAnswers();
}

void X11InputHook::checkAnswers() {
    if (!waitingSince_) {
        return;
    }
    const std::uint64_t answered = answered_.load();
    if (answered >= serial_) {
        waitingSince_.reset();
        answeredSeen_ = answered;
        return;
    }
    if (answered != answeredSeen_) {
        // The program is taking events, only slowly: the wait starts again.
        answeredSeen_ = answered;
        waitingSince_ = Clock::now();
        return;
    }
    if (Clock::now() >= *waitingSince_ + options_.answerTimeout) {
        platform::debugLine("input capture: the program does not answer, keyboard released");
        endCapture(macros::CaptureEnd::NotAnswering);
    }
}

}  // namespace

std::unique_ptr<macros::InputHook> makeX11InputHook(X11InputHookOptions options) {
    return std::make_unique<X11InputHook>(options);
}

}  // namespace korvane::backends::x11
