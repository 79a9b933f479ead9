#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "backends/hidapi/hid_enumeration.h"
#include "core/device/device_matching.h"

namespace korvane::backends {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A vendor collection (0xFF1C/0x92, report 4) and a consumer collection on one node.
const Bytes kTwoCollections{0x06, 0x1C, 0xFF, 0x09, 0x92, 0xA1, 0x01, 0x85, 0x04, 0x75,
                            0x08, 0x95, 0x3F, 0x09, 0x92, 0x81, 0x02, 0xC0, 0x05, 0x0C,
                            0x09, 0x01, 0xA1, 0x01, 0x85, 0x03, 0x75, 0x10, 0x95, 0x01,
                            0x19, 0x00, 0x2A, 0xFF, 0x0F, 0x81, 0x00, 0xC0};
const Bytes kMouseOnly{0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x09, 0x30,
                       0x75, 0x08, 0x95, 0x01, 0x81, 0x06, 0xC0};

EnumeratedInterface entry(std::string path, std::uint16_t product, std::uint16_t page,
                          std::uint16_t usage, int interfaceNumber) {
    return {std::move(path), 0x0C45, product, 0x0105, page, usage, interfaceNumber};
}

TEST(HidEnumerationTest, OneEntryPerCollectionOfEachNode) {
    const std::vector<EnumeratedInterface> entries{
        // hidapi lists the keyboard's node twice (it knows the collections too); we list it
        // once per collection from the descriptor.
        entry("/dev/hidraw1", 0x8611, 0xFF1C, 0x92, 1),
        entry("/dev/hidraw1", 0x8611, 0x000C, 0x01, 1),
        entry("/dev/hidraw0", 0x8611, 0x0001, 0x02, 0),
    };
    std::map<std::string, Bytes> descriptors{{"/dev/hidraw1", kTwoCollections},
                                             {"/dev/hidraw0", kMouseOnly}};
    const auto infos = interfacesFromEnumeration(
        entries,
        [&](const std::string& path) -> std::optional<Bytes> { return descriptors[path]; });

    ASSERT_EQ(infos.size(), 3u);
    EXPECT_EQ(infos[0].path, "/dev/hidraw1");
    EXPECT_EQ(infos[0].usagePage, 0xFF1C);
    EXPECT_EQ(infos[0].usage, 0x92);
    EXPECT_EQ(infos[0].collectionNumber, 1);
    EXPECT_EQ(infos[0].interfaceNumber, 1);
    EXPECT_EQ(infos[0].versionNumber, 0x0105);
    EXPECT_EQ(infos[0].vendorId, 0x0C45);
    EXPECT_EQ(infos[0].productId, 0x8611);
    EXPECT_EQ(infos[1].usagePage, 0x000C);
    EXPECT_EQ(infos[1].collectionNumber, 2);
    EXPECT_EQ(infos[2].path, "/dev/hidraw0");
    EXPECT_EQ(infos[2].collectionNumber, 0);

    // Exactly one of them is the keyboard commander's, one the keyboard consumer listener's.
    using device::InterfaceRole;
    EXPECT_TRUE(device::matchesInterface(InterfaceRole::KeyboardCommander, infos[0]));
    EXPECT_TRUE(device::matchesInterface(InterfaceRole::KeyboardConsumerListener, infos[1]));
    EXPECT_FALSE(device::matchesInterface(InterfaceRole::KeyboardCommander, infos[1]));
    EXPECT_FALSE(device::matchesInterface(InterfaceRole::KeyboardCommander, infos[2]));
}

TEST(HidEnumerationTest, UnreadableOrBrokenDescriptorKeepsEnumerationView) {
    const std::vector<EnumeratedInterface> entries{
        entry("/dev/hidraw4", 0x5523, 0xFF1C, 0x92, -1),
        entry("/dev/hidraw4", 0x5523, 0x000C, 0x01, -1),
        entry("/dev/hidraw5", 0x5104, 0xFF1C, 0x92, 2),
    };
    const auto infos = interfacesFromEnumeration(entries, [](const std::string& path) {
        return path == "/dev/hidraw5" ? std::optional<Bytes>(Bytes{0xC0}) : std::nullopt;
    });
    ASSERT_EQ(infos.size(), 3u);
    EXPECT_EQ(infos[0].usagePage, 0xFF1C);
    EXPECT_EQ(infos[0].collectionNumber, 1);
    EXPECT_EQ(infos[0].interfaceNumber, 0);
    EXPECT_EQ(infos[1].usagePage, 0x000C);
    EXPECT_EQ(infos[1].collectionNumber, 2);
    EXPECT_EQ(infos[2].usagePage, 0xFF1C);
    EXPECT_EQ(infos[2].collectionNumber, 0);
    EXPECT_EQ(infos[2].interfaceNumber, 2);
}

TEST(HidEnumerationTest, SysfsPathOnlyForHidrawNodes) {
    EXPECT_EQ(sysfsDescriptorPath("/dev/hidraw12"),
              "/sys/class/hidraw/hidraw12/device/report_descriptor");
    EXPECT_EQ(sysfsDescriptorPath("/dev/hidraw"), "");
    EXPECT_EQ(sysfsDescriptorPath("/dev/hidraw1/../../etc"), "");
    EXPECT_EQ(sysfsDescriptorPath("1-2:1.0"), "");
}

TEST(HidEnumerationTest, DescriptorFileIsReadUpToTheLargestSize) {
    const auto file = std::filesystem::temp_directory_path() /
                      ("korvane_descriptor_" + std::to_string(::getpid()));
    {
        std::ofstream out(file, std::ios::binary);
        out << std::string(5000, '\x05');
    }
    const auto bytes = readDescriptorFile(file.string());
    std::filesystem::remove(file);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->size(), 4096u);
    EXPECT_FALSE(readDescriptorFile(file.string()));
}

}  // namespace
}  // namespace korvane::backends
