#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <functional>
#include <numeric>
#include <string>
#include <thread>
#include <vector>

#include "core/device/device_commander.h"
#include "core/device/transport.h"
#include "device/fake_hid.h"

namespace korvane::device {
namespace {

using testing::answerTo;
using testing::FakeHidHandle;
using testing::ForwardingHandle;
using testing::Reaction;
using namespace std::chrono_literals;

std::vector<std::uint8_t> pattern(std::size_t n, std::uint8_t seed = 1) {
    std::vector<std::uint8_t> v(n);
    for (std::size_t i = 0; i < n; ++i) {
        v[i] = static_cast<std::uint8_t>(seed + i * 7);
    }
    return v;
}

class CommanderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake_ = std::make_shared<FakeHidHandle>();
        commander_.attach(std::make_unique<ForwardingHandle>(fake_));
        commander_.setConnected(true);
        commander_.setAnswerTimeLimit(5ms);
        commander_.setSleepFunction([this](std::chrono::milliseconds d) { sleeps_.push_back(d); });
    }

    // Answers with status at the given 1-based write number, plain acknowledgements otherwise.
    void statusAt(int writeNumber, std::uint8_t status) {
        fake_->setResponder([=](const Report64& request, int n) {
            return Reaction{true, {answerTo(request, n == writeNumber ? status : 0)}};
        });
    }
    void silent() {
        fake_->setResponder([](const Report64&, int) { return Reaction{true, {}}; });
    }

    std::shared_ptr<FakeHidHandle> fake_;
    DeviceCommander commander_;
    std::vector<std::chrono::milliseconds> sleeps_;
};

TEST_F(CommanderTest, BeginTransferSendsItsExactBytes) {
    EXPECT_EQ(commander_.BeginTransfer(), kResultDone);
    const auto written = fake_->written();
    ASSERT_EQ(written.size(), 1u);
    std::array<std::uint8_t, 64> expected{};
    expected[0] = 0x04;
    expected[1] = 0x01;
    expected[3] = 0x01;
    EXPECT_EQ(written[0].bytes, expected);
}

TEST_F(CommanderTest, ConstructionDefaults) {
    DeviceCommander fresh;
    EXPECT_EQ(fresh.TableLength(), 512);
    EXPECT_EQ(fresh.identity(), DeviceIdentity{});
    EXPECT_FALSE(fresh.connected());
    EXPECT_FALSE(fresh.synchronised());
    EXPECT_EQ(fresh.answerTimeLimit(), 300ms);
}

// ---- chunk layout on the wire -------------------------------------------------------------

struct ChunkCase {
    std::string name;
    CommandCode code;
    std::size_t total;  // bytes moved
    int profileIndex;   // -1 when the command takes none
    std::vector<int> lengths;
    std::vector<int> offsets;
};

class ChunkLayoutTest : public CommanderTest, public ::testing::WithParamInterface<ChunkCase> {};

int runChunked(DeviceCommander& c, const ChunkCase& k, std::vector<std::uint8_t>& buffer) {
    switch (k.code) {
        case CommandCode::WriteLightFrame:
            return c.WriteLightFrame(buffer);
        case CommandCode::WriteMacroData:
            return c.WriteMacroData(buffer);
        case CommandCode::WriteCursorData:
            return c.WriteCursorData(buffer);
        case CommandCode::ReadCursorData:
            return c.ReadCursorData(buffer);
        case CommandCode::ReadBaseTable:
            return c.ReadBaseTable(buffer);
        case CommandCode::ReadProfileTable:
            return c.ReadProfileTable(buffer, k.profileIndex);
        case CommandCode::WriteProfileTable:
            return c.WriteProfileTable(buffer, k.profileIndex);
        default:
            return -999;
    }
}

