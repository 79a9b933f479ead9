#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "core/device/answer_pairing.h"
#include "support/recorded_descriptors.h"

namespace korvane::device {
namespace {

// A request as the commands build it: report ID 4, code, length, 16-bit offset.
Report64 request(std::uint8_t code, std::uint8_t length, std::uint16_t offset) {
    Report64 r;
    r.bytes[0] = 0x04;
    r.bytes[3] = code;
    r.bytes[4] = length;
    r.bytes[5] = static_cast<std::uint8_t>(offset & 0xFF);
    r.bytes[6] = static_cast<std::uint8_t>(offset >> 8);
    return r;
}

struct PairingCase {
    const char* name;
    Report64 request;
    Report64 answer;
    bool belongs;
};

void PrintTo(const PairingCase& c, std::ostream* os) {
    *os << c.name;
}

class AnswerPairing : public ::testing::TestWithParam<PairingCase> {};

TEST_P(AnswerPairing, FollowsTheEchoedHeader) {
    const auto& c = GetParam();
    Report64 answer = c.answer;
    answer.bytes[7] = 0x00;  // the status never matters
    answer.bytes[8] = 0x5A;  // nor the data
    answer.bytes[1] = 0x33;  // nor the checksum
    EXPECT_EQ(AnswerBelongsTo(c.request, answer), c.belongs);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AnswerPairing,
    ::testing::Values(
        PairingCase{"WholeHeaderEchoed", request(0x07, 56, 56), request(0x07, 56, 56), true},
        PairingCase{"LastChunkEchoed", request(0x12, 42, 336), request(0x12, 42, 336), true},
        PairingCase{"OnlyCommandEchoed", request(0x07, 56, 112), request(0x07, 0, 0), true},
        PairingCase{"ResetEchoed", request(0x0D, 0, 0), request(0x0D, 0, 0), true},
        // A late answer to the chunk before: same command, the earlier offset.
        PairingCase{"EarlierChunk", request(0x07, 56, 56), request(0x07, 56, 0), false},
        PairingCase{"LaterChunk", request(0x12, 56, 56), request(0x12, 56, 112), false},
        PairingCase{"OtherProfileTable", request(0x08, 56, 252), request(0x08, 56, 126), false},
        PairingCase{"OtherLength", request(0x12, 42, 336), request(0x12, 56, 336), false},
        PairingCase{"OtherCommand", request(0x03, 31, 0), request(0x01, 0, 0), false},
        PairingCase{"BlankReport", request(0x01, 0, 0), Report64{}, false}),
    [](const auto& info) { return std::string(info.param.name); });

std::set<int> idsOf(const AnswerReportIds& ids) {
    std::set<int> result;
    for (int id = 0; id < 256; ++id) {
        if (ids.contains(static_cast<std::uint8_t>(id))) {
            result.insert(id);
        }
    }
    return result;
}

struct DescriptorCase {
    const char* name;
    std::vector<std::uint8_t> descriptor;
    std::set<int> ids;
};

void PrintTo(const DescriptorCase& c, std::ostream* os) {
    *os << c.name;
}

class AnswerIdsFromDescriptor : public ::testing::TestWithParam<DescriptorCase> {};

TEST_P(AnswerIdsFromDescriptor, AreTheVendorCollectionsInputIds) {
    const auto& c = GetParam();
    EXPECT_EQ(idsOf(AnswerReportIds::fromDescriptor(c.descriptor, 0xFF1C, 0x0092)), c.ids);
}

// Vendor page 0xFF1C, usage 0x92, 63-byte input and output reports.
const std::vector<std::uint8_t> kInputAndOutputUnder4{
    0x06, 0x1C, 0xFF, 0x09, 0x92, 0xA1, 0x01, 0x85, 0x04, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x75,
    0x08, 0x95, 0x3F, 0x09, 0x01, 0x81, 0x02, 0x95, 0x3F, 0x09, 0x02, 0x91, 0x02, 0xC0};
// The same with the input report under ID 6 and a feature report under ID 7.
const std::vector<std::uint8_t> kInputUnder6{
    0x06, 0x1C, 0xFF, 0x09, 0x92, 0xA1, 0x01, 0x85, 0x06, 0x15, 0x00, 0x26, 0xFF,
    0x00, 0x75, 0x08, 0x95, 0x3F, 0x09, 0x01, 0x81, 0x02, 0x85, 0x04, 0x95, 0x3F,
    0x09, 0x02, 0x91, 0x02, 0x85, 0x07, 0x95, 0x08, 0x09, 0x03, 0xB1, 0x02, 0xC0};
// A consumer collection (ID 2) in front of the vendor one (ID 4) on one node.
const std::vector<std::uint8_t> kSharedNode{
    0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x02, 0x15, 0x00, 0x26, 0xFF, 0x0F, 0x19, 0x00, 0x2A,
    0xFF, 0x0F, 0x75, 0x10, 0x95, 0x01, 0x81, 0x00, 0xC0, 0x06, 0x1C, 0xFF, 0x09, 0x92, 0xA1, 0x01,
    0x85, 0x04, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x3F, 0x09, 0x01, 0x81, 0x02, 0xC0};
// The vendor collection without report IDs.
const std::vector<std::uint8_t> kUnnumbered{0x06, 0x1C, 0xFF, 0x09, 0x92, 0xA1, 0x01,
                                            0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08,
                                            0x95, 0x40, 0x09, 0x01, 0x81, 0x02, 0xC0};

INSTANTIATE_TEST_SUITE_P(
    Cases, AnswerIdsFromDescriptor,
    ::testing::Values(DescriptorCase{"InputAndOutputUnder4", kInputAndOutputUnder4, {4}},
                      DescriptorCase{"InputUnder6", kInputUnder6, {6}},
                      DescriptorCase{"SharedNode", kSharedNode, {4}},
                      DescriptorCase{"Unnumbered", kUnnumbered, {0}},
                      // Says nothing usable: answers still come under the requests' ID.
                      DescriptorCase{"Empty", {}, {4}},
                      DescriptorCase{"Truncated", {0x06, 0x1C, 0xFF, 0x09}, {4}},
                      DescriptorCase{
                          "OnlyConsumer", {kSharedNode.begin(), kSharedNode.begin() + 25}, {4}}),
    [](const auto& info) { return std::string(info.param.name); });

// Vendor collections of real devices, with the input report IDs their recordings show.
TEST(AnswerIdsFromRecordings, AreTheInputIdsOfTheNamedCollection) {
    const std::filesystem::path dir = korvane::testing::recordedDescriptorFolder();
    if (!std::filesystem::is_directory(dir)) {
        GTEST_SKIP() << "no recordings at " << dir;
    }
    struct Recording {
        const char* file;
        std::uint16_t usagePage;
        std::uint16_t usage;
        std::set<int> ids;
    };
    const Recording recordings[] = {
        {"046D_C52F_0001_FF00.rpt_desc", 0xFF00, 0x0001, {0x10}},
        {"046D_C52F_0002_FF00.rpt_desc", 0xFF00, 0x0002, {0x11}},
        // Inputs under 1 and 2; 128 and 129 are outputs, 208 and up features.
        {"17CC_1130_0000_FF01.rpt_desc", 0xFF01, 0x0000, {1, 2}},
        // A consumer collection has no vendor collection to answer from.
        {"046D_C52F_0001_000C.rpt_desc", 0xFF00, 0x0001, {4}},
    };
    for (const auto& r : recordings) {
        SCOPED_TRACE(r.file);
        const auto bytes = korvane::testing::loadRecording(dir / r.file);
        ASSERT_TRUE(bytes.has_value());
        EXPECT_EQ(idsOf(AnswerReportIds::fromDescriptor(*bytes, r.usagePage, r.usage)), r.ids);
    }
}

}  // namespace
}  // namespace korvane::device
