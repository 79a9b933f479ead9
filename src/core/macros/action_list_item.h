#pragma once

#include <string>
#include <string_view>

#include "core/macros/macro_action.h"
#include "core/ui/control.h"

namespace korvane::macros {

inline constexpr std::string_view kMouseEventStyle = "macro_label_mouse_style";
inline constexpr std::string_view kKeyboardEventStyle = "macro_label_keyboard_style";
inline constexpr std::string_view kPressStyle = "macro_label_down_style";
inline constexpr std::string_view kReleaseStyle = "macro_label_up_style";
inline constexpr std::string_view kTextStyle = "macro_label_text_style";
inline constexpr std::string_view kPressMark = "\u25BC";
inline constexpr std::string_view kReleaseMark = "\u25B2";

// A row of a macro's action list: the action text kept as the row's data, and three cells:
// the event (its text ID, shown translated, in the mouse or keyboard style), the direction
// (press or release mark; the distance for pointer moves) and the delay in milliseconds.
// A text that is not an action keeps its row, shown as it stands, and is saved back as it was.
ui::ListItem ActionListItem(std::string_view actionText);
ui::ListItem ActionListItem(const MacroAction& action);

}  // namespace korvane::macros
