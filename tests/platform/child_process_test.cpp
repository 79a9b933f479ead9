// Programs started without a shell, their output read line by line.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "core/platform/child_process.h"
#include "platform/temp_folder.h"

namespace korvane::platform {
namespace {

using namespace std::chrono_literals;

class ChildProcessTest : public ::testing::Test {
  protected:
    // A shell script in the temp folder; mode 0755 unless told.
    std::filesystem::path script(const std::string& name, const std::string& body,
                                 mode_t mode = 0755) {
        const auto path = folder_.path() / name;
        std::ofstream(path) << "#!/bin/sh\n" << body;
        ::chmod(path.c_str(), mode);
        return path;
    }

    testing_support::TempFolder folder_;
    StopEvent stop_;
};

TEST_F(ChildProcessTest, ArgumentsGoAsTheyStandAndTheFolderIsTheWorkingFolder) {
    const auto program = script("args", "printf '%s\\n' \"$#\" \"$1\" \"$(pwd)\"\nexit 3\n");
    SpawnError error = SpawnError::Failed;
    // Characters a shell would act on stay plain text.
    const std::string parameter = "Halvane;en;1.0.5 $(touch gotcha) `x` * |";
    auto child = ChildProcess::start(program, {parameter}, folder_.path(), error);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(error, SpawnError::None);
    std::vector<std::string> lines;
    const auto status =
        child->readLines(stop_, 256, [&](std::string_view line) { lines.emplace_back(line); });
    EXPECT_EQ(status, 3);
    EXPECT_EQ(lines, (std::vector<std::string>{"1", parameter, folder_.path().string()}));
    EXPECT_FALSE(std::filesystem::exists(folder_.path() / "gotcha"));
}

TEST_F(ChildProcessTest, LongLinesAreDroppedWholeAndALastLineWithoutEndCounts) {
    const auto program = script("long",
                                "printf 'short\\r\\n'\nhead -c 5000 /dev/zero | tr '\\0' x\n"
                                "printf '\\nafter\\nlast'\n");
    SpawnError error;
    auto child = ChildProcess::start(program, {}, folder_.path(), error);
    ASSERT_NE(child, nullptr);
    std::vector<std::string> lines;
    EXPECT_EQ(child->readLines(stop_, 256, [&](std::string_view l) { lines.emplace_back(l); }), 0);
    EXPECT_EQ(lines, (std::vector<std::string>{"short", "after", "last"}));
}

TEST_F(ChildProcessTest, MissingAndNotExecutableProgramsAreToldApart) {
    SpawnError error = SpawnError::None;
    EXPECT_EQ(ChildProcess::start(folder_.path() / "nothing", {}, folder_.path(), error), nullptr);
    EXPECT_EQ(error, SpawnError::Missing);
    const auto plain = script("plain", "exit 0\n", 0644);
    EXPECT_EQ(ChildProcess::start(plain, {}, folder_.path(), error), nullptr);
    EXPECT_EQ(error, SpawnError::NotExecutable);
    EXPECT_EQ(ChildProcess::start(folder_.path(), {}, folder_.path(), error), nullptr);
    EXPECT_EQ(error, SpawnError::NotExecutable);
}

TEST_F(ChildProcessTest, StopEndsTheReadingOfAProgramThatNeverEnds) {
    const auto program = script("forever", "echo started\nexec sleep 30\n");
    SpawnError error;
    auto child = ChildProcess::start(program, {}, folder_.path(), error);
    ASSERT_NE(child, nullptr);
    std::thread later([&] {
        std::this_thread::sleep_for(200ms);
        stop_.set();
    });
    std::vector<std::string> lines;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(child->readLines(stop_, 256, [&](std::string_view l) { lines.emplace_back(l); }),
              std::nullopt);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
    later.join();
    EXPECT_EQ(lines, std::vector<std::string>{"started"});
    ::kill(child->pid(), SIGKILL);
}

TEST_F(ChildProcessTest, AProgramThatClosesItsOutputIsWaitedForUntilItEnds) {
    const auto program = script("closes", "exec >&-\nsleep 0.3\nexit 7\n");
    SpawnError error;
    auto child = ChildProcess::start(program, {}, folder_.path(), error);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(child->readLines(stop_, 256, [](std::string_view) {}), 7);
}

}  // namespace
}  // namespace korvane::platform
