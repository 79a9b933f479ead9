#include "core/platform/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/temp_folder.h"

namespace korvane::platform {
namespace {

using testing_support::folderEntries;
using testing_support::readBytes;
using testing_support::TempFolder;
using testing_support::writeBytes;

std::span<const std::uint8_t> asBytes(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

TEST(WriteFileAtomically, CreatesAndReplaces) {
    TempFolder temp;
    const auto path = temp / "a.led";
    ASSERT_TRUE(writeFileAtomically(path, asBytes("first")));
    EXPECT_EQ(readBytes(path), "first");
    ASSERT_TRUE(writeFileAtomically(path, asBytes("2nd")));
    EXPECT_EQ(readBytes(path), "2nd");
    ASSERT_TRUE(writeFileAtomically(path, {}));
    EXPECT_EQ(readBytes(path), "");
    EXPECT_EQ(folderEntries(temp.path()), std::vector<std::string>{"a.led"});
}

TEST(WriteFileAtomically, FailsWithoutTouchingAnything) {
    TempFolder temp;
    EXPECT_FALSE(writeFileAtomically(temp / "missing" / "a.led", asBytes("x")));
    EXPECT_FALSE(std::filesystem::exists(temp / "missing"));

    std::filesystem::create_directory(temp / "dir");
    EXPECT_FALSE(writeFileAtomically(temp / "dir", asBytes("x")));
    EXPECT_TRUE(std::filesystem::is_directory(temp / "dir"));

    EXPECT_FALSE(writeFileAtomically(temp.path() / "", asBytes("x")));
    EXPECT_EQ(folderEntries(temp.path()), std::vector<std::string>{"dir"});
}

TEST(WriteFileAtomically, TargetNameAtTheFileNameLimitStillWorks) {
    TempFolder temp;
    const auto path = temp / std::string(255, 'n');
    ASSERT_TRUE(writeFileAtomically(path, asBytes("x")));
    EXPECT_EQ(readBytes(path), "x");
}

TEST(WriteFileAtomically, ThreadsWritingDifferentFilesDoNotCollide) {
    TempFolder temp;
    constexpr int kThreads = 8;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&temp, t] {
            const std::string content(1000 + t, static_cast<char>('a' + t));
            for (int i = 0; i < 20; ++i) {
                EXPECT_TRUE(
                    writeFileAtomically(temp / ("f" + std::to_string(t)), asBytes(content)));
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    for (int t = 0; t < kThreads; ++t) {
        EXPECT_EQ(readBytes(temp / ("f" + std::to_string(t))),
                  std::string(1000 + t, static_cast<char>('a' + t)));
    }
    EXPECT_EQ(folderEntries(temp.path()).size(), static_cast<std::size_t>(kThreads))
        << "no temp file may be left behind";
}

TEST(ReadFileLimited, ReadsUpToTheLimitOnly) {
    TempFolder temp;
    writeBytes(temp / "f", "12345");
    const auto exact = readFileLimited(temp / "f", 5);
    ASSERT_TRUE(exact.has_value());
    EXPECT_EQ(std::string(exact->begin(), exact->end()), "12345");
    EXPECT_FALSE(readFileLimited(temp / "f", 4).has_value());
    EXPECT_FALSE(readFileLimited(temp / "missing", 100).has_value());
    EXPECT_FALSE(readFileLimited(temp.path(), 100).has_value()) << "a folder is no file";

    writeBytes(temp / "empty", "");
    const auto empty = readFileLimited(temp / "empty", 0);
    ASSERT_TRUE(empty.has_value());
    EXPECT_TRUE(empty->empty());
}

TEST(ReadFileLimited, SpecialFilesAreRefusedWithoutBlocking) {
    // /dev/zero never ends and reports size 0: it must not be read at all.
    EXPECT_FALSE(readFileLimited("/dev/zero", 1024).has_value());
    // A FIFO without a writer would block a plain open for ever.
    TempFolder temp;
    ASSERT_EQ(::mkfifo((temp / "fifo").c_str(), 0600), 0);
    EXPECT_FALSE(readFileLimited(temp / "fifo", 1024).has_value());
}

}  // namespace
}  // namespace korvane::platform
