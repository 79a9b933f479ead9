#include "core/platform/ini_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "core/platform/debug_line.h"
#include "core/platform/ini_document.h"
#include "core/platform/text.h"
#include "platform/temp_folder.h"
#include "support/encoded_text.h"

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
        // Not UTF-8 and no byte-order mark: a single-byte file of another installation.
        ReadCase{"notUtf8IsWindows1252",
                 "[A]\nk=a\xff"
                 "b\n",
                 "A", "k",
                 "a\xC3\xBF"
                 "b"},
        ReadCase{"windows1252Name", "[PROFILENAME]\n0=\x80 Spiel f\xfcr\n", "PROFILENAME", "0",
                 "\xE2\x82\xAC Spiel f\xC3\xBCr"},
        ReadCase{"utf8BomWithBrokenBytesStaysUtf8",
                 "\xEF\xBB\xBF[A]\nk=a\xff"
                 "b\n",
                 "A", "k",
                 "a\xEF\xBF\xBD"
                 "b"},
        ReadCase{"binaryGarbage", std::string("\x00\x01\x02\xff[\xfe]\x00=\n\n\x7f", 12), "A", "k",
                 "dflt"}),
    [](const auto& info) { return std::string(info.param.name); });

std::string utf16(std::u16string_view text, bool littleEndian) {
    return korvane::testing::encodeUtf16(text, littleEndian);
}

std::string utf16le(std::u16string_view text) {
    return utf16(text, true);
}

std::string singleByte(std::u16string_view text) {
    return korvane::testing::encodeSingleByte(text);
}

std::string utf8(std::u16string_view text) {
    return utf16ToUtf8(text);
}

TEST_F(IniFileTest, ReadsUtf16LittleEndianWithBom) {
    writeBytes(path_, utf16le(u"[PROFILENAME]\r\ncount=2\r\n0=Perfil Ñ 配置\r\n"));
    IniFile ini(path_);
    EXPECT_EQ(ini.readString("profilename", "0"), "Perfil Ñ 配置");
    EXPECT_EQ(ini.readInt("PROFILENAME", "count"), 2);
}

// A file is written back in the encoding it was read in, whatever is added to it.
struct EncodingCase {
    const char* name;
    std::string (*encode)(std::u16string_view);
};

class IniEncodingTest : public IniFileTest, public ::testing::WithParamInterface<EncodingCase> {};

