#pragma once

// Small pieces the lighting pages share: the preset colours, ARGB colours of the palettes
// and swatches, the channel edits and the page's controls by name.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/lighting/rgb.h"
#include "core/ui/control_tree.h"

namespace korvane::lighting::editors {

// The swatch buttons' colours (ARGB), by the number at the end of their names. The DPI
// page's swatches use the same table.
inline constexpr std::array<std::uint32_t, 13> kPresetColours{
    0xFFFF0000, 0xFF00F6FF, 0xFF6CFF00, 0xFF7E00FF, 0xFF008AFF, 0xFF2400FF, 0xFFADFE00,
    0xFFFE5400, 0xFFFE8300, 0xFF8300E7, 0xFFB700AC, 0xFFFEB300, 0xFFFEF500,
};

// What the palette shows while the mono keyboard is attached: its keys have one colour.
inline constexpr std::uint32_t kMonoPaletteColour = 0xFF2400FF;

constexpr Rgb rgbOfArgb(std::uint32_t argb) {
    return {static_cast<std::uint8_t>((argb >> 16) & 0xFF),
            static_cast<std::uint8_t>((argb >> 8) & 0xFF), static_cast<std::uint8_t>(argb & 0xFF)};
}

constexpr std::uint32_t argbOf(Rgb colour) {
    return 0xFF000000u | (std::uint32_t{colour.red} << 16) | (std::uint32_t{colour.green} << 8) |
           colour.blue;
}

// The brightness a slider gives: its value, kept inside the brightness curve.
std::uint8_t brightnessOf(const ui::Control& slider);

// One channel (0 red, 1 green, 2 blue) of a colour set to value.
constexpr void setChannel(Rgb& colour, int channel, std::uint8_t value) {
    (channel == 0 ? colour.red : channel == 1 ? colour.green : colour.blue) = value;
}

// The number after prefix in name ("kb_Deng_color_btn_12" → 12); nullopt when name is not
// prefix followed by decimal digits only.
std::optional<unsigned> indexAfter(std::string_view name, std::string_view prefix);

// A channel edit's number: the leading decimal digits of its text (none read as 0). A value
// above 255 becomes 255 and the edit shows "255"; anything else stays as typed.
std::uint8_t takeChannel(ui::Control& edit);

// Named controls of one page; a name the skin lacks is skipped, as everywhere.
class PageControls {
  public:
    explicit PageControls(ui::ControlTree& tree) : tree_(tree) {}

    ui::Control* find(std::string_view name) const { return tree_.find(name); }
    void show(std::string_view name, bool visible) const;
    void enable(std::string_view name, bool enabled) const;
    // Selection changes from the program raise no notification.
    void select(std::string_view name, bool selected) const;
    void text(std::string_view name, std::string text) const;
    void background(std::string_view name, std::uint32_t argb) const;
    void palette(std::string_view name, std::uint32_t argb) const;
    void slider(std::string_view name, int value) const;
    void item(std::string_view name, int index) const;
    // The three edits prefix + "R", "G", "B".
    void channels(std::string_view prefix, Rgb colour) const;

  private:
    ui::ControlTree& tree_;
};

}  // namespace korvane::lighting::editors
