#include "core/platform/main_ini.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/temp_folder.h"

namespace korvane::platform {
namespace {

using testing_support::readBytes;
using testing_support::TempFolder;
using testing_support::writeBytes;

struct CodeCase {
    long code;
    int index;  // -1: no language
};

class LanguageByCodeTest : public ::testing::TestWithParam<CodeCase> {};

TEST_P(LanguageByCodeTest, PairsCodesWithIndexes) {
    const Language* language = languageByCode(GetParam().code);
    if (GetParam().index < 0) {
        EXPECT_EQ(language, nullptr);
    } else {
        ASSERT_NE(language, nullptr);
        EXPECT_EQ(language->index, GetParam().index);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, LanguageByCodeTest,
                         ::testing::Values(CodeCase{1010, 0}, CodeCase{2020, 1}, CodeCase{3030, 2},
                                           CodeCase{4040, 3},
                                           CodeCase{1049, 4},  // German, not Russian
                                           CodeCase{1031, 5},  // Russian, not German
                                           CodeCase{1036, 6}, CodeCase{1054, 7}, CodeCase{2070, 8},
                                           CodeCase{3082, 9}, CodeCase{0, -1}, CodeCase{1033, -1},
                                           CodeCase{-1010, -1}));

TEST(Languages, IndexLookupAndFonts) {
    EXPECT_EQ(languageByIndex(-1), nullptr);
    EXPECT_EQ(languageByIndex(10), nullptr);
    ASSERT_NE(languageByIndex(7), nullptr);
    EXPECT_EQ(languageByIndex(7)->fontFace, "Browallia New");
    EXPECT_EQ(languageByIndex(7)->fontPoints, 17);
    EXPECT_EQ(languageByIndex(2)->file, "lan_sn.xml");
    EXPECT_EQ(languageByIndex(1)->resourceName, "cn_zh");
    EXPECT_EQ(languageByIndex(0)->fontPoints, 9);
}

TEST(MainIni, MissingFileGivesDefaultsAndFirstWriteCreatesIt) {
    TempFolder temp;
    MainIni ini(temp / "main.ini");
    EXPECT_EQ(ini.language(), 0);
    EXPECT_EQ(ini.flags(), 0);
    EXPECT_EQ(ini.image(), "0");
    EXPECT_FALSE(std::filesystem::exists(ini.path()));

    ASSERT_TRUE(ini.setLanguage(4));
    ASSERT_TRUE(ini.setFlags(1));
    ASSERT_TRUE(ini.setImage("/home/user/Pictures/背景.png"));
    EXPECT_EQ(readBytes(ini.path()),
              "[SKINIMAGE]\r\nLANGUAGE=4\r\nFLAGS=1\r\nIMAGE=/home/user/Pictures/背景.png\r\n");
    EXPECT_EQ(MainIni(temp / "main.ini").language(), 4);
    EXPECT_EQ(ini.flags(), 1);
    EXPECT_EQ(ini.image(), "/home/user/Pictures/背景.png");
}

TEST(MainIni, ReadsFilesFromOtherInstallations) {
    TempFolder temp;
    writeBytes(temp / "main.ini", "[skinimage]\r\nlanguage= 7 \r\nFlags=1x\r\n");
    MainIni ini(temp / "main.ini");
    EXPECT_EQ(ini.language(), 7);
    EXPECT_EQ(ini.flags(), 1);
    EXPECT_EQ(ini.image(), "0");
}

TEST(MainIni, WriteIntoMissingDataFolderFails) {
    TempFolder temp;
    MainIni ini(temp / "QV" / "main.ini");
    EXPECT_FALSE(ini.setLanguage(1));
    EXPECT_EQ(ini.language(), 0);
}

}  // namespace
}  // namespace korvane::platform
