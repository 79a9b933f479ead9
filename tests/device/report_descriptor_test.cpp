#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "core/device/report_descriptor.h"
#include "support/recorded_descriptors.h"

namespace korvane::device {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Recorded from real devices (tests/data has no copies: the shared folder carries them too).
const Bytes kConsumerControl{// 046D:C52F, consumer page array, report ID 3
                             0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x03, 0x75,
                             0x10, 0x95, 0x02, 0x15, 0x01, 0x26, 0x8C, 0x02, 0x19,
                             0x01, 0x2A, 0x8C, 0x02, 0x81, 0x00, 0xC0};
const Bytes kVendorCollection{// 046D:C52F, vendor page 0xFF00, report ID 0x11
                              0x06, 0x00, 0xFF, 0x09, 0x02, 0xA1, 0x01, 0x85, 0x11,
                              0x75, 0x08, 0x95, 0x13, 0x15, 0x00, 0x26, 0xFF, 0x00,
                              0x09, 0x02, 0x81, 0x00, 0x09, 0x02, 0x91, 0x00, 0xC0};
const Bytes kBootKeyboard{// 046A:0011, no report IDs
                          0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x05, 0x07, 0x19, 0xE0, 0x29,
                          0xE7, 0x15, 0x00, 0x25, 0x01, 0x75, 0x01, 0x95, 0x08, 0x81, 0x02,
                          0x75, 0x08, 0x95, 0x01, 0x81, 0x03, 0x19, 0x00, 0x29, 0xDD, 0x15,
                          0x00, 0x26, 0xDD, 0x00, 0x75, 0x08, 0x95, 0x06, 0x81, 0x00, 0x05,
                          0x08, 0x19, 0x01, 0x29, 0x03, 0x15, 0x00, 0x25, 0x01, 0x75, 0x01,
                          0x95, 0x03, 0x91, 0x02, 0x75, 0x05, 0x95, 0x01, 0x91, 0x03, 0xC0};
const Bytes kMouse{// 046D:C077, 3 buttons in 8 bits, relative X/Y/wheel
                   0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x09, 0x01, 0xA1, 0x00, 0x05, 0x09,
                   0x19, 0x01, 0x29, 0x03, 0x15, 0x00, 0x25, 0x01, 0x95, 0x08, 0x75, 0x01,
                   0x81, 0x02, 0x05, 0x01, 0x09, 0x30, 0x09, 0x31, 0x09, 0x38, 0x15, 0x81,
                   0x25, 0x7F, 0x75, 0x08, 0x95, 0x03, 0x81, 0x06, 0xC0, 0xC0};
const Bytes kHeadsetConsumer{// 047F:C056, variable consumer bits, several report IDs
                             0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x01, 0x15, 0x00, 0x25, 0x01,
                             0x09, 0xE9, 0x09, 0xEA, 0x75, 0x01, 0x95, 0x02, 0x81, 0x06, 0x95, 0x06,
                             0x81, 0x01, 0x85, 0x02, 0x05, 0x0C, 0x09, 0x00, 0x95, 0x10, 0x81, 0x02,
                             0x85, 0x04, 0x09, 0x00, 0x75, 0x08, 0x95, 0x24, 0x91, 0x02, 0x85, 0x05,
                             0x09, 0x00, 0x95, 0x20, 0x81, 0x02, 0x85, 0x06, 0x09, 0x00, 0x95, 0x24,
                             0x91, 0x02, 0x85, 0x07, 0x09, 0x00, 0x95, 0x20, 0x81, 0x02, 0xC0};
// The family's own layout: a vendor collection of 63-byte reports with ID 4 and a consumer
// collection on the same interface.
const Bytes kFamilyInterface{0x06, 0x1C, 0xFF, 0x09, 0x92, 0xA1, 0x01, 0x85, 0x04, 0x15, 0x00,
                             0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x3F, 0x09, 0x92, 0x81, 0x02,
                             0x09, 0x92, 0x91, 0x02, 0xC0, 0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01,
                             0x85, 0x03, 0x15, 0x00, 0x26, 0xFF, 0x0F, 0x19, 0x00, 0x2A, 0xFF,
                             0x0F, 0x75, 0x10, 0x95, 0x01, 0x81, 0x00, 0xC0};

struct Expected {
    bool isButton;
    std::uint16_t usagePage;
    std::uint16_t usageOrMinimum;
    std::uint16_t maximum;          // buttons
    std::vector<std::uint16_t> on;  // buttons: usages on, in order
    std::uint32_t raw;              // values
    std::int32_t scaled;
    bool set = true;  // false: the item belongs to another report
};

struct DecodeCase {
    std::string name;
    Bytes descriptor;
    std::size_t collection;
    std::uint16_t usagePage;
    std::uint16_t usage;
    std::size_t inputReportLength;
    Bytes report;
    std::vector<Expected> items;  // every input data item, in order
};

class DescriptorDecodeTest : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DescriptorDecodeTest, CollectionItemsAndDecodedReport) {
    const DecodeCase& k = GetParam();
    const auto parsed = parseReportDescriptor(k.descriptor);
    ASSERT_TRUE(parsed);
    ASSERT_GT(parsed->collections.size(), k.collection);
    const HidCollection& c = parsed->collections[k.collection];
    EXPECT_EQ(c.usagePage, k.usagePage);
    EXPECT_EQ(c.usage, k.usage);
    EXPECT_EQ(c.inputReportLength, k.inputReportLength);