TEST_P(ChunkLayoutTest, LengthsOffsetsAndChecksums) {
    const ChunkCase& k = GetParam();
    if (k.code == CommandCode::ReadBaseTable || k.code == CommandCode::ReadProfileTable ||
        k.code == CommandCode::WriteProfileTable) {
        commander_.setTableLength(static_cast<std::uint16_t>(k.total));
    }
    auto buffer = pattern(k.total);
    ASSERT_EQ(runChunked(commander_, k, buffer), kResultDone);

    const auto written = fake_->written();
    ASSERT_EQ(written.size(), k.lengths.size());
    for (std::size_t i = 0; i < written.size(); ++i) {
        SCOPED_TRACE("report " + std::to_string(i));
        EXPECT_EQ(written[i].reportId(), 0x04);
        EXPECT_EQ(written[i].command(), static_cast<std::uint8_t>(k.code));
        EXPECT_EQ(written[i].length(), k.lengths[i]);
        EXPECT_EQ(written[i].offset(), k.offsets[i]);
        EXPECT_EQ(written[i].status(), 0);
        EXPECT_EQ(written[i].checksum(), written[i].computeChecksum());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Commands, ChunkLayoutTest,
    ::testing::Values(
        ChunkCase{"KeyboardFrame378",
                  CommandCode::WriteLightFrame,
                  378,
                  -1,
                  {56, 56, 56, 56, 56, 56, 42},
                  {0, 56, 112, 168, 224, 280, 336}},
        ChunkCase{"OneBytePerKeyFrame126",
                  CommandCode::WriteLightFrame,
                  126,
                  -1,
                  {56, 56, 14},
                  {0, 56, 112}},
        ChunkCase{"PadFrame45", CommandCode::WriteLightFrame, 45, -1, {45}, {0}},
        ChunkCase{"MacroExactlyTwoChunks", CommandCode::WriteMacroData, 112, -1, {56, 56}, {0, 56}},
        ChunkCase{"CursorWrite", CommandCode::WriteCursorData, 120, -1, {56, 56, 8}, {0, 56, 112}},
        ChunkCase{"CursorRead", CommandCode::ReadCursorData, 60, -1, {56, 4}, {0, 56}},
        ChunkCase{"BaseTable", CommandCode::ReadBaseTable, 120, -1, {56, 56, 8}, {0, 56, 112}},
        ChunkCase{"ProfileTableIndex2",
                  CommandCode::ReadProfileTable,
                  512,
                  2,
                  {56, 56, 56, 56, 56, 56, 56, 56, 56, 8},
                  {252, 308, 364, 420, 476, 532, 588, 644, 700, 756}},
        ChunkCase{"WriteProfileTableIndex4",
                  CommandCode::WriteProfileTable,
                  120,
                  4,
                  {56, 56, 8},
                  {504, 560, 616}}),
    [](const auto& info) { return info.param.name; });

TEST_F(CommanderTest, ZeroLengthChunkedCommandsSendNothing) {
    EXPECT_EQ(commander_.WriteLightFrame({}), kResultDone);
    EXPECT_EQ(commander_.ReadCursorData({}), kResultDone);
    EXPECT_TRUE(fake_->written().empty());
}

TEST_F(CommanderTest, ChunkedWriteKeepsPreviousChunkTailInDataArea) {
    const auto frame = pattern(126, 3);
    ASSERT_EQ(commander_.WriteLightFrame(frame), kResultDone);
    const auto written = fake_->written();
    ASSERT_EQ(written.size(), 3u);
    const auto last = written[2].data();
    for (std::size_t i = 0; i < 14; ++i) {
        EXPECT_EQ(last[i], frame[112 + i]);
    }
    for (std::size_t i = 14; i < 56; ++i) {
        EXPECT_EQ(last[i], frame[56 + i]) << "byte " << i;
    }
    EXPECT_EQ(written[2].checksum(), written[2].computeChecksum());
}

TEST_F(CommanderTest, ProfileTableReadFillsWholeOutputFromOffsetFields) {
    // The fake's memory byte at wire offset a is a*3.
    fake_->setResponder([](const Report64& request, int) {
        std::array<std::uint8_t, 56> data{};
        for (std::size_t i = 0; i < data.size(); ++i) {
            data[i] = static_cast<std::uint8_t>((request.offset() + i) * 3);
        }
        return Reaction{true, {answerTo(request, 0, data)}};
    });
    std::vector<std::uint8_t> out(512, 0xEE);
    ASSERT_EQ(commander_.ReadProfileTable(out, 2), kResultDone);
    for (std::size_t p = 0; p < out.size(); ++p) {
        ASSERT_EQ(out[p], static_cast<std::uint8_t>((252 + p) * 3)) << "position " << p;
    }
}

TEST_F(CommanderTest, ProfileTableWriteSendsDataFromCallerPositions) {
    commander_.setTableLength(100);
    const auto table = pattern(100, 9);
    ASSERT_EQ(commander_.WriteProfileTable(table, 1), kResultDone);
    const auto written = fake_->written();
    ASSERT_EQ(written.size(), 2u);
    EXPECT_EQ(written[1].offset(), 126 + 56);
    for (std::size_t i = 0; i < 44; ++i) {
        EXPECT_EQ(written[1].data()[i], table[56 + i]);
    }
}

TEST_F(CommanderTest, TableCommandsUseCurrentTableLength) {
    commander_.setTableLength(3 * 104);
    std::vector<std::uint8_t> out(600);
    ASSERT_EQ(commander_.ReadBaseTable(out), kResultDone);
    EXPECT_EQ(fake_->written().size(), 6u);  // 312 bytes = 5 × 56 + 32
    EXPECT_EQ(fake_->written().back().length(), 32);
}

// ---- results ------------------------------------------------------------------------------

struct StatusCase {
    std::string name;
    std::uint8_t status;
    int atWrite;
    int expected;
};

class StatusTest : public CommanderTest, public ::testing::WithParamInterface<StatusCase> {};

TEST_P(StatusTest, ChunkedCommandStopsAtRefusedChunk) {
    const StatusCase& k = GetParam();
    statusAt(k.atWrite, k.status);
    EXPECT_EQ(commander_.WriteLightFrame(pattern(378)), k.expected);
    EXPECT_EQ(fake_->written().size(), static_cast<std::size_t>(k.atWrite));
}

INSTANTIATE_TEST_SUITE_P(Statuses, StatusTest,
                         ::testing::Values(StatusCase{"FEOnThirdChunk", 0xFE, 3, -103},
                                           StatusCase{"FFOnFirstChunk", 0xFF, 1, -102},
                                           StatusCase{"OtherStatusIsSuccess", 0x5A, 7, 1}),
                         [](const auto& info) { return info.param.name; });

TEST_F(CommanderTest, RefusedReadLeavesOutputUntouched) {
    statusAt(1, 0xFF);
    DeviceInfo info;
    info.bytes.fill(0xAB);
    EXPECT_EQ(commander_.ReadDeviceInfo(info), kResultStatusFF);
    EXPECT_EQ(info.bytes[0], 0xAB);

    statusAt(2, 0xFE);
    std::vector<std::uint8_t> out(512, 0xCD);
    EXPECT_EQ(commander_.ReadBaseTable(out), kResultStatusFE);
    EXPECT_EQ(out[56], 0xCD);
}

TEST_F(CommanderTest, ProfileIndexOutOfRangeSendsNothing) {
    std::vector<std::uint8_t> table(512);
    EXPECT_EQ(commander_.WriteProfileTable(table, 5), kResultBadProfileIndex);
    EXPECT_EQ(commander_.ReadProfileTable(table, 5), kResultBadProfileIndex);
    EXPECT_EQ(commander_.ReadProfileTable(table, -1), kResultBadProfileIndex);
    EXPECT_TRUE(fake_->written().empty());
}

TEST_F(CommanderTest, ArgumentsThatDoNotFitSendNothing) {
    std::vector<std::uint8_t> small(100);
    EXPECT_EQ(commander_.ReadRecord(0x10, 57, small), kResultBadArgument);
    EXPECT_EQ(commander_.ReadRecord(0x10, 20, std::span(small).first(19)), kResultBadArgument);
    EXPECT_EQ(commander_.WriteSettings(pattern(57)), kResultBadArgument);
    EXPECT_EQ(commander_.ReadBaseTable(small), kResultBadArgument);  // TableLength 512
    EXPECT_EQ(commander_.WriteProfileTable(small, 0), kResultBadArgument);
    EXPECT_EQ(commander_.WriteMacroData(std::vector<std::uint8_t>(0x10001)), kResultBadArgument);
    EXPECT_TRUE(fake_->written().empty());
}

TEST_F(CommanderTest, DeviceInfoAndRecordCopyAnswerData) {
    const auto data = pattern(56, 40);
    fake_->setResponder([&](const Report64& request, int) {
        return Reaction{true, {answerTo(request, 0, data)}};
    });
    DeviceInfo info;
    ASSERT_EQ(commander_.ReadDeviceInfo(info), kResultDone);
    EXPECT_TRUE(std::equal(info.bytes.begin(), info.bytes.end(), data.begin()));
    EXPECT_EQ(fake_->written()[0].length(), 31);
    EXPECT_EQ(fake_->written()[0].command(), 0x03);

    std::array<std::uint8_t, 64> out{};
    ASSERT_EQ(commander_.ReadRecord(0x1234, 10, out), kResultDone);
    EXPECT_TRUE(std::equal(out.begin(), out.begin() + 10, data.begin()));
    EXPECT_EQ(out[10], 0);
    const Report64 request = fake_->written()[1];
    EXPECT_EQ(request.command(), 0x05);
    EXPECT_EQ(request.length(), 10);
    EXPECT_EQ(request.offset(), 0x1234);
    EXPECT_EQ(request.bytes[5], 0x34);
    EXPECT_EQ(request.bytes[6], 0x12);
}

TEST_F(CommanderTest, WriteSettingsPutsDataAtEightAndLeavesSynchronisedLighting) {
    commander_.setSynchronised(true);
    const auto settings = pattern(20, 5);
    ASSERT_EQ(commander_.WriteSettings(settings), kResultDone);
    EXPECT_FALSE(commander_.synchronised());
    const Report64 request = fake_->written().at(0);
    EXPECT_EQ(request.command(), 0x06);
    EXPECT_EQ(request.length(), 20);
    EXPECT_EQ(request.offset(), 0);
    EXPECT_TRUE(std::equal(settings.begin(), settings.end(), request.data().begin()));
    EXPECT_EQ(request.data()[20], 0);
}

TEST_F(CommanderTest, ResetDeviceGoesOutWithoutChecksumAndOnce) {
    silent();
    EXPECT_EQ(commander_.ResetDevice(), kResultNotDone);
    const auto written = fake_->written();
    ASSERT_EQ(written.size(), 1u);
    std::array<std::uint8_t, 64> expected{};
    expected[0] = 0x04;
    expected[3] = 0x0D;
    EXPECT_EQ(written[0].bytes, expected);

    fake_->setResponder([](const Report64& request, int) {
        return Reaction{true, {answerTo(request, 0xFF)}};
    });
    EXPECT_EQ(commander_.ResetDevice(), kResultDone);  // no status check
}

TEST_F(CommanderTest, EndTransferPausesBeforeSendingEvenWhenNotConnected) {
    ASSERT_EQ(commander_.EndTransfer(), kResultDone);
    ASSERT_EQ(sleeps_.size(), 1u);
    EXPECT_GE(sleeps_[0], 10ms);
    EXPECT_EQ(fake_->written().at(0).command(), 0x02);

    commander_.setConnected(false);
    EXPECT_EQ(commander_.EndTransfer(), kResultNotDone);
    EXPECT_EQ(sleeps_.size(), 2u);
    EXPECT_EQ(fake_->written().size(), 1u);
}

TEST_F(CommanderTest, DisconnectedCommanderSendsNothing) {
    commander_.setConnected(false);
    commander_.setSynchronised(true);
    std::vector<std::uint8_t> buffer(512);
    DeviceInfo info;
    const std::vector<std::function<int()>> commands{
        [&] { return commander_.BeginTransfer(); },
        [&] { return commander_.ReadDeviceInfo(info); },
        [&] { return commander_.ReadRecord(0, 8, buffer); },
        [&] { return commander_.WriteSettings(std::span(buffer).first(8)); },
        [&] { return commander_.ReadBaseTable(buffer); },
        [&] { return commander_.ReadProfileTable(buffer, 0); },
        [&] { return commander_.WriteProfileTable(buffer, 0); },
        [&] { return commander_.ResetDevice(); },
        [&] { return commander_.WriteLightFrame(buffer); },
        [&] { return commander_.WriteMacroData(buffer); },
        [&] { return commander_.ReadCursorData(buffer); },
        [&] { return commander_.WriteCursorData(buffer); },
    };
    for (std::size_t i = 0; i < commands.size(); ++i) {
        EXPECT_EQ(commands[i](), kResultNotDone) << "command " << i;
    }
    EXPECT_TRUE(fake_->written().empty());
    EXPECT_EQ(fake_->readCalls(), 0);
    EXPECT_FALSE(commander_.synchronised());  // WriteSettings clears it regardless
}

// ---- transport ----------------------------------------------------------------------------

TEST_F(CommanderTest, SilentDeviceGetsSameRequestFourTimes) {
    silent();
    EXPECT_EQ(commander_.WriteLightFrame(pattern(120)), kResultNotDone);
    const auto written = fake_->written();
    ASSERT_EQ(written.size(), 4u);
    for (const auto& report : written) {
        EXPECT_EQ(report, written[0]);
    }
    EXPECT_EQ(fake_->readCalls(), 4);
}

TEST_F(CommanderTest, AnswerAfterRetryCompletesTheChunk) {
    fake_->setResponder([](const Report64& request, int n) {
        Reaction reaction;
        if (n > 2) {
            reaction.inputs.push_back(answerTo(request));
        }
        return reaction;
    });
    EXPECT_EQ(commander_.WriteLightFrame(pattern(60)), kResultDone);
    EXPECT_EQ(fake_->written().size(), 4u);  // 3 attempts for chunk 1, one for chunk 2
}

TEST_F(CommanderTest, FailedWriteEndsAtOnceWithoutRead) {
    fake_->setResponder([](const Report64&, int) { return Reaction{false, {}}; });
    EXPECT_EQ(commander_.BeginTransfer(), kResultWriteFailed);
    EXPECT_EQ(fake_->written().size(), 1u);
    EXPECT_EQ(fake_->readCalls(), 0);

    fake_->setResponder([](const Report64& request, int n) {
        return Reaction{n != 3, {answerTo(request)}};
    });
    EXPECT_EQ(commander_.WriteLightFrame(pattern(378)), kResultWriteFailed);
    EXPECT_EQ(fake_->written().size(), 3u);
}

TEST_F(CommanderTest, ForeignInputReportsAreSkippedWhileWaiting) {
    const auto data = pattern(56, 100);
    fake_->setResponder([&](const Report64& request, int) {
        std::vector<std::uint8_t> consumer{0x01, 0xE9, 0x00};
        std::vector<std::uint8_t> keyboard(8, 0);
        keyboard[0] = 0x02;
        return Reaction{true, {consumer, keyboard, answerTo(request, 0, data)}};
    });
    DeviceInfo info;
    ASSERT_EQ(commander_.ReadDeviceInfo(info), kResultDone);
    EXPECT_EQ(info.bytes[0], data[0]);
    EXPECT_EQ(fake_->written().size(), 1u);
}

TEST_F(CommanderTest, OnlyForeignReportsCountAsNoAnswer) {
    fake_->setResponder([](const Report64&, int) {
        return Reaction{true, {{0x01, 0xE9, 0x00}, {0x03, 0x00}}};
    });
    EXPECT_EQ(commander_.BeginTransfer(), kResultNotDone);
    EXPECT_EQ(fake_->written().size(), 4u);
}

TEST_F(CommanderTest, ShortAnswerReadsAsZeroStatus) {
    // The echoed header and nothing after it: no status byte, no data.
    fake_->setResponder([](const Report64& request, int) {
        return Reaction{true, {{request.bytes.begin(), request.bytes.begin() + kStatusAt}}};
    });
    std::array<std::uint8_t, 8> out{};
    out.fill(0x77);
    EXPECT_EQ(commander_.ReadRecord(0, 8, out), kResultDone);
    EXPECT_EQ(out[0], 0);  // bytes the device did not send are not stale
}

TEST_F(CommanderTest, ExchangeOnceReadsAnswerIntoRequest) {
    const auto data = pattern(56, 60);
    fake_->setResponder([&](const Report64& request, int) {
        return Reaction{true, {answerTo(request, 0x33, data)}};
    });
    Report64 request;
    request.setReportId(0x04);
    request.setCommand(0x01);
    ASSERT_EQ(ExchangeReportOnce(commander_, request), 1);
    EXPECT_EQ(request.status(), 0x33);
    EXPECT_EQ(request.data()[0], data[0]);
}

TEST_F(CommanderTest, ClosingAbandonsAWaitingRead) {
    silent();
    commander_.setAnswerTimeLimit(std::chrono::hours(1));
    std::atomic<int> result{99};
    std::thread worker([&] { result = commander_.BeginTransfer(); });
    while (fake_->readCalls() == 0) {
        std::this_thread::yield();
    }
    commander_.close();
    worker.join();  // would wait an hour if the read were not abandoned
    EXPECT_EQ(result.load(), kResultNotDone);
    EXPECT_FALSE(commander_.connected());
    EXPECT_EQ(fake_->written().size(), 1u);
}

TEST_F(CommanderTest, StoppedExchangesCutATableReadShortAndSendNothingMore) {
    // A device that has stopped answering, and a time limit no one would wait out.
    silent();
    commander_.setAnswerTimeLimit(std::chrono::hours(1));
    std::vector<std::uint8_t> table(512, 0xAA);
    std::atomic<int> result{99};
    std::thread worker([&] { result = commander_.ReadBaseTable(table); });
    while (fake_->readCalls() == 0) {
        std::this_thread::yield();
    }
    commander_.stopExchanges();
    worker.join();  // would wait hours if the exchange went on
    EXPECT_EQ(result.load(), kResultNotDone);
    EXPECT_EQ(fake_->written().size(), 1u) << "no retry and no further chunk";
    EXPECT_TRUE(std::all_of(table.begin(), table.end(), [](auto b) { return b == 0xAA; }));

    // The interface stays open and the device counts as connected, but nothing goes out.
    fake_->setResponder([](const Report64& request, int) {
        return Reaction{true, {answerTo(request)}};
    });
    EXPECT_TRUE(commander_.connected());
    EXPECT_EQ(commander_.BeginTransfer(), kResultNotDone);
    EXPECT_EQ(commander_.WriteLightFrame(pattern(378)), kResultNotDone);
    Report64 request;
    request.setReportId(0x04);
    EXPECT_EQ(ExchangeReportOnce(commander_, request), 0);
    EXPECT_EQ(fake_->written().size(), 1u);
}

TEST_F(CommanderTest, AnExchangeWaitingForTheLockSendsNothingOnceStopped) {
    std::atomic<int> result{99};
    std::thread other;
    {
        std::lock_guard pass(commander_.lock());
        other = std::thread([&] { result = commander_.WriteSettings(pattern(56)); });
        std::this_thread::sleep_for(20ms);
        commander_.stopExchanges();
    }
    other.join();
    EXPECT_EQ(result.load(), kResultNotDone);
    EXPECT_TRUE(fake_->written().empty());
}

TEST_F(CommanderTest, PrimitiveTransfersReportBytesAndEndOnAbort) {
    FakeHidHandle handle;
    handle.setResponder([](const Report64&, int) { return Reaction{true, {{0x03, 0xE9, 0x00}}}; });
    Report64 report;
    std::size_t written = 99;
    ASSERT_TRUE(WriteReport(handle, report.bytes, written));
    EXPECT_EQ(written, 64u);
    std::size_t read = 0;
    ASSERT_TRUE(ReadReport(handle, report.bytes, HidHandle::kInfinite, read));
    EXPECT_EQ(read, 3u);  // a listener sees consumer reports as they are

    // A listener waiting without limit is released by abortRead from another thread.
    std::atomic<bool> result{true};
    std::thread listener([&] {
        std::size_t n = 0;
        result = ReadReport(handle, report.bytes, HidHandle::kInfinite, n);
    });
    while (handle.readCalls() < 2) {
        std::this_thread::yield();
    }
    handle.abortRead();
    listener.join();
    EXPECT_FALSE(result.load());

    handle.setResponder([](const Report64&, int) { return Reaction{false, {}}; });
    EXPECT_FALSE(WriteReport(handle, report.bytes, written));
    EXPECT_EQ(written, 0u);
}

// ---- answers stay with their requests ------------------------------------------------------

// The device's answer to a base-table chunk: the header echoed, data byte i of the chunk at
// offset o is (o + i) & 0xFF, so a whole table read back is 0, 1, 2, ... wrapping at 256.
std::vector<std::uint8_t> tableAnswer(const Report64& request) {
    Report64 answer = request;
    answer.setStatus(0);
    for (std::size_t i = 0; i < kReportDataSize; ++i) {
        answer.data()[i] = static_cast<std::uint8_t>((request.offset() + i) & 0xFF);
    }
    return {answer.bytes.begin(), answer.bytes.end()};
}

// What the device puts on the node after write n of request; previous is the request written
// before it (write 1 has none).
using Inputs = std::vector<std::vector<std::uint8_t>>;
using Behaviour = std::function<Inputs(const Report64& request, const Report64& previous, int n)>;

struct PairingCase {
    std::string name;
    Behaviour behaviour;
    int result;
    int writes;  // requests on the wire, retries included
};

void PrintTo(const PairingCase& c, std::ostream* os) {
    *os << c.name;
}

class AnswerPairingTest : public CommanderTest,
                          public ::testing::WithParamInterface<PairingCase> {};

TEST_P(AnswerPairingTest, BaseTableReadsBackInPlace) {
    const auto& c = GetParam();
    Report64 previous;
    fake_->setResponder([&](const Report64& request, int n) {
        Reaction reaction{true, c.behaviour(request, previous, n)};
        previous = request;
        return reaction;
    });
    std::vector<std::uint8_t> table(512, 0xEE);
    EXPECT_EQ(commander_.ReadBaseTable(table), c.result);
    EXPECT_EQ(static_cast<int>(fake_->written().size()), c.writes);
    if (c.result == kResultDone) {
        for (std::size_t k = 0; k < table.size(); ++k) {
            ASSERT_EQ(table[k], k & 0xFF) << "byte " << k;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AnswerPairingTest,
    ::testing::Values(PairingCase{"Prompt",
                                  [](const Report64& r, const Report64&, int) -> Inputs {
                                      return Inputs{tableAnswer(r)};
                                  },
                                  kResultDone, 10},
                      // The first chunk's answer misses its window and arrives after the retry went
                      // out; the retry's own answer then comes after the second chunk's request.
                      PairingCase{"OneLateAnswer",
                                  [](const Report64& r, const Report64& prev, int n) -> Inputs {
                                      if (n == 1) {
                                          return Inputs{};
                                      }
                                      if (n == 3) {
                                          return Inputs{tableAnswer(prev), tableAnswer(r)};
                                      }
                                      return Inputs{tableAnswer(r)};
                                  },
                                  kResultDone, 11},
                      // Before every answer, a late one to the request written before it.
                      PairingCase{"LateAnswerBeforeEveryAnswer",
                                  [](const Report64& r, const Report64& prev, int n) -> Inputs {
                                      if (n == 1) {
                                          return Inputs{};
                                      }
                                      return Inputs{tableAnswer(prev), tableAnswer(r)};
                                  },
                                  kResultDone, 11},
                      // A late answer of another command (a transfer start) and a consumer report.
                      PairingCase{"OtherCommandAndForeignReport",
                                  [](const Report64& r, const Report64&, int n) -> Inputs {
                                      Report64 begin;
                                      begin.setReportId(kVendorReportId);
                                      begin.setCommand(0x01);
                                      Inputs inputs;
                                      if (n == 4) {
                                          inputs.emplace_back(begin.bytes.begin(),
                                                              begin.bytes.end());
                                          inputs.push_back({0x02, 0xE9, 0x00});
                                      }
                                      inputs.push_back(tableAnswer(r));
                                      return inputs;
                                  },
                                  kResultDone, 10},
                      // A device that echoes only the command byte.
                      PairingCase{"OnlyCommandEchoed",
                                  [](const Report64& r, const Report64&, int) -> Inputs {
                                      auto answer = tableAnswer(r);
                                      std::fill(answer.begin() + kLengthAt,
                                                answer.begin() + kStatusAt, 0);
                                      return Inputs{answer};
                                  },
                                  kResultDone, 10},
                      // A device stuck on the first chunk's answer: the second chunk is tried four
                      // times and never takes it for its own.
                      PairingCase{"AlwaysTheFirstChunksAnswer",
                                  [](const Report64& r, const Report64&, int) -> Inputs {
                                      Report64 first = r;
                                      first.setOffset(0);
                                      return Inputs{tableAnswer(first)};
                                  },
                                  kResultNotDone, 5}),
    [](const auto& info) { return info.param.name; });

// A refusal is seen even when an answer before it came late: the refused chunk's status is
// read from that chunk's own answer.
TEST_F(CommanderTest, RefusalAfterALateAnswerIsReported) {
    Report64 previous;
    fake_->setResponder([&](const Report64& request, int n) {
        Reaction reaction;
        const bool lastChunk = request.offset() == 336;
        if (n == 2) {
            reaction.inputs = {answerTo(previous), answerTo(request)};
        } else if (n != 1) {
            reaction.inputs = {answerTo(request, lastChunk ? 0xFE : 0x00)};
        }
        previous = request;
        return reaction;
    });
    EXPECT_EQ(commander_.WriteLightFrame(pattern(378)), kResultStatusFE);
    EXPECT_EQ(fake_->written().size(), 8u);  // 7 chunks, the first one twice
}

// Answers queued before a request are not its answer, whatever they look like.
TEST_F(CommanderTest, QueuedReportsAreDiscardedBeforeTheRequest) {
    Report64 same;
    same.setReportId(kVendorReportId);
    same.setCommand(static_cast<std::uint8_t>(CommandCode::ReadDeviceInfo));
    same.setLength(31);
    same.setStatus(0xFF);
    fake_->queueInput({same.bytes.begin(), same.bytes.end()});
    fake_->queueInput({0x02, 0xE9, 0x00});
    DeviceInfo info;
    EXPECT_EQ(commander_.ReadDeviceInfo(info), kResultDone);
    EXPECT_EQ(fake_->written().size(), 1u);
}

TEST_F(CommanderTest, HeldLockKeepsOtherThreadsOffTheWire) {
    std::atomic<bool> done{false};
    std::thread other;
    {
        std::lock_guard pass(commander_.lock());
        // The holder's own exchanges proceed inside the pass.
        EXPECT_EQ(commander_.BeginTransfer(), kResultDone);
        other = std::thread([&] {
            commander_.WriteLightFrame(pattern(10));
            done = true;
        });
        std::this_thread::sleep_for(20ms);
        EXPECT_FALSE(done.load());
        EXPECT_EQ(fake_->written().size(), 1u);
    }
    other.join();
    EXPECT_EQ(fake_->written().size(), 2u);
}

}  // namespace
}  // namespace korvane::device
