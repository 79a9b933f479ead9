// Golden digests of the effect steps. The expected digests come from an independent model of
// the effects written from their description (tests/effects/model/effect_model.py), not from
// this program's tables or steps; `python3 tests/effects/model/effect_model.py --check`
// compares the model with the table below.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/device/device_kind.h"
#include "core/lighting/effects/effect_replay.h"

namespace korvane::lighting::effects {
namespace {

struct GoldenCase {
    const char* name;
    const char* model;
    std::array<std::uint8_t, 8> settings;  // mode, brightness, speed, direction, colourful, r, g, b
    unsigned steps;
    std::vector<std::uint8_t> random;
    std::uint8_t slot;
    bool initialise;
    std::uint64_t digest;
};

void PrintTo(const GoldenCase& c, std::ostream* os) {
    *os << c.name;
}

// FNV-1a over every step: the frame length (two bytes, low first), the frame, then alpha, red,
// green and blue of every picture position.
class Digest {
  public:
    void add(std::uint8_t byte) {
        value_ ^= byte;
        value_ *= 0x100000001B3ull;
    }
    std::uint64_t value() const { return value_; }

  private:
    std::uint64_t value_ = 0xCBF29CE484222325ull;
};

// The custom colour store of the cases: byte i = (37 i + 11) mod 256.
std::vector<std::uint8_t> customStore() {
    std::vector<std::uint8_t> bytes(1890);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>((37 * i + 11) & 0xFF);
    }
    return bytes;
}

class GoldenEffect : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(GoldenEffect, MatchesTheIndependentModel) {
    const GoldenCase& c = GetParam();
    const auto model = device::kindFromCliName(c.model);
    ASSERT_TRUE(model);
    EffectReplay replay;
    replay.model = *model;
    replay.settings = recordFromBytes<LightSettings>(c.settings);
    replay.steps = c.steps;
    replay.random = c.random;
    replay.custom = customStore();
    replay.slot = c.slot;
    replay.initialise = c.initialise;
    Digest digest;
    unsigned steps = 0;
    ReplayEffect(replay, [&](const ReplayedStep& step) {
        ++steps;
        digest.add(static_cast<std::uint8_t>(step.frame.size() & 0xFF));
        digest.add(static_cast<std::uint8_t>(step.frame.size() >> 8));
        for (const std::uint8_t b : step.frame) {
            digest.add(b);
        }
        for (const std::uint8_t b : step.preview) {
            digest.add(b);
        }
    });
    EXPECT_EQ(steps, c.steps);
    EXPECT_EQ(digest.value(), c.digest) << std::hex << "got 0x" << digest.value();
}

INSTANTIATE_TEST_SUITE_P(
    Effects, GoldenEffect,
    ::testing::ValuesIn(std::vector<GoldenCase>{
        // clang-format off
        {"RgbStatic", "rgb-keyboard", {0, 9, 3, 1, 0, 200, 100, 50}, 3, {}, 0, true, 0xb5e87af794284960ull},
        {"RgbPulseRandom", "rgb-keyboard", {1, 14, 0, 0, 1, 0, 0, 0}, 400, {200, 17, 250, 99}, 0, true, 0x1334252e031ed375ull},
        {"RgbPulseSingle", "rgb-keyboard", {1, 6, 0, 1, 0, 10, 220, 30}, 200, {}, 0, true, 0x388e9eb48e4f59b5ull},
        {"RgbWaveColourful", "rgb-keyboard", {2, 14, 5, 1, 1, 0, 0, 0}, 250, {}, 0, true, 0x8c7a54337244c463ull},
        {"RgbWaveSingleBackward", "rgb-keyboard", {2, 11, 5, 0, 0, 255, 40, 9}, 250, {}, 0, true, 0x060281f38dd0ad71ull},
        {"RgbCycleBackward", "rgb-keyboard", {3, 13, 0, 0, 0, 0, 0, 0}, 200, {}, 0, true, 0xb67d56a528a4eb4dull},
        {"RgbSerpentineColourful", "rgb-keyboard", {4, 14, 0, 1, 1, 0, 0, 0}, 200, {}, 0, true, 0xc6c52dd165e5da0full},
        {"RgbSerpentineSingle", "rgb-keyboard", {4, 8, 0, 0, 0, 90, 180, 255}, 200, {}, 0, true, 0xab828291f3de4d68ull},
        {"RgbRipple", "rgb-keyboard", {5, 14, 0, 1, 1, 0, 0, 0}, 300, {}, 0, true, 0x978deef839902c98ull},
        {"RgbRippleSingle", "rgb-keyboard", {5, 12, 0, 1, 0, 255, 255, 255}, 120, {}, 0, true, 0x8f6141e2d4ee7792ull},
        {"RgbRunningForward", "rgb-keyboard", {6, 14, 0, 1, 1, 0, 0, 0}, 300, {}, 0, true, 0xf2e4de565487ee13ull},
        {"RgbRunningBackward", "rgb-keyboard", {15, 10, 0, 0, 0, 30, 60, 90}, 300, {}, 0, true, 0x779e66684ecf53a0ull},
        {"RgbRunning12", "rgb-keyboard", {12, 14, 0, 1, 0, 1, 2, 3}, 130, {}, 0, true, 0x548b8cb328053fd3ull},
        {"RgbDiagonalTwinkle", "rgb-keyboard", {7, 14, 0, 1, 1, 0, 0, 0}, 400, {}, 0, true, 0xc67c976a8be39c1cull},
        {"RgbRain", "rgb-keyboard", {8, 14, 0, 1, 1, 0, 0, 0}, 300, {}, 0, true, 0x74de12620c4d6b3full},
        {"RgbOff", "rgb-keyboard", {10, 7, 0, 1, 0, 9, 9, 9}, 2, {}, 0, true, 0x7c65d10272eaa309ull},
        {"RgbCustom", "rgb-keyboard", {11, 12, 0, 1, 0, 0, 0, 0}, 2, {}, 3, true, 0x4bca9e095ce5f81dull},
        {"RgbBandsForward", "rgb-keyboard", {13, 14, 0, 1, 0, 0, 0, 0}, 120, {}, 0, true, 0x73b78632b732a538ull},
        {"RgbBandsBackward", "rgb-keyboard", {13, 14, 0, 0, 1, 0, 0, 0}, 250, {}, 0, true, 0x5f9ba4249468dceeull},
        {"RgbFadeWaveColourful", "rgb-keyboard", {14, 14, 0, 1, 1, 0, 0, 0}, 250, {}, 0, true, 0x2d6a98f357d714daull},
        {"RgbFadeWaveSingle", "rgb-keyboard", {14, 9, 0, 0, 0, 200, 0, 100}, 250, {}, 0, true, 0xdaaa399341dfff38ull},
        {"MonoStatic", "mono-keyboard", {0, 5, 0, 1, 0, 0, 0, 0}, 2, {}, 0, true, 0x06032397bddc1f15ull},
        {"MonoPulse", "mono-keyboard", {1, 14, 0, 1, 0, 0, 0, 0}, 200, {}, 0, true, 0x18a4e4bcba727afdull},
        {"MonoColumnBreath", "mono-keyboard", {2, 12, 0, 0, 0, 0, 0, 0}, 200, {}, 0, true, 0xb3f8007e8001b5f1ull},
        {"MonoSerpentine", "mono-keyboard", {3, 14, 0, 1, 0, 0, 0, 0}, 200, {}, 0, true, 0x3a33e3feebac6e45ull},
        {"MonoRipple", "mono-keyboard", {4, 14, 0, 1, 0, 0, 0, 0}, 300, {}, 0, true, 0xaad943ff22e658dbull},
        {"MonoRunning", "mono-keyboard", {5, 11, 0, 1, 0, 0, 0, 0}, 300, {}, 0, true, 0xe9a7b9e627081053ull},
        {"MonoRunningBackward", "mono-keyboard", {5, 14, 0, 0, 0, 0, 0, 0}, 300, {}, 0, true, 0xceb53c1c6fc48781ull},
        {"MonoDiagonalTwinkle", "mono-keyboard", {6, 14, 0, 1, 0, 0, 0, 0}, 300, {}, 0, true, 0x29d64f23e6eca4e3ull},
        {"MonoRain", "mono-keyboard", {7, 13, 0, 1, 0, 0, 0, 0}, 300, {}, 0, true, 0x78390af5df9bdeddull},
        {"MonoColumnTwinkle", "mono-keyboard", {8, 14, 0, 1, 0, 0, 0, 0}, 300, {}, 0, true, 0x9aab32806a55f38dull},
        {"MonoOff", "mono-keyboard", {9, 14, 0, 1, 0, 0, 0, 0}, 2, {}, 0, true, 0x104fc7e2a07363e5ull},
        {"MonoCustom", "mono-keyboard", {10, 14, 0, 1, 0, 0, 0, 0}, 2, {}, 1, true, 0x780fca49ca433a0dull},
        {"MonoCustomDim", "mono-keyboard", {10, 4, 0, 1, 0, 0, 0, 0}, 2, {}, 4, true, 0x31a0e318b22f0589ull},
        {"MonoTwinkleWithoutInit", "mono-keyboard", {11, 14, 0, 1, 0, 0, 0, 0}, 250, {}, 0, true, 0x63523c7c4a1c0b7dull},
        {"RegionStatic", "region-keyboard", {0, 10, 0, 1, 0, 250, 128, 3}, 2, {}, 0, true, 0xf885e47980db60c5ull},
        {"RegionPulse", "region-keyboard", {1, 14, 0, 1, 1, 0, 0, 0}, 300, {7, 190}, 0, true, 0xa006a0d89f7c8131ull},
        {"RegionWaveColourful", "region-keyboard", {2, 14, 0, 1, 1, 0, 0, 0}, 200, {}, 0, true, 0xcbee1ec7d148c46eull},
        {"MembraneWaveSingle", "membrane-keyboard", {2, 12, 0, 0, 0, 20, 200, 120}, 200, {}, 0, true, 0x2079110f3415ec9dull},
        {"MembraneCycle", "membrane-keyboard", {3, 14, 0, 1, 0, 0, 0, 0}, 200, {}, 0, true, 0x6141167ef26a5435ull},
        {"RegionBlocksForward", "region-keyboard", {4, 14, 0, 1, 1, 0, 0, 0}, 200, {}, 0, true, 0x3eb8c6f217679a6aull},
        {"MembraneBlocksBackward", "membrane-keyboard", {4, 9, 0, 0, 1, 0, 0, 0}, 200, {}, 0, true, 0xa66b680e6a1268ecull},
        {"RegionBlocksWithoutInit", "region-keyboard", {4, 14, 0, 1, 1, 0, 0, 0}, 60, {}, 0, false, 0xec20ed0cd7a8d464ull},
        {"RegionOff", "region-keyboard", {5, 14, 0, 1, 0, 0, 0, 0}, 2, {}, 0, true, 0xfbd3504020ffd755ull},
        {"RegionCustom", "region-keyboard", {6, 14, 0, 1, 0, 0, 0, 0}, 2, {}, 2, true, 0x487c9ce9ecf14269ull},
        {"MembraneCustom", "membrane-keyboard", {6, 8, 0, 1, 0, 0, 0, 0}, 2, {}, 0, true, 0xd1b676d6aa3fa951ull},
        {"MouseStatic", "mouse", {0, 2, 0, 1, 0, 255, 100, 3}, 2, {}, 0, true, 0xdd3e17e36f0501a5ull},
        {"MouseGroupPulseForward", "mouse", {1, 14, 0, 1, 1, 0, 0, 0}, 400, {}, 0, true, 0x0352423aa4b43062ull},
        {"MouseGroupPulseBackward", "mouse", {1, 12, 0, 0, 1, 0, 0, 0}, 400, {}, 0, true, 0xb8e3b4d916b0c524ull},
        {"MousePulseSingle", "mouse", {1, 14, 0, 1, 0, 9, 99, 199}, 150, {}, 0, true, 0x6890d0f880328d65ull},
        {"MouseWaveColourful", "mouse", {2, 14, 0, 1, 1, 0, 0, 0}, 200, {}, 0, true, 0x51ccdb9e59fddaedull},
        {"MouseWaveSingle", "mouse", {2, 10, 0, 0, 0, 255, 0, 128}, 200, {}, 0, true, 0x51a5e2dabcc33044ull},
        {"MouseCycle", "mouse", {3, 14, 0, 0, 0, 0, 0, 0}, 200, {}, 0, true, 0xf640b87e244a7b35ull},
        {"MouseTravellingForward", "mouse", {4, 14, 0, 1, 1, 0, 0, 0}, 200, {}, 0, true, 0x2fbdbae481b44449ull},
        {"MouseTravellingBackward", "mouse", {4, 11, 0, 0, 0, 255, 255, 255}, 200, {}, 0, true, 0x5975acffb9196eadull},
        {"MouseFlashUntriggered", "mouse", {5, 14, 0, 1, 1, 0, 0, 0}, 3, {}, 0, true, 0xed4bce002a996ed1ull},
        {"MouseBlink", "mouse", {6, 14, 0, 1, 1, 0, 0, 0}, 20, {}, 0, true, 0xafcec1214b4ecdc5ull},
        {"MouseBlinkSingle", "mouse", {7, 9, 0, 1, 0, 40, 50, 60}, 20, {}, 0, true, 0x70c72a4b0da6b9d9ull},
        {"MouseDeviceEffect", "mouse", {8, 14, 0, 1, 0, 0, 0, 0}, 2, {}, 0, true, 0xa08684a333bcb875ull},
        {"PadWaveColourful", "mousepad", {0, 14, 0, 1, 1, 0, 0, 0}, 200, {}, 0, true, 0x75d830692e61207dull},
        {"PadWaveSingle", "mousepad", {0, 13, 0, 0, 0, 100, 200, 50}, 200, {}, 0, true, 0x026fe7a69fb030a2ull},
        {"PadCycle", "mousepad", {1, 14, 0, 0, 0, 0, 0, 0}, 200, {}, 0, true, 0xcff6f32001744009ull},
        {"PadPulse", "mousepad", {2, 14, 0, 1, 1, 0, 0, 0}, 300, {}, 0, true, 0x30780baf157d8a26ull},
        {"PadPulseSingleBackward", "mousepad", {2, 10, 0, 0, 0, 255, 128, 0}, 150, {}, 0, true, 0x2a07ffa7bd1f3cf7ull},
        {"PadStatic", "mousepad", {3, 7, 0, 1, 0, 1, 128, 255}, 2, {}, 0, true, 0xa4acaa86de29d0cdull},
        {"PadBarForward", "mousepad", {4, 14, 0, 1, 1, 0, 0, 0}, 70, {}, 0, true, 0x6ba03c13dff331e7ull},
        {"PadBarBackward", "mousepad", {4, 14, 0, 0, 0, 0, 200, 0}, 70, {}, 0, true, 0xe5d9781d29592299ull},
        {"PadTravelling", "mousepad", {5, 14, 0, 0, 1, 0, 0, 0}, 100, {}, 0, true, 0x2886a67956c9a85cull},
        {"PadTravellingForward", "mousepad", {5, 12, 0, 1, 0, 0, 255, 0}, 100, {}, 0, true, 0xab6480686aba22f2ull},
        {"PadColumnWave", "mousepad", {6, 14, 0, 1, 0, 0, 0, 0}, 200, {}, 0, true, 0x57fd49271517f54full},
        {"PadFlashUntriggered", "mousepad", {8, 14, 0, 1, 0, 0, 0, 0}, 3, {}, 0, true, 0x1e396e75d97228c1ull},
        // clang-format on
    }),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace korvane::lighting::effects
