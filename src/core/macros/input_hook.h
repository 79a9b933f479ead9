#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

namespace korvane::macros {

// Who reads the keyboard and the mouse of the whole desktop, and for what. Only one mode is
// active at a time.
enum class CaptureMode : std::uint8_t {
    None = 0x00,
    KeyboardSingleKey = 0x01,  // keyboard key editor: the next key pressed is assigned
    KeyboardHitKey = 0x02,     // no user
    KeyboardMacro = 0x04,      // keyboard macro recording
    MouseSingleKey = 0x10,     // mouse key editor: the next key pressed is assigned
    MouseHitKey = 0x20,        // no user
    MouseMacro = 0x40,         // mouse macro recording
};

// Keyboard messages of a key event (the hook's wParam).
namespace key_message {
inline constexpr int kKeyDown = 0x100;
inline constexpr int kKeyUp = 0x101;
inline constexpr int kSystemKeyDown = 0x104;  // while Alt is held without Ctrl
inline constexpr int kSystemKeyUp = 0x105;
constexpr bool isDown(int message) {
    return message == kKeyDown || message == kSystemKeyDown;
}
}  // namespace key_message

// Mouse messages of a button event (the hook's wParam).
namespace mouse_message {
inline constexpr int kMove = 0x200;
inline constexpr int kLeftDown = 0x201;
inline constexpr int kLeftUp = 0x202;
inline constexpr int kRightDown = 0x204;
inline constexpr int kRightUp = 0x205;
inline constexpr int kMiddleDown = 0x207;
inline constexpr int kMiddleUp = 0x208;
inline constexpr int kWheel = 0x20A;
inline constexpr int kXDown = 0x20B;  // the side buttons; KeyRecord-less, see MouseHookEvent
inline constexpr int kXUp = 0x20C;
inline constexpr int kHorizontalWheel = 0x20E;
}  // namespace mouse_message

// Flags of a key record.
inline constexpr std::uint32_t kKeyFlagExtended = 0x01;  // right-hand and navigation keys
inline constexpr std::uint32_t kKeyFlagUp = 0x80;        // a release

// One key event as the keyboard hook reports it: the virtual-key code the key catalogue
// uses, the PC scan code, the flags above and the time the event happened (milliseconds of
// the hook's clock, 32 bits, wrapping).
struct KeyRecord {
    std::uint32_t vkCode = 0;
    std::uint32_t scanCode = 0;
    std::uint32_t flags = 0;
    std::uint32_t time = 0;
};

// What a hook delivers. generation is the installation the event belongs to: an event of an
// earlier installation arrived after its capture ended and must be dropped.
struct KeyHookEvent {
    CaptureMode mode = CaptureMode::None;
    std::uint64_t generation = 0;
    std::uint64_t serial = 0;
    int message = 0;  // key_message
    KeyRecord record;
};

struct MouseHookEvent {
    CaptureMode mode = CaptureMode::None;
    std::uint64_t generation = 0;
    std::uint64_t serial = 0;
    int message = 0;         // mouse_message
    int xButton = 0;         // 1 or 2 for kXDown/kXUp, else 0
    std::uint32_t time = 0;  // the hook's clock, as KeyRecord::time
};

// Why a hook ended its capture by itself.
enum class CaptureEnd : std::uint8_t {
    GrabLost,      // another client or the server took the keyboard away
    Deactivated,   // the user went to another window
    NotAnswering,  // the program did not take the events it was sent
    Refused,       // the keyboard stayed held by another client: capture never began
};

// The low-level keyboard and mouse hooks of the desktop. Installed and removed on the main
// thread; events may arrive on another thread (the sink hands them to the main thread). While
// the keyboard hook is installed, key events are taken away from every other program (lock
// keys still toggle); the mouse hook only observes. Nothing is delivered while no hook is
// installed.
class InputHook {
  public:
    struct Sink {
        std::function<void(const KeyHookEvent&)> key;
        std::function<void(const MouseHookEvent&)> mouse;
        std::function<void(std::uint64_t generation, CaptureEnd why)> ended;
    };

    virtual ~InputHook() = default;

    // Set once, before the first installation.
    void setSink(Sink sink) { sink_ = std::move(sink); }

    // Whether this desktop lets the program read other programs' input at all (not under
    // Wayland, for one).
    virtual bool available() const = 0;

    // Removes both hooks, then installs the keyboard hook and/or the mouse hook for the mode.
    // False, with both removed, when an installation fails (capture is unavailable, or the
    // keyboard is held by another client). A hook may also find that out a moment later
    // (a keyboard held by the program's own closing popup is asked for again for a while);
    // it then ends the capture with CaptureEnd::Refused.
    bool InstallHooks(CaptureMode mode, bool keyboard, bool mouse);
    // Removes whichever hooks are installed.
    void RemoveHooks();

    CaptureMode mode() const { return mode_; }
    bool keyboardInstalled() const { return keyboard_; }
    bool mouseInstalled() const { return mouse_; }
    // Increases with every installation and removal.
    std::uint64_t generation() const { return generation_; }

    // The current time of the events' clock (what KeyRecord::time counts).
    virtual std::uint32_t now() const = 0;
    // The main thread took the event with this serial; a hook that swallows keys gives up its
    // grab when the program stops taking them.
    virtual void answered(std::uint64_t serial) { (void)serial; }

  protected:
    // Implementations: install for the generation, or report false having installed nothing.
    virtual bool install(CaptureMode mode, bool keyboard, bool mouse, std::uint64_t generation) = 0;
    virtual void remove() = 0;
    const Sink& sink() const { return sink_; }

  private:
    Sink sink_;
    CaptureMode mode_ = CaptureMode::None;
    bool keyboard_ = false;
    bool mouse_ = false;
    std::uint64_t generation_ = 0;
};

// The hook messages of the main window for an event of that mode, or none when the mode
// sends none (mouse events outside recording).
std::optional<int> KeyHookMessage(CaptureMode mode);
std::optional<int> MouseHookMessage(CaptureMode mode);

// The debug line the main window writes for a hook message; empty for the messages that
// write none.
std::string_view HookMessageName(int message);

}  // namespace korvane::macros
