#pragma once

#include "x11/xvfb_server.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "core/macros/input_hook.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace korvane::testing {

// One Xvfb for the whole test program, started by the first test that needs it. Tests skip
// when no Xvfb is installed.
class X11Test : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (server() == nullptr && XvfbServer::binary()) {
            auto started = std::make_unique<XvfbServer>();
            if (started->start()) {
                server() = std::move(started);
            }
        }
    }
    static void TearDownTestSuite() {}

    void SetUp() override {
        if (server() == nullptr) {
            GTEST_SKIP() << "no Xvfb";
        }
        setenv("DISPLAY", server()->display().c_str(), 1);
        unsetenv("XDG_SESSION_TYPE");
        client_ = XOpenDisplay(server()->display().c_str());
        ASSERT_NE(client_, nullptr);
    }
    void TearDown() override {
        if (client_ != nullptr) {
            XCloseDisplay(client_);
        }
    }

    static std::unique_ptr<XvfbServer>& server() {
        static std::unique_ptr<XvfbServer> s;
        return s;
    }

    // A key pressed or released as the keyboard would, through XTest.
    void key(unsigned keycode, bool down) {
        XTestFakeKeyEvent(client_, keycode, down ? True : False, CurrentTime);
        XFlush(client_);
    }
    void tap(unsigned keycode) {
        key(keycode, true);
        key(keycode, false);
    }
    void button(unsigned number, bool down) {
        XTestFakeButtonEvent(client_, number, down ? True : False, CurrentTime);
        XFlush(client_);
    }
    unsigned keycodeOf(KeySym sym) { return XKeysymToKeycode(client_, sym); }

    Display* client_ = nullptr;
};

// What a hook delivered, for a test thread to wait on.
class HookEvents {
  public:
    macros::InputHook::Sink sink(bool answer = true, macros::InputHook* hook = nullptr) {
        macros::InputHook::Sink s;
        s.key = [this, answer, hook](const macros::KeyHookEvent& e) {
            std::lock_guard lock(mutex_);
            keys_.push_back(e);
            if (answer && hook != nullptr) {
                hook->answered(e.serial);
            }
            changed_.notify_all();
        };
        s.mouse = [this, answer, hook](const macros::MouseHookEvent& e) {
            std::lock_guard lock(mutex_);
            mice_.push_back(e);
            if (answer && hook != nullptr) {
                hook->answered(e.serial);
            }
            changed_.notify_all();
        };
        s.ended = [this](std::uint64_t, macros::CaptureEnd why) {
            std::lock_guard lock(mutex_);
            ended_.push_back(why);
            changed_.notify_all();
        };
        return s;
    }

    std::optional<macros::KeyHookEvent> nextKey(
        std::chrono::milliseconds timeout = std::chrono::milliseconds(3000)) {
        std::unique_lock lock(mutex_);
        if (!changed_.wait_for(lock, timeout, [&] { return !keys_.empty(); })) {
            return std::nullopt;
        }
        auto e = keys_.front();
        keys_.pop_front();
        return e;
    }
    std::optional<macros::MouseHookEvent> nextMouse(
        std::chrono::milliseconds timeout = std::chrono::milliseconds(3000)) {
        std::unique_lock lock(mutex_);
        if (!changed_.wait_for(lock, timeout, [&] { return !mice_.empty(); })) {
            return std::nullopt;
        }
        auto e = mice_.front();
        mice_.pop_front();
        return e;
    }
    std::optional<macros::CaptureEnd> nextEnd(
        std::chrono::milliseconds timeout = std::chrono::milliseconds(3000)) {
        std::unique_lock lock(mutex_);
        if (!changed_.wait_for(lock, timeout, [&] { return !ended_.empty(); })) {
            return std::nullopt;
        }
        auto e = ended_.front();
        ended_.pop_front();
        return e;
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<macros::KeyHookEvent> keys_;
    std::deque<macros::MouseHookEvent> mice_;
    std::deque<macros::CaptureEnd> ended_;
};

// Another program's window with the input focus, which counts the keys it gets.
class FocusedWindow {
  public:
    explicit FocusedWindow(const std::string& display) {
        display_ = XOpenDisplay(display.c_str());
        if (display_ == nullptr) {
            return;
        }
        const Window root = DefaultRootWindow(display_);
        window_ = XCreateSimpleWindow(display_, root, 10, 10, 100, 100, 0, 0, 0);
        XSelectInput(display_, window_, KeyPressMask | StructureNotifyMask);
        XMapWindow(display_, window_);
        XEvent e;
        do {
            XNextEvent(display_, &e);
        } while (e.type != MapNotify);
        XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
        XSync(display_, False);
    }
    ~FocusedWindow() {
        if (display_ != nullptr) {
            XCloseDisplay(display_);
        }
    }
    FocusedWindow(const FocusedWindow&) = delete;
    FocusedWindow& operator=(const FocusedWindow&) = delete;

    Display* display() const { return display_; }

    // The key presses that arrived within the time (sooner once atLeast have come).
    int keyPresses(std::chrono::milliseconds within, int atLeast = 1 << 30) {
        int presses = 0;
        const auto deadline = std::chrono::steady_clock::now() + within;
        while (true) {
            while (XPending(display_) > 0) {
                XEvent e;
                XNextEvent(display_, &e);
                presses += e.type == KeyPress ? 1 : 0;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0 || presses >= atLeast) {
                return presses;
            }
            pollfd p{ConnectionNumber(display_), POLLIN, 0};
            poll(&p, 1, static_cast<int>(left.count()));
        }
    }

  private:
    Display* display_ = nullptr;
    Window window_ = 0;
};

}  // namespace korvane::testing
