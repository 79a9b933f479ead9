#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "core/device/device_commander.h"
#include "core/device/hid_trace.h"
#include "device/fake_hid.h"

namespace korvane::device {
namespace {

using testing::answerTo;
using testing::FakeHidBackend;
using testing::Reaction;

class WireTraceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        file_ = std::filesystem::temp_directory_path() /
                ("korvane_trace_" + std::to_string(::getpid()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt");
        std::filesystem::remove(file_);
    }
    void TearDown() override { std::filesystem::remove(file_); }

    std::vector<std::string> lines() const {
        std::ifstream in(file_);
        std::vector<std::string> out;
        for (std::string line; std::getline(in, line);) {
            out.push_back(line);
        }
        return out;
    }

    HidInterfaceInfo info(const std::string& path) {
        HidInterfaceInfo i;
        i.path = path;
        return i;
    }

    std::filesystem::path file_;
};

TEST_F(WireTraceTest, RecordsEveryWriteAndReadOfACommand) {
    auto fakeBackend = std::make_unique<FakeHidBackend>();
    auto fake = fakeBackend->add(info("sim:keyboard/vendor"));
    auto backend = withTrace(std::move(fakeBackend), WireTraceFile::open(file_));

    DeviceCommander commander;
    commander.attach(backend->open(info("sim:keyboard/vendor"), HidAccess::ReadWrite));
    commander.setConnected(true);
    ASSERT_EQ(commander.BeginTransfer(), kResultDone);

    const auto got = lines();
    ASSERT_EQ(got.size(), 2u);
    const std::string request = "04010001" + std::string(120, '0');
    const std::regex write("^[0-9]+ W sim:keyboard/vendor " + request + "$");
    EXPECT_TRUE(std::regex_match(got[0], write)) << got[0];
    EXPECT_TRUE(
        std::regex_match(got[1], std::regex("^[0-9]+ R sim:keyboard/vendor [0-9a-f]{128}$")))
        << got[1];
}

// A command refused before sending leaves no line; a write that failed or ran out of time
// leaves one with its own letter, so a trace shows what the device may never have seen.
TEST_F(WireTraceTest, RefusedCommandsLeaveNoLineAndFailedWritesAreMarked) {
    auto fakeBackend = std::make_unique<FakeHidBackend>();
    auto fake = fakeBackend->add(info("p"));
    auto backend = withTrace(std::move(fakeBackend), WireTraceFile::open(file_));
    DeviceCommander commander;
    commander.attach(backend->open(info("p"), HidAccess::ReadWrite));
    commander.setConnected(true);
    commander.setAnswerTimeLimit(std::chrono::milliseconds(1));
    std::vector<std::uint8_t> table(512);
    EXPECT_EQ(commander.WriteProfileTable(table, 5), kResultBadProfileIndex);
    EXPECT_TRUE(lines().empty());

    fake->setResponder([](const Report64&, int) { return Reaction{false, {}}; });
    EXPECT_EQ(commander.BeginTransfer(), kResultWriteFailed);
    const auto got = lines();
    ASSERT_EQ(got.size(), 1u);
    const std::string request = "04010001" + std::string(120, '0');
    EXPECT_TRUE(std::regex_match(got[0], std::regex("^[0-9]+ X p " + request + "$"))) << got[0];
}

TEST_F(WireTraceTest, ShortAndLongReportsArePaddedOrCut) {
    const std::vector<std::uint8_t> shortReport{0x01, 0xAB};
    EXPECT_EQ(WireTraceFile::formatReport('R', "x", shortReport),
              "R x 01ab" + std::string(124, '0'));
    const std::vector<std::uint8_t> longReport(70, 0xFF);
    EXPECT_EQ(WireTraceFile::formatReport('W', "x", longReport), "W x " + std::string(128, 'f'));
}

TEST_F(WireTraceTest, ConcurrentWritersKeepLinesWhole) {
    auto trace = WireTraceFile::open(file_);
    ASSERT_TRUE(trace);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            std::vector<std::uint8_t> report(64, static_cast<std::uint8_t>(t));
            for (int i = 0; i < 200; ++i) {
                trace->record('W', "path" + std::to_string(t), report);
            }
        });
    }
    for (auto& th : threads) {
        th.join();
    }
    const auto got = lines();
    EXPECT_EQ(got.size(), 800u);
    const std::regex whole("^[0-9]+ W path([0-3]) (0\\1){64}$");
    for (const auto& line : got) {
        ASSERT_TRUE(std::regex_match(line, whole)) << line;
    }
}

TEST_F(WireTraceTest, EnvironmentChoosesTheFile) {
    ::unsetenv("KORVANE_HID_TRACE");
    auto plain = std::make_unique<FakeHidBackend>();
    HidBackend* raw = plain.get();
    EXPECT_EQ(withTraceFromEnvironment(std::move(plain)).get(), raw);

    ::setenv("KORVANE_HID_TRACE", file_.c_str(), 1);
    auto fakeBackend = std::make_unique<FakeHidBackend>();
    fakeBackend->add(info("q"));
    auto traced = withTraceFromEnvironment(std::move(fakeBackend));
    ::unsetenv("KORVANE_HID_TRACE");
    auto handle = traced->open(info("q"), HidAccess::ReadWrite);
    ASSERT_TRUE(handle);
    const std::vector<std::uint8_t> report(64, 0x11);
    ASSERT_TRUE(handle->write(report, std::chrono::milliseconds(10)));
    ASSERT_EQ(lines().size(), 1u);
    EXPECT_NE(lines()[0].find(" W q 1111"), std::string::npos);
}

}  // namespace
}  // namespace korvane::device
