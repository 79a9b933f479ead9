#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/macros/macro_download.h"
#include "macros/temp_folder.h"

namespace korvane::macros {
namespace {

using Outcome = MacroDownloadPlan::Outcome;
using testing::TempFolder;

class MacroDownloadTest : public ::testing::Test {
  protected:
    void addMacro(const std::string& name, const std::vector<std::string>& texts) {
        const std::size_t index = store.ReadMacroCount();
        ASSERT_TRUE(store.WriteMacroCount(static_cast<long>(index + 1)));
        ASSERT_TRUE(store.WriteMacroName(index, name));
        ASSERT_TRUE(store.WriteMacro(name, texts));
    }

    TempFolder folder;
    MacroStore store{MacroClass::Mouse, folder.path()};
};

TEST_F(MacroDownloadTest, NoMacrosMeansNoImage) {
    const auto plan = PrepareMacroDownload(store, 4);
    EXPECT_EQ(plan.outcome, Outcome::NoMacros);
    EXPECT_TRUE(plan.image.empty());
}

TEST_F(MacroDownloadTest, ImageCarriesTheMacrosInListOrder) {
    addMacro("Three", {"100,0,138,4,1,keyboard_key_A", "0", "44,1,10,4,0,keyboard_key_A"});
    addMacro("Two", {"5,0,129,1,1,mouse_key_left", "5,0,1,1,0,mouse_key_left"});
    const auto plan = PrepareMacroDownload(store, 1);
    ASSERT_EQ(plan.outcome, Outcome::Ready);
    const std::vector<std::uint8_t> expected{
        0xAA, 0x55, 48, 0, 2,   0, 0,    0, 0, 0, 0,    0, 0,  0, 0,    0,  // header
        20,   0,    36, 0,                                                  // offsets
        3,    0,    0,  0, 100, 0, 0x8A, 4, 0, 0, 0,    0, 44, 1, 0x0A, 4,
        2,    0,    0,  0, 5,   0, 0x81, 1, 5, 0, 0x01, 1};
    EXPECT_EQ(plan.image, expected);
    EXPECT_EQ(plan.imageSize, 48u);
}

TEST_F(MacroDownloadTest, ListedMacroWithoutFileIsAnEmptyBody) {
    ASSERT_TRUE(store.WriteMacroCount(1));
    ASSERT_TRUE(store.WriteMacroName(0, "Unsaved"));
    const auto plan = PrepareMacroDownload(store, 1);
    ASSERT_EQ(plan.outcome, Outcome::Ready);
    EXPECT_EQ(plan.image.size(), 22u);
}

// Capacity: memory units × 128 bytes against S = 16 + 6·N + 4·ΣA.
struct CapacityCase {
    std::uint8_t units;
    std::vector<std::size_t> actions;  // per macro
    std::uint64_t size;
    Outcome outcome;
    std::uint64_t toRemove;
};

class MacroCapacityTest : public MacroDownloadTest,
                          public ::testing::WithParamInterface<CapacityCase> {};

TEST_P(MacroCapacityTest, RefusesImagesBeyondTheDeviceMemory) {
    const auto& c = GetParam();
    for (std::size_t i = 0; i < c.actions.size(); ++i) {
        addMacro("M" + std::to_string(i),
                 std::vector<std::string>(c.actions[i], "1,0,10,4,1,keyboard_key_A"));
    }
    const auto plan = PrepareMacroDownload(store, c.units);
    EXPECT_EQ(plan.outcome, c.outcome);
    EXPECT_EQ(plan.imageSize, c.size);
    EXPECT_EQ(plan.actionsToRemove, c.toRemove);
    if (c.outcome == Outcome::Ready) {
        EXPECT_EQ(plan.image.size(), c.size);
    } else {
        EXPECT_TRUE(plan.image.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, MacroCapacityTest,
                         ::testing::Values(CapacityCase{4, {61, 61}, 516, Outcome::TooLarge, 2},
                                           CapacityCase{4, {60, 61}, 512, Outcome::Ready, 0},
                                           CapacityCase{4, {123}, 514, Outcome::TooLarge, 1},
                                           CapacityCase{4, {125}, 522, Outcome::TooLarge, 3},
                                           CapacityCase{0, {0}, 22, Outcome::TooLarge, 6},
                                           CapacityCase{8, {250}, 1022, Outcome::Ready, 0}));

TEST(MacroCapacity, SixteenBytesOverMeansTwoActionsToRemove) {
    // A 512-byte memory and a 516-byte image.
    EXPECT_EQ(ActionsOverCapacity(516, 4 * 128), 2u);
    EXPECT_EQ(ActionsOverCapacity(512, 512), 0u);
    EXPECT_EQ(ActionsOverCapacity(513, 512), 1u);
}

TEST_F(MacroDownloadTest, AbsurdActionCountIsRefusedWithoutReadingTheActions) {
    addMacro("Fine", {"1,0,10,4,1,a"});
    folder.write("Broken.mac", "[MACROACTIONCOUNT]\ncount=2147483647\n");
    ASSERT_TRUE(store.WriteMacroCount(2));
    ASSERT_TRUE(store.WriteMacroName(1, "Broken"));
    const auto plan = PrepareMacroDownload(store, 255);
    EXPECT_EQ(plan.outcome, Outcome::TooLarge);
    EXPECT_EQ(plan.imageSize, 16 + 12 + 4 * (1 + 2147483647ull));
    EXPECT_EQ(plan.actionsToRemove, (plan.imageSize - 255 * 128) / 4 + 1);
}

TEST_F(MacroDownloadTest, NegativeActionCountCountsAsEmpty) {
    folder.write("Neg.mac", "[MACROACTIONCOUNT]\ncount=-100\n[MACROACTION]\n0=1,0,10,4,1,a\n");
    ASSERT_TRUE(store.WriteMacroCount(1));
    ASSERT_TRUE(store.WriteMacroName(0, "Neg"));
    const auto plan = PrepareMacroDownload(store, 1);
    ASSERT_EQ(plan.outcome, Outcome::Ready);
    EXPECT_EQ(plan.image.size(), 22u);
}

}  // namespace
}  // namespace korvane::macros