    auto items = buildInputDataItems(c);
    ASSERT_EQ(items.size(), k.items.size());
    ASSERT_TRUE(DecodeInputReport(c, items, k.report));
    for (std::size_t i = 0; i < items.size(); ++i) {
        SCOPED_TRACE("item " + std::to_string(i));
        const Expected& e = k.items[i];
        const HidDataItem& item = items[i];
        EXPECT_EQ(item.isButton, e.isButton);
        EXPECT_EQ(item.usagePage, e.usagePage);
        EXPECT_EQ(item.isSet, e.set);
        if (!e.set) {
            continue;
        }
        if (e.isButton) {
            EXPECT_EQ(item.usageMinimum, e.usageOrMinimum);
            EXPECT_EQ(item.usageMaximum, e.maximum);
            ASSERT_GE(item.usages.size(), e.on.size());
            EXPECT_TRUE(std::equal(e.on.begin(), e.on.end(), item.usages.begin()));
            if (item.usages.size() > e.on.size()) {
                EXPECT_EQ(item.usages[e.on.size()], 0) << "list not ended";
            }
        } else {
            EXPECT_EQ(item.usage, e.usageOrMinimum);
            EXPECT_EQ(item.rawValue, e.raw);
            EXPECT_EQ(item.scaledValue, e.scaled);
            EXPECT_EQ(item.status, HidDecodeStatus::Ok);
        }
    }
}

Expected button(std::uint16_t page, std::uint16_t min, std::uint16_t max,
                std::vector<std::uint16_t> on) {
    return {true, page, min, max, std::move(on), 0, 0};
}
Expected value(std::uint16_t page, std::uint16_t usage, std::uint32_t raw, std::int32_t scaled) {
    return {false, page, usage, 0, {}, raw, scaled};
}
Expected otherReport(bool isButton, std::uint16_t page) {
    return {isButton, page, 0, 0, {}, 0, 0, false};
}

INSTANTIATE_TEST_SUITE_P(
    RealDescriptors, DescriptorDecodeTest,
    ::testing::Values(DecodeCase{"ConsumerControl",
                                 kConsumerControl,
                                 0,
                                 0x0C,
                                 0x01,
                                 5,
                                 Bytes{0x03, 0xE9, 0x00, 0x8A, 0x01},  // volume up + mail
                                 {button(0x0C, 0x01, 0x28C, {0xE9, 0x18A})}},
                      DecodeCase{"ConsumerControlOutOfRangeSlot",
                                 kConsumerControl,
                                 0,
                                 0x0C,
                                 0x01,
                                 5,
                                 Bytes{0x03, 0x00, 0x00, 0xFF, 0x7F},
                                 {button(0x0C, 0x01, 0x28C, {})}},
                      DecodeCase{"VendorCollection",
                                 kVendorCollection,
                                 0,
                                 0xFF00,
                                 0x02,
                                 20,
                                 [] {  // slot 3 holds index 0 (the one usage); index 7 names none
                                     Bytes r(20, 0x07);
                                     r[0] = 0x11;
                                     r[4] = 0x00;
                                     return r;
                                 }(),
                                 {button(0xFF00, 0x02, 0x02, {0x02})}},
                      DecodeCase{"BootKeyboard",
                                 kBootKeyboard,
                                 0,
                                 0x01,
                                 0x06,
                                 9,
                                 Bytes{0x00, 0x22, 0x00, 0x04, 0x05, 0x00, 0x00, 0x00,
                                       0x00},  // shifts + a, b
                                 {button(0x07, 0xE0, 0xE7, {0xE1, 0xE5}),
                                  button(0x07, 0x00, 0xDD, {0x04, 0x05})}},
                      DecodeCase{
                          "MouseButtonsAndMotion",
                          kMouse,
                          0,
                          0x01,
                          0x02,
                          5,
                          Bytes{0x00, 0xE5, 0x10, 0xF0, 0x01},  // buttons 1, 3; padding bits set
                          {button(0x09, 1, 3, {1, 3}), value(0x01, 0x30, 0x10, 16),
                           value(0x01, 0x31, 0xF0, -16), value(0x01, 0x38, 0x01, 1)}},
                      DecodeCase{
                          "HeadsetVolumeBits",
                          kHeadsetConsumer,
                          0,
                          0x0C,
                          0x01,
                          33,
                          Bytes{0x01, 0x02},  // volume decrement
                          {button(0x0C, 0xE9, 0xE9, {}), button(0x0C, 0xEA, 0xEA, {0xEA}),
                           otherReport(true, 0x0C), otherReport(false, 0x0C),
                           otherReport(false, 0x0C)}},
                      DecodeCase{"FamilyVendorCollection",
                                 kFamilyInterface,
                                 0,
                                 0xFF1C,
                                 0x92,
                                 64,
                                 [] {
                                     Bytes r(64, 0);
                                     r[0] = 0x04;
                                     r[1] = 0xAB;
                                     return r;
                                 }(),
                                 {value(0xFF1C, 0x92, 0xAB, 0xAB)}},
                      DecodeCase{"FamilyConsumerCollection",
                                 kFamilyInterface,
                                 1,
                                 0x0C,
                                 0x01,
                                 3,
                                 Bytes{0x03, 0xCD, 0x00},
                                 {button(0x0C, 0x00, 0xFFF, {0xCD})}}),
    [](const auto& info) { return info.param.name; });

