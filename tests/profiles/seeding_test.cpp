#include "core/profiles/seeding.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <map>
#include <string>
#include <vector>

#include <unistd.h>

#include <fstream>

#include "core/lighting/keyboard_light_payload.h"
#include "core/platform/debug_line.h"
#include "core/platform/ini_file.h"
#include "core/profiles/default_files.h"
#include "core/profiles/profile_file.h"
#include "core/profiles/profile_store.h"
#include "profiles_fixture.h"

namespace korvane::profiles {
namespace {

namespace fs = std::filesystem;

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::patternBytes;
using testing::readBytes;
using testing::writeBytes;
using Bytes = std::vector<std::uint8_t>;

// The program folder holds default files with distinct bodies, so every copy can be traced
// to its source.
class SeedingTest : public testing::TempFolders {
  protected:
    void SetUp() override {
        TempFolders::SetUp();
        std::uint32_t seed = 1;
        for (const auto& [file, length] : kDefaults) {
            bodies_[file] = patternBytes(length, seed++);
            WriteProfileFile(programFolder() / file, ClassCode::Keyboard, bodies_[file]);
        }
    }

    const Bytes& defaultBody(const std::string& file) { return bodies_.at(file); }

    Bytes body(const fs::path& path, std::size_t length) {
        Bytes b(length, 0);
        EXPECT_EQ(ReadProfileFile(path, b), kReadOk) << path;
        return b;
    }

    void breakSignature(const std::string& file) {
        Bytes bytes = readBytes(programFolder() / file);
        bytes[0] = 0x55;
        bytes[1] = 0xAA;
        writeBytes(programFolder() / file, bytes);
    }

    IndexLists load() {
        return LoadIndexLists(seeded_, [&](std::string_view key) { messages_.emplace_back(key); });
    }

    static inline const std::vector<std::pair<std::string, std::size_t>> kDefaults{
        {"kbdengdefault.led", 1958},       {"kbonecolordengdefault.led", 1958},
        {"kbdengregiondefault.led", 1958}, {"kbkeydefault.pro", 512},
        {"kbkeyonecolordefault.pro", 512}, {"kbkeyfilmdefault.pro", 512},
        {"kbkeymembranedefault.pro", 512}, {"msdengdefault.led", 64},
        {"msdengdefault2.led", 64},        {"msdengdefault3.led", 64},
        {"mskeydefault.pro", 512},         {"mpdengdefault.led", 64}};

