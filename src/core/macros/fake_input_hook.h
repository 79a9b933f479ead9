#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "core/macros/input_hook.h"

namespace korvane::macros {

// The input hook of headless sessions and tests: events are injected (the script's "input"
// lines) instead of read from a desktop. As with a real hook, an injected event reaches the
// sink only while a hook of its kind is installed; it is delivered on the injecting thread.
// The event clock starts at 0 and each injected event advances it by its own step.
class FakeInputHook final : public InputHook {
  public:
    bool available() const override { return available_; }
    std::uint32_t now() const override { return clock_; }

    // A key of the key catalogue: down or up, with the extended flag (right-hand and
    // navigation keys, the numeric-pad Enter), advanceMs after the previous event.
    void injectKey(std::uint32_t vkCode, bool down, bool extended, std::uint32_t advanceMs = 0);
    enum class Button : std::uint8_t { Left, Right, Middle, X1, X2 };
    void injectButton(Button button, bool down, std::uint32_t advanceMs = 0);

    // Test controls: capture unavailable (as under Wayland), or the next keyboard
    // installation refused (as when another client holds the keyboard).
    void setAvailable(bool available) { available_ = available; }
    void refuseNextKeyboardInstall() { refuseKeyboard_ = true; }
    // Ends the capture as a desktop would (the grab taken away, another window activated).
    void endCapture(CaptureEnd why);

    static std::optional<Button> buttonFromName(std::string_view name);

  protected:
    bool install(CaptureMode mode, bool keyboard, bool mouse, std::uint64_t generation) override;
    void remove() override;

  private:
    bool available_ = true;
    bool refuseKeyboard_ = false;
    CaptureMode mode_ = CaptureMode::None;
    bool keyboard_ = false;
    bool mouse_ = false;
    std::uint64_t generation_ = 0;
    std::uint64_t serial_ = 0;
    std::uint32_t clock_ = 0;
    bool altDown_ = false;
};

}  // namespace korvane::macros
