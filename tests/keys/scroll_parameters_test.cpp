#include "core/keys/scroll_parameters.h"

#include <gtest/gtest.h>

namespace korvane::keys {
namespace {

struct ScrollCase {
    const char* name;
    KeyFunction record;
    ScrollSetting setting;
};

class ScrollRoundTrip : public testing::TestWithParam<ScrollCase> {};

TEST_P(ScrollRoundTrip, EncodesAndReadsBack) {
    const auto& c = GetParam();
    const auto encoded = c.record.type == KeyFunctionType::kVerticalScroll
                             ? encodeVerticalScroll(c.setting)
                             : encodeHorizontalScroll(c.setting);
    EXPECT_EQ(encoded, c.record);
    const auto decoded = decodeScroll(c.record);
    EXPECT_EQ(decoded.highNibble, c.setting.highNibble);
    EXPECT_EQ(decoded.lowNibble, c.setting.lowNibble);
    EXPECT_EQ(decoded.direction, c.setting.direction);
    EXPECT_EQ(decoded.amount, c.setting.amount);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScrollRoundTrip,
    testing::Values(ScrollCase{"VerticalDown5", {0x12, 0x00, 0xFB}, {0, 0, 1, 5}},
                    ScrollCase{"VerticalUp5", {0x12, 0x00, 0x05}, {0, 0, 0, 5}},
                    ScrollCase{"VerticalDown127", {0x12, 0x00, 0x81}, {0, 0, 1, 127}},
                    ScrollCase{"HorizontalRight5", {0x11, 0x00, 0x85}, {0, 0, 1, 5}},
                    ScrollCase{"HorizontalLeft127", {0x11, 0x00, 0x7F}, {0, 0, 0, 127}},
                    ScrollCase{"Nibbles", {0x11, 0xA3, 0x01}, {10, 3, 0, 1}},
                    ScrollCase{"NibblesVertical", {0x12, 0xF0, 0x00}, {15, 0, 0, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ScrollParameters, OutOfRangeValuesAreClamped) {
    EXPECT_EQ(encodeHorizontalScroll({16, -1, 1, 300}), (KeyFunction{0x11, 0xF0, 0xFF}));
    EXPECT_EQ(encodeVerticalScroll({0, 99, 1, 300}), (KeyFunction{0x12, 0x0F, 0x81}));
    EXPECT_EQ(encodeVerticalScroll({0, 0, 0, -4}), (KeyFunction{0x12, 0x00, 0x00}));
}

TEST(ScrollParameters, VerticalRecordsFromElsewhereReadBackWithinRange) {
    // 0x80 is not produced by the editor; it reads as the largest downward amount.
    const auto s = decodeScroll({0x12, 0x00, 0x80});
    EXPECT_EQ(s.direction, 1);
    EXPECT_EQ(s.amount, 128);
    // Down by zero is stored as up by zero.
    EXPECT_EQ(encodeVerticalScroll({0, 0, 1, 0}).p2, 0);
}

}  // namespace
}  // namespace korvane::keys
