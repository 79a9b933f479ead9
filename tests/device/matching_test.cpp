#include <gtest/gtest.h>

#include <string>

#include "core/device/device_matching.h"
#include "core/device/parse_hex_tag.h"

namespace korvane::device {
namespace {

struct HexTagCase {
    std::string text;
    std::string tag;
    std::uint16_t expected;
};

class ParseHexTagTest : public ::testing::TestWithParam<HexTagCase> {};

TEST_P(ParseHexTagTest, ReadsNumberAfterTag) {
    EXPECT_EQ(ParseHexTag(GetParam().text, GetParam().tag), GetParam().expected);
}

constexpr const char* kUpperPath =
    R"(\\?\HID#VID_0C45&PID_8611&MI_02&COL01#8&2b4c1a&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030})";

INSTANTIATE_TEST_SUITE_P(
    Paths, ParseHexTagTest,
    ::testing::Values(HexTagCase{kUpperPath, "vid_", 0x0C45},
                      HexTagCase{kUpperPath, "pid_", 0x8611}, HexTagCase{kUpperPath, "&mi_", 2},
                      HexTagCase{kUpperPath, "&col", 1},
                      HexTagCase{"hid#vid_320f&pid_6523", "VID_", 0x320F},
                      HexTagCase{"/dev/hidraw3", "vid_", 0},    // tag absent
                      HexTagCase{"hid#vid_&pid_1", "vid_", 0},  // no digits
                      HexTagCase{"vid_12345", "vid_", 0x2345},  // low 16 bits
                      HexTagCase{"vid_0x1F", "vid_", 0x1F},     // %x takes a 0x prefix
                      HexTagCase{"vid_ab", "", 0}));

HidInterfaceInfo collection(std::uint16_t vendor, std::uint16_t product, std::uint16_t page,
                            std::uint16_t usage) {
    HidInterfaceInfo info;
    info.path = "/dev/hidraw0";
    info.vendorId = vendor;
    info.productId = product;
    info.usagePage = page;
    info.usage = usage;
    return info;
}

struct MatchCase {
    std::string name;
    InterfaceRole role;
    HidInterfaceInfo info;
    bool matches;
    std::optional<DeviceKind> kind;
};

class MatchTest : public ::testing::TestWithParam<MatchCase> {};

TEST_P(MatchTest, DecidesByIdsAndCollection) {
    const MatchCase& k = GetParam();
    EXPECT_EQ(matchesInterface(k.role, k.info), k.matches);
    EXPECT_EQ(acceptedKind(k.role, k.info), k.kind);
}

using R = InterfaceRole;
INSTANTIATE_TEST_SUITE_P(
    Roles, MatchTest,
    ::testing::Values(
        MatchCase{"RgbKeyboard", R::KeyboardCommander, collection(0x0C45, 0x8611, 0xFF1C, 0x92),
                  true, DeviceKind::RgbKeyboard},
        MatchCase{"RegionKeyboardSecondVendor", R::KeyboardCommander,
                  collection(0x320F, 0x6523, 0xFF1C, 0x92), true, DeviceKind::RegionKeyboard},
        MatchCase{"KeyboardOtherCollection", R::KeyboardCommander,
                  collection(0x0C45, 0x8611, 0x0001, 0x06), false, std::nullopt},
        MatchCase{"KeyboardConsumerCollection", R::KeyboardCommander,
                  collection(0x0C45, 0x8611, 0x000C, 0x01), false, std::nullopt},
        MatchCase{"MouseIsNotAKeyboard", R::KeyboardCommander,
                  collection(0x0C45, 0x5523, 0xFF1C, 0x92), false, std::nullopt},
        MatchCase{"MouseAlt", R::MouseCommander, collection(0x0C45, 0x6656, 0xFF1C, 0x92), true,
                  DeviceKind::MouseAlt},
        MatchCase{"MouseSecondVendorRefused", R::MouseCommander,
                  collection(0x320F, 0x5523, 0xFF1C, 0x92), false, std::nullopt},
        MatchCase{"MousePad", R::MousePadCommander, collection(0x0C45, 0x5104, 0xFF1C, 0x92), true,
                  DeviceKind::MousePad},
        MatchCase{"VendorZero", R::MousePadCommander, collection(0, 0x5104, 0xFF1C, 0x92), false,
                  std::nullopt},
        MatchCase{"KeyboardConsumerRgb", R::KeyboardConsumerListener,
                  collection(0x0C45, 0x8611, 0x000C, 0x01), true, std::nullopt},
        MatchCase{"KeyboardConsumerMonoTriedButRefused", R::KeyboardConsumerListener,
                  collection(0x0C45, 0x6556, 0x000C, 0x01), false, std::nullopt},
        MatchCase{"MouseConsumer", R::MouseConsumerListener,
                  collection(0x0C45, 0x764D, 0x000C, 0x01), true, std::nullopt},
        MatchCase{"MouseConsumerWrongCollection", R::MouseConsumerListener,
                  collection(0x0C45, 0x764D, 0xFF1C, 0x92), false, std::nullopt}),
    [](const auto& info) { return info.param.name; });

TEST(CommanderIdentityTest, EveryModelHasExactlyOneCommanderRole) {
    for (const DeviceModel& model : kDeviceModels) {
        const CommanderIdentity& owner = commanderIdentity(model.deviceClass);
        const auto info =
            collection(kVendorPrimary, model.productId, kVendorUsagePage, kVendorUsage);
        int roles = 0;
        for (const CommanderIdentity& c : kCommanderIdentities) {
            roles += matchesInterface(c.role, info) ? 1 : 0;
        }
        EXPECT_EQ(roles, 1) << model.cliName;
        EXPECT_EQ(acceptedKind(owner.role, info), model.kind) << model.cliName;
    }
    EXPECT_EQ(commanderIdentity(DeviceClass::Keyboard).identity,
              (DeviceIdentity{0x0C45, 0x8611, 0x0092, 0xFF1C}));
}

}  // namespace
}  // namespace korvane::device
