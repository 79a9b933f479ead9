#include "core/keys/send_key_table.h"

#include <gtest/gtest.h>

#include <memory>

#include "core/keys/factory_tables.h"
#include "device/fake_hid.h"

namespace korvane::keys {
namespace {

using device::CommandCode;
using device::testing::FakeHidHandle;
using device::testing::ForwardingHandle;

class SendKeyTableTest : public testing::Test {
  protected:
    void SetUp() override {
        commander_.attach(std::make_unique<ForwardingHandle>(fake_));
        commander_.setConnected(true);
        commander_.setSleepFunction([](std::chrono::milliseconds) {});
    }

    // The bytes of every WriteProfileTable report, in order, with their offset fields.
    std::vector<std::uint8_t> writtenTable(std::vector<std::uint16_t>& offsets) const {
        std::vector<std::uint8_t> bytes;
        for (const auto& r : fake_->written()) {
            if (r.command() == static_cast<std::uint8_t>(CommandCode::WriteProfileTable)) {
                offsets.push_back(r.offset());
                bytes.insert(bytes.end(), r.data().begin(), r.data().begin() + r.length());
            }
        }
        return bytes;
    }

    std::vector<std::uint8_t> commands() const {
        std::vector<std::uint8_t> codes;
        for (const auto& r : fake_->written()) {
            codes.push_back(r.command());
        }
        return codes;
    }

    std::shared_ptr<FakeHidHandle> fake_ = std::make_shared<FakeHidHandle>();
    device::DeviceCommander commander_;
};

TEST_F(SendKeyTableTest, KeyboardOf104KeysGets312BytesInOneTransfer) {
    KeyTables tables(KeyClass::Keyboard);
    ASSERT_TRUE(tables.setBaseTable(FactoryBaseTable(device::DeviceKind::MonoKeyboard), 104));
    commander_.setTableLength(static_cast<std::uint16_t>(tables.wireLength()));
    KeyTable& live = *tables.profileTable(3);
    live.records[0] = {0x70, 1, 2};
    live.records[103] = {0x30, 0xE9, 0x00};
    live.records[104] = {0x11, 0x11, 0x11};  // beyond the key count: not sent

    EXPECT_EQ(SendKeyTable(commander_, tables, 3), device::kResultDone);

    const auto codes = commands();
    ASSERT_GE(codes.size(), 3u);
    EXPECT_EQ(codes.front(), static_cast<std::uint8_t>(CommandCode::BeginTransfer));
    EXPECT_EQ(codes.back(), static_cast<std::uint8_t>(CommandCode::EndTransfer));
    std::vector<std::uint16_t> offsets;
    const auto sent = writtenTable(offsets);
    ASSERT_EQ(sent.size(), 312u);
    const auto expected = live.toBytes();
    EXPECT_TRUE(std::equal(sent.begin(), sent.end(), expected.begin()));
    ASSERT_FALSE(offsets.empty());
    EXPECT_EQ(offsets.front(), 3 * 126);
}

TEST_F(SendKeyTableTest, MouseGetsTheWhole512Bytes) {
    KeyTables tables(KeyClass::Mouse);
    tables.profileTable(0)->records[5] = {0x72, 2, 0};
    tables.profileTable(0)->reserved = {0xAB, 0xCD};
    EXPECT_EQ(SendKeyTable(commander_, tables, 0), device::kResultDone);
    std::vector<std::uint16_t> offsets;
    const auto sent = writtenTable(offsets);
    ASSERT_EQ(sent.size(), 512u);
    const auto expected = tables.profileTable(0)->toBytes();
    EXPECT_TRUE(std::equal(sent.begin(), sent.end(), expected.begin()));
}

TEST_F(SendKeyTableTest, ProfileOutOfRangeSendsNothing) {
    KeyTables tables(KeyClass::Mouse);
    EXPECT_EQ(SendKeyTable(commander_, tables, 5), device::kResultBadProfileIndex);
    EXPECT_EQ(SendKeyTable(commander_, tables, -1), device::kResultBadProfileIndex);
    EXPECT_TRUE(fake_->written().empty());
}

TEST_F(SendKeyTableTest, DeviceErrorIsReported) {
    fake_->setResponder([](const device::Report64& request, int) {
        const bool write =
            request.command() == static_cast<std::uint8_t>(CommandCode::WriteProfileTable);
        return device::testing::Reaction{
            true, {device::testing::answerTo(request, write ? device::kStatusFE : 0)}};
    });
    KeyTables tables(KeyClass::Mouse);
    EXPECT_EQ(SendKeyTable(commander_, tables, 1), device::kResultStatusFE);
    // The transfer is still closed.
    EXPECT_EQ(commands().back(), static_cast<std::uint8_t>(CommandCode::EndTransfer));
}

TEST_F(SendKeyTableTest, DisconnectedDeviceGetsNothing) {
    commander_.setConnected(false);
    KeyTables tables(KeyClass::Mouse);
    EXPECT_EQ(SendKeyTable(commander_, tables, 0), device::kResultNotDone);
    EXPECT_TRUE(fake_->written().empty());
}

}  // namespace
}  // namespace korvane::keys