TEST_P(IniEncodingTest, AWriteKeepsTheFilesEncoding) {
    const auto encode = GetParam().encode;
    writeBytes(path_, encode(u"[PROFILENAME]\r\n0=Spiel für\r\n"));
    IniFile ini(path_);
    EXPECT_EQ(ini.readString("PROFILENAME", "0"), "Spiel für");
    ASSERT_TRUE(ini.writeString("PROFILENAME", "1", "Größe"));
    ASSERT_TRUE(ini.writeInt("PROFILECOUNT", "count", 2));
    EXPECT_EQ(readBytes(path_),
              encode(u"[PROFILENAME]\r\n0=Spiel für\r\n1=Größe\r\n[PROFILECOUNT]\r\ncount=2\r\n"));
    EXPECT_EQ(ini.readString("PROFILENAME", "1"), "Größe");
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, IniEncodingTest,
    ::testing::Values(
        EncodingCase{"Utf16LittleEndian", [](std::u16string_view t) { return utf16(t, true); }},
        EncodingCase{"Utf16BigEndian", [](std::u16string_view t) { return utf16(t, false); }},
        EncodingCase{"Windows1252", singleByte}, EncodingCase{"Utf8", utf8},
        EncodingCase{"Utf8WithBom",
                     [](std::u16string_view t) { return "\xEF\xBB\xBF" + utf16ToUtf8(t); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(IniFileTest, ALegacyFileThatMustHoldOtherScriptsBecomesUtf16) {
    writeBytes(path_, singleByte(u"[PROFILENAME]\r\n0=Spiel für\r\n"));
    IniFile ini(path_);
    ASSERT_TRUE(ini.writeString("PROFILENAME", "1", "配置 Ж"));
    EXPECT_EQ(readBytes(path_), utf16le(u"[PROFILENAME]\r\n0=Spiel für\r\n1=配置 Ж\r\n"));
    EXPECT_EQ(ini.readString("PROFILENAME", "0"), "Spiel für");
    EXPECT_EQ(ini.readString("PROFILENAME", "1"), "配置 Ж");
}

TEST_F(IniFileTest, NewFilesAreUtf8) {
    ASSERT_TRUE(IniFile(path_).writeString("PROFILENAME", "0", "Größe 配置"));
    EXPECT_EQ(readBytes(path_),
              "[PROFILENAME]\r\n0=Gr\xC3\xB6\xC3\x9F"
              "e \xE9\x85\x8D\xE7\xBD\xAE\r\n");
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

// What stands at the path of a settings file, and whether it counts as readable.
struct StateCase {
    const char* name;
    void (*make)(const std::filesystem::path&);
    IniFile::State expected;
};

class IniStateTest : public IniFileTest, public ::testing::WithParamInterface<StateCase> {};

TEST_P(IniStateTest, TellsAFirstRunFromAFileThatCannotBeRead) {
    GetParam().make(path_);
    EXPECT_EQ(IniFile(path_).state(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IniStateTest,
    ::testing::Values(
        StateCase{"Missing", [](const std::filesystem::path&) {}, IniFile::State::Missing},
        StateCase{"MissingFolder",
                  [](const std::filesystem::path& p) { std::filesystem::remove(p.parent_path()); },
                  IniFile::State::Missing},
        StateCase{"Empty", [](const std::filesystem::path& p) { writeBytes(p, ""); },
                  IniFile::State::Readable},
        StateCase{"Garbage", [](const std::filesystem::path& p) { writeBytes(p, "\xff\x00\x01"); },
                  IniFile::State::Readable},
        StateCase{"Folder",
                  [](const std::filesystem::path& p) { std::filesystem::create_directory(p); },
                  IniFile::State::Unreadable},
        StateCase{"OverTheSizeLimit",
                  [](const std::filesystem::path& p) {
                      writeBytes(p, std::string(4 * 1024 * 1024 + 1, 'x'));
                  },
                  IniFile::State::Unreadable}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(IniFileTest, AFileWithoutReadPermissionIsUnreadableAndKept) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "permissions do not stop root";
    }
    writeBytes(path_, "[A]\nk=1\n");
    std::filesystem::permissions(path_, std::filesystem::perms::owner_write);
    IniFile ini(path_);
    EXPECT_EQ(ini.state(), IniFile::State::Unreadable);
    EXPECT_FALSE(ini.writeString("A", "j", "2"));
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all);
    EXPECT_EQ(readBytes(path_), "[A]\nk=1\n");
}

TEST_F(IniFileTest, UpdateWritesAllChangesInOneGoOrNone) {
    writeBytes(path_, "[A]\r\nk=1\r\n");
    IniFile ini(path_);
    ASSERT_TRUE(ini.update([](IniDocument& doc) {
        doc.set("B", "x", "2");
        doc.set("A", "k", std::nullopt);
        doc.set("C", "count", "1");
        return true;
    }));
    EXPECT_EQ(readBytes(path_), "[A]\r\n[B]\r\nx=2\r\n[C]\r\ncount=1\r\n");

    EXPECT_FALSE(ini.update([](IniDocument& doc) {
        doc.set("C", "count", "9");
        return false;  // gave up half-way: nothing of it may reach the file
    }));
    EXPECT_EQ(ini.readInt("C", "count"), 1);

    IniFile absent(temp_ / "absent.ini");
    EXPECT_TRUE(absent.update([](IniDocument&) { return true; }));
    EXPECT_FALSE(std::filesystem::exists(temp_ / "absent.ini")) << "no change, no file";
}

TEST_F(IniFileTest, AFailedWriteLeavesADebugLineNamingTheFile) {
    std::vector<std::string> lines;
    setDebugSink([&](std::string_view line) { lines.emplace_back(line); });
    IniFile missingFolder(temp_ / "gone" / "kbProfile.ini");
    EXPECT_FALSE(missingFolder.writeInt("PROFILECOUNT", "count", 1));
    std::filesystem::create_directory(path_);
    EXPECT_FALSE(IniFile(path_).writeInt("PROFILECOUNT", "count", 1));
    setDebugSink({});
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find((temp_ / "gone" / "kbProfile.ini").string()), std::string::npos)
        << lines[0];
    EXPECT_NE(lines[1].find(path_.string()), std::string::npos) << lines[1];
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
