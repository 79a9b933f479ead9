#include "core/lighting/editors/mode_controls.h"

#include <string>

namespace korvane::lighting::editors {

void ShowModeControls(const PageControls& page, std::string_view prefix, std::uint8_t shows) {
    const std::string p(prefix);
    const bool colour = (shows & kShowColour) != 0;
    const bool custom = (shows & kShowCustom) != 0;
    page.show(p + "_deng_fx_layout", (shows & kShowDirection) != 0);
    page.enable(p + "_deng_fx_layout", (shows & kShowDirection) != 0);
    page.show(p + "_deng_color_layout", colour);
    page.show(p + "_deng_rgb_edits", colour);
    page.show(p + "_deng_Color_Pallet", colour);
    page.show(p + "_deng_7colorselect_layout", (shows & kShowColourful) != 0);
    page.show(p + "_deng_speed_layout", (shows & kShowSpeed) != 0);
    page.show(p + "_deng_light_layout", (shows & kShowBrightness) != 0);
    // The custom modes show the paint colour where the others show the single colour.
    page.show(p + "_deng_color_display_layout", colour && !custom);
    page.show(p + "_deng_custom_color_layout", colour && custom);
    page.show(p + "_deng_custom_tool_layout", custom);
    page.show(p + "_deng_custom_select_layout", custom);
}

}  // namespace korvane::lighting::editors
