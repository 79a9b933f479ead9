#pragma once

#include <string_view>

namespace korvane::ui {

class Control;

// The notification types of the skinned window, by their own names.
namespace notify {
inline constexpr std::string_view kWindowInit = "windowinit";
inline constexpr std::string_view kClick = "click";
inline constexpr std::string_view kSelectChanged = "selectchanged";
inline constexpr std::string_view kItemSelect = "itemselect";
inline constexpr std::string_view kItemClick = "itemclick";
inline constexpr std::string_view kValueChanged = "valuechanged";
inline constexpr std::string_view kMoveValueChanged = "movevaluechanged";
inline constexpr std::string_view kTextChanged = "textchanged";
inline constexpr std::string_view kColorChanged = "colorchanged";
inline constexpr std::string_view kMenu = "menu";
inline constexpr std::string_view kMouseEnter = "msenter";
inline constexpr std::string_view kMouseLeave = "msleave";
}  // namespace notify

struct Notification {
    std::string_view type;
    Control& sender;
};

// Whether a programmatic change raises the notification a user's change would.
enum class Notify : bool { No = false, Yes = true };

}  // namespace korvane::ui
