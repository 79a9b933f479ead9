#include <gtest/gtest.h>

#include <numeric>
#include <optional>
#include <vector>

#include "sim/firmware.h"

namespace korvane::sim {
namespace {

using device::DeviceKind;

struct OffsetCase {
    std::uint16_t field;
    std::size_t length;
    std::optional<ProfileChunk> expected;
};

void PrintTo(const OffsetCase& c, std::ostream* os) {
    *os << "field " << c.field << " length " << c.length;
}

class ProfileOffsetTable : public ::testing::TestWithParam<OffsetCase> {};

TEST_P(ProfileOffsetTable, Decodes) {
    EXPECT_EQ(decodeProfileOffset(GetParam().field, GetParam().length), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, ProfileOffsetTable,
    ::testing::Values(
        OffsetCase{0, 56, ProfileChunk{0, 0}}, OffsetCase{252, 56, ProfileChunk{2, 0}},
        OffsetCase{756, 8, ProfileChunk{2, 504}},
        // 504 is both profile 0's last chunk and profile 4's first one; a full
        // chunk cannot start at 504, so it is profile 4.
        OffsetCase{504, 56, ProfileChunk{4, 0}}, OffsetCase{504, 8, ProfileChunk{0, 504}},
        OffsetCase{504, 6, ProfileChunk{0, 504}}, OffsetCase{1008, 8, ProfileChunk{4, 504}},
        OffsetCase{126 + 448, 56, ProfileChunk{1, 448}},
        OffsetCase{57, 56, std::nullopt},     // not a chunk start
        OffsetCase{1009, 8, std::nullopt},    // past profile 4
        OffsetCase{0, 57, std::nullopt},      // longer than a chunk
        OffsetCase{600, 56, std::nullopt}));  // 600 - 126·i is never a start

// Builds a request as the host does.
Report request(std::uint8_t code, std::uint8_t length, std::uint16_t offset,
               std::vector<std::uint8_t> data = {}) {
    Report r{};
    r[0] = 0x04;
    r[3] = code;
    r[4] = length;
    r[5] = static_cast<std::uint8_t>(offset & 0xFF);
    r[6] = static_cast<std::uint8_t>(offset >> 8);
    std::copy(data.begin(), data.end(), r.begin() + 8);
    const auto sum = requestChecksum(r);
    r[1] = static_cast<std::uint8_t>(sum & 0xFF);
    r[2] = static_cast<std::uint8_t>(sum >> 8);
    return r;
}

class FirmwareTest : public ::testing::Test {
  protected:
    Firmware keyboard_{makeFactoryImage(DeviceKind::RgbKeyboard, {})};
    Firmware mouse_{makeFactoryImage(DeviceKind::Mouse, {})};
    Firmware pad_{makeFactoryImage(DeviceKind::MousePad, {})};
};

TEST_F(FirmwareTest, WrongChecksumIsCountedAndRefused) {
    auto r = request(command::kWriteSettings, 2, 0, {3, 9});
    r[1] ^= 1;
    const auto answer = keyboard_.handle(r);
    EXPECT_EQ(answer[7], kStatusRejected);
    EXPECT_EQ(keyboard_.badChecksumCount(), 1u);
    EXPECT_EQ(keyboard_.activeProfile(), 0) << "a refused request changes nothing";
}

TEST_F(FirmwareTest, ResetWithoutChecksumIsValidAndRestoresTheFactory) {
    std::vector<std::uint8_t> data(56, 0xAB);
    ASSERT_EQ(mouse_.handle(request(command::kWriteProfileTable, 56, 126, data))[7], kStatusOk);
    ASSERT_EQ(mouse_.profileTable(1)[0], 0xAB);

    Report reset{};
    reset[0] = 0x04;
    reset[3] = command::kResetDevice;
    EXPECT_EQ(mouse_.handle(reset)[7], kStatusOk);
    EXPECT_EQ(mouse_.badChecksumCount(), 0u);
    EXPECT_EQ(mouse_.profileTable(1), mouse_.baseTable());
    EXPECT_EQ(mouse_.resetCount(), 1u);

    // Any other command with a zero checksum is wrong.
    Report begin{};
    begin[0] = 0x04;
    begin[3] = command::kBeginTransfer;
    EXPECT_EQ(mouse_.handle(begin)[7], kStatusRejected);
    EXPECT_EQ(mouse_.badChecksumCount(), 1u);
}

TEST_F(FirmwareTest, AnswerEchoesTheHeaderAndCarriesItsOwnChecksum) {
    const auto answer = mouse_.handle(request(command::kReadDeviceInfo, 31, 0));
    EXPECT_EQ(answer[0], 0x04);
    EXPECT_EQ(answer[3], command::kReadDeviceInfo);
    EXPECT_EQ(answer[4], 31);
    EXPECT_EQ(answer[7], kStatusOk);
    EXPECT_EQ(answer[1] | (answer[2] << 8), requestChecksum(answer));
    // Sensor identifier 0x3325 little-endian at 9..10, step and maximum at 11 and 12.
    EXPECT_EQ(answer[8 + 9], 0x25);
    EXPECT_EQ(answer[8 + 10], 0x33);
    EXPECT_EQ(answer[8 + 11], 50);
    EXPECT_EQ(answer[8 + 12], 96);
}

TEST_F(FirmwareTest, SettingsSelectTheirSlotAndBecomeActive) {
    std::vector<std::uint8_t> record(56, 0);
    record[0] = 3;
    record[1] = 7;  // mode
    record[55] = 0x5A;
    ASSERT_EQ(pad_.handle(request(command::kWriteSettings, 56, 0, record))[7], kStatusOk);
    EXPECT_EQ(pad_.activeProfile(), 3);
    EXPECT_EQ(pad_.records()[3 * 64 + 1], 7);
    EXPECT_EQ(pad_.records()[3 * 64 + 55], 0x5A);
    EXPECT_EQ(pad_.records()[4 * 64], 4) << "the next slot is untouched";

    const auto active = pad_.handle(request(command::kReadRecord, 1, 0));
    EXPECT_EQ(active[8], 3);

    record[0] = 5;
    EXPECT_EQ(pad_.handle(request(command::kWriteSettings, 56, 0, record))[7], kStatusRejected);
    EXPECT_EQ(pad_.activeProfile(), 3);
}

TEST_F(FirmwareTest, RecordReadsStayInsideTheFiveSlots) {
    EXPECT_EQ(pad_.handle(request(command::kReadRecord, 56, 256))[7], kStatusOk);
    EXPECT_EQ(pad_.handle(request(command::kReadRecord, 56, 280))[7], kStatusRejected);
    EXPECT_EQ(pad_.handle(request(command::kReadRecord, 1, 0xFFFF))[7], kStatusRejected);
}

TEST_F(FirmwareTest, FramesAreKeptByLengthAndCounted) {
    std::vector<std::uint8_t> frame(126);
    std::iota(frame.begin(), frame.end(), 0);
    for (std::size_t o = 0; o < frame.size(); o += 56) {
        const auto n = std::min<std::size_t>(56, frame.size() - o);
        const std::vector<std::uint8_t> chunk(frame.begin() + o, frame.begin() + o + n);
        ASSERT_EQ(keyboard_.handle(request(command::kWriteLightFrame, n, o, chunk))[7], kStatusOk);
        EXPECT_EQ(keyboard_.frameCount(), o + n == frame.size() ? 1u : 0u);
    }
    EXPECT_EQ(keyboard_.lastFrame(126), frame);
    EXPECT_FALSE(keyboard_.lastFrame(378).has_value());

    // A chunk that skips ahead is refused and drops the frame being built.
    ASSERT_EQ(keyboard_.handle(request(command::kWriteLightFrame, 56, 0, {1}))[7], kStatusOk);
    EXPECT_EQ(keyboard_.handle(request(command::kWriteLightFrame, 14, 112, {2}))[7],
              kStatusRejected);
    EXPECT_EQ(keyboard_.frameCount(), 1u);
    EXPECT_EQ(keyboard_.lastFrame(126), frame);
}

TEST_F(FirmwareTest, MacroMemoryIsBoundedByItsUnits) {
    SimSettings settings;
    settings.macroUnits = 4;
    Firmware small{makeFactoryImage(DeviceKind::Mouse, settings)};
    ASSERT_EQ(small.macroCapacity(), 512u);
    EXPECT_EQ(small.handle(request(command::kWriteMacroData, 56, 448, {0x55, 0xAA}))[7], kStatusOk);
    EXPECT_EQ(small.macroMemory()[448], 0x55);
    EXPECT_EQ(small.handle(request(command::kWriteMacroData, 4, 512, {1, 2, 3, 4}))[7],
              kStatusRejected);
}

TEST_F(FirmwareTest, CursorMemoryHolds3072Bytes) {
    EXPECT_EQ(mouse_.handle(request(command::kWriteCursorData, 16, 3056, {0xAA, 0x55}))[7],
              kStatusOk);
    const auto back = mouse_.handle(request(command::kReadCursorData, 2, 3056));
    EXPECT_EQ(back[8], 0xAA);
    EXPECT_EQ(back[9], 0x55);
    EXPECT_EQ(mouse_.handle(request(command::kReadCursorData, 56, 3040))[7], kStatusRejected);
}

TEST_F(FirmwareTest, UnknownCommandsAndOverlongLengthsAreRefused) {
    EXPECT_EQ(keyboard_.handle(request(0x04, 0, 0))[7], kStatusRejected);
    EXPECT_EQ(keyboard_.handle(request(command::kReadBaseTable, 57, 0))[7], kStatusRejected);
    EXPECT_EQ(keyboard_.badChecksumCount(), 0u);
}

TEST(FactoryImage, SettingsChangeWhatTheDeviceReports) {
    SimSettings settings;
    settings.keys = 171;
    settings.macroUnits = 2;
    settings.sensor = 0x3050;
    const auto keyboard = makeFactoryImage(DeviceKind::RgbKeyboard, settings);
    EXPECT_EQ(keyboard.deviceInfo[5], 171);
    EXPECT_EQ(keyboard.deviceInfo[6], 2);
    EXPECT_EQ(keyboard.deviceInfo[9], 0) << "keyboards have no sensor";
    const auto mouse = makeFactoryImage(DeviceKind::Mouse2, settings);
    EXPECT_EQ(mouse.deviceInfo[9], 0x50);
    EXPECT_EQ(mouse.deviceInfo[10], 0x30);
    EXPECT_EQ(mouse.deviceInfo[5], 6) << "keys=N is for keyboards only";
}

TEST(FactoryImage, DpiSettingsChangeTheSensorDescriptionAndKeepTheStagesInside) {
    SimSettings settings;
    settings.dpiStep = 50;
    settings.dpiMaximum = 30;
    const auto mouse = makeFactoryImage(DeviceKind::Mouse, settings);
    EXPECT_EQ(mouse.deviceInfo[11], 50);
    EXPECT_EQ(mouse.deviceInfo[12], 30);
    for (std::size_t stage = 0; stage < 6; ++stage) {
        EXPECT_LE(mouse.records[15 + stage], 30) << stage;
    }
    EXPECT_EQ(mouse.records[20], 30) << "the last stage is the top of the range";
}

}  // namespace
}  // namespace korvane::sim
