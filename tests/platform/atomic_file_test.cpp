#include "core/platform/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

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

// A settings file kept elsewhere and linked into the data folder stays a link: the write
// lands in the file the link points to.
struct LinkCase {
    const char* name;
    const char* linkText;    // what the link holds, relative to the temp folder's "data"
    const char* targetFile;  // where the content must end up, below the temp folder
};

class WriteThroughLink : public ::testing::TestWithParam<LinkCase> {};

TEST_P(WriteThroughLink, WritesTheTargetAndKeepsTheLink) {
    TempFolder temp;
    std::filesystem::create_directories(temp / "data");
    std::filesystem::create_directories(temp / "elsewhere");
    const std::string linkText = GetParam().linkText;
    const std::filesystem::path target = linkText.front() == '/' ? temp.path() / linkText.substr(1)
                                                                 : temp.path() / "data" / linkText;
    std::filesystem::create_symlink(
        linkText.front() == '/' ? target : std::filesystem::path(linkText), temp / "data/main.ini");

    ASSERT_TRUE(writeFileAtomically(temp / "data/main.ini", asBytes("[SKINIMAGE]\n")));
    EXPECT_TRUE(std::filesystem::is_symlink(temp / "data/main.ini"));
    EXPECT_EQ(readBytes(temp / GetParam().targetFile), "[SKINIMAGE]\n");
    EXPECT_EQ(folderEntries(temp / "data"), std::vector<std::string>{"main.ini"});
}

INSTANTIATE_TEST_SUITE_P(
    Links, WriteThroughLink,
    ::testing::Values(LinkCase{"Absolute", "/elsewhere/main.ini", "elsewhere/main.ini"},
                      LinkCase{"Relative", "../elsewhere/main.ini", "elsewhere/main.ini"},
                      LinkCase{"Dangling", "../elsewhere/new.ini", "elsewhere/new.ini"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WriteFileAtomically, ChainsOfLinksAreFollowedAndLoopsRefused) {
    TempFolder temp;
    writeBytes(temp / "real", "old");
    std::filesystem::create_symlink("real", temp / "one");
    std::filesystem::create_symlink("one", temp / "two");
    ASSERT_TRUE(writeFileAtomically(temp / "two", asBytes("new")));
    EXPECT_EQ(readBytes(temp / "real"), "new");
    EXPECT_TRUE(std::filesystem::is_symlink(temp / "one"));

    std::filesystem::create_symlink("loop-b", temp / "loop-a");
    std::filesystem::create_symlink("loop-a", temp / "loop-b");
    EXPECT_FALSE(writeFileAtomically(temp / "loop-a", asBytes("x")));
    EXPECT_TRUE(std::filesystem::is_symlink(temp / "loop-a"));
}

TEST(CanCreateFilesIn, ProbesWithoutLeavingAnything) {
    TempFolder temp;
    EXPECT_TRUE(canCreateFilesIn(temp.path()));
    EXPECT_TRUE(folderEntries(temp.path()).empty());
    EXPECT_FALSE(canCreateFilesIn(temp / "missing"));
    writeBytes(temp / "file", "x");
    EXPECT_FALSE(canCreateFilesIn(temp / "file"));
    EXPECT_FALSE(canCreateFilesIn(temp / "file" / "below"));
    if (::geteuid() != 0) {  // permissions do not stop root
        std::filesystem::create_directory(temp / "ro");
        std::filesystem::permissions(
            temp / "ro", std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
        EXPECT_FALSE(canCreateFilesIn(temp / "ro"));
        std::filesystem::permissions(temp / "ro", std::filesystem::perms::owner_all);
    }
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
