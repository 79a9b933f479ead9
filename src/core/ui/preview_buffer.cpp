#include "core/ui/preview_buffer.h"

namespace korvane::ui {
namespace {

constexpr std::uint64_t pack(std::uint32_t colour, std::uint8_t alpha) {
    return (static_cast<std::uint64_t>(colour) << 32) | alpha;
}

}  // namespace

void PreviewBuffer::set(int index, std::uint32_t colour, std::uint8_t alpha) {
    if (index < 0 || index >= kSize) {
        return;
    }
    const std::uint64_t value = pack(colour, alpha);
    auto& entry = entries_[static_cast<std::size_t>(index)];
    if (entry.exchange(value, std::memory_order_relaxed) != value) {
        generation_.fetch_add(1, std::memory_order_release);
    }
}

void PreviewBuffer::setColour(int index, std::uint32_t colour) {
    if (index < 0 || index >= kSize) {
        return;
    }
    auto& entry = entries_[static_cast<std::size_t>(index)];
    std::uint64_t old = entry.load(std::memory_order_relaxed);
    while (!entry.compare_exchange_weak(old, pack(colour, static_cast<std::uint8_t>(old & 0xFF)),
                                        std::memory_order_relaxed)) {
    }
    generation_.fetch_add(1, std::memory_order_release);
}

void PreviewBuffer::setAlpha(int index, std::uint8_t alpha) {
    if (index < 0 || index >= kSize) {
        return;
    }
    auto& entry = entries_[static_cast<std::size_t>(index)];
    std::uint64_t old = entry.load(std::memory_order_relaxed);
    while (!entry.compare_exchange_weak(old, pack(static_cast<std::uint32_t>(old >> 32), alpha),
                                        std::memory_order_relaxed)) {
    }
    generation_.fetch_add(1, std::memory_order_release);
}

PreviewBuffer::Entry PreviewBuffer::get(int index) const {
    if (index < 0 || index >= kSize) {
        return {0, 0};
    }
    const std::uint64_t value =
        entries_[static_cast<std::size_t>(index)].load(std::memory_order_relaxed);
    return {static_cast<std::uint32_t>(value >> 32), static_cast<std::uint8_t>(value & 0xFF)};
}

}  // namespace korvane::ui
