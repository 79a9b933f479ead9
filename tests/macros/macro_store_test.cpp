#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/macros/macro_store.h"
#include "core/platform/ini_file.h"
#include "macros/temp_folder.h"

namespace korvane::macros {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::TempFolder;

class MacroStoreTest : public ::testing::Test {
  protected:
    TempFolder folder;
    MacroStore keyboard{MacroClass::Keyboard, folder.path()};
    MacroStore mouse{MacroClass::Mouse, folder.path()};
};

TEST_F(MacroStoreTest, EachClassHasItsOwnListFile) {
    EXPECT_EQ(keyboard.listFile(), folder / "kbMacro.ini");
    EXPECT_EQ(mouse.listFile(), folder / "msMacro.ini");
    EXPECT_EQ(keyboard.macroFile("Macro_1"), folder / "Macro_1.mac");
}

TEST_F(MacroStoreTest, MissingListFileReadsAsNoMacros) {
    EXPECT_EQ(keyboard.ReadMacroCount(), 0u);
    EXPECT_THAT(keyboard.ReadMacroList(), IsEmpty());
}

TEST_F(MacroStoreTest, NamesWrittenOneByOneReadBackInIndexOrder) {
    ASSERT_TRUE(mouse.WriteMacroCount(1));
    ASSERT_TRUE(mouse.WriteMacroName(0, "Macro_1"));
    ASSERT_TRUE(mouse.WriteMacroCount(2));
    ASSERT_TRUE(mouse.WriteMacroName(1, "Sprint"));
    EXPECT_THAT(mouse.ReadMacroList(), ElementsAre("Macro_1", "Sprint"));
    EXPECT_THAT(keyboard.ReadMacroList(), IsEmpty()) << "the keyboard list is another file";
}

TEST_F(MacroStoreTest, AMacroAddedLastIsCountedOnlyWithItsName) {
    ASSERT_TRUE(mouse.WriteLastMacroName(0, "Macro_1"));
    ASSERT_TRUE(mouse.WriteLastMacroName(1, "Sprint"));
    EXPECT_TRUE(mouse.WriteLastMacroName(1, "Sprint")) << "saving it again changes nothing";
    EXPECT_FALSE(mouse.WriteLastMacroName(2, "no/name"));
    EXPECT_EQ(mouse.ReadMacroCount(), 2u) << "a refused name is not counted";
    EXPECT_THAT(mouse.ReadMacroList(), ElementsAre("Macro_1", "Sprint"));
}

// MACROCOUNT values that a damaged or foreign file may hold.
struct CountCase {
    std::string value;
    std::size_t expected;
};

class MacroCountTest : public MacroStoreTest, public ::testing::WithParamInterface<CountCase> {};

TEST_P(MacroCountTest, ReadsAsANumberOfMacrosWithinTheLimit) {
    folder.write("kbMacro.ini", "[MACROCOUNT]\ncount=" + GetParam().value + "\n");
    EXPECT_EQ(keyboard.ReadMacroCount(), GetParam().expected);
    EXPECT_EQ(keyboard.ReadMacroList().size(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Values, MacroCountTest,
                         ::testing::Values(CountCase{"3", 3}, CountCase{"abc", 0},
                                           CountCase{"-4", 0}, CountCase{"50", 50},
                                           CountCase{"51", 50}, CountCase{"2147483648", 50},
                                           CountCase{"99999999999999999999", 50}));

TEST_F(MacroStoreTest, ListedNamesBeyondTheWrittenKeysReadAsZero) {
    folder.write("kbMacro.ini", "[MACROCOUNT]\ncount=2\n[MACRONAME]\n0=First\n");
    EXPECT_THAT(keyboard.ReadMacroList(), ElementsAre("First", "0"));
}

TEST_F(MacroStoreTest, WritesOutsideTheLimitsAreRefused) {
    EXPECT_FALSE(keyboard.WriteMacroCount(-1));
    EXPECT_FALSE(keyboard.WriteMacroCount(51));
    EXPECT_FALSE(keyboard.WriteMacroName(50, "Macro_51"));
    EXPECT_FALSE(std::filesystem::exists(keyboard.listFile()));
}

class UnsafeNameTest : public MacroStoreTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(UnsafeNameTest, NeverBecomesAFileName) {
    const std::string& name = GetParam();
    const std::vector<std::string> texts{"5,0,138,4,1,keyboard_key_A"};
    EXPECT_FALSE(keyboard.macroFile(name));
    EXPECT_FALSE(keyboard.WriteMacroName(0, name));
    EXPECT_FALSE(keyboard.WriteMacro(name, texts));
    EXPECT_FALSE(keyboard.RenameMacroFile(name, "Safe"));
    EXPECT_FALSE(keyboard.DeleteMacroFile(name));
    const std::vector<std::string> names{"Safe", name};
    EXPECT_FALSE(keyboard.RewriteMacroList(names));
    EXPECT_THAT(keyboard.ReadMacro(name), IsEmpty());
    EXPECT_THAT(std::vector(std::filesystem::directory_iterator(folder.path()), {}), IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(Names, UnsafeNameTest,
                         ::testing::Values("", "..", ".", "../escape", "sub/name", "a\\b",
                                           std::string("tab\there"), std::string("nl\nname"),
                                           std::string("nul\0x", 5)));

TEST_F(MacroStoreTest, MacroActionsRoundTripThroughTheMacFile) {
    const std::vector<std::string> texts{"100,0,138,4,1,keyboard_key_A",
                                         "5,0,132,7,1,mouse_move_to_left_text", "0,0,10,4,0,"};
    ASSERT_TRUE(keyboard.WriteMacro("Combo", texts));
    EXPECT_EQ(keyboard.ReadMacro("Combo"), texts);
    EXPECT_EQ(keyboard.ReadMacroActionCount("Combo"), 3u);
    // The file keeps the shared layout, readable key by key.
    platform::IniFile file(folder / "Combo.mac");
    EXPECT_EQ(file.readInt("MACROACTIONCOUNT", "count"), 3);
    EXPECT_EQ(file.readString("MACROACTION", "1"), "5,0,132,7,1,mouse_move_to_left_text");
}

TEST_F(MacroStoreTest, MacFileHasTheIniLayoutWithCrLfLines) {
    ASSERT_TRUE(keyboard.WriteMacro(
        "M", std::vector<std::string>{"1,0,138,4,1,keyboard_key_A",
                                      std::string("2,0,1\r\n") + '\0' + "0,0,0,x"}));
    EXPECT_EQ(folder.read("M.mac"),
              "[MACROACTIONCOUNT]\r\ncount=2\r\n[MACROACTION]\r\n"
              "0=1,0,138,4,1,keyboard_key_A\r\n1=2,0,10,0,0,x\r\n");
}

TEST_F(MacroStoreTest, ReadsUtf16MacFilesFromOtherInstallations) {
    const std::u16string text =
        u"[MACROACTIONCOUNT]\r\ncount=2\r\n[MACROACTION]\r\n0=5,0,138,4,1,keyboard_key_A\r\n"
        u"1=5,0,10,4,0,keyboard_key_A\r\n";
    std::string bytes = "\xFF\xFE";
    for (const char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    folder.write("Wide.mac", bytes);
    EXPECT_THAT(keyboard.ReadMacro("Wide"),
                ElementsAre("5,0,138,4,1,keyboard_key_A", "5,0,10,4,0,keyboard_key_A"));
    EXPECT_EQ(keyboard.ReadMacroActionCount("Wide"), 2u);
}

TEST_F(MacroStoreTest, ShorterVersionReplacesALongerOne) {
    ASSERT_TRUE(keyboard.WriteMacro("M", std::vector<std::string>{"1,0,10,4,1,a", "2,0,10,5,1,b"}));
    ASSERT_TRUE(keyboard.WriteMacro("M", std::vector<std::string>{"3,0,10,6,1,c"}));
    EXPECT_THAT(keyboard.ReadMacro("M"), ElementsAre("3,0,10,6,1,c"));
}

TEST_F(MacroStoreTest, MissingMacFileIsAnEmptyMacro) {
    EXPECT_THAT(keyboard.ReadMacro("Never_saved"), IsEmpty());
    EXPECT_EQ(keyboard.ReadMacroActionCount("Never_saved"), 0u);
    EXPECT_TRUE(keyboard.DeleteMacroFile("Never_saved"));
}

TEST_F(MacroStoreTest, CountBeyondTheWrittenActionsReadsTheMissingOnesAsZero) {
    folder.write("M.mac", "[MACROACTIONCOUNT]\ncount=3\n[MACROACTION]\n0=1,0,10,4,1,a\n");
    EXPECT_THAT(keyboard.ReadMacro("M"), ElementsAre("1,0,10,4,1,a", "0", "0"));
}

TEST_F(MacroStoreTest, AbsurdActionCountIsBoundedWhenReading) {
    folder.write("M.mac", "[MACROACTIONCOUNT]\ncount=2147483648\n[MACROACTION]\n0=1,0,10,4,1,a\n");
    EXPECT_EQ(keyboard.ReadMacroActionCount("M"), 2147483648u);
    EXPECT_EQ(keyboard.ReadMacro("M").size(), 16378u) << "no image can carry more actions";
    folder.write("N.mac", "[MACROACTIONCOUNT]\ncount=-7\n");
    EXPECT_EQ(keyboard.ReadMacroActionCount("N"), 0u);
    EXPECT_THAT(keyboard.ReadMacro("N"), IsEmpty());
}

TEST_F(MacroStoreTest, RenameMovesTheFileAndRefusesToOverwrite) {
    ASSERT_TRUE(keyboard.WriteMacro("Old", std::vector<std::string>{"1,0,10,4,1,a"}));
    ASSERT_TRUE(keyboard.WriteMacro("Taken", std::vector<std::string>{"2,0,10,4,1,b"}));
    EXPECT_FALSE(keyboard.RenameMacroFile("Old", "Taken"));
    EXPECT_THAT(keyboard.ReadMacro("Taken"), ElementsAre("2,0,10,4,1,b"));
    ASSERT_TRUE(keyboard.RenameMacroFile("Old", "New"));
    EXPECT_FALSE(std::filesystem::exists(folder / "Old.mac"));
    EXPECT_THAT(keyboard.ReadMacro("New"), ElementsAre("1,0,10,4,1,a"));
    EXPECT_FALSE(keyboard.RenameMacroFile("Gone", "Other"));
}

TEST_F(MacroStoreTest, DeleteRemovesTheMacFile) {
    ASSERT_TRUE(keyboard.WriteMacro("M", std::vector<std::string>{"1,0,10,4,1,a"}));
    EXPECT_TRUE(keyboard.DeleteMacroFile("M"));
    EXPECT_FALSE(std::filesystem::exists(folder / "M.mac"));
}

TEST_F(MacroStoreTest, RewrittenKeyboardListHoldsOnlyTheRemainingNames) {
    ASSERT_TRUE(keyboard.WriteMacroCount(3));
    for (std::size_t i = 0; i < 3; ++i) {
        ASSERT_TRUE(keyboard.WriteMacroName(i, "Macro_" + std::to_string(i + 1)));
    }
    const std::vector<std::string> remaining{"Macro_1", "Macro_3"};
    ASSERT_TRUE(keyboard.RewriteMacroList(remaining));
    EXPECT_THAT(keyboard.ReadMacroList(), ElementsAre("Macro_1", "Macro_3"));
    platform::IniFile list(keyboard.listFile());
    EXPECT_EQ(list.readString("MACRONAME", "2"), "0") << "the old last name is gone";
    EXPECT_EQ(list.readString("CURSORCOUNT", "count"), "0");
}

TEST_F(MacroStoreTest, RewrittenMouseListKeepsTheCursorSequences) {
    const std::vector<std::string> remaining{"Only"};
    ASSERT_TRUE(mouse.RewriteMacroList(remaining));
    EXPECT_THAT(mouse.ReadMacroList(), ElementsAre("Only"));
    platform::IniFile list(mouse.listFile());
    EXPECT_EQ(list.readInt("CURSORCOUNT", "count"), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(list.readString("CURSORNAME", std::to_string(i)),
                  "name_" + std::to_string(i + 1));
    }
}

}  // namespace
}  // namespace korvane::macros

namespace korvane::macros {
namespace {

TEST_F(MacroStoreTest, FilesDifferingOnlyInCaseAreTheSameFile) {
    folder.write("KbMacro.ini", "[MACROCOUNT]\r\ncount=1\r\n[MACRONAME]\r\n0=Macro_1\r\n");
    folder.write("macro_1.mac",
                 "[MACROACTIONCOUNT]\r\ncount=1\r\n[MACROACTION]\r\n0=1,0,10,4,1,a\r\n");
    EXPECT_THAT(keyboard.ReadMacroList(), ElementsAre("Macro_1"));
    EXPECT_THAT(keyboard.ReadMacro("Macro_1"), ElementsAre("1,0,10,4,1,a"));

    ASSERT_TRUE(keyboard.WriteMacro("Macro_1", std::vector<std::string>{"2,0,10,5,1,b"}));
    ASSERT_TRUE(keyboard.WriteMacroCount(1));
    EXPECT_THAT(std::vector(std::filesystem::directory_iterator(folder.path()), {}),
                ::testing::SizeIs(2))
        << "no second list or macro file beside the existing ones";
    EXPECT_EQ(folder.read("macro_1.mac"),
              "[MACROACTIONCOUNT]\r\ncount=1\r\n[MACROACTION]\r\n0=2,0,10,5,1,b\r\n");
}

}  // namespace
}  // namespace korvane::macros