TEST(DescriptorDecodeTest, ReportsOfOtherIdsLeaveItemsAlone) {
    const auto parsed = parseReportDescriptor(kFamilyInterface);
    ASSERT_TRUE(parsed);
    auto items = buildInputDataItems(parsed->collections[1]);
    ASSERT_TRUE(DecodeInputReport(parsed->collections[1], items, Bytes(64, 0x04)));
    EXPECT_FALSE(items[0].isSet);
}

TEST(DescriptorDecodeTest, ShortReportStopsAtValue) {
    const auto parsed = parseReportDescriptor(kMouse);
    ASSERT_TRUE(parsed);
    auto items = buildInputDataItems(parsed->collections[0]);
    EXPECT_FALSE(DecodeInputReport(parsed->collections[0], items, Bytes{0x00, 0x01, 0x05}));
    EXPECT_EQ(items[1].status, HidDecodeStatus::Ok);  // X fits
    EXPECT_EQ(items[2].status, HidDecodeStatus::ReportTooShort);
    EXPECT_FALSE(items[3].isSet);
    EXPECT_FALSE(DecodeInputReport(parsed->collections[0], items, Bytes{}));
}

TEST(DescriptorDecodeTest, ValueOutsideLogicalRangeHasNoScaledValue) {
    const auto parsed = parseReportDescriptor(kMouse);
    ASSERT_TRUE(parsed);
    auto items = buildInputDataItems(parsed->collections[0]);
    ASSERT_TRUE(DecodeInputReport(parsed->collections[0], items, Bytes{0x00, 0x00, 0x80, 0, 0}));
    EXPECT_EQ(items[1].rawValue, 0x80u);  // -128 is below -127
    EXPECT_EQ(items[1].status, HidDecodeStatus::ValueOutOfRange);
}

TEST(ReportDescriptorTest, TwoTopLevelCollectionsOnOneInterface) {
    const auto parsed = parseReportDescriptor(kFamilyInterface);
    ASSERT_TRUE(parsed);
    ASSERT_EQ(parsed->collections.size(), 2u);
    EXPECT_TRUE(parsed->usesReportIds);
    const HidReportField& out = parsed->collections[0].fields.at(1);
    EXPECT_EQ(out.type, HidReportType::Output);
    EXPECT_EQ(out.reportId, 4);
    EXPECT_EQ(out.reportCount, 63u);
    EXPECT_FALSE(out.isArray());
}

TEST(ReportDescriptorTest, BitOffsetsFollowEachReport) {
    const auto parsed = parseReportDescriptor(kHeadsetConsumer);
    ASSERT_TRUE(parsed);
    const auto& fields = parsed->collections[0].fields;
    ASSERT_EQ(fields.size(), 7u);
    EXPECT_EQ(fields[1].bitOffset, 2u);  // the constant padding after two bits of report 1
    EXPECT_TRUE(fields[1].isConstant());
    EXPECT_EQ(fields[2].bitOffset, 0u);  // report 2 starts over
    EXPECT_FALSE(parseReportDescriptor(kBootKeyboard)->usesReportIds);
}

