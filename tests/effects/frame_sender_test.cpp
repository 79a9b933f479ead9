// Light frames that did not change are not sent again, unless the device may not show them.

#include <gtest/gtest.h>

#include <vector>

#include "core/lighting/effects/frame_sender.h"
#include "sim/sim_harness.h"

namespace korvane::lighting::effects {
namespace {

using device::DeviceKind;
using sim::testing::SimRig;

std::uint64_t framesTaken(const SimRig& rig) {
    return rig.device->inspect([](const sim::Firmware& f) { return f.frameCount(); });
}

// The RGB keyboard's frame: 378 bytes.
std::vector<std::uint8_t> frame(std::uint8_t fill) {
    return std::vector<std::uint8_t>(378, fill);
}

enum class Between { Nothing, OtherFrame, Forget, DeviceOpenedAgain };

struct SecondSendCase {
    Between between;
    std::uint64_t framesAfterSecondSend;
};

class FrameSenderSecondSend : public ::testing::TestWithParam<SecondSendCase> {};

// The same frame twice: the second goes out only when something may have changed what the
// device shows.
TEST_P(FrameSenderSecondSend, GoesOutOnlyWhenTheDeviceMayShowSomethingElse) {
    SimRig rig(DeviceKind::RgbKeyboard);
    FrameSender sender;
    EXPECT_EQ(sender.send(rig.commander, frame(0x11)), device::kResultDone);
    EXPECT_EQ(framesTaken(rig), 1u);

    std::vector<std::uint8_t> second = frame(0x11);
    switch (GetParam().between) {
        case Between::Nothing:
            break;
        case Between::OtherFrame:
            second[377] = 0x12;
            break;
        case Between::Forget:
            sender.forget();
            break;
        case Between::DeviceOpenedAgain:
            rig.commander.attach(rig.openInterface(sim::SimInterface::Vendor));
            break;
    }
    EXPECT_EQ(sender.send(rig.commander, second), device::kResultDone);
    EXPECT_EQ(framesTaken(rig), GetParam().framesAfterSecondSend);
    EXPECT_EQ(rig.device->inspect([](const sim::Firmware& f) { return f.lastFrame(378); }), second);
}

INSTANTIATE_TEST_SUITE_P(Cases, FrameSenderSecondSend,
                         ::testing::Values(SecondSendCase{Between::Nothing, 1},
                                           SecondSendCase{Between::OtherFrame, 2},
                                           SecondSendCase{Between::Forget, 2},
                                           SecondSendCase{Between::DeviceOpenedAgain, 2}));

// A frame the device refused is not taken as shown: the same frame goes out again.
TEST(FrameSenderTest, ARefusedFrameIsSentAgain) {
    sim::SimSettings settings;
    settings.faults.push_back({sim::FaultKind::StatusFF, 1});
    SimRig rig(DeviceKind::RgbKeyboard, settings);
    FrameSender sender;
    EXPECT_NE(sender.send(rig.commander, frame(0x22)), device::kResultDone);
    const std::uint32_t requestsAfterRefusal = rig.device->requestCount();
    EXPECT_EQ(sender.send(rig.commander, frame(0x22)), device::kResultDone);
    EXPECT_GT(rig.device->requestCount(), requestsAfterRefusal);
    EXPECT_EQ(rig.device->inspect([](const sim::Firmware& f) { return f.lastFrame(378); }),
              frame(0x22));
    EXPECT_EQ(sender.skipped(), 0u);
}

}  // namespace
}  // namespace korvane::lighting::effects
