#include "core/profiles/profile_index.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "core/lighting/keyboard_light_payload.h"
#include "core/platform/ini_file.h"
#include "core/profiles/profile_store.h"
#include "core/profiles/seeding.h"
#include "profiles_fixture.h"
#include "support/encoded_text.h"

namespace korvane::profiles {
namespace {

namespace fs = std::filesystem;
using korvane::testing::encodeSingleByte;
using korvane::testing::encodeUtf16;

class ProfileIndexTest : public testing::TempFolders {};

// Each list keeps its entries in its own sections of the class's index file.
struct ListFile {
    ProfileList list;
    const char* folder;
    const char* file;
    const char* countSection;
    const char* nameSection;
    const char* selectSection;
    const char* linkSection;
    const char* pathSection;
};

class ProfileIndexSections : public testing::TempFolders,
                             public ::testing::WithParamInterface<ListFile> {};

TEST_P(ProfileIndexSections, AccessorsUseTheListsSectionsAndKeys) {
    const ListFile& f = GetParam();
    ProfileIndex index(f.list);
    EXPECT_EQ(index.path(), dataRoot() / f.folder / f.file);

    ASSERT_TRUE(index.setCount(2));
    ASSERT_TRUE(index.setName(1, "Game"));
    ASSERT_TRUE(index.setSelected(1));
    ASSERT_TRUE(index.setLinkFlag(1, true));
    ASSERT_TRUE(index.setLinkPath(1, "/usr/bin/game"));

    const platform::IniFile raw(index.path());
    EXPECT_EQ(raw.readString(f.countSection, "count"), "2");
    EXPECT_EQ(raw.readString(f.nameSection, "1"), "Game");
    EXPECT_EQ(raw.readString(f.selectSection, "select"), "1");
    EXPECT_EQ(raw.readString(f.linkSection, "1"), "1");
    EXPECT_EQ(raw.readString(f.pathSection, "1"), "/usr/bin/game");

    EXPECT_EQ(index.count(), 2);
    EXPECT_EQ(index.name(1), "Game");
    EXPECT_EQ(index.selected(), 1);
    EXPECT_TRUE(index.linked(1));
    EXPECT_EQ(index.linkPath(1), "/usr/bin/game");
}

INSTANTIATE_TEST_SUITE_P(
    Lists, ProfileIndexSections,
    ::testing::Values(
        ListFile{ProfileList::KeyboardLight, "kb", "kbProfile.ini", "PROFILEDENGCOUNT",
                 "PROFILEDENGNAME", "PROFILEDENGSELECT", "PROFILELIKEDENGEXE", "DENGPROCESS"},
        ListFile{ProfileList::KeyboardKeys, "kb", "kbProfile.ini", "PROFILECOUNT", "PROFILENAME",
                 "PROFILESELECT", "PROFILELIKEEXE", "PROCESS"},
        ListFile{ProfileList::MouseLight, "ms", "msProfile.ini", "PROFILEDENGCOUNT",
                 "PROFILEDENGNAME", "PROFILEDENGSELECT", "PROFILELIKEDENGEXE", "DENGPROCESS"},
        ListFile{ProfileList::MouseKeys, "ms", "msProfile.ini", "PROFILECOUNT", "PROFILENAME",
                 "PROFILESELECT", "PROFILELIKEEXE", "PROCESS"},
        ListFile{ProfileList::MousePadLight, "mp", "mpProfile.ini", "PROFILEDENGCOUNT",
                 "PROFILEDENGNAME", "PROFILEDENGSELECT", "PROFILELIKEDENGEXE", "DENGPROCESS"}));

TEST_F(ProfileIndexTest, LightAndKeyListsOfOneFileStayApart) {
    ProfileIndex light(ProfileList::KeyboardLight);
    ProfileIndex keys(ProfileList::KeyboardKeys);
    light.setCount(3);
    light.setName(0, "Lights");
    keys.setCount(1);
    keys.setName(0, "Keys");
    EXPECT_EQ(light.path(), keys.path());
    EXPECT_EQ(light.count(), 3);
    EXPECT_EQ(keys.count(), 1);
    EXPECT_EQ(light.name(0), "Lights");
    EXPECT_EQ(keys.name(0), "Keys");
}

TEST_F(ProfileIndexTest, MissingEntriesReadAsZero) {
    const ProfileIndex index(ProfileList::MouseLight);
    EXPECT_EQ(index.rawCount(), 0);
    EXPECT_EQ(index.name(4), "0");
    EXPECT_EQ(index.selected(), 0);
    EXPECT_EQ(index.linkFlag(0), 0);
    EXPECT_EQ(index.linkPath(0), "0");
}

// Stored count texts: what they read as, and the count a list is built with.
struct CountCase {
    const char* text;
    long raw;
    long count;
};

class ProfileIndexCount : public testing::TempFolders,
                          public ::testing::WithParamInterface<CountCase> {};

TEST_P(ProfileIndexCount, ReadsLikeTheCConversionAndIsBounded) {
    const CountCase& c = GetParam();
    ProfileIndex index(ProfileList::KeyboardKeys);
    platform::IniFile(index.path()).writeString("PROFILECOUNT", "count", c.text);
    EXPECT_EQ(index.rawCount(), c.raw);
    EXPECT_EQ(index.count(), c.count);
}

INSTANTIATE_TEST_SUITE_P(Texts, ProfileIndexCount,
                         ::testing::Values(CountCase{"3", 3, 3}, CountCase{" +4x", 4, 4},
                                           CountCase{"abc", 0, 0}, CountCase{"-3", -3, 0},
                                           CountCase{"2147483648", 2147483648L, kMaxProfileCount},
                                           CountCase{"999999999999999999999999", LONG_MAX,
                                                     kMaxProfileCount}));

TEST_F(ProfileIndexTest, LinkFlagCountsStrictlyOnlyWhenExactlyOne) {
    ProfileIndex index(ProfileList::MouseKeys);
    platform::IniFile raw(index.path());
    raw.writeString("PROFILELIKEEXE", "0", "2");
    raw.writeString("PROFILELIKEEXE", "1", "1");
    EXPECT_EQ(index.linkFlag(0), 2);
    EXPECT_FALSE(index.linked(0));
    EXPECT_TRUE(index.linked(1));
}

TEST_F(ProfileIndexTest, ProfilePathKeepsNamesInTheirFolder) {
    EXPECT_EQ(profilePath(ProfileList::KeyboardLight, "New Profile 1"),
              dataRoot() / "kb" / "New Profile 1.led");
    EXPECT_EQ(profilePath(ProfileList::MouseKeys, "0"), dataRoot() / "ms" / "0.pro");
    EXPECT_EQ(profilePath(ProfileList::MousePadLight, "pad"), dataRoot() / "mp" / "pad.led");
    for (const char* bad : {"", "..", "../kb/x", "a/b", "a\\b", "tab\there"}) {
        EXPECT_FALSE(profilePath(ProfileList::KeyboardLight, bad)) << bad;
    }
}

// Index files written by other installations: UTF-16 with a byte-order mark, or single-byte
// Windows-1252. Their names find their files, and the program's writes keep the encoding.
struct IndexEncoding {
    const char* name;
    std::string (*encode)(std::u16string_view);
};

class ForeignIndex : public testing::TempFolders,
                     public ::testing::WithParamInterface<IndexEncoding> {
  protected:
    static std::u16string indexText(char16_t selected, std::u16string_view second) {
        return u"[PROFILEDENGCOUNT]\r\ncount=2\r\n[PROFILEDENGNAME]\r\n0=New Profile 1\r\n1=" +
               std::u16string(second) + u"\r\n[PROFILEDENGSELECT]\r\nselect=" + selected + u"\r\n";
    }
};

TEST_P(ForeignIndex, RoundTripsInItsOwnEncoding) {
    const auto encode = GetParam().encode;
    const fs::path indexFile = dataRoot() / "kb" / "kbProfile.ini";
    fs::create_directories(indexFile.parent_path());
    const std::string original = encode(indexText(u'0', u"Spiel für"));
    testing::writeBytes(indexFile, std::vector<std::uint8_t>(original.begin(), original.end()));
    const auto body = testing::patternBytes(kKeyboardLightBodyLength, 5);
    ASSERT_TRUE(WriteProfileFile(dataRoot() / "kb" / "Spiel für.led", ClassCode::Keyboard, body));

    ProfileIndex index(ProfileList::KeyboardLight);
    EXPECT_EQ(readIndexList(index), (std::vector<std::string>{"New Profile 1", "Spiel für"}));
    lighting::KeyboardLightState state;
    EXPECT_EQ(LoadKeyboardLight(1, state), kReadOk) << "the name finds its file";

    ASSERT_TRUE(index.setSelected(1));
    ASSERT_TRUE(index.write([](ProfileIndex::Edit& edit) { edit.setName(1, "Spiel für 2"); }));
    const std::vector<std::uint8_t> after = testing::readBytes(indexFile);
    EXPECT_EQ(std::string(after.begin(), after.end()), encode(indexText(u'1', u"Spiel für 2")));
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, ForeignIndex,
    ::testing::Values(IndexEncoding{"Utf16LittleEndian",
                                    [](std::u16string_view t) { return encodeUtf16(t, true); }},
                      IndexEncoding{"Utf16BigEndian",
                                    [](std::u16string_view t) { return encodeUtf16(t, false); }},
                      IndexEncoding{"Windows1252", encodeSingleByte}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProfileIndexTest, AnEditThatCannotBeStoredWritesNothing) {
    ProfileIndex index(ProfileList::KeyboardKeys);
    ASSERT_TRUE(index.setCount(1));
    EXPECT_FALSE(index.write([](ProfileIndex::Edit& edit) {
        edit.setCount(2);
        edit.setName(1, "two\nlines");
    }));
    EXPECT_EQ(index.rawCount(), 1) << "no part of the edit reached the file";
}

}  // namespace
}  // namespace korvane::profiles
