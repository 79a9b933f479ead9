#pragma once

#include <deque>

#include "core/lighting/effects/effect_output.h"

namespace korvane::lighting::effects::testing {

// Hands out the bytes it was given, then zeros.
class ScriptedBytes final : public ByteSource {
  public:
    explicit ScriptedBytes(std::initializer_list<std::uint8_t> bytes = {}) : bytes_(bytes) {}
    std::uint8_t nextByte() override {
        ++calls;
        if (bytes_.empty()) {
            return 0;
        }
        const std::uint8_t b = bytes_.front();
        bytes_.pop_front();
        return b;
    }
    int calls = 0;

  private:
    std::deque<std::uint8_t> bytes_;
};

inline LightSettings settings(std::uint8_t mode, std::uint8_t brightness, std::uint8_t direction,
                              std::uint8_t colourful, Rgb colour = {}) {
    return {mode, brightness, 0, direction, colourful, colour.red, colour.green, colour.blue};
}

inline std::uint32_t packed(Rgb c) {
    return (std::uint32_t{c.green} << 16) | (std::uint32_t{c.blue} << 8) | c.red;
}

// channel × factor >> 8, each step truncated.
inline std::uint8_t scale(unsigned channel, unsigned factor) {
    return static_cast<std::uint8_t>((channel * factor) >> 8);
}

}  // namespace korvane::lighting::effects::testing
