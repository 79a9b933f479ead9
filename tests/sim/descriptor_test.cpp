#include <gtest/gtest.h>

#include <array>

#include "core/device/report_descriptor.h"
#include "sim/report_descriptors.h"
#include "sim/sim_harness.h"

namespace korvane::sim {
namespace {

using namespace std::chrono_literals;

TEST(SimDescriptors, VendorCollectionCarries64ByteReportsOfId4) {
    const auto parsed = device::parseReportDescriptor(kVendorReportDescriptor);
    ASSERT_TRUE(parsed.has_value());
    ASSERT_EQ(parsed->collections.size(), 1u);
    const auto& collection = parsed->collections[0];
    EXPECT_EQ(collection.usagePage, kVendorUsagePage);
    EXPECT_EQ(collection.usage, kVendorUsage);
    EXPECT_EQ(collection.inputReportLength, kVendorReportSize);
    for (const auto& field : collection.fields) {
        EXPECT_EQ(field.reportId, kVendorReportId);
        EXPECT_EQ(field.reportSize * field.reportCount, 63u * 8);
    }
}

// With another answer ID the input report moves to it and the output report stays on 4.
TEST(SimDescriptors, AnswerIdMovesOnlyTheInputReport) {
    const auto parsed = device::parseReportDescriptor(vendorReportDescriptor(5));
    ASSERT_TRUE(parsed.has_value());
    ASSERT_EQ(parsed->collections.size(), 1u);
    const auto& collection = parsed->collections[0];
    EXPECT_EQ(collection.usagePage, 0xFF1C);
    EXPECT_EQ(collection.usage, 0x0092);
    ASSERT_EQ(collection.fields.size(), 2u);
    for (const auto& field : collection.fields) {
        EXPECT_EQ(field.reportId, field.type == device::HidReportType::Input ? 5 : 4);
        EXPECT_EQ(field.reportSize * field.reportCount, 63u * 8);
    }
    EXPECT_EQ(vendorReportDescriptor(4), std::vector<std::uint8_t>(kVendorReportDescriptor.begin(),
                                                                   kVendorReportDescriptor.end()));
}

// What the mouse's consumer listener does with a report it reads: the first usage of the
// first data item is the event code.
TEST(SimDescriptors, ConsumerReportsDecodeToTheirEventCodes) {
    const auto parsed = device::parseReportDescriptor(kConsumerReportDescriptor);
    ASSERT_TRUE(parsed.has_value());
    ASSERT_EQ(parsed->collections.size(), 1u);
    const auto& collection = parsed->collections[0];
    EXPECT_EQ(collection.usagePage, kConsumerUsagePage);
    EXPECT_EQ(collection.usage, kConsumerUsage);
    EXPECT_EQ(collection.inputReportLength, kConsumerReportSize);

    testing::SimRig rig(device::DeviceKind::Mouse2);
    auto consumer = rig.openInterface(SimInterface::Consumer);
    ASSERT_NE(consumer, nullptr);
    for (const std::uint16_t code : {0x0401, 0x0402, 0x0403}) {
        rig.device->emitConsumer(code);
        std::array<std::uint8_t, 16> report{};
        std::size_t n = 0;
        ASSERT_EQ(consumer->read(report, 1000ms, n), device::HidReadStatus::Ok);
        auto items = device::buildInputDataItems(collection);
        ASSERT_FALSE(items.empty());
        ASSERT_TRUE(device::DecodeInputReport(collection, items,
                                              std::span<const std::uint8_t>(report).first(n)));
        ASSERT_TRUE(items[0].isButton);
        ASSERT_FALSE(items[0].usages.empty());
        EXPECT_EQ(items[0].usages[0], code);
    }
}

}  // namespace
}  // namespace korvane::sim