    std::map<std::string, Bytes> bodies_;
    SeededThisRun seeded_;
    std::vector<std::string> messages_;
};

TEST_F(SeedingTest, FirstStartSeedsEveryListAndWritesTheStashes) {
    const IndexLists lists = load();
    EXPECT_THAT(messages_, IsEmpty());
    for (const ProfileList list : kAllProfileLists) {
        EXPECT_THAT(lists[list], ElementsAre("New Profile 1"));
    }

    const fs::path kb = dataRoot() / "kb";
    const fs::path ms = dataRoot() / "ms";
    const fs::path mp = dataRoot() / "mp";
    EXPECT_EQ(body(kb / "New Profile 1.led", 1958), defaultBody("kbdengdefault.led"));
    EXPECT_EQ(body(kb / "Profile.led", 1958), defaultBody("kbonecolordengdefault.led"));
    EXPECT_EQ(body(kb / "Profile2.led", 1958), defaultBody("kbdengregiondefault.led"));
    EXPECT_EQ(body(kb / "New Profile 1.pro", 512), defaultBody("kbkeydefault.pro"));
    EXPECT_EQ(body(ms / "New Profile 1.led", 64), defaultBody("msdengdefault.led"));
    EXPECT_EQ(body(ms / "Profile.led", 64), defaultBody("msdengdefault3.led"));
    EXPECT_EQ(body(ms / "New Profile 1.pro", 512), defaultBody("mskeydefault.pro"));
    // Opened as "mpdengdefault.Led", found as the shipped "mpdengdefault.led".
    EXPECT_EQ(body(mp / "New Profile 1.led", 64), defaultBody("mpdengdefault.led"));

    // Seeded files carry the class code of their list, whatever the default's said.
    EXPECT_EQ(readBytes(ms / "New Profile 1.led")[4], 2);
    EXPECT_EQ(readBytes(mp / "New Profile 1.led")[4], 3);
    EXPECT_EQ(readBytes(kb / "New Profile 1.led").size(), 16u + 1958u);

    const platform::IniFile kbIndex(kb / "kbProfile.ini");
    for (const auto& [count, name, select, link, path] :
         {std::array<const char*, 5>{"PROFILEDENGCOUNT", "PROFILEDENGNAME", "PROFILEDENGSELECT",
                                     "PROFILELIKEDENGEXE", "DENGPROCESS"},
          std::array<const char*, 5>{"PROFILECOUNT", "PROFILENAME", "PROFILESELECT",
                                     "PROFILELIKEEXE", "PROCESS"}}) {
        EXPECT_EQ(kbIndex.readString(count, "count"), "1");
        EXPECT_EQ(kbIndex.readString(name, "0"), "New Profile 1");
        EXPECT_EQ(kbIndex.readString(select, "select"), "0");
        EXPECT_EQ(kbIndex.readString(link, "0", "missing"), "0");
        EXPECT_EQ(kbIndex.readString(path, "0", "missing"), "missing") << "no link path yet";
    }
    EXPECT_TRUE(fs::exists(ms / "msProfile.ini"));
    EXPECT_TRUE(fs::exists(mp / "mpProfile.ini"));
    EXPECT_TRUE(seeded_.keyboard());
    EXPECT_TRUE(seeded_.mouse());
}

TEST_F(SeedingTest, SecondStartReadsTheListsAndSeedsNothing) {
    load();
    ProfileIndex keys(ProfileList::MouseKeys);
    keys.setCount(2);
    keys.setName(1, "FPS");
    const Bytes before = readBytes(dataRoot() / "kb" / "New Profile 1.led");
    writeBytes(dataRoot() / "kb" / "New Profile 1.led", Bytes(10, 0));

    SeededThisRun second;
    const IndexLists lists = LoadIndexLists(second, {});
    EXPECT_THAT(lists[ProfileList::MouseKeys], ElementsAre("New Profile 1", "FPS"));
    EXPECT_EQ(readBytes(dataRoot() / "kb" / "New Profile 1.led").size(), 10u) << "not re-seeded";
    EXPECT_FALSE(second.keyboard());
    EXPECT_FALSE(second.mouse());
}

TEST_F(SeedingTest, UnreadableCountSeedsAgainOverNewProfile1) {
    load();
    platform::IniFile(dataRoot() / "kb" / "kbProfile.ini")
        .writeString("PROFILECOUNT", "count", "abc");
    writeBytes(dataRoot() / "kb" / "New Profile 1.pro", Bytes(16, 0));

    SeededThisRun second;
    const IndexLists lists = LoadIndexLists(second, {});
    EXPECT_THAT(lists[ProfileList::KeyboardKeys], ElementsAre("New Profile 1"));
    EXPECT_EQ(body(dataRoot() / "kb" / "New Profile 1.pro", 512), defaultBody("kbkeydefault.pro"));
    EXPECT_EQ(ProfileIndex(ProfileList::KeyboardKeys).rawCount(), 1);
}

TEST_F(SeedingTest, ListsShowMissingNamesAsZeroAndNegativeCountsAsEmpty) {
    ProfileIndex light(ProfileList::KeyboardLight);
    light.setCount(3);
    light.setName(0, "A");
    light.setName(2, "C");
    ProfileIndex pad(ProfileList::MousePadLight);
    pad.setCount(-2);

    const IndexLists lists = load();
    EXPECT_THAT(lists[ProfileList::KeyboardLight], ElementsAre("A", "0", "C"));
    EXPECT_THAT(lists[ProfileList::MousePadLight], IsEmpty());
    EXPECT_FALSE(fs::exists(dataRoot() / "mp" / "New Profile 1.led")) << "negative is no reseed";
    EXPECT_FALSE(seeded_.keyboard());
}

TEST_F(SeedingTest, HugeCountIsReadOnlyUpToTheLimit) {
    ProfileIndex keys(ProfileList::KeyboardKeys);
    platform::IniFile(keys.path()).writeString("PROFILECOUNT", "count", "2147483648");
    keys.setName(0, "first");
    const IndexLists lists = load();
    ASSERT_EQ(lists[ProfileList::KeyboardKeys].size(), static_cast<std::size_t>(kMaxProfileCount));
    EXPECT_EQ(lists[ProfileList::KeyboardKeys].front(), "first");
    EXPECT_EQ(lists[ProfileList::KeyboardKeys].back(), "0");
}

TEST_F(SeedingTest, MissingRgbDefaultLeavesOnlyTheKeyboardLightListEmpty) {
    fs::remove(programFolder() / "kbdengdefault.led");
    const IndexLists lists = load();
    EXPECT_THAT(messages_, ElementsAre("message_text_8"));
    EXPECT_THAT(lists[ProfileList::KeyboardLight], IsEmpty());
    EXPECT_EQ(ProfileIndex(ProfileList::KeyboardLight).rawCount(), 0) << "next start tries again";
    EXPECT_FALSE(fs::exists(dataRoot() / "kb" / "New Profile 1.led"));
    EXPECT_FALSE(fs::exists(dataRoot() / "kb" / "Profile.led"));
    EXPECT_FALSE(seeded_.keyboard());
    EXPECT_THAT(lists[ProfileList::KeyboardKeys], ElementsAre("New Profile 1"));
    EXPECT_THAT(lists[ProfileList::MouseLight], ElementsAre("New Profile 1"));
    EXPECT_THAT(lists[ProfileList::MousePadLight], ElementsAre("New Profile 1"));
}

// Which message a keyboard light seeding shows when several defaults are broken.
struct FailureCase {
    const char* name;
    std::vector<std::string> missing;
    std::vector<std::string> bad;
    const char* message;
};

class SeedingFailureOrder : public SeedingTest,
                            public ::testing::WithParamInterface<FailureCase> {};

TEST_P(SeedingFailureOrder, ReportsOneMessageInPriorityOrder) {
    const FailureCase& c = GetParam();
    for (const auto& file : c.missing) {
        fs::remove(programFolder() / file);
    }
    for (const auto& file : c.bad) {
        breakSignature(file);
    }
    EXPECT_THAT(FirstRunSeeding(ProfileList::KeyboardLight, seeded_,
                                [&](std::string_view key) { messages_.emplace_back(key); }),
                IsEmpty());
    EXPECT_THAT(messages_, ElementsAre(c.message));
    EXPECT_FALSE(fs::exists(dataRoot() / "kb" / "New Profile 1.led"));
    EXPECT_FALSE(fs::exists(dataRoot() / "kb" / "Profile2.led"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SeedingFailureOrder,
    ::testing::Values(FailureCase{"BadRgbBeforeMissingMono",
                                  {"kbonecolordengdefault.led"},
                                  {"kbdengdefault.led"},
                                  "message_text_9"},
                      FailureCase{"MissingOtherBeforeBadOther",
                                  {"kbdengregiondefault.led"},
                                  {"kbonecolordengdefault.led"},
                                  "message_text_8"},
                      FailureCase{"BadRegion", {}, {"kbdengregiondefault.led"}, "message_text_9"},
                      FailureCase{
                          "MissingMono", {"kbonecolordengdefault.led"}, {}, "message_text_8"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SeedingTest, MouseLightNeedsOnlyItsOwnDefault) {
    fs::remove(programFolder() / "msdengdefault3.led");
    const IndexLists lists = load();
    EXPECT_THAT(messages_, IsEmpty());
    EXPECT_THAT(lists[ProfileList::MouseLight], ElementsAre("New Profile 1"));
    EXPECT_FALSE(fs::exists(dataRoot() / "ms" / "Profile.led"))
        << "no stash of zeros for a later re-seed";

    SeedingTest::breakSignature("msdengdefault.led");
    ProfileIndex(ProfileList::MouseLight).setCount(0);
    EXPECT_THAT(FirstRunSeeding(ProfileList::MouseLight, seeded_,
                                [&](std::string_view key) { messages_.emplace_back(key); }),
                IsEmpty());
    EXPECT_THAT(messages_, ElementsAre("message_text_9"));
}

TEST_F(SeedingTest, KeyboardKeySeedFollowsTheKind) {
    FirstRunSeeding(ProfileList::KeyboardKeys, seeded_, {}, device::DeviceKind::MembraneKeyboard);
    EXPECT_EQ(body(dataRoot() / "kb" / "New Profile 1.pro", 512),
              defaultBody("kbkeymembranedefault.pro"));
}

TEST_F(SeedingTest, TheSeededIndexIsOneWholeWriteWithTheCountLast) {
    load();
    const std::vector<std::uint8_t> bytes = readBytes(dataRoot() / "mp" / "mpProfile.ini");
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_EQ(text,
              "[PROFILELIKEDENGEXE]\r\n0=0\r\n"
              "[PROFILEDENGNAME]\r\n0=New Profile 1\r\n"
              "[PROFILEDENGSELECT]\r\nselect=0\r\n"
              "[PROFILEDENGCOUNT]\r\ncount=1\r\n");
}

TEST_F(SeedingTest, AProfileThatCannotBeWrittenLeavesNoPhantomEntry) {
    fs::create_directories(dataRoot() / "kb" / "New Profile 1.pro");  // in the file's place
    const IndexLists lists = load();
    EXPECT_THAT(lists[ProfileList::KeyboardKeys], IsEmpty());
    const platform::IniFile index(dataRoot() / "kb" / "kbProfile.ini");
    EXPECT_EQ(index.readString("PROFILECOUNT", "count", "none"), "none");
    EXPECT_EQ(index.readString("PROFILENAME", "0", "none"), "none");
    EXPECT_FALSE(seeded_.keyboardKeys.has_value());
    EXPECT_THAT(lists[ProfileList::KeyboardLight], ElementsAre("New Profile 1"));
}

// An index that is there but cannot be read is no first run: the user's profiles survive.
struct UnreadableCase {
    const char* name;
    void (*spoil)(const fs::path& index);
    bool needsUnprivileged;
};

class UnreadableIndex : public SeedingTest, public ::testing::WithParamInterface<UnreadableCase> {
  protected:
    void TearDown() override {
        std::error_code ec;
        fs::permissions(dataRoot() / "kb" / "kbProfile.ini", fs::perms::owner_all, ec);
        SeedingTest::TearDown();
    }
};

TEST_P(UnreadableIndex, LeavesEveryFileAloneAndTellsTheUserOnce) {
    if (GetParam().needsUnprivileged && ::geteuid() == 0) {
        GTEST_SKIP() << "permissions do not stop root";
    }
    load();
    const fs::path kb = dataRoot() / "kb";
    ProfileIndex light(ProfileList::KeyboardLight);
    light.setCount(2);
    light.setName(1, "Mine");
    WriteProfileFile(kb / "New Profile 1.led", ClassCode::Keyboard, patternBytes(1958, 99));
    WriteProfileFile(kb / "New Profile 1.pro", ClassCode::Keyboard, patternBytes(512, 98));
    std::map<std::string, Bytes> before;
    for (const auto& entry : fs::directory_iterator(kb)) {
        if (entry.is_regular_file()) {
            before[entry.path().filename().string()] = readBytes(entry.path());
        }
    }
    GetParam().spoil(kb / "kbProfile.ini");
    std::error_code sizeError;
    const auto spoiledSize = fs::file_size(kb / "kbProfile.ini", sizeError);

    std::vector<std::string> lines;
    platform::setDebugSink([&](std::string_view line) { lines.emplace_back(line); });
    messages_.clear();
    SeededThisRun second;
    const IndexLists lists =
        LoadIndexLists(second, [&](std::string_view key) { messages_.emplace_back(key); });
    platform::setDebugSink({});

    EXPECT_THAT(messages_, ElementsAre("message_profile_index_unreadable"));
    EXPECT_THAT(lines, ::testing::Contains(::testing::HasSubstr((kb / "kbProfile.ini").string())));
    EXPECT_THAT(lists.unreadable, ElementsAre(kb / "kbProfile.ini"));
    EXPECT_THAT(lists[ProfileList::KeyboardLight], IsEmpty());
    EXPECT_THAT(lists[ProfileList::KeyboardKeys], IsEmpty());
    EXPECT_THAT(lists[ProfileList::MouseLight], ElementsAre("New Profile 1"));
    EXPECT_FALSE(second.keyboard());
    std::error_code ec;
    fs::permissions(kb / "kbProfile.ini", fs::perms::owner_all, ec);
    for (const auto& [name, bytes] : before) {
        if (name != "kbProfile.ini") {
            EXPECT_EQ(readBytes(kb / name), bytes) << name << " was touched";
        }
    }
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(kb)) {
        ++files;
    }
    EXPECT_EQ(files, before.size()) << "nothing new in the folder";
    std::error_code afterError;
    EXPECT_EQ(fs::file_size(kb / "kbProfile.ini", afterError), spoiledSize);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnreadableIndex,
    ::testing::Values(UnreadableCase{"FolderInItsPlace",
                                     [](const fs::path& index) {
                                         fs::remove(index);
                                         fs::create_directory(index);
                                     },
                                     false},
                      UnreadableCase{"LargerThanAnySettingsFile",
                                     [](const fs::path& index) {
                                         std::ofstream out(index, std::ios::app | std::ios::binary);
                                         out << ";" << std::string(5 * 1024 * 1024, 'x') << "\r\n";
                                     },
                                     false},
                      UnreadableCase{"NoReadPermission",
                                     [](const fs::path& index) {
                                         fs::permissions(index, fs::perms::owner_write);
                                     },
                                     true}),
    [](const auto& info) { return std::string(info.param.name); });

// The data folder cannot take files: one message at start, and nothing pretends to be saved.
TEST_F(SeedingTest, ADataFolderThatCannotBeCreatedIsReportedOnce) {
    writeBytes(root() / "blocked", Bytes{1});
    setenv("KORVANE_DATA_ROOT", (root() / "blocked" / "QV").c_str(), 1);
    std::vector<std::string> lines;
    platform::setDebugSink([&](std::string_view line) { lines.emplace_back(line); });
    const IndexLists lists = load();
    platform::setDebugSink({});
    EXPECT_THAT(messages_, ElementsAre("message_data_folder_unwritable"));
    EXPECT_THAT(lines, ::testing::Contains(::testing::HasSubstr((root() / "blocked/QV").string())));
    for (const ProfileList list : kAllProfileLists) {
        EXPECT_THAT(lists[list], IsEmpty()) << "no list shows a profile that was not stored";
    }
}

TEST_F(SeedingTest, AReadOnlyDataFolderIsReportedOnceAndItsListsStillLoad) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "permissions do not stop root";
    }
    load();
    messages_.clear();
    fs::permissions(dataRoot() / "kb", fs::perms::owner_read | fs::perms::owner_exec);
    SeededThisRun second;
    std::vector<std::string> lines;
    platform::setDebugSink([&](std::string_view line) { lines.emplace_back(line); });
    const IndexLists lists =
        LoadIndexLists(second, [&](std::string_view key) { messages_.emplace_back(key); });
    lighting::KeyboardLightState state;
    const bool saved = SaveKeyboardLight(state);
    platform::setDebugSink({});
    fs::permissions(dataRoot() / "kb", fs::perms::owner_all);
    EXPECT_THAT(messages_, ElementsAre("message_data_folder_unwritable"));
    EXPECT_THAT(lists[ProfileList::KeyboardLight], ElementsAre("New Profile 1"));
    EXPECT_FALSE(saved);
    EXPECT_THAT(lines, ::testing::Contains("文件打开失败")) << "the lost save is said";
}

TEST_F(SeedingTest, OtherListsRunInTheirPlaceOfTheOrder) {
    std::vector<std::string> order;
    IndexListHooks hooks;
    hooks.keyboardMacros = [&] {
        order.push_back("kb macros");
        EXPECT_FALSE(fs::exists(dataRoot() / "kb" / "kbProfile.ini"));
    };
    hooks.mouseCursors = [&] {
        order.push_back("ms cursors");
        EXPECT_TRUE(fs::exists(dataRoot() / "kb" / "New Profile 1.pro"));
        EXPECT_FALSE(fs::exists(dataRoot() / "ms" / "msProfile.ini"));
    };
    hooks.mouseMacros = [&] { order.push_back("ms macros"); };
    LoadIndexLists(seeded_, {}, hooks);
    EXPECT_THAT(order, ElementsAre("kb macros", "ms cursors", "ms macros"));
}

class ReseedTest : public SeedingTest {
  protected:
    void SetUp() override {
        SeedingTest::SetUp();
        load();
    }
    Bytes keyboardProfile() { return body(dataRoot() / "kb" / "New Profile 1.led", 1958); }
    Bytes mouseProfile() { return body(dataRoot() / "ms" / "New Profile 1.led", 64); }
};

TEST_F(ReseedTest, KeyboardOfAnotherKindGetsItsOwnDefault) {
    using device::DeviceKind;
    EXPECT_FALSE(ReseedOnConnect(DeviceKind::RgbKeyboard, seeded_, {}));
    EXPECT_EQ(keyboardProfile(), defaultBody("kbdengdefault.led"));

    EXPECT_TRUE(ReseedOnConnect(DeviceKind::MonoKeyboard, seeded_, {}));
    EXPECT_EQ(keyboardProfile(), defaultBody("kbonecolordengdefault.led"));
    EXPECT_EQ(readBytes(dataRoot() / "kb" / "New Profile 1.led")[4], 1);

    // Still as the program left it: a membrane keyboard plugged later gets the zoned one.
    EXPECT_TRUE(ReseedOnConnect(DeviceKind::MembraneKeyboard, seeded_, {}));
    EXPECT_EQ(keyboardProfile(), defaultBody("kbdengregiondefault.led"));
    EXPECT_THAT(ProfileIndex(ProfileList::KeyboardLight).name(0), "New Profile 1");
}

TEST_F(ReseedTest, UserChangesAreNeverReplaced) {
    Bytes edited = keyboardProfile();
    edited[5] ^= 0xFF;
    WriteProfileFile(dataRoot() / "kb" / "New Profile 1.led", ClassCode::Keyboard, edited);
    EXPECT_FALSE(ReseedOnConnect(device::DeviceKind::RegionKeyboard, seeded_, {}));
    EXPECT_EQ(keyboardProfile(), edited);
    EXPECT_FALSE(seeded_.keyboard());
    // Restoring the old bytes does not bring the re-seed back within this run.
    WriteProfileFile(dataRoot() / "kb" / "New Profile 1.led", ClassCode::Keyboard,
                     defaultBody("kbdengdefault.led"));
    EXPECT_FALSE(ReseedOnConnect(device::DeviceKind::MonoKeyboard, seeded_, {}));
}

TEST_F(ReseedTest, TheKeyProfileFollowsTheKeyboardThatConnects) {
    using device::DeviceKind;
    const auto keys = [&] { return body(dataRoot() / "kb" / "New Profile 1.pro", 512); };
    EXPECT_FALSE(ReseedKeysOnConnect(DeviceKind::RgbKeyboard, seeded_, {}));
    EXPECT_EQ(keys(), defaultBody("kbkeydefault.pro"));
    EXPECT_TRUE(ReseedKeysOnConnect(DeviceKind::MonoKeyboard, seeded_, {}));
    EXPECT_EQ(keys(), defaultBody("kbkeyonecolordefault.pro"));
    EXPECT_TRUE(ReseedKeysOnConnect(DeviceKind::MembraneKeyboard, seeded_, {}));
    EXPECT_EQ(keys(), defaultBody("kbkeymembranedefault.pro"));
    EXPECT_TRUE(ReseedKeysOnConnect(DeviceKind::RegionKeyboard, seeded_, {}));
    EXPECT_EQ(keys(), defaultBody("kbkeyfilmdefault.pro"));
    EXPECT_TRUE(ReseedKeysOnConnect(DeviceKind::RgbKeyboard, seeded_, {}));
    EXPECT_EQ(keys(), defaultBody("kbkeydefault.pro"));
    EXPECT_FALSE(ReseedKeysOnConnect(DeviceKind::Mouse, seeded_, {}));
    EXPECT_THAT(ProfileIndex(ProfileList::KeyboardKeys).name(0), "New Profile 1");
}

TEST_F(ReseedTest, AnEditedKeyProfileIsNeverReplaced) {
    Bytes edited = defaultBody("kbkeydefault.pro");
    edited[0] ^= 0xFF;
    WriteProfileFile(dataRoot() / "kb" / "New Profile 1.pro", ClassCode::Keyboard, edited);
    EXPECT_FALSE(ReseedKeysOnConnect(device::DeviceKind::MonoKeyboard, seeded_, {}));
    EXPECT_EQ(body(dataRoot() / "kb" / "New Profile 1.pro", 512), edited);
    EXPECT_FALSE(seeded_.keyboardKeys.has_value());
}

TEST_F(ReseedTest, Mouse2GetsItsDefaultAndOtherMiceKeepTheSeed) {
    using device::DeviceKind;
    EXPECT_FALSE(ReseedOnConnect(DeviceKind::Mouse, seeded_, {}));
    EXPECT_FALSE(ReseedOnConnect(DeviceKind::MouseAlt, seeded_, {}));
    EXPECT_EQ(mouseProfile(), defaultBody("msdengdefault.led"));
    EXPECT_TRUE(ReseedOnConnect(DeviceKind::Mouse2, seeded_, {}));
    EXPECT_EQ(mouseProfile(), defaultBody("msdengdefault3.led"));
    EXPECT_FALSE(ReseedOnConnect(DeviceKind::MousePad, seeded_, {}));
}

TEST_F(ReseedTest, MissingStashIsReportedAndChangesNothing) {
    fs::remove(dataRoot() / "kb" / "Profile.led");
    EXPECT_FALSE(ReseedOnConnect(device::DeviceKind::MonoKeyboard, seeded_,
                                 [&](std::string_view key) { messages_.emplace_back(key); }));
    EXPECT_THAT(messages_, ElementsAre("message_text_8"));
    EXPECT_EQ(keyboardProfile(), defaultBody("kbdengdefault.led"));
}

TEST_F(ReseedTest, NothingIsReplacedWhenTheListWasNotSeededThisRun) {
    SeededThisRun notSeeded;
    EXPECT_FALSE(ReseedOnConnect(device::DeviceKind::MonoKeyboard, notSeeded, {}));
    EXPECT_FALSE(ReseedOnConnect(device::DeviceKind::Mouse2, notSeeded, {}));
    EXPECT_EQ(keyboardProfile(), defaultBody("kbdengdefault.led"));
    EXPECT_EQ(mouseProfile(), defaultBody("msdengdefault.led"));
}

}  // namespace
}  // namespace korvane::profiles
