// The input hook on a real X server (Xvfb): raw events observed, keys swallowed by the grab,
// the grab given up when it must be, and X keycodes translated to the key catalogue's codes.

#include "x11/x11_fixture.h"

#include <X11/XF86keysym.h>
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/keysym.h>

#include <thread>

#include "backends/x11/x11_input_hook.h"
#include "backends/x11/x11_key_codes.h"

namespace korvane::testing {
namespace {

using namespace std::chrono_literals;
using macros::CaptureEnd;
using macros::CaptureMode;

// ------------------------------------------------------------------ keycode table

// A key of the server's own keymap (found by its symbol, independent of our table) and the
// virtual-key code the key catalogue gives it.
struct KeyCase {
    const char* name;
    KeySym sym;
    std::uint16_t vk;
    bool extended;
};

class KeycodeTable : public X11Test, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(KeycodeTable, MapsTheKeyBothWays) {
    const KeyCase& c = GetParam();
    const unsigned keycode = keycodeOf(c.sym);
    ASSERT_NE(keycode, 0u) << "the server's keymap has no " << c.name;
    const auto key = backends::x11::TranslateKeycode(keycode);
    ASSERT_TRUE(key.has_value());
    EXPECT_EQ(key->vkCode, c.vk);
    EXPECT_EQ(key->extended, c.extended);
    EXPECT_EQ(backends::x11::KeycodeForVirtualKey(c.vk, c.extended), keycode);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, KeycodeTable,
    ::testing::Values(
        KeyCase{"LeftCtrl", XK_Control_L, 0xA2, false},
        KeyCase{"RightCtrl", XK_Control_R, 0xA3, true},
        KeyCase{"RightShift", XK_Shift_R, 0xA1, false},
        KeyCase{"LeftSuper", XK_Super_L, 0x5B, true}, KeyCase{"A", XK_a, 0x41, false},
        KeyCase{"M", XK_m, 0x4D, false}, KeyCase{"Z", XK_z, 0x5A, false},
        KeyCase{"Digit0", XK_0, 0x30, false}, KeyCase{"Enter", XK_Return, 0x0D, false},
        KeyCase{"Escape", XK_Escape, 0x1B, false}, KeyCase{"Backslash", XK_backslash, 0xDC, false},
        KeyCase{"Comma", XK_comma, 0xBC, false}, KeyCase{"Grave", XK_grave, 0xC0, false},
        KeyCase{"CapsLock", XK_Caps_Lock, 0x14, false}, KeyCase{"F12", XK_F12, 0x7B, false},
        KeyCase{"PrintScreen", XK_Print, 0x2C, true}, KeyCase{"Pause", XK_Pause, 0x13, false},
        KeyCase{"PageDown", XK_Next, 0x22, true}, KeyCase{"Up", XK_Up, 0x26, true},
        KeyCase{"NumLock", XK_Num_Lock, 0x90, true}, KeyCase{"NumSlash", XK_KP_Divide, 0x6F, true},
        KeyCase{"NumEnter", XK_KP_Enter, 0x0D, true}, KeyCase{"Num7", XK_KP_Home, 0x67, false},
        KeyCase{"NumDecimal", XK_KP_Delete, 0x6E, false}, KeyCase{"Menu", XK_Menu, 0x5D, true},
        KeyCase{"VolumeUp", XF86XK_AudioRaiseVolume, 0xAF, true},
        KeyCase{"BrowserBack", XF86XK_Back, 0xA6, true},
        KeyCase{"Calculator", XF86XK_Calculator, 0xB7, true},
        KeyCase{"Power", XF86XK_PowerOff, 0x103, true},
        KeyCase{"Sleep", XF86XK_Sleep, 0x104, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(KeycodeTableRows, CoverEveryCodeOfTheKeyCatalogue) {
    // The codes of key code table rows 0..124 (one code per row; rows 120 and 121 share 0xB5,
    // 0x0D stands for Enter and, extended, the numeric-pad Enter).
    const std::uint16_t codes[] = {
        0xA2, 0xA0, 0xA4, 0x5B, 0xA3, 0xA1, 0xA5, 0x5C, 0x41,  0x42,  0x43, 0x44, 0x45, 0x46,
        0x47, 0x48, 0x49, 0x4A, 0x4B, 0x4C, 0x4D, 0x4E, 0x4F,  0x50,  0x51, 0x52, 0x53, 0x54,
        0x55, 0x56, 0x57, 0x58, 0x59, 0x5A, 0x31, 0x32, 0x33,  0x34,  0x35, 0x36, 0x37, 0x38,
        0x39, 0x30, 0x0D, 0x1B, 0x08, 0x09, 0x20, 0xBD, 0xBB,  0xDB,  0xDD, 0xDC, 0xBA, 0xDE,
        0xC0, 0xBC, 0xBE, 0xBF, 0x14, 0x70, 0x71, 0x72, 0x73,  0x74,  0x75, 0x76, 0x77, 0x78,
        0x79, 0x7A, 0x7B, 0x2C, 0x91, 0x13, 0x2D, 0x24, 0x21,  0x2E,  0x23, 0x22, 0x27, 0x25,
        0x28, 0x26, 0x90, 0x6F, 0x6A, 0x6D, 0x6B, 0x61, 0x62,  0x63,  0x64, 0x65, 0x66, 0x67,
        0x68, 0x69, 0x60, 0x6E, 0x5D, 0xB7, 0xAC, 0xB3, 0xAA,  0xB4,  0xAF, 0xAD, 0xB2, 0xAE,
        0xAB, 0xA7, 0xA6, 0xB1, 0xB0, 0xB6, 0xA8, 0xB5, 0x103, 0x104, 0x105};
    for (const std::uint16_t code : codes) {
        EXPECT_TRUE(backends::x11::KeycodeForVirtualKey(code, false) ||
                    backends::x11::KeycodeForVirtualKey(code, true))
            << std::hex << code;
    }
    EXPECT_TRUE(backends::x11::KeycodeForVirtualKey(0x0D, true).has_value());
    EXPECT_NE(backends::x11::KeycodeForVirtualKey(0x0D, true),
              backends::x11::KeycodeForVirtualKey(0x0D, false));
}

// ------------------------------------------------------------------ the hook

class X11Hook : public X11Test {
  protected:
    void SetUp() override {
        X11Test::SetUp();
        if (IsSkipped()) {
            return;
        }
        hook_ = backends::x11::makeX11InputHook(options_);
        hook_->setSink(events_.sink(answer_, hook_.get()));
    }
    void TearDown() override {
        hook_.reset();
        X11Test::TearDown();
    }

    backends::x11::X11InputHookOptions options_;
    bool answer_ = true;
    HookEvents events_;
    std::unique_ptr<macros::InputHook> hook_;
};

TEST_F(X11Hook, IsAvailableOnAnXServer) {
    EXPECT_TRUE(hook_->available());
}

TEST_F(X11Hook, KeysArriveAsTheCatalogueKnowsThem) {
    ASSERT_TRUE(hook_->InstallHooks(CaptureMode::KeyboardMacro, true, false));
    const std::uint32_t before = hook_->now();
    key(keycodeOf(XK_a), true);
    key(keycodeOf(XK_a), false);
    key(keycodeOf(XK_KP_Enter), true);
    key(keycodeOf(XK_KP_Enter), false);

    const auto down = events_.nextKey();
    ASSERT_TRUE(down);
    EXPECT_EQ(down->mode, CaptureMode::KeyboardMacro);
    EXPECT_EQ(down->generation, hook_->generation());
    EXPECT_EQ(down->message, macros::key_message::kKeyDown);
    EXPECT_EQ(down->record.vkCode, 0x41u);
    EXPECT_EQ(down->record.scanCode, 0x1Eu);
    EXPECT_EQ(down->record.flags, 0u);
    // The server's time, on the clock now() reads.
    EXPECT_LE(static_cast<std::uint32_t>(down->record.time - before), 5000u);
    const auto up = events_.nextKey();
    ASSERT_TRUE(up);
    EXPECT_EQ(up->message, macros::key_message::kKeyUp);
    EXPECT_EQ(up->record.flags, 0x80u);
    const auto enter = events_.nextKey();
    ASSERT_TRUE(enter);
    EXPECT_EQ(enter->record.vkCode, 0x0Du);
    EXPECT_EQ(enter->record.flags, 0x01u);
    const auto enterUp = events_.nextKey();
    ASSERT_TRUE(enterUp);
    EXPECT_EQ(enterUp->record.flags, 0x81u);
}

TEST_F(X11Hook, AltMakesSystemKeys) {
    ASSERT_TRUE(hook_->InstallHooks(CaptureMode::KeyboardMacro, true, false));
    key(keycodeOf(XK_Alt_L), true);
    tap(keycodeOf(XK_F4));
    key(keycodeOf(XK_Alt_L), false);
    for (const int expected : {0x104, 0x104, 0x105, 0x105}) {
        const auto e = events_.nextKey();
        ASSERT_TRUE(e);
        EXPECT_EQ(e->message, expected);
    }
}

TEST_F(X11Hook, ButtonsAreObservedOnlyWithTheMouseHook) {
    ASSERT_TRUE(hook_->InstallHooks(CaptureMode::MouseMacro, false, true));
    tap(keycodeOf(XK_b));
    button(1, true);
    button(1, false);
    button(3, true);
    button(3, false);
    button(2, true);
    for (const int expected : {0x201, 0x202, 0x204, 0x205, 0x207}) {
        const auto e = events_.nextMouse();
        ASSERT_TRUE(e);
        EXPECT_EQ(e->message, expected);
        EXPECT_EQ(e->mode, CaptureMode::MouseMacro);
    }
    EXPECT_FALSE(events_.nextKey(200ms)) << "no keyboard hook, no keys";
    button(2, false);
}

TEST_F(X11Hook, NothingArrivesWithoutAHook) {
    tap(keycodeOf(XK_c));
    button(1, true);
    button(1, false);
    EXPECT_FALSE(events_.nextKey(300ms));
    EXPECT_FALSE(events_.nextMouse(10ms));
    ASSERT_TRUE(hook_->InstallHooks(CaptureMode::KeyboardSingleKey, true, false));
    hook_->RemoveHooks();
    tap(keycodeOf(XK_d));
    EXPECT_FALSE(events_.nextKey(300ms));
}

TEST_F(X11Hook, AReleaseWithoutItsPressIsNotDelivered) {
    const unsigned shift = keycodeOf(XK_Shift_L);
    key(shift, true);
    ASSERT_TRUE(hook_->InstallHooks(CaptureMode::KeyboardMacro, true, false));
    key(shift, false);
    tap(keycodeOf(XK_e));
    const auto e = events_.nextKey();
    ASSERT_TRUE(e);
    EXPECT_EQ(e->record.vkCode, 0x45u);
}

TEST_F(X11Hook, TheGrabSwallowsKeysOfOtherClients) {
    FocusedWindow other(server()->display());
    ASSERT_NE(other.display(), nullptr);
    tap(keycodeOf(XK_f));
    EXPECT_EQ(other.keyPresses(2000ms, 1), 1) << "without capture the window gets its keys";

    ASSERT_TRUE(hook_->InstallHooks(CaptureMode::KeyboardSingleKey, true, false));
    tap(keycodeOf(XK_g));
    const auto seen = events_.nextKey();
    ASSERT_TRUE(seen);
    EXPECT_EQ(seen->record.vkCode, 0x47u);
    EXPECT_EQ(other.keyPresses(300ms), 0) << "captured keys reach no other program";

    hook_->RemoveHooks();
    tap(keycodeOf(XK_h));
    EXPECT_EQ(other.keyPresses(2000ms, 1), 1) << "the keyboard is back";
}

// While keys are captured the lock keys still do what they do: Caps Lock toggles.
TEST_F(X11Hook, CapsLockStillTogglesDuringCapture) {
    const Atom capsName = XInternAtom(client_, "Caps Lock", False);
    const auto capsOn = [&] {
        Bool on = False;
        XkbGetNamedIndicator(client_, capsName, nullptr, &on, nullptr, nullptr);
        return on == True;
    };
    const bool before = capsOn();
    ASSERT_TRUE(hook_->InstallHooks(CaptureMode::KeyboardSingleKey, true, false));
    tap(keycodeOf(XK_Caps_Lock));
    const auto seen = events_.nextKey();
    ASSERT_TRUE(seen);
    EXPECT_EQ(seen->record.vkCode, 0x14u);
    XSync(client_, False);
    EXPECT_NE(capsOn(), before);
    tap(keycodeOf(XK_Caps_Lock));
    hook_->RemoveHooks();
    XSync(client_, False);
    EXPECT_EQ(capsOn(), before);
}

TEST_F(X11Hook, ObservingTheMouseLeavesTheKeyboardAlone) {
    FocusedWindow other(server()->display());
    ASSERT_TRUE(hook_->InstallHooks(CaptureMode::KeyboardMacro, false, true));
    tap(keycodeOf(XK_i));
    EXPECT_EQ(other.keyPresses(2000ms, 1), 1);
}

TEST_F(X11Hook, AKeyboardHeldByAnotherClientIsRefusedAfterRetrying) {
    FocusedWindow other(server()->display());
    ASSERT_EQ(XGrabKeyboard(other.display(), DefaultRootWindow(other.display()), False,
                            GrabModeAsync, GrabModeAsync, CurrentTime),
              GrabSuccess);
    XSync(other.display(), False);
    const auto started = std::chrono::steady_clock::now();
    EXPECT_TRUE(hook_->InstallHooks(CaptureMode::KeyboardSingleKey, true, false))
        << "the caller is not kept waiting";
    EXPECT_LT(std::chrono::steady_clock::now() - started, 150ms);
    EXPECT_EQ(events_.nextEnd(), CaptureEnd::Refused);
    EXPECT_GE(std::chrono::steady_clock::now() - started, 150ms) << "asked again for a while";

    XUngrabKeyboard(other.display(), CurrentTime);
    XSync(other.display(), False);
    EXPECT_TRUE(hook_->InstallHooks(CaptureMode::KeyboardSingleKey, true, false));
    EXPECT_FALSE(events_.nextEnd(300ms));
}

// The program's own popup (a combo box list) holds the keyboard until the main thread is back
// in its event loop, just after the choice that starts capture.
TEST_F(X11Hook, AGrabReleasedSoonAfterIsTakenOver) {
    FocusedWindow other(server()->display());
    ASSERT_EQ(XGrabKeyboard(other.display(), DefaultRootWindow(other.display()), False,
                            GrabModeAsync, GrabModeAsync, CurrentTime),
              GrabSuccess);
    XSync(other.display(), False);
    ASSERT_TRUE(hook_->InstallHooks(CaptureMode::KeyboardSingleKey, true, false));
    std::this_thread::sleep_for(60ms);
    XUngrabKeyboard(other.display(), CurrentTime);
    XSync(other.display(), False);
    std::this_thread::sleep_for(100ms);
    tap(keycodeOf(XK_m));
    const auto seen = events_.nextKey();
    ASSERT_TRUE(seen);
    EXPECT_EQ(seen->record.vkCode, 0x4Du);
    EXPECT_EQ(other.keyPresses(300ms), 0) << "swallowed once the grab was had";
    EXPECT_FALSE(events_.nextEnd(10ms));
}

TEST_F(X11Hook, AnotherActiveWindowEndsTheCapture) {
    const Window root = DefaultRootWindow(client_);
    const Atom active = XInternAtom(client_, "_NET_ACTIVE_WINDOW", False);
    const auto setActive = [&](Window w) {
        XChangeProperty(client_, root, active, XA_WINDOW, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(&w), 1);
        XSync(client_, False);
    };
    setActive(0x200001);
    ASSERT_TRUE(hook_->InstallHooks(CaptureMode::KeyboardSingleKey, true, false));
    // Window managers write None between two windows; that alone ends nothing.
    setActive(0);
    setActive(0x200001);
    EXPECT_FALSE(events_.nextEnd(300ms));
    setActive(0x300002);
    EXPECT_EQ(events_.nextEnd(), CaptureEnd::Deactivated);

    FocusedWindow other(server()->display());
    tap(keycodeOf(XK_j));
    EXPECT_EQ(other.keyPresses(2000ms, 1), 1) << "the grab went with the capture";
    XDeleteProperty(client_, root, active);
    XSync(client_, False);
}

class X11HookNotAnswered : public X11Hook {
  protected:
    void SetUp() override {
        options_.answerTimeout = 300ms;
        answer_ = false;
        X11Hook::SetUp();
    }
};

TEST_F(X11HookNotAnswered, AProgramThatStopsAnsweringLosesTheKeyboard) {
    FocusedWindow other(server()->display());
    ASSERT_TRUE(hook_->InstallHooks(CaptureMode::KeyboardSingleKey, true, false));
    tap(keycodeOf(XK_k));
    EXPECT_EQ(events_.nextEnd(), CaptureEnd::NotAnswering);
    tap(keycodeOf(XK_l));
    EXPECT_EQ(other.keyPresses(2000ms, 1), 1);
}

TEST_F(X11Test, CaptureIsUnavailableInAWaylandSession) {
    setenv("XDG_SESSION_TYPE", "wayland", 1);
    const auto hook = backends::x11::makeX11InputHook();
    unsetenv("XDG_SESSION_TYPE");
    EXPECT_FALSE(hook->available());
    EXPECT_FALSE(hook->InstallHooks(CaptureMode::KeyboardSingleKey, true, false));
}

TEST(X11HookWithoutServer, IsUnavailable) {
    const char* display = std::getenv("DISPLAY");
    const std::string saved = display != nullptr ? display : "";
    setenv("DISPLAY", ":9999", 1);
    const auto hook = backends::x11::makeX11InputHook();
    EXPECT_FALSE(hook->available());
    EXPECT_FALSE(hook->InstallHooks(CaptureMode::MouseMacro, false, true));
    if (display != nullptr) {
        setenv("DISPLAY", saved.c_str(), 1);
    } else {
        unsetenv("DISPLAY");
    }
}

}  // namespace
}  // namespace korvane::testing
