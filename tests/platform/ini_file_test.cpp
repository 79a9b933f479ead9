#include "core/platform/ini_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
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

class IniFileTest : public ::testing::Test {
  protected:
    TempFolder temp_;
    std::filesystem::path path_ = temp_ / "test.ini";
};

// What one read gives for a file's text.
struct ReadCase {
    const char* name;
    std::string file;
    const char* section;
    const char* key;
    const char* expected;
};

class IniReadTest : public IniFileTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(IniReadTest, ReadsTheKey) {
    writeBytes(path_, GetParam().file);
    IniFile ini(path_);
    EXPECT_EQ(ini.readString(GetParam().section, GetParam().key, "dflt"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IniReadTest,
    ::testing::Values(
        ReadCase{"plain", "[A]\nk=v\n", "A", "k", "v"},
        ReadCase{"crlf", "[A]\r\nk=v\r\n", "A", "k", "v"},
        ReadCase{"noFinalNewline", "[A]\nk=v", "A", "k", "v"},
        ReadCase{"caseInsensitive", "[Profilename]\nCount=3\n", "PROFILENAME", "count", "3"},
        ReadCase{"unicodeCase", "[ПРОФИЛЬ]\nИМЯ=x\n", "профиль", "имя", "x"},
        ReadCase{"trimmed", "  [ A ]  \n\t k \t=  v w \t\n", "A", "k", "v w"},
        ReadCase{"emptyValue", "[A]\nk=\n", "A", "k", ""},
        ReadCase{"valueWithEquals", "[A]\nk=a=b\n", "A", "k", "a=b"},
        ReadCase{"missingKey", "[A]\nk=v\n", "A", "other", "dflt"},
        ReadCase{"missingSection", "[A]\nk=v\n", "B", "k", "dflt"},
        ReadCase{"keyInOtherSection", "[A]\nx=1\n[B]\nk=v\n", "A", "k", "dflt"},
        ReadCase{"firstDuplicateSectionWins", "[A]\nk=1\n[A]\nk=2\n", "A", "k", "1"},
        ReadCase{"secondDuplicateNotSearched", "[A]\nx=1\n[a]\nk=2\n", "A", "k", "dflt"},
        ReadCase{"firstDuplicateKeyWins", "[A]\nk=1\nK=2\n", "A", "k", "1"},
        ReadCase{"keyBeforeAnySection", "k=v\n[A]\n", "A", "k", "dflt"},
        ReadCase{"commentIsNoKey", "[A]\n;k=v\n", "A", ";k", "dflt"},
        ReadCase{"lineWithoutEquals", "[A]\nk\n", "A", "k", "dflt"},
        ReadCase{"brokenHeaderStartsSection", "[A]\nx=1\n[B\nk=v\n", "A", "k", "dflt"},
        ReadCase{"brokenHeaderName", "[B\nk=v\n", "B", "k", "v"},
        ReadCase{"utf8Bom", "\xEF\xBB\xBF[A]\nk=v\n", "A", "k", "v"},
        ReadCase{"utf8Name", "[PROFILENAME]\n0=配置文件 ü\n", "PROFILENAME", "0", "配置文件 ü"},
        ReadCase{"nulEndsValue", std::string("[A]\nk=ab\0cd\n", 12), "A", "k", "ab"},
        ReadCase{"invalidUtf8Replaced",
                 "[A]\nk=a\xff"
                 "b\n",
                 "A", "k",
                 "a\xEF\xBF\xBD"
                 "b"},
        ReadCase{"binaryGarbage", std::string("\x00\x01\x02\xff[\xfe]\x00=\n\n\x7f", 12), "A", "k",
                 "dflt"}),
    [](const auto& info) { return std::string(info.param.name); });

std::string utf16le(std::u16string_view text, bool bom = true) {
    std::string bytes;
    if (bom) {
        bytes += "\xFF\xFE";
    }
    for (const char16_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    return bytes;
}

TEST_F(IniFileTest, ReadsUtf16LittleEndianWithBom) {
    writeBytes(path_, utf16le(u"[PROFILENAME]\r\ncount=2\r\n0=Perfil Ñ 配置\r\n"));
    IniFile ini(path_);
    EXPECT_EQ(ini.readString("profilename", "0"), "Perfil Ñ 配置");
    EXPECT_EQ(ini.readInt("PROFILENAME", "count"), 2);
}

TEST_F(IniFileTest, WritingAUtf16FileKeepsItsKeysAndStoresUtf8) {
    writeBytes(path_, utf16le(u"[S]\r\na=Ж\r\n"));
    IniFile ini(path_);
    ASSERT_TRUE(ini.writeString("S", "b", "ж"));
    EXPECT_EQ(readBytes(path_), "[S]\r\na=Ж\r\nb=ж\r\n");
}

TEST_F(IniFileTest, MissingFileReadsDefaults) {
    IniFile ini(temp_ / "absent.ini");
    EXPECT_EQ(ini.readString("A", "k"), "0");
    EXPECT_EQ(ini.readString("A", "k", "x"), "x");
    EXPECT_EQ(ini.readInt("A", "k"), 0);
}

TEST_F(IniFileTest, ValuesAreLimitedTo259Units) {
    const std::string longValue(300, 'x');
    IniFile ini(path_);
    ASSERT_TRUE(ini.writeString("A", "k", longValue));
    EXPECT_EQ(ini.readString("A", "k"), std::string(259, 'x'));

    std::string wide;
    for (int i = 0; i < 130; ++i) {
        wide += "\U0001F600";  // two units each: 129 fit, the 130th would split
    }
    ASSERT_TRUE(ini.writeString("A", "w", wide));
    EXPECT_EQ(ini.readString("A", "w"), wide.substr(0, 129 * 4));
    EXPECT_EQ(ini.readString("A", "none", longValue), std::string(259, 'x'))
        << "the default is cut to the same buffer";
}

struct IntCase {
    const char* stored;
    long expected;
};

class IniReadIntTest : public IniFileTest, public ::testing::WithParamInterface<IntCase> {};

TEST_P(IniReadIntTest, ConvertsLikeTheCFunction) {
    writeBytes(path_, std::string("[PROFILEDENGCOUNT]\ncount=") + GetParam().stored + "\n");
    EXPECT_EQ(IniFile(path_).readInt("PROFILEDENGCOUNT", "count"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, IniReadIntTest,
                         ::testing::Values(IntCase{"3", 3}, IntCase{"abc", 0}, IntCase{"-2", -2},
                                           IntCase{"12abc", 12}, IntCase{"", 0}, IntCase{"+4", 4}));

TEST_F(IniFileTest, WriteCreatesFileSectionAndKey) {
    IniFile ini(path_);
    ASSERT_TRUE(ini.writeInt("PROFILEDENGCOUNT", "count", 1));
    ASSERT_TRUE(ini.writeString("PROFILEDENGNAME", "0", "New Profile 1"));
    ASSERT_TRUE(ini.writeInt("PROFILEDENGSELECT", "select", 0));
    EXPECT_EQ(readBytes(path_),
              "[PROFILEDENGCOUNT]\r\ncount=1\r\n"
              "[PROFILEDENGNAME]\r\n0=New Profile 1\r\n"
              "[PROFILEDENGSELECT]\r\nselect=0\r\n");
    EXPECT_EQ(ini.readInt("profiledengcount", "COUNT"), 1);
    EXPECT_EQ(ini.readString("PROFILEDENGNAME", "0"), "New Profile 1");
}

TEST_F(IniFileTest, WriteKeepsEverythingItDoesNotTouch) {
    const std::string before =
        "; written by hand\n"
        "[A]\n"
        "  Key = old  \n"
        "unknown line\n"
        "other=1\n"
        "\n"
        "[B]\r\n"
        "x=2\r\n";
    writeBytes(path_, before);
    IniFile ini(path_);
    ASSERT_TRUE(ini.writeString("a", "KEY", "new"));
    ASSERT_TRUE(ini.writeString("A", "added", "3"));
    EXPECT_EQ(readBytes(path_),
              "; written by hand\n"
              "[A]\n"
              "Key=new\n"
              "unknown line\n"
              "other=1\n"
              "added=3\n"
              "\n"
              "[B]\r\n"
              "x=2\r\n");
}

TEST_F(IniFileTest, AddedLinesFollowTheFileLineEndings) {
    writeBytes(path_, "[A]\r\nk=1");  // no break after the last line
    ASSERT_TRUE(IniFile(path_).writeString("A", "j", "2"));
    EXPECT_EQ(readBytes(path_), "[A]\r\nk=1\r\nj=2\r\n");

    writeBytes(path_, "[A]\nk=1");
    ASSERT_TRUE(IniFile(path_).writeString("B", "j", "2"));
    EXPECT_EQ(readBytes(path_), "[A]\nk=1\n[B]\nj=2\n");
}

TEST_F(IniFileTest, NullValueDeletesTheKeyOnly) {
    writeBytes(path_, "[A]\r\nk=1\r\nK=2\r\nj=3\r\n[B]\r\nk=4\r\n");
    IniFile ini(path_);
    ASSERT_TRUE(ini.writeString("A", "k", std::nullopt));
    EXPECT_EQ(ini.readString("A", "k", "gone"), "gone") << "a duplicate must not reappear";
    EXPECT_EQ(ini.readString("A", "j"), "3");
    EXPECT_EQ(ini.readString("B", "k"), "4");
    EXPECT_EQ(readBytes(path_), "[A]\r\nj=3\r\n[B]\r\nk=4\r\n");
}

TEST_F(IniFileTest, DeletingFromAMissingFileCreatesNothing) {
    IniFile ini(path_);
    EXPECT_TRUE(ini.writeString("A", "k", std::nullopt));
    EXPECT_FALSE(std::filesystem::exists(path_));
}

TEST_F(IniFileTest, WritesToTheFirstOfDuplicateSections) {
    writeBytes(path_, "[A]\nk=1\n[A]\nk=2\n");
    IniFile ini(path_);
    ASSERT_TRUE(ini.writeString("A", "k", "9"));
    EXPECT_EQ(readBytes(path_), "[A]\nk=9\n[A]\nk=2\n");
}

TEST_F(IniFileTest, RefusesTextThatWouldChangeTheFileStructure) {
    writeBytes(path_, "[A]\nk=1\n");
    IniFile ini(path_);
    EXPECT_FALSE(ini.writeString("A", "k", "x\n[B]\ny=2"));
    EXPECT_FALSE(ini.writeString("A", "k", "x\ry"));
    EXPECT_FALSE(ini.writeString("A", "a=b", "1"));
    EXPECT_FALSE(ini.writeString("A]", "k", "1"));
    EXPECT_FALSE(ini.writeString("", "k", "1"));
    EXPECT_FALSE(ini.writeString("A", " ", "1"));
    EXPECT_FALSE(ini.writeString("A", std::string_view("k\0x", 3), "1"));
    EXPECT_EQ(readBytes(path_), "[A]\nk=1\n");
}

TEST_F(IniFileTest, WriteIntoMissingFolderFailsAndCreatesNothing) {
    IniFile ini(temp_ / "no-such-folder" / "kbProfile.ini");
    EXPECT_FALSE(ini.writeInt("PROFILECOUNT", "count", 1));
    EXPECT_FALSE(std::filesystem::exists(temp_ / "no-such-folder"));
}

TEST_F(IniFileTest, FailedWriteLeavesTheOldFileAndNoTempFile) {
    // The target is a folder: the rename cannot replace it.
    std::filesystem::create_directory(path_);
    IniFile ini(path_);
    EXPECT_FALSE(ini.writeString("A", "k", "1"));
    EXPECT_TRUE(std::filesystem::is_directory(path_));
    EXPECT_EQ(folderEntries(temp_.path()), std::vector<std::string>{"test.ini"});
}

TEST_F(IniFileTest, ReadOnlyFolderMakesWritesFailCleanly) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "permissions do not stop root";
    }
    writeBytes(path_, "[A]\nk=1\n");
    std::filesystem::permissions(
        temp_.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    IniFile ini(path_);
    const bool written = ini.writeString("A", "k", "2");
    std::filesystem::permissions(temp_.path(), std::filesystem::perms::owner_all);
    EXPECT_FALSE(written);
    EXPECT_EQ(readBytes(path_), "[A]\nk=1\n");
    EXPECT_EQ(folderEntries(temp_.path()), std::vector<std::string>{"test.ini"});
}

TEST_F(IniFileTest, OversizedFileReadsAsDefaultsAndIsNotOverwritten) {
    std::string huge = "[A]\nk=1\n";
    huge.resize(5 * 1024 * 1024, 'x');
    writeBytes(path_, huge);
    IniFile ini(path_);
    EXPECT_EQ(ini.readString("A", "k"), "0");
    EXPECT_FALSE(ini.writeString("A", "k", "2"));
    EXPECT_EQ(std::filesystem::file_size(path_), huge.size());
}

TEST_F(IniFileTest, BinaryFileReadsDefaultsAndStaysWritable) {
    std::string garbage;
    for (int i = 0; i < 4096; ++i) {
        garbage.push_back(static_cast<char>((i * 7919) & 0xFF));
    }
    writeBytes(path_, garbage);
    IniFile ini(path_);
    EXPECT_EQ(ini.readInt("SKINIMAGE", "LANGUAGE"), 0);
    ASSERT_TRUE(ini.writeInt("SKINIMAGE", "LANGUAGE", 4));
    EXPECT_EQ(ini.readInt("SKINIMAGE", "LANGUAGE"), 4);
}

TEST_F(IniFileTest, ReplacedFileKeepsItsPermissions) {
    writeBytes(path_, "[A]\nk=1\n");
    std::filesystem::permissions(
        path_, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    ASSERT_TRUE(IniFile(path_).writeString("A", "k", "2"));
    EXPECT_EQ(std::filesystem::status(path_).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

TEST_F(IniFileTest, ConcurrentWritersLoseNoKey) {
    constexpr int kThreads = 6;
    constexpr int kKeysPerThread = 25;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([this, t] {
            // Each thread has its own IniFile object: the serialisation is per path.
            IniFile ini(path_);
            for (int k = 0; k < kKeysPerThread; ++k) {
                const std::string key = std::to_string(t) + "_" + std::to_string(k);
                EXPECT_TRUE(ini.writeInt(t % 2 == 0 ? "EVEN" : "ODD", key, t * 1000 + k));
                // Readers in between must always see a whole file.
                EXPECT_EQ(ini.readInt(t % 2 == 0 ? "EVEN" : "ODD", key), t * 1000 + k);
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    IniFile ini(path_);
    for (int t = 0; t < kThreads; ++t) {
        for (int k = 0; k < kKeysPerThread; ++k) {
            const std::string key = std::to_string(t) + "_" + std::to_string(k);
            EXPECT_EQ(ini.readInt(t % 2 == 0 ? "EVEN" : "ODD", key), t * 1000 + k) << key;
        }
    }
    EXPECT_EQ(folderEntries(temp_.path()), std::vector<std::string>{"test.ini"});
}

}  // namespace
}  // namespace korvane::platform
