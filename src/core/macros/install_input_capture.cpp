#include "core/macros/install_input_capture.h"

#include "core/app/main_window.h"
#include "core/app/window_messages.h"
#include "core/platform/debug_line.h"

namespace korvane::macros {
namespace {

void say(int message) {
    if (const std::string_view name = HookMessageName(message); !name.empty()) {
        platform::debugLine(name);
    }
}

}  // namespace

void InstallInputCapture(app::MainWindow& main) {
    for (const int message : {app::msg::kHookKeyHit, app::msg::kHookMouseHit}) {
        main.registerMessage(message, [message](std::intptr_t, std::intptr_t) { say(message); });
    }
    const auto keys = [&main](MacroClass macroClass, int message) {
        return [&main, macroClass, message](std::intptr_t wParam, std::intptr_t lParam) {
            say(message);
            // lParam: the hook's key record, valid while the message is handled.
            if (lParam != 0) {
                main.inputCapture()
                    .recording(macroClass)
                    .RecordKeyEvent(static_cast<int>(wParam),
                                    *reinterpret_cast<const KeyRecord*>(lParam));
            }
        };
    };
    const auto clicks = [&main](MacroClass macroClass) {
        // lParam: the time the mouse event happened, on the hook's clock.
        return [&main, macroClass](std::intptr_t wParam, std::intptr_t lParam) {
            main.inputCapture()
                .recording(macroClass)
                .RecordMouseEvent(static_cast<int>(wParam), static_cast<std::uint32_t>(lParam));
        };
    };
    main.registerMessage(app::msg::kHookKeyMacro,
                         keys(MacroClass::Keyboard, app::msg::kHookKeyMacro));
    main.registerMessage(app::msg::kHookKeyMacroUp, clicks(MacroClass::Keyboard));
    main.registerMessage(app::msg::kHookMouseMacro,
                         keys(MacroClass::Mouse, app::msg::kHookMouseMacro));
    main.registerMessage(app::msg::kHookMouseMacroUp, clicks(MacroClass::Mouse));
}

}  // namespace korvane::macros
