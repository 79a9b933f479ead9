#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/macros/action_file.h"
#include "core/macros/cursor_store.h"
#include "core/platform/ini_file.h"
#include "macros/temp_folder.h"

namespace korvane::macros {
namespace {

using ::testing::ElementsAre;
using Outcome = CursorImagePlan::Outcome;
using testing::TempFolder;

std::vector<std::string> sequenceOf(std::size_t actions, const std::string& text) {
    return std::vector<std::string>(actions, text);
}

class CursorStoreTest : public ::testing::Test {
  protected:
    CursorStoreTest() {
        std::filesystem::create_directories(mouseFolder());
        std::filesystem::create_directories(programFolder());
    }
    std::filesystem::path mouseFolder() const { return root / "ms"; }
    std::filesystem::path programFolder() const { return root / "program"; }
    std::filesystem::path mouseFile(std::string_view name) const { return mouseFolder() / name; }

    void shipDefaults() {
        for (std::size_t i = 0; i < 4; ++i) {
            ASSERT_TRUE(
                WriteActionFile(programFolder() / ("name_" + std::to_string(i + 1) + ".cur"),
                                sequenceOf(6 * (i + 1), "1,0,0,0,0,")));
        }
    }

    TempFolder root;
    CursorStore store{mouseFolder(), programFolder()};
};

TEST_F(CursorStoreTest, FirstStartSeedsTheListAndCopiesTheDefaults) {
    shipDefaults();
    ASSERT_TRUE(store.SeedCursorList());
    platform::IniFile list(mouseFile("msMacro.ini"));
    EXPECT_EQ(list.readInt("CURSORCOUNT", "count"), 4);
    for (std::size_t i = 0; i < 4; ++i) {
        const std::string name = "name_" + std::to_string(i + 1);
        EXPECT_EQ(list.readString("CURSORNAME", std::to_string(i)), name);
        EXPECT_EQ(ReadActionCount(mouseFile(name + ".cur")), 6 * (i + 1));
        EXPECT_EQ(store.sequenceFile(i), mouseFile(name + ".cur"));
    }
}

TEST_F(CursorStoreTest, SecondStartCopiesNothing) {
    shipDefaults();
    ASSERT_TRUE(store.SeedCursorList());
    ASSERT_TRUE(WriteActionFile(mouseFile("name_2.cur"), sequenceOf(1, "9,0,0,0,0,")));
    EXPECT_FALSE(store.SeedCursorList());
    EXPECT_THAT(ReadActionFile(mouseFile("name_2.cur")), ElementsAre("9,0,0,0,0,"));
}

TEST_F(CursorStoreTest, SeedingKeepsSequenceFilesThatAlreadyExist) {
    shipDefaults();
    ASSERT_TRUE(WriteActionFile(mouseFile("name_3.cur"), sequenceOf(2, "7,0,0,0,0,")));
    ASSERT_TRUE(store.SeedCursorList());
    EXPECT_EQ(ReadActionCount(mouseFile("name_3.cur")), 2u);
    EXPECT_EQ(ReadActionCount(mouseFile("name_1.cur")), 6u);
}

TEST_F(CursorStoreTest, SeedingWithoutDefaultFilesStillWritesTheList) {
    ASSERT_TRUE(store.SeedCursorList());
    EXPECT_EQ(store.ReadCursorCount(), 4);
    EXPECT_FALSE(std::filesystem::exists(mouseFile("name_1.cur")));
    EXPECT_EQ(store.PrepareCursorImage().image.size(), 16u + 24u) << "four empty sequences";
}

TEST_F(CursorStoreTest, ListedNamesThatLeaveTheFolderAreNotUsed) {
    root.write("ms/msMacro.ini", "[CURSORCOUNT]\ncount=2\n[CURSORNAME]\n0=../evil\n1=name_2\n");
    EXPECT_FALSE(store.sequenceFile(0));
    EXPECT_EQ(store.sequenceFile(1), mouseFile("name_2.cur"));
    EXPECT_FALSE(store.sequenceFile(2)) << "beyond the listed count";
}

// A bullet file whose actions 6k..6k+5 carry recognisable values.
class BulletTest : public CursorStoreTest {
  protected:
    void SetUp() override {
        std::vector<std::string> texts;
        for (std::size_t k = 0; k < 30; ++k) {
            texts.push_back("0,0,1,1,1,mouse_key_left");
            texts.push_back("0,0,0,0,0,");
            texts.push_back("0,0,1,1,0,mouse_key_left");
            texts.push_back(std::to_string(k) + ",1,0,0,0,keep");
            texts.push_back("0,0,132," + std::to_string(k) + ",1,mouse_move_to_left_text");
            texts.push_back("0,0,5," + std::to_string(2 * k) + ",0,mouse_move_to_down_text");
        }
        ASSERT_TRUE(WriteActionFile(file, texts));
    }
    std::filesystem::path file = mouseFile("name_1.cur");
};

TEST_F(BulletTest, LoadShowsDelayAndBothMoves) {
    const auto bullet = LoadBullet(file, 29);
    ASSERT_TRUE(bullet);
    EXPECT_EQ(bullet->delayMs, (256 + 29) * 10);
    EXPECT_EQ(bullet->horizontal, (BulletMove{29, true}));
    EXPECT_EQ(bullet->vertical, (BulletMove{58, false}));
    EXPECT_FALSE(LoadBullet(file, 30)) << "there are 30 bullets";
}

TEST_F(BulletTest, SavedDelayIsStoredInTenMillisecondSteps) {
    ASSERT_TRUE(SaveBullet(file, 2, {1234, 0, false, 0, false}));
    EXPECT_EQ(ReadActionText(file, 15), "123,0,0,0,0,keep") << "kind, code, flag, name kept";
    EXPECT_EQ(LoadBullet(file, 2)->delayMs, 1230);
}

TEST_F(BulletTest, SavedMovesAreRebuiltFromTheEdits) {
    ASSERT_TRUE(SaveBullet(file, 0, {0, 12, false, 300, true}));
    EXPECT_EQ(ReadActionText(file, 4), "0,0,4,12,0,mouse_move_to_right_text");
    EXPECT_EQ(ReadActionText(file, 5), "0,0,133,255,1,mouse_move_to_up_text");
    const auto bullet = LoadBullet(file, 0);
    EXPECT_EQ(bullet->horizontal, (BulletMove{12, false}));
    EXPECT_EQ(bullet->vertical, (BulletMove{255, true}));
}

TEST_F(BulletTest, SaveTouchesOnlyTheBulletsLastThreeActions) {
    const auto before = ReadActionFile(file);
    ASSERT_TRUE(SaveBullet(file, 1, {70000, -5, true, 3, false}));
    auto after = ReadActionFile(file);
    ASSERT_EQ(after.size(), 180u);
    EXPECT_EQ(after[9], "153,25,0,0,0,keep") << "70000 ms is clamped to 65535, count 6553";
    EXPECT_EQ(after[10], "0,0,132,0,1,mouse_move_to_left_text");
    EXPECT_EQ(after[11], "0,0,5,3,0,mouse_move_to_down_text");
    for (std::size_t i : {9, 10, 11}) {
        after[i] = before[i];
    }
    EXPECT_EQ(after, before);
    EXPECT_FALSE(SaveBullet(file, 30, {}));
}

TEST_F(CursorStoreTest, MissingActionsLeaveTheEditsAlone) {
    // Kinds other than moves, and keys that are missing, give no value.
    ASSERT_TRUE(WriteActionFile(mouseFile("g.cur"),
                                std::vector<std::string>{"", "", "", "0", "1,0,5,9,0,x"}));
    const auto bullet = LoadBullet(mouseFile("g.cur"), 0);
    ASSERT_TRUE(bullet);
    EXPECT_FALSE(bullet->delayMs);
    EXPECT_FALSE(bullet->horizontal) << "a vertical move in the horizontal place";
    EXPECT_FALSE(bullet->vertical) << "key 5 is missing";
    ASSERT_TRUE(SaveBullet(mouseFile("g.cur"), 0, {500, 1, true, 2, true}));
    EXPECT_EQ(ReadActionText(mouseFile("g.cur"), 3), "50,0,0,0,0,");
    EXPECT_EQ(ReadActionCount(mouseFile("g.cur")), 5u) << "the count is not changed";
}

class CursorImageTest : public CursorStoreTest {
  protected:
    void listSequences(const std::vector<std::size_t>& counts) {
        std::string list =
            "[CURSORCOUNT]\ncount=" + std::to_string(counts.size()) + "\n[CURSORNAME]\n";
        for (std::size_t i = 0; i < counts.size(); ++i) {
            list += std::to_string(i) + "=name_" + std::to_string(i + 1) + "\n";
            ASSERT_TRUE(WriteActionFile(mouseFile("name_" + std::to_string(i + 1) + ".cur"),
                                        sequenceOf(counts[i], "1,0,132,3,1,x")));
        }
        root.write("ms/msMacro.ini", list);
    }
};

TEST_F(CursorImageTest, FourFullSequencesFit) {
    listSequences({180, 180, 180, 180});
    const auto plan = store.PrepareCursorImage();
    ASSERT_EQ(plan.outcome, Outcome::Ready);
    ASSERT_EQ(plan.image.size(), 2920u);
    EXPECT_EQ(plan.image[2] | (plan.image[3] << 8), 2920);
    EXPECT_EQ(plan.image[4], 4);
    EXPECT_EQ(plan.image[16] | (plan.image[17] << 8), 24);
    EXPECT_EQ(plan.image[24], 180);
    EXPECT_EQ(std::vector<std::uint8_t>(plan.image.begin() + 28, plan.image.begin() + 32),
              (std::vector<std::uint8_t>{1, 0, 132, 3}));
}

struct CursorLimitCase {
    std::vector<std::size_t> counts;
    Outcome outcome;
};

class CursorLimitTest : public CursorImageTest,
                        public ::testing::WithParamInterface<CursorLimitCase> {};

TEST_P(CursorLimitTest, ImagesAbove3072BytesAreNotSent) {
    listSequences(GetParam().counts);
    const auto plan = store.PrepareCursorImage();
    EXPECT_EQ(plan.outcome, GetParam().outcome);
    EXPECT_EQ(plan.image.empty(), plan.outcome != Outcome::Ready);
}

INSTANTIATE_TEST_SUITE_P(Sizes, CursorLimitTest,
                         ::testing::Values(CursorLimitCase{{}, Outcome::NothingToSend},
                                           // 16 + 24 + 4 · 758 = 3072 exactly
                                           CursorLimitCase{{758, 0, 0, 0}, Outcome::Ready},
                                           CursorLimitCase{{759, 0, 0, 0}, Outcome::Refused},
                                           CursorLimitCase{{200, 200, 200, 200},
                                                           Outcome::Refused}));

TEST_F(CursorStoreTest, DamagedCountsAreRefusedBeforeAnyFileIsRead) {
    for (const char* count : {"-1", "510", "2147483647"}) {
        root.write("ms/msMacro.ini", std::string("[CURSORCOUNT]\ncount=") + count + "\n");
        EXPECT_EQ(store.PrepareCursorImage().outcome, Outcome::Refused) << count;
    }
    root.write("ms/name_1.cur", "[MACROACTIONCOUNT]\ncount=99999999999\n");
    root.write("ms/msMacro.ini", "[CURSORCOUNT]\ncount=1\n[CURSORNAME]\n0=name_1\n");
    EXPECT_EQ(store.PrepareCursorImage().outcome, Outcome::Refused);
}

TEST_F(CursorImageTest, ReceivedSequencesReplaceTheFilesWithNamedActions) {
    listSequences({3, 3});
    const std::vector<WireSequence> received{
        {{5, 0, 0x81, 0x01}, {0, 0, 0x84, 9}, {1, 2, 0x05, 3}, {0, 0, 0x8A, 0x04}},
        {},
    };
    const EventNameLookup lookup = [](std::uint8_t kind, std::uint8_t code) {
        return kind == 0x8A ? "key_" + std::to_string(code)
                            : std::string(MouseEventName(kind, code));
    };
    ASSERT_TRUE(store.StoreReceivedSequences(received, lookup));
    EXPECT_THAT(ReadActionFile(mouseFile("name_1.cur")),
                ElementsAre("5,0,129,1,1,mouse_key_left", "0,0,132,9,1,mouse_move_to_left_text",
                            "1,2,5,3,0,mouse_move_to_down_text", "0,0,138,4,1,key_4"));
    EXPECT_EQ(ReadActionCount(mouseFile("name_2.cur")), 0u);
}

TEST_F(CursorImageTest, ReceivedSequencesBeyondTheListAreDropped) {
    listSequences({1});
    const std::vector<WireSequence> received{{{1, 0, 0, 0}}, {{2, 0, 0, 0}}};
    ASSERT_TRUE(store.StoreReceivedSequences(received, {}));
    EXPECT_THAT(ReadActionFile(mouseFile("name_1.cur")), ElementsAre("1,0,0,0,0,"));
    EXPECT_FALSE(std::filesystem::exists(mouseFile("name_2.cur")));
    EXPECT_FALSE(std::filesystem::exists(mouseFile("0.cur")));
}

TEST(ActionFromWire, DownFlagIsBitSevenOfTheKind) {
    const EventNameLookup lookup = [](std::uint8_t kind, std::uint8_t) {
        return kind == 0x85 ? "up" : "other";
    };
    EXPECT_EQ(FormatAction(ActionFromWire({1, 2, 0x85, 4}, lookup)), "1,2,133,4,1,up");
    EXPECT_EQ(FormatAction(ActionFromWire({1, 2, 0x05, 4}, lookup)), "1,2,5,4,0,other");
    EXPECT_EQ(FormatAction(ActionFromWire({0, 0, 0, 0}, {})), "0,0,0,0,0,");
}

class GunFileTest : public CursorStoreTest {
  protected:
    void SetUp() override {
        shipDefaults();
        ASSERT_TRUE(store.SeedCursorList());
    }
};

TEST_F(GunFileTest, ResetCopiesTheDefaultOverTheEditedFile) {
    ASSERT_TRUE(SaveBullet(mouseFile("name_2.cur"), 0, {990, 1, true, 1, true}));
    ASSERT_TRUE(store.ResetGun(1));
    EXPECT_EQ(ReadActionFile(mouseFile("name_2.cur")), sequenceOf(12, "1,0,0,0,0,"));
    EXPECT_FALSE(store.ResetGun(4));
}

TEST_F(GunFileTest, ImportRefusesFilesLongerThan180Actions) {
    const auto source = root / "long.cur";
    ASSERT_TRUE(WriteActionFile(source, sequenceOf(181, "2,0,0,0,0,")));
    EXPECT_EQ(store.ImportGun(0, source), ImportResult::TooLong);
    EXPECT_EQ(ReadActionCount(mouseFile("name_1.cur")), 6u) << "current sequence kept";

    ASSERT_TRUE(WriteActionFile(source, sequenceOf(180, "2,0,0,0,0,")));
    EXPECT_EQ(store.ImportGun(0, source), ImportResult::Imported);
    EXPECT_EQ(ReadActionFile(mouseFile("name_1.cur")), sequenceOf(180, "2,0,0,0,0,"));
    EXPECT_EQ(store.ImportGun(0, root / "missing.cur"), ImportResult::Failed);
}

TEST_F(GunFileTest, ExportReplacesTheTargetWithTheGunFile) {
    const auto target = root / "out.txt";
    root.write("out.txt", "old");
    ASSERT_TRUE(store.ExportGun(3, target));
    EXPECT_EQ(root.read("out.txt"), root.read("ms/name_4.cur"));
    EXPECT_FALSE(store.ExportGun(4, target));
}

}  // namespace
}  // namespace korvane::macros

namespace korvane::macros {
namespace {

TEST(ShippedCursorFiles, SeedIntoAFullImageOfFourSequences) {
    TempFolder mouse;
    CursorStore store(mouse.path(), std::filesystem::path(KORVANE_SOURCE_DIR) / "data");
    ASSERT_TRUE(store.SeedCursorList());
    const auto plan = store.PrepareCursorImage();
    ASSERT_EQ(plan.outcome, CursorImagePlan::Outcome::Ready);
    EXPECT_EQ(plan.image.size(), 2920u);
    for (std::size_t gun = 0; gun < 4; ++gun) {
        const auto file = store.sequenceFile(gun);
        ASSERT_TRUE(file);
        for (const auto& text : ReadActionFile(*file)) {
            EXPECT_TRUE(ParseAction(text)) << text;
        }
        const auto last = LoadBullet(*file, 29);
        ASSERT_TRUE(last);
        EXPECT_TRUE(last->delayMs && last->horizontal && last->vertical) << gun;
    }
}

}  // namespace
}  // namespace korvane::macros
