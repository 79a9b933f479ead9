#include "core/profiles/profile_store.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include <unistd.h>

#include "core/platform/debug_line.h"
#include "core/profiles/default_files.h"
#include "core/profiles/profile_file.h"
#include "core/profiles/profile_index.h"
#include "profiles_fixture.h"

namespace korvane::profiles {
namespace {

namespace fs = std::filesystem;

using ::testing::ElementsAre;
using testing::patternBytes;
using testing::readBytes;
using testing::writeBytes;
using Bytes = std::vector<std::uint8_t>;

class ProfileStoreTest : public testing::TempFolders {
  protected:
    // A list of two profiles, "A" and "B", with "B" selected.
    void makeList(ProfileList list) {
        ProfileIndex index(list);
        index.setCount(2);
        index.setName(0, "A");
        index.setName(1, "B");
        index.setSelected(1);
    }
    fs::path file(ProfileList list, const std::string& name) { return *profilePath(list, name); }

    Bytes bodyOf(const fs::path& path) {
        const Bytes bytes = readBytes(path);
        return bytes.size() < 16 ? Bytes{} : Bytes(bytes.begin() + 16, bytes.end());
    }
};

TEST_F(ProfileStoreTest, KeyboardLightPayloadSurvivesLoadAndSaveUnchanged) {
    makeList(ProfileList::KeyboardLight);
    const Bytes payload = patternBytes(1958, 42);
    WriteProfileFile(file(ProfileList::KeyboardLight, "B"), ClassCode::Mouse, payload);

    lighting::KeyboardLightState state;
    ASSERT_EQ(LoadKeyboardLight(1, state), kReadOk);
    EXPECT_EQ(state.slots[0].record, state.live);
    EXPECT_EQ(state.word.slot, payload[64]);
    EXPECT_EQ(state.store.slots[4].back(), payload.back());

    ASSERT_TRUE(SaveKeyboardLight(state));  // "B" is selected
    const Bytes saved = readBytes(file(ProfileList::KeyboardLight, "B"));
    ASSERT_EQ(saved.size(), 16u + 1958u);
    EXPECT_EQ(saved[4], 1) << "saved with the keyboard class code";
    EXPECT_EQ(bodyOf(file(ProfileList::KeyboardLight, "B")), payload);
}

TEST_F(ProfileStoreTest, KeyboardLightSaveTakesTheLiveRecordOverSlotZero) {
    makeList(ProfileList::KeyboardLight);
    lighting::KeyboardLightState state;
    state.slots[0].carried.fill(0x77);
    state.slots[0].record.light.mode = 1;
    state.live.light.mode = 9;
    state.live.light.brightness = 14;
    ASSERT_TRUE(SaveKeyboardLight(state));
    const Bytes body = bodyOf(file(ProfileList::KeyboardLight, "B"));
    ASSERT_EQ(body.size(), 1958u);
    EXPECT_EQ(body[1], 9);
    EXPECT_EQ(body[2], 14);
    EXPECT_EQ(body[21], 0x77);
    EXPECT_EQ(body[63], 0x77);
}

TEST_F(ProfileStoreTest, HeaderOnlyMouseLightFileLoadsWithSpeedsOfOne) {
    makeList(ProfileList::MouseLight);
    writeBytes(file(ProfileList::MouseLight, "A"),
               Bytes{0xAA, 0x55, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    MouseLightState state;
    state.live.light.mode = 5;
    state.kept.carried.fill(9);
    ASSERT_EQ(LoadMouseLight(0, state), kReadOk);
    EXPECT_EQ(state.kept, MouseLightRecord{});
    EXPECT_EQ(state.live, lighting::MouseSettingsRecord{});
    EXPECT_EQ(state.pointerSpeed, 1);
    EXPECT_EQ(state.wheelSpeed, 1);
}

TEST_F(ProfileStoreTest, MouseLightSaveCarriesWhatItDoesNotOwn) {
    makeList(ProfileList::MouseLight);
    const Bytes original = patternBytes(64, 5);
    WriteProfileFile(file(ProfileList::MouseLight, "B"), ClassCode::Mouse, original);
    MouseLightState state;
    ASSERT_EQ(LoadMouseLight(1, state), kReadOk);
    EXPECT_EQ(state.pointerSpeed, original[23] == 0 ? 1 : original[23]);

    state.live.light.mode = 3;
    state.live.dpiStages[5] = 200;
    state.pointerSpeed = 10;
    state.wheelSpeed = 3;
    ASSERT_TRUE(SaveMouseLight(state));
    const Bytes saved = readBytes(file(ProfileList::MouseLight, "B"));
    ASSERT_EQ(saved.size(), 16u + 64u);
    EXPECT_EQ(saved[4], 2);
    Bytes expected = original;
    expected[1] = 3;
    expected[20] = 200;
    expected[23] = 10;
    expected[24] = 3;
    EXPECT_EQ(Bytes(saved.begin() + 16, saved.end()), expected);
}

TEST_F(ProfileStoreTest, MousePadLightLoadsAndSavesItsRecord) {
    makeList(ProfileList::MousePadLight);
    const Bytes original = patternBytes(64, 6);
    WriteProfileFile(file(ProfileList::MousePadLight, "A"), ClassCode::MousePad, original);
    MousePadLightState state;
    ASSERT_EQ(LoadMousePadLight(0, state), kReadOk);
    EXPECT_EQ(state.live.light.mode, original[1]);

    state.live.extra = 0xEE;
    ASSERT_TRUE(SaveMousePadLight(state));  // into "B", the selected profile
    Bytes expected = original;
    expected[9] = 0xEE;
    const Bytes saved = readBytes(file(ProfileList::MousePadLight, "B"));
    ASSERT_EQ(saved.size(), 16u + 64u);
    EXPECT_EQ(saved[4], 3);
    EXPECT_EQ(Bytes(saved.begin() + 16, saved.end()), expected);
}

struct KeyListCase {
    ProfileList list;
    int (*load)(long, KeyTableBytes);
    bool (*save)(ConstKeyTableBytes);
    std::uint8_t classCode;
};

class KeyProfileTest : public ProfileStoreTest,
                       public ::testing::WithParamInterface<KeyListCase> {};

TEST_P(KeyProfileTest, KeyTableLoadsAndSavesWhole) {
    const KeyListCase& c = GetParam();
    makeList(c.list);
    const Bytes table = patternBytes(512, 8);
    WriteProfileFile(file(c.list, "A"), ClassCode::Keyboard, table);

    std::array<std::uint8_t, 512> live{};
    ASSERT_EQ(c.load(0, live), kReadOk);
    EXPECT_EQ(Bytes(live.begin(), live.end()), table);

    live[511] ^= 1;
    ASSERT_TRUE(c.save(live));
    const Bytes saved = readBytes(file(c.list, "B"));
    ASSERT_EQ(saved.size(), 16u + 512u);
    EXPECT_EQ(saved[4], c.classCode);
    EXPECT_EQ(Bytes(saved.begin() + 16, saved.end()), Bytes(live.begin(), live.end()));
}

INSTANTIATE_TEST_SUITE_P(Lists, KeyProfileTest,
                         ::testing::Values(KeyListCase{ProfileList::KeyboardKeys, &LoadKeyboardKeys,
                                                       &SaveKeyboardKeys, 1},
                                           KeyListCase{ProfileList::MouseKeys, &LoadMouseKeys,
                                                       &SaveMouseKeys, 2}));

TEST_F(ProfileStoreTest, FailedLoadsKeepTheStateAndOnlySayWhy) {
    makeList(ProfileList::MouseLight);
    writeBytes(file(ProfileList::MouseLight, "B"), Bytes(80, 0x55));
    std::vector<std::string> lines;
    platform::setDebugSink([&](std::string_view line) { lines.emplace_back(line); });

    MouseLightState state;
    state.live.light.mode = 4;
    state.pointerSpeed = 12;
    EXPECT_EQ(LoadMouseLight(0, state), kReadMissing);  // "A" has no file
    EXPECT_EQ(LoadMouseLight(1, state), kReadBadSignature);
    platform::setDebugSink({});

    EXPECT_THAT(lines, ElementsAre("配置文件丢失", "配置文件格式错误"));
    EXPECT_EQ(state.live.light.mode, 4);
    EXPECT_EQ(state.pointerSpeed, 12);
}

TEST_F(ProfileStoreTest, NamesThatLeaveTheFolderAreNeitherReadNorWritten) {
    ProfileIndex index(ProfileList::KeyboardKeys);
    index.setCount(1);
    index.setName(0, "../escape");
    index.setSelected(0);
    const Bytes table = patternBytes(512, 9);
    WriteProfileFile(dataRoot() / "escape.pro", ClassCode::Keyboard, table);

    std::array<std::uint8_t, 512> live{};
    EXPECT_EQ(LoadKeyboardKeys(0, live), kReadMissing);
    EXPECT_EQ(live, (std::array<std::uint8_t, 512>{}));
    EXPECT_FALSE(SaveKeyboardKeys(live));
    EXPECT_EQ(bodyOf(dataRoot() / "escape.pro"), table);
}

TEST_F(ProfileStoreTest, SavesGoToTheSelectedProfile) {
    makeList(ProfileList::KeyboardKeys);
    ProfileIndex(ProfileList::KeyboardKeys).setSelected(0);
    std::array<std::uint8_t, 512> live{};
    live.fill(3);
    ASSERT_TRUE(SaveKeyboardKeys(live));
    EXPECT_TRUE(fs::exists(file(ProfileList::KeyboardKeys, "A")));
    EXPECT_FALSE(fs::exists(file(ProfileList::KeyboardKeys, "B")));
}

struct CaptureCase {
    device::DeviceKind kind;
    const char* file;
};

class CaptureDefaultKeyProfileTest : public ProfileStoreTest,
                                     public ::testing::WithParamInterface<CaptureCase> {};

TEST_P(CaptureDefaultKeyProfileTest, WritesTheKindsDefaultInTheProgramFolder) {
    const Bytes base = patternBytes(512, 10);
    std::array<std::uint8_t, 512> table{};
    std::copy(base.begin(), base.end(), table.begin());
    ASSERT_TRUE(CaptureDefaultKeyProfile(GetParam().kind, table));
    const Bytes saved = readBytes(programFolder() / GetParam().file);
    ASSERT_EQ(saved.size(), 16u + 512u);
    EXPECT_EQ(saved[4], 1);
    EXPECT_EQ(Bytes(saved.begin() + 16, saved.end()), base);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, CaptureDefaultKeyProfileTest,
    ::testing::Values(CaptureCase{device::DeviceKind::RgbKeyboard, "kbkeydefault.pro"},
                      CaptureCase{device::DeviceKind::MonoKeyboard, "kbkeyonecolordefault.pro"},
                      CaptureCase{device::DeviceKind::RegionKeyboard, "kbkeyfilmdefault.pro"},
                      CaptureCase{device::DeviceKind::MembraneKeyboard,
                                  "kbkeymembranedefault.pro"}));

// Program folders a capture must not write into; it goes to the data folder instead and is
// the default that new key profiles start from.
struct ProtectedFolderCase {
    const char* name;
    bool sourceTree;  // the source tree's data/ (else: a folder that cannot be written)
};

class CaptureIntoProtectedProgramFolder
    : public ProfileStoreTest,
      public ::testing::WithParamInterface<ProtectedFolderCase> {};

TEST_P(CaptureIntoProtectedProgramFolder, GoesToTheDataFolder) {
    fs::path program = programFolder();
    if (GetParam().sourceTree) {
        program = fs::path(KORVANE_SOURCE_DIR) / "data";
    } else {
        if (::geteuid() == 0) {
            GTEST_SKIP() << "permissions do not stop root";
        }
        fs::permissions(program, fs::perms::owner_read | fs::perms::owner_exec);
    }
    setenv("KORVANE_PROGRAM_FOLDER", program.c_str(), 1);
    const Bytes shipped = readBytes(program / "kbkeyonecolordefault.pro");

    const Bytes base = patternBytes(512, 11);
    std::array<std::uint8_t, 512> table{};
    std::copy(base.begin(), base.end(), table.begin());
    const bool captured = CaptureDefaultKeyProfile(device::DeviceKind::MonoKeyboard, table);
    fs::permissions(programFolder(), fs::perms::owner_all);

    ASSERT_TRUE(captured);
    EXPECT_EQ(readBytes(program / "kbkeyonecolordefault.pro"), shipped) << "program folder kept";
    EXPECT_EQ(bodyOf(dataRoot() / "kbkeyonecolordefault.pro"), base);
    EXPECT_EQ(defaultProfilePath(ProfileList::KeyboardKeys, device::DeviceKind::MonoKeyboard),
              dataRoot() / "kbkeyonecolordefault.pro");
    EXPECT_EQ(defaultProfilePath(ProfileList::KeyboardKeys, device::DeviceKind::RgbKeyboard),
              program / "kbkeydefault.pro")
        << "only the captured kind is taken from the data folder";
}

INSTANTIATE_TEST_SUITE_P(Folders, CaptureIntoProtectedProgramFolder,
                         ::testing::Values(ProtectedFolderCase{"SourceTree", true},
                                           ProtectedFolderCase{"ReadOnly", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProfileStoreTest, ACaptureIntoTheProgramFolderRetiresAnOlderOneInTheDataFolder) {
    std::array<std::uint8_t, 512> table{};
    table.fill(7);
    WriteProfileFile(dataRoot() / "kbkeydefault.pro", ClassCode::Keyboard, Bytes(512, 1));
    ASSERT_TRUE(CaptureDefaultKeyProfile(device::DeviceKind::RgbKeyboard, table));
    EXPECT_EQ(bodyOf(programFolder() / "kbkeydefault.pro"), Bytes(512, 7));
    EXPECT_FALSE(fs::exists(dataRoot() / "kbkeydefault.pro"));
    EXPECT_EQ(defaultProfilePath(ProfileList::KeyboardKeys, device::DeviceKind::RgbKeyboard),
              programFolder() / "kbkeydefault.pro");
}

// An index that exists but cannot be read gives no selection: a save would hit some other
// file ("0.led" for the missing name), so nothing is written.
TEST_F(ProfileStoreTest, NothingIsSavedWhileTheIndexCannotBeRead) {
    makeList(ProfileList::KeyboardLight);
    const fs::path index = ProfileIndex(ProfileList::KeyboardLight).path();
    fs::remove(index);
    fs::create_directory(index);
    std::vector<std::string> lines;
    platform::setDebugSink([&](std::string_view line) { lines.emplace_back(line); });
    lighting::KeyboardLightState state;
    const bool saved = SaveKeyboardLight(state);
    platform::setDebugSink({});
    EXPECT_FALSE(saved);
    EXPECT_EQ(lines.size(), 1u);
    EXPECT_THAT(lines, ::testing::Contains(::testing::HasSubstr(index.string())));
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(index.parent_path())) {
        files.push_back(entry.path().filename().string());
    }
    EXPECT_THAT(files, ElementsAre("kbProfile.ini"));
}

TEST_F(ProfileStoreTest, CaptureRefusesKindsThatAreNoKeyboard) {
    std::array<std::uint8_t, 512> table{};
    EXPECT_FALSE(CaptureDefaultKeyProfile(device::DeviceKind::Mouse, table));
    EXPECT_TRUE(fs::is_empty(programFolder()));
}

}  // namespace
}  // namespace korvane::profiles
