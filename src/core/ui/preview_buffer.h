#pragma once

#include <array>
#include <atomic>
#include <cstdint>

namespace korvane::ui {

// The colours and alphas of the device pictures' elements, written by the effect threads
// without locks and painted by the window at its own rate. Numbering: mouse pad 0..14,
// keyboard 15..140 (the numbering of the picture colour/alpha messages), mouse 141..160.
class PreviewBuffer {
  public:
    static constexpr int kMousePadCount = 15;
    static constexpr int kKeyboardCount = 126;
    static constexpr int kMouseCount = 20;
    static constexpr int kMousePadBase = 0;
    static constexpr int kKeyboardBase = kMousePadBase + kMousePadCount;
    static constexpr int kMouseBase = kKeyboardBase + kKeyboardCount;
    static constexpr int kSize = kMouseBase + kMouseCount;
    static_assert(kSize == 161);

    struct Entry {
        std::uint32_t colour;  // packed (green << 16) | (blue << 8) | red
        std::uint8_t alpha;
    };

    // Out-of-range indexes are ignored (set) or read as dark (get).
    void set(int index, std::uint32_t colour, std::uint8_t alpha);
    void setColour(int index, std::uint32_t colour);
    void setAlpha(int index, std::uint8_t alpha);
    Entry get(int index) const;

    void setKeyboard(int key, std::uint32_t colour, std::uint8_t alpha) {
        if (key >= 0 && key < kKeyboardCount) {
            set(kKeyboardBase + key, colour, alpha);
        }
    }
    void setMouse(int led, std::uint32_t colour, std::uint8_t alpha) {
        if (led >= 0 && led < kMouseCount) {
            set(kMouseBase + led, colour, alpha);
        }
    }
    void setMousePad(int led, std::uint32_t colour, std::uint8_t alpha) {
        if (led >= 0 && led < kMousePadCount) {
            set(kMousePadBase + led, colour, alpha);
        }
    }

    // Increases with every change, so a painter can skip unchanged frames.
    std::uint64_t generation() const { return generation_.load(std::memory_order_acquire); }

  private:
    // colour in the high 32 bits, alpha in the low 8: one atomic per element keeps a
    // painter from seeing a colour of one frame with the alpha of another.
    std::array<std::atomic<std::uint64_t>, kSize> entries_{};
    std::atomic<std::uint64_t> generation_{0};
};

}  // namespace korvane::ui
