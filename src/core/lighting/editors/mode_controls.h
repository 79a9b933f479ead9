#pragma once

// Which controls of a lighting page each mode shows, the direction labels of the keyboard
// modes, and which modes enable the same-effect option.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "core/lighting/editors/editor_controls.h"
#include "core/lighting/keyboard_kind.h"

namespace korvane::lighting::editors {

// Groups of controls a mode shows, as bits.
inline constexpr std::uint8_t kShowDirection = 1 << 0;  // the direction options
inline constexpr std::uint8_t kShowColour = 1 << 1;     // swatches, colour display, edits, palette
inline constexpr std::uint8_t kShowColourful = 1 << 2;  // the seven-colour option
inline constexpr std::uint8_t kShowSpeed = 1 << 3;
inline constexpr std::uint8_t kShowBrightness = 1 << 4;
inline constexpr std::uint8_t kShowCustom = 1 << 5;  // paint tools and custom slots

// An animated mode: its direction, colour choice and speed apply.
inline constexpr std::uint8_t kAnimated =
    kShowDirection | kShowColourful | kShowSpeed | kShowBrightness;
inline constexpr std::uint8_t kSingleColour = kShowColour | kShowBrightness;

inline constexpr std::array<std::uint8_t, 16> kRgbModeShows{
    kSingleColour,                                // 0 static
    kAnimated | kShowColour,                      // 1 random-colour pulse
    kAnimated | kShowColour,                      // 2 column wave
    kAnimated,                                    // 3 colour cycle: wheel colours only
    kAnimated | kShowColour,                      // 4 serpentine flow
    kAnimated | kShowColour,                      // 5 centre ripple
    kAnimated | kShowColour,                      // 6 running light
    kAnimated | kShowColour,                      // 7 diagonal twinkle
    kAnimated | kShowColour,                      // 8 rain
    kAnimated | kShowColour,                      // 9 palette twinkle
    0,                                            // 10 off
    kShowCustom | kShowColour | kShowBrightness,  // 11 custom
    kAnimated | kShowColour,                      // 12 running light
    kAnimated,                                    // 13 radial bands: wheel colours only
    kAnimated | kShowColour,                      // 14 column wave with fade
    kAnimated | kShowColour,                      // 15 running light
};

// The mono keyboard has one colour: no colour controls at all.
inline constexpr std::uint8_t kMonoAnimated = kShowDirection | kShowSpeed | kShowBrightness;
inline constexpr std::array<std::uint8_t, 12> kMonoModeShows{
    kShowBrightness,
    kMonoAnimated,
    kMonoAnimated,
    kMonoAnimated,
    kMonoAnimated,
    kMonoAnimated,
    kMonoAnimated,
    kMonoAnimated,
    kMonoAnimated,
    0,
    kShowCustom | kShowBrightness,
    kMonoAnimated,
};

inline constexpr std::array<std::uint8_t, 7> kZonedModeShows{
    kSingleColour,                                // 0 static
    kAnimated | kShowColour,                      // 1 random-colour pulse
    kAnimated | kShowColour,                      // 2 zone wave
    kAnimated,                                    // 3 colour cycle
    kAnimated,                                    // 4 stacking blocks
    0,                                            // 5 off
    kShowCustom | kShowColour | kShowBrightness,  // 6 custom
};

// Mouse: the direction matters in modes 1..4; mode 3 takes wheel colours only.
inline constexpr std::array<std::uint8_t, 10> kMouseModeShows{
    kSingleColour,                                                // 0 static
    kAnimated | kShowColour,                                      // 1 colour-group pulse
    kAnimated | kShowColour,                                      // 2 column wave
    kAnimated,                                                    // 3 colour cycle
    kAnimated | kShowColour,                                      // 4 travelling pulse
    kShowColour | kShowColourful | kShowBrightness,               // 5 flash
    kShowColour | kShowColourful | kShowSpeed | kShowBrightness,  // 6 blink
    kShowColour | kShowColourful | kShowSpeed | kShowBrightness,  // 7 blink
    kShowColour | kShowColourful | kShowSpeed | kShowBrightness,  // 8 the mouse's own effect
    0,                                                            // 9 off
};

inline constexpr std::array<std::uint8_t, 9> kPadModeShows{
    kAnimated | kShowColour,                         // 0 wave
    kAnimated,                                       // 1 colour cycle
    kAnimated | kShowColour,                         // 2 pulse
    kSingleColour,                                   // 3 static
    kAnimated | kShowColour,                         // 4 bar
    kAnimated | kShowColour,                         // 5 travelling pulse
    kShowDirection | kShowSpeed | kShowBrightness,   // 6 column wave, wheel colours
    kShowSpeed | kShowBrightness,                    // 7 scanner
    kShowColour | kShowColourful | kShowBrightness,  // 8 flash
};

// What a mode of a list shows; a mode past the list shows nothing but the brightness.
constexpr std::uint8_t modeShows(std::span<const std::uint8_t> table, std::uint8_t mode) {
    return mode < table.size() ? table[mode] : kShowBrightness;
}

constexpr std::span<const std::uint8_t> keyboardModeShows(KeyboardKind kind) {
    switch (kind) {
        case KeyboardKind::Rgb:
            return kRgbModeShows;
        case KeyboardKind::Mono:
            return kMonoModeShows;
        case KeyboardKind::Region:
        case KeyboardKind::Membrane:
            return kZonedModeShows;
    }
    return kRgbModeShows;
}

// The language keys of the two keyboard direction options (the option that sets direction
// 1, then the one that sets 0) by mode; nullopt: the labels stay as they are.
struct DirectionLabels {
    std::string_view forward;
    std::string_view backward;
};

inline constexpr DirectionLabels kLeftRight{"Deng_FXL_text", "Deng_FXR_text"};
inline constexpr DirectionLabels kClockwise{"Deng_CWISE_text", "Deng_AWISE_text"};
inline constexpr DirectionLabels kDownUp{"Deng_FXDOWN_text", "Deng_FXUP_text"};
inline constexpr DirectionLabels kUpDown{"Deng_FXUP_text", "Deng_FXDOWN_text"};
inline constexpr DirectionLabels kSpreadGather{"Deng_FXSPEAD_text", "Deng_FXGATHER_text"};

constexpr std::optional<DirectionLabels> directionLabels(KeyboardKind kind, std::uint8_t mode) {
    switch (kind) {
        case KeyboardKind::Rgb:
            switch (mode) {
                case 0:
                case 2:
                case 7:
                case 14:
                case 15:
                    return kLeftRight;
                case 4:
                    return kClockwise;
                case 6:
                    return kDownUp;
                case 8:
                case 13:
                    return kSpreadGather;
                case 10:
                    return kUpDown;
                default:
                    return std::nullopt;
            }
        case KeyboardKind::Mono:
            switch (mode) {
                case 0:
                case 2:
                case 7:
                case 8:
                    return kLeftRight;
                case 3:
                    return kClockwise;
                case 5:
                    return kDownUp;
                default:
                    return std::nullopt;
            }
        case KeyboardKind::Region:
        case KeyboardKind::Membrane:
            // The zoned keyboards' effects all run sideways.
            return kLeftRight;
    }
    return std::nullopt;
}

// What selecting a keyboard mode does to the same-effect option.
enum class SameModeChange : std::uint8_t { Keep, Enable, Disable };

constexpr SameModeChange keyboardSameMode(KeyboardKind kind, std::uint8_t mode) {
    switch (kind) {
        case KeyboardKind::Rgb:
            if (mode == 1 || mode == 2) {
                return SameModeChange::Enable;
            }
            if (mode == 6 || mode == 14 || mode == 15) {
                return SameModeChange::Disable;
            }
            return SameModeChange::Keep;
        case KeyboardKind::Mono:
            if (mode == 0 || mode == 1 || mode == 2 || mode == 7 || mode == 9) {
                return SameModeChange::Disable;
            }
            return SameModeChange::Keep;
        case KeyboardKind::Region:
        case KeyboardKind::Membrane:
            return SameModeChange::Keep;
    }
    return SameModeChange::Keep;
}

// The custom modes in which the colour controls set the paint colour.
constexpr bool paintsColour(KeyboardKind kind, std::uint8_t mode) {
    return (kind == KeyboardKind::Rgb && mode == 11) || (isZoned(kind) && mode == 6);
}

// Shows and hides the layouts of a lighting page ("kb", "ms", "mp") for what a mode shows.
void ShowModeControls(const PageControls& page, std::string_view prefix, std::uint8_t shows);

}  // namespace korvane::lighting::editors
