#pragma once

// Compile-time helpers for the constant tables that are described by runs
// ("0..15, then 41 down to 21, ..."). A table built with the wrong number of
// entries fails to compile, so a miscounted run cannot slip through.

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>

namespace korvane::lighting::detail {

template <std::size_t N>
class TableBuilder {
  public:
    // Appends the given values.
    constexpr TableBuilder& add(std::initializer_list<int> values) {
        for (int v : values) {
            push(v);
        }
        return *this;
    }

    // Appends first, first ± 1, ..., last (both inclusive, either direction).
    constexpr TableBuilder& run(int first, int last) {
        const int step = first <= last ? 1 : -1;
        for (int v = first;; v += step) {
            push(v);
            if (v == last) {
                break;
            }
        }
        return *this;
    }

    // Appends `count` copies of `value`.
    constexpr TableBuilder& repeat(int value, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) {
            push(value);
        }
        return *this;
    }

    constexpr std::array<std::uint8_t, N> build() const {
        if (size_ != N) {
            throw "table has the wrong number of entries";
        }
        return values_;
    }

  private:
    constexpr void push(int v) {
        if (size_ >= N || v < 0 || v > 255) {
            throw "table entry out of range or table too long";
        }
        values_[size_++] = static_cast<std::uint8_t>(v);
    }

    std::array<std::uint8_t, N> values_{};
    std::size_t size_ = 0;
};

}  // namespace korvane::lighting::detail