TEST(ReportDescriptorTest, ExtendedUsagesAndPushPop) {
    const Bytes d{0x05, 0x01, 0x0B, 0x01, 0x00, 0x0C, 0x00,  // Usage (Consumer Control), 4 bytes
                  0xA1, 0x01, 0x75, 0x08, 0xA4,              // Collection, size 8, Push
                  0x05, 0x09, 0x19, 0x01, 0x29, 0x02, 0x15, 0x00,
                  0x25, 0x01, 0x75, 0x01, 0x95, 0x02, 0x81, 0x02,  // two buttons
                  0xB4,                                            // Pop: page 1, size 8 again
                  0x09, 0x30, 0x95, 0x01, 0x81, 0x02, 0xC0};
    const auto parsed = parseReportDescriptor(d);
    ASSERT_TRUE(parsed);
    const HidCollection& c = parsed->collections.at(0);
    EXPECT_EQ(c.usagePage, 0x0C);
    EXPECT_EQ(c.usage, 0x01);
    ASSERT_EQ(c.fields.size(), 2u);
    EXPECT_EQ(c.fields[0].usages.at(0).minimum, 0x00090001u);
    EXPECT_EQ(c.fields[1].usages.at(0).minimum, 0x00010030u);
    EXPECT_EQ(c.fields[1].reportSize, 8u);
    EXPECT_EQ(c.fields[1].bitOffset, 2u);
}

struct MalformedCase {
    std::string name;
    Bytes bytes;
};

class MalformedDescriptorTest : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedDescriptorTest, IsRefused) {
    EXPECT_FALSE(parseReportDescriptor(GetParam().bytes));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MalformedDescriptorTest,
    ::testing::Values(MalformedCase{"ItemPastEnd", {0x05, 0x01, 0x26, 0xFF}},
                      MalformedCase{"ReportIdZero", {0x85, 0x00}},
                      MalformedCase{"PopWithoutPush", {0xB4}},
                      MalformedCase{"EndWithoutCollection", {0xC0}},
                      MalformedCase{"HugeReportCount", {0x97, 0xFF, 0xFF, 0xFF, 0x7F}},
                      MalformedCase{"HugeReportSize", {0x76, 0x00, 0x10}},
                      MalformedCase{"LongItemPastEnd", {0xFE, 0x05, 0x00, 0x01}},
                      MalformedCase{"ReportLongerThanAnyDevice",
                                    {0xA1, 0x01, 0x75, 0xFF, 0x96, 0x00, 0x10, 0x81, 0x02, 0x81,
                                     0x02, 0x81, 0x02}}),
    [](const auto& info) { return info.param.name; });

TEST(ReportDescriptorTest, EmptyAndLongItemsAreAccepted) {
    const auto empty = parseReportDescriptor({});
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->collections.empty());
    const Bytes withLong{0xFE, 0x02, 0x10, 0xAA, 0xBB, 0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0xC0};
    const auto parsed = parseReportDescriptor(withLong);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->collections.at(0).usagePage, 0x0C);
}

// ---- the shared recordings ----------------------------------------------------------------

TEST(RecordedDescriptorsTest, EveryReadableRecordingParsesToItsCollection) {
    const std::filesystem::path dir = korvane::testing::recordedDescriptorFolder();
    if (!std::filesystem::is_directory(dir)) {
        GTEST_SKIP() << "no recordings at " << dir;
    }
    std::vector<std::string> checked;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (entry.path().extension() != ".rpt_desc") {
            continue;
        }
        const auto bytes = korvane::testing::loadRecording(entry.path());
        if (!bytes) {
            continue;
        }
        // Named VID_PID_USAGE_USAGEPAGE (the usage comes first: 046D_C52F_0001_000C is
        // consumer control).
        const std::string name = entry.path().stem().string();
        SCOPED_TRACE(name);
        const auto usage = static_cast<std::uint16_t>(std::stoul(name.substr(10, 4), nullptr, 16));
        const auto page = static_cast<std::uint16_t>(std::stoul(name.substr(15, 4), nullptr, 16));
        const auto parsed = parseReportDescriptor(*bytes);
        ASSERT_TRUE(parsed);
        const auto found = std::find_if(
            parsed->collections.begin(), parsed->collections.end(),
            [&](const HidCollection& c) { return c.usagePage == page && c.usage == usage; });
        ASSERT_NE(found, parsed->collections.end());
        auto items = buildInputDataItems(*found);
        std::vector<std::uint8_t> report(found->inputReportLength, 0xFF);
        for (const auto& item : items) {
            report[0] = item.reportId;
            (void)DecodeInputReport(*found, items, report);
        }
        checked.push_back(name);
    }
    // The recordings this suite is known to read; others may be in layouts it skips.
    for (const char* known : {"046D_C52F_0001_000C", "046D_C077_0002_0001", "046A_0011_0006_0001",
                              "045E_02FF_0005_0001", "17CC_1130_0000_FF01"}) {
        EXPECT_NE(std::find(checked.begin(), checked.end(), known), checked.end()) << known;
    }
}

}  // namespace
}  // namespace korvane::device
