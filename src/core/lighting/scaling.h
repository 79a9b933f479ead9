#pragma once

// Brightness and intensity scaling of device bytes, the colour packing of the
// on-screen preview, and the speed slider mapping.

#include <algorithm>
#include <cstdint>

#include "core/lighting/curves.h"
#include "core/lighting/rgb.h"

namespace korvane::lighting {

// The scale factor of a brightness setting. A setting above 14 (damaged file)
// reads as full brightness rather than past the curve.
constexpr std::uint8_t brightnessScale(std::uint8_t brightness) {
    return BrightnessCurve[std::min<std::size_t>(brightness, BrightnessCurve.size() - 1)];
}

// Keyboard scaling: channel × bright >> 8 in 16-bit arithmetic.
constexpr std::uint8_t scaleChannel(std::uint8_t channel, std::uint8_t bright) {
    return static_cast<std::uint8_t>(static_cast<std::uint16_t>(channel * bright) >> 8);
}

// With an intensity: the intensity is applied first, then the brightness,
// each product truncated to 8 bits.
constexpr std::uint8_t scaleChannel(std::uint8_t channel, std::uint8_t bright,
                                    std::uint8_t intensity) {
    return scaleChannel(scaleChannel(channel, intensity), bright);
}

constexpr Rgb scaleColour(Rgb c, std::uint8_t bright) {
    return {scaleChannel(c.red, bright), scaleChannel(c.green, bright),
            scaleChannel(c.blue, bright)};
}

constexpr Rgb scaleColour(Rgb c, std::uint8_t bright, std::uint8_t intensity) {
    return {scaleChannel(c.red, bright, intensity), scaleChannel(c.green, bright, intensity),
            scaleChannel(c.blue, bright, intensity)};
}

// Mouse, mouse-pad and synchronised scaling use factor + 1 so that 255 keeps
// the full channel: ((channel × (i + 1)) >> 8) × (bright + 1) >> 8.
constexpr std::uint8_t scaleChannelPlusOne(std::uint8_t channel, std::uint8_t bright) {
    return static_cast<std::uint8_t>(static_cast<std::uint16_t>(channel * (bright + 1)) >> 8);
}

constexpr std::uint8_t scaleChannelPlusOne(std::uint8_t channel, std::uint8_t bright,
                                           std::uint8_t intensity) {
    return scaleChannelPlusOne(scaleChannelPlusOne(channel, intensity), bright);
}

constexpr Rgb scaleColourPlusOne(Rgb c, std::uint8_t bright) {
    return {scaleChannelPlusOne(c.red, bright), scaleChannelPlusOne(c.green, bright),
            scaleChannelPlusOne(c.blue, bright)};
}

constexpr Rgb scaleColourPlusOne(Rgb c, std::uint8_t bright, std::uint8_t intensity) {
    return {scaleChannelPlusOne(c.red, bright, intensity),
            scaleChannelPlusOne(c.green, bright, intensity),
            scaleChannelPlusOne(c.blue, bright, intensity)};
}

// Preview alpha of a key: the brightness factor, dimmed by an intensity.
constexpr std::uint8_t previewAlpha(std::uint8_t bright) {
    return bright;
}
constexpr std::uint8_t previewAlpha(std::uint8_t bright, std::uint8_t intensity) {
    return scaleChannel(bright, intensity);
}

// Colour value of a preview control: (green << 16) | (blue << 8) | red.
constexpr std::uint32_t packPreviewColour(Rgb c) {
    return (std::uint32_t{c.green} << 16) | (std::uint32_t{c.blue} << 8) | c.red;
}

// Every lit key of the mono keyboard is previewed in this colour, with the
// intensity as alpha.
inline constexpr Rgb kMonoPreviewRgb{36, 0, 255};
inline constexpr std::uint32_t kMonoPreviewColour = packPreviewColour(kMonoPreviewRgb);
static_assert(kMonoPreviewColour == 65316);

inline constexpr int kSpeedSliderMax = 14;

// The slider shows fast on the right; the stored speed is a delay column with
// 0 the fastest. Values outside the slider range stay inside the table.
constexpr std::uint8_t speedFromSlider(int sliderValue) {
    return static_cast<std::uint8_t>(std::clamp(kSpeedSliderMax - sliderValue, 0, kSpeedSliderMax));
}

constexpr int sliderFromSpeed(std::uint8_t speed) {
    return kSpeedSliderMax - std::min<int>(speed, kSpeedSliderMax);
}

}  // namespace korvane::lighting
