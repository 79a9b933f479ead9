#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/keys/factory_tables.h"
#include "core/lighting/keyboard_light_payload.h"
#include "core/platform/ini_file.h"
#include "core/platform/text.h"
#include "core/profiles/default_files.h"
#include "core/profiles/profile_file.h"
#include "core/profiles/profile_store.h"
#include "core/profiles/seeding.h"
#include "profiles_fixture.h"

namespace korvane::profiles {
namespace {

namespace fs = std::filesystem;

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::readBytes;
using Bytes = std::vector<std::uint8_t>;
using device::DeviceKind;

const fs::path kShipped = fs::path(KORVANE_SOURCE_DIR) / "data";

struct ShippedFile {
    const char* name;
    std::size_t length;
    std::uint8_t classCode;
};

class ShippedProfileFile : public ::testing::TestWithParam<ShippedFile> {};

TEST_P(ShippedProfileFile, HasTheFramingAndLengthOfItsKind) {
    const ShippedFile& f = GetParam();
    const Bytes bytes = readBytes(kShipped / f.name);
    ASSERT_EQ(bytes.size(), 16 + f.length) << f.name;
    EXPECT_EQ(bytes[4], f.classCode);
    Bytes body(f.length, 0);
    EXPECT_EQ(ReadProfileFile(kShipped / f.name, body), kReadOk);
    EXPECT_EQ(body, Bytes(bytes.begin() + 16, bytes.end()));
}

INSTANTIATE_TEST_SUITE_P(Files, ShippedProfileFile,
                         ::testing::Values(ShippedFile{"kbdengdefault.led", 1958, 1},
                                           ShippedFile{"kbonecolordengdefault.led", 1958, 1},
                                           ShippedFile{"kbdengregiondefault.led", 1958, 1},
                                           ShippedFile{"kbkeydefault.pro", 512, 1},
                                           ShippedFile{"kbkeyonecolordefault.pro", 512, 1},
                                           ShippedFile{"kbkeyfilmdefault.pro", 512, 1},
                                           ShippedFile{"kbkeymembranedefault.pro", 512, 1},
                                           ShippedFile{"msdengdefault.led", 64, 2},
                                           ShippedFile{"msdengdefault2.led", 64, 2},
                                           ShippedFile{"msdengdefault3.led", 64, 2},
                                           ShippedFile{"mskeydefault.pro", 512, 2},
                                           ShippedFile{"mpdengdefault.led", 64, 3}),
                         [](const auto& info) {
                             std::string n = info.param.name;
                             n.erase(n.find('.'));
                             return n;
                         });

struct ShippedKeys {
    DeviceKind kind;
    const char* name;
};

class ShippedKeyProfile : public ::testing::TestWithParam<ShippedKeys> {};

TEST_P(ShippedKeyProfile, EqualsTheFactoryBaseTable) {
    Bytes body(512, 0);
    ASSERT_EQ(ReadProfileFile(kShipped / GetParam().name, body), kReadOk);
    const auto factory = keys::FactoryBaseTable(GetParam().kind);
    EXPECT_EQ(body, Bytes(factory.begin(), factory.end()));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ShippedKeyProfile,
    ::testing::Values(ShippedKeys{DeviceKind::RgbKeyboard, "kbkeydefault.pro"},
                      ShippedKeys{DeviceKind::MonoKeyboard, "kbkeyonecolordefault.pro"},
                      ShippedKeys{DeviceKind::RegionKeyboard, "kbkeyfilmdefault.pro"},
                      ShippedKeys{DeviceKind::MembraneKeyboard, "kbkeymembranedefault.pro"},
                      ShippedKeys{DeviceKind::Mouse, "mskeydefault.pro"}));

TEST(ShippedLightProfiles, StartAnimatedAtFullBrightness) {
    for (const char* name :
         {"kbdengdefault.led", "kbonecolordengdefault.led", "kbdengregiondefault.led"}) {
        Bytes body(1958, 0);
        ASSERT_EQ(ReadProfileFile(kShipped / name, body), kReadOk);
        const auto payload = lighting::KeyboardLightPayload::fromBytes(body);
        EXPECT_EQ(payload.slot0.record.light.brightness, 14) << name;
        EXPECT_NE(payload.slot0.record.light.mode, 0) << name << ": static is no animation";
    }
    for (const char* name : {"msdengdefault.led", "msdengdefault2.led", "msdengdefault3.led"}) {
        Bytes body(64, 0);
        ASSERT_EQ(ReadProfileFile(kShipped / name, body), kReadOk);
        MouseLightState state;
        applyMouseLightBody(lighting::recordFromBytes<MouseLightRecord>(body), state);
        EXPECT_EQ(state.live.light.brightness, 14) << name;
        EXPECT_NE(state.live.light.mode, 0) << name;
        EXPECT_EQ(state.pointerSpeed, 10) << name;
        EXPECT_EQ(state.wheelSpeed, 3) << name;
    }
    Bytes pad(64, 0);
    ASSERT_EQ(ReadProfileFile(kShipped / "mpdengdefault.led", pad), kReadOk);
    EXPECT_EQ(pad[2], 14);
    EXPECT_NE(pad[1], 3) << "pad mode 3 is the static colour";
}

TEST(ShippedCursorFiles, HoldThirtyNeutralBullets) {
    for (const char* name : {"name_1.cur", "name_2.cur", "name_3.cur", "name_4.cur"}) {
        const platform::IniFile cur(kShipped / name);
        ASSERT_EQ(cur.readInt("MACROACTIONCOUNT", "count"), 180) << name;
        for (int k = 0; k < 30; ++k) {
            const std::string move = cur.readString("MACROACTION", std::to_string(6 * k + 4));
            EXPECT_EQ(move, "0,0,4,0,0,mouse_move_to_right_text") << name << " bullet " << k;
            const std::string vertical = cur.readString("MACROACTION", std::to_string(6 * k + 5));
            EXPECT_EQ(vertical, "0,0,5,0,0,mouse_move_to_down_text");
        }
        EXPECT_EQ(cur.readString("MACROACTION", "180"), "0") << "nothing beyond the count";
    }
}

// First start over the shipped files, with a fresh data root.
class ShippedSeeding : public testing::TempFolders {
  protected:
    void SetUp() override {
        TempFolders::SetUp();
        setenv("KORVANE_PROGRAM_FOLDER", kShipped.c_str(), 1);
    }
};

TEST_F(ShippedSeeding, FirstStartSeedsEveryListFromTheShippedFiles) {
    std::vector<std::string> messages;
    SeededThisRun seeded;
    const IndexLists lists =
        LoadIndexLists(seeded, [&](std::string_view key) { messages.emplace_back(key); });
    EXPECT_THAT(messages, IsEmpty());
    for (const ProfileList list : kAllProfileLists) {
        EXPECT_THAT(lists[list], ElementsAre("New Profile 1"));
    }
    lighting::KeyboardLightState keyboard;
    EXPECT_EQ(LoadKeyboardLight(0, keyboard), kReadOk);
    EXPECT_EQ(keyboard.live.light.brightness, 14);
    MousePadLightState pad;
    EXPECT_EQ(LoadMousePadLight(0, pad), kReadOk);
    EXPECT_EQ(pad.live.light.brightness, 14);

    EXPECT_TRUE(ReseedOnConnect(DeviceKind::MonoKeyboard, seeded, {}));
    EXPECT_EQ(LoadKeyboardLight(0, keyboard), kReadOk);
    Bytes mono(1958, 0);
    ASSERT_EQ(ReadProfileFile(kShipped / "kbonecolordengdefault.led", mono), kReadOk);
    EXPECT_EQ(lighting::KeyboardLightPayload::fromLive(keyboard).toBytes(),
              lighting::KeyboardLightPayload::fromBytes(mono).toBytes());
}

}  // namespace
}  // namespace korvane::profiles
