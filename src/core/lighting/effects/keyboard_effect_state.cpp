#include "core/lighting/effects/keyboard_effect_state.h"

#include <algorithm>

#include "core/lighting/key_orders.h"

namespace korvane::lighting::effects {
namespace {

constexpr std::uint8_t kRippleSeed = 0x40;

void seedRipple(KeyboardEffectState& state) {
    orRippleColumn(state.ripple, kRippleCentreColumn, kRippleSeed);
}

// Start phases of the diagonal twinkle: a diagonal of phases 35 apart down each column,
// shifted by 8 per column, kept below 192.
template <std::size_t Rows>
void initialiseDiagonalTwinkle(
    KeyboardEffectState& state,
    const std::array<std::array<std::uint8_t, Rows>, kMatrixColumns>& columns, std::uint8_t none) {
    for (std::size_t a = 0; a < kMatrixColumns; ++a) {
        const int shift = 8 * static_cast<int>(a);
        int phase = (157 - shift) & 0xFF;
        if (phase > 191) {
            phase = (94 - shift) & 0xFF;
        }
        for (std::size_t row = 0; row < Rows; ++row) {
            if (row > 0) {
                const int previous = phase;
                phase = (previous - 35) & 0xFF;
                if (phase > 191) {
                    phase = (previous - 98) & 0xFF;
                }
            }
            const std::uint8_t key = columns[a][row];
            if (key == none || key >= kKeyCount) {
                continue;
            }
            state.keyPhase[key] = static_cast<std::uint8_t>(phase);
            state.keyHue[key] = static_cast<std::uint8_t>(7 * a);
        }
    }
}

// TwinkleStart has 138 entries (23 columns of six); an index past it reads the last one.
constexpr std::uint8_t twinkleStart(std::size_t index) {
    return TwinkleStart[std::min(index, TwinkleStart.size() - 1)];
}

void initialisePaletteTwinkle(KeyboardEffectState& state) {
    for (std::size_t c = 0; c < kMatrixColumns; ++c) {
        for (std::size_t j = 0; j < KeyColumns7[c].size(); ++j) {
            const std::uint8_t key = KeyColumns7[c][j];
            if (key >= kKeyCount) {
                continue;
            }
            state.keyLife[key] = twinkleStart(6 * c + j);
            state.keyHue[key] = static_cast<std::uint8_t>(7 * c);
        }
    }
}

void initialiseMonoRain(KeyboardEffectState& state) {
    std::uint8_t value = 7;
    // One start phase per drop key; RandomKeyOrder has 104 entries.
    for (std::size_t i = 0; i < RandomKeyOrder.size(); ++i) {
        const std::uint8_t key = MonoSnakeOrder[RandomKeyOrder[i]];
        if (key < kKeyCount) {
            state.keyPhase[key] = value;
        }
        value = static_cast<std::uint8_t>(value + 7 >= 112 ? value - 105 : value + 7);
    }
}

void initialiseColumnTwinkle(KeyboardEffectState& state) {
    for (std::size_t c = 0; c < kMatrixColumns; ++c) {
        for (std::size_t r = 0; r < KeyColumns6[c].size(); ++r) {
            const std::uint8_t key = KeyColumns6[c][r];
            if (key < kKeyCount) {
                state.keyPhase[key] = twinkleStart(6 * c + r);
            }
        }
    }
}

}  // namespace

void ResetEffectState(KeyboardEffectState& state) {
    state.phase = 0;
    state.keyHue.fill(0);
    state.keyLife.fill(0);
    for (auto& bitmap : state.ripple) {
        bitmap.fill(0);
    }
}

void InitialiseKeyboardMode(KeyboardEffectState& state, KeyboardKind kind, std::uint8_t mode) {
    switch (kind) {
        case KeyboardKind::Rgb:
            switch (mode) {
                case 5:
                    seedRipple(state);
                    break;
                case 7:
                    initialiseDiagonalTwinkle(state, KeyColumns7, kNoKey7);
                    break;
                case 9:
                    initialisePaletteTwinkle(state);
                    break;
                case 12:
                    // Of this mode's initialisation only the step back of the running
                    // light shows; it never leaves the path.
                    state.runPosition = static_cast<std::uint8_t>(
                        state.runPosition >= 4 ? state.runPosition - 4 : 0);
                    break;
                default:
                    break;
            }
            break;
        case KeyboardKind::Mono:
            switch (mode) {
                case 4:
                    seedRipple(state);
                    break;
                case 6:
                    initialiseDiagonalTwinkle(state, MonoKeyColumns6, kNoKey);
                    break;
                case 7:
                    initialiseMonoRain(state);
                    break;
                case 8:
                    initialiseColumnTwinkle(state);
                    break;
                default:
                    break;
            }
            break;
        case KeyboardKind::Region:
        case KeyboardKind::Membrane:
            if (mode == 4) {
                RequestStackingRestart(state);
            }
            break;
    }
}

void RequestStackingRestart(KeyboardEffectState& state) {
    state.blocks.restartRequested = true;
}

}  // namespace korvane::lighting::effects
