#include "core/platform/text.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace korvane::platform {
namespace {

struct ParseCase {
    const char* text;
    long expected;
};

class ParseLongTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseLongTest, BehavesLikeTheCConversion) {
    EXPECT_EQ(parseLong(GetParam().text), GetParam().expected) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseLongTest,
    ::testing::Values(ParseCase{"0", 0}, ParseCase{"42", 42}, ParseCase{"-7", -7},
                      ParseCase{"+15", 15}, ParseCase{" \t\r\n\v\f 12", 12}, ParseCase{"12abc", 12},
                      ParseCase{"3 4", 3}, ParseCase{"abc", 0}, ParseCase{"", 0},
                      ParseCase{"   ", 0}, ParseCase{"-", 0}, ParseCase{"+-5", 0},
                      ParseCase{"- 5", 0}, ParseCase{"0x1A", 0}, ParseCase{"007", 7},
                      ParseCase{"1.9", 1}, ParseCase{"-0", 0},
                      ParseCase{"９", 0},  // fullwidth digits are not decimal digits here
                      ParseCase{"9223372036854775807", LONG_MAX},
                      ParseCase{"9223372036854775808", LONG_MAX},
                      ParseCase{"99999999999999999999999999", LONG_MAX},
                      ParseCase{"-9223372036854775808", LONG_MIN},
                      ParseCase{"-99999999999999999999999999x", LONG_MIN}));

TEST(FormatInt, WritesPlainDecimal) {
    EXPECT_EQ(formatInt(0), "0");
    EXPECT_EQ(formatInt(-12), "-12");
    EXPECT_EQ(formatInt(LONG_MIN), std::to_string(LONG_MIN));
    EXPECT_EQ(parseLong(formatInt(LONG_MIN)), LONG_MIN);
}

TEST(Utf, RoundTripsEveryPlane) {
    const std::string text = "a\u00e9\u4e2d\U0001F600z";
    const std::u16string units = utf8ToUtf16(text);
    EXPECT_EQ(units, u"a\u00e9\u4e2d\U0001F600z");
    EXPECT_EQ(units.size(), 6u);
    EXPECT_EQ(utf16ToUtf8(units), text);
}

struct InvalidCase {
    std::string bytes;
    std::u16string expected;
};

class InvalidUtf8Test : public ::testing::TestWithParam<InvalidCase> {};

TEST_P(InvalidUtf8Test, BecomesReplacementWithoutEatingTheNextCharacter) {
    EXPECT_EQ(utf8ToUtf16(GetParam().bytes), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InvalidUtf8Test,
    ::testing::Values(InvalidCase{"\xff"
                                  "a",
                                  u"\ufffda"},  // never a lead byte
                      InvalidCase{"\xc3"
                                  "a",
                                  u"\ufffda"},                     // truncated 2-byte form
                      InvalidCase{"\xc0\xaf", u"\ufffd\ufffd"},    // overlong '/'
                      InvalidCase{"\xe0\x80\xaf", u"\ufffd"},      // overlong 3-byte form
                      InvalidCase{"\xed\xa0\x80", u"\ufffd"},      // encoded surrogate
                      InvalidCase{"\xf4\x90\x80\x80", u"\ufffd"},  // above U+10FFFF
                      InvalidCase{"\xe4\xb8", u"\ufffd"},          // cut at the end
                      InvalidCase{"\x80\x80", u"\ufffd\ufffd"}));  // stray continuations

TEST(Utf8Validity, TellsWellFormedTextFromLegacyBytes) {
    EXPECT_TRUE(isValidUtf8(""));
    EXPECT_TRUE(isValidUtf8("Spiel f\xc3\xbcr \xe4\xb8\xad \xef\xbf\xbd"));  // a real U+FFFD
    EXPECT_FALSE(isValidUtf8("Spiel f\xfcr"));                               // Windows-1252 ü
    EXPECT_FALSE(isValidUtf8("\xc0\xaf"));
    EXPECT_FALSE(isValidUtf8("\xe4\xb8"));
}

// Byte → character of the Windows-1252 code page, as its published table gives them.
struct CodePageCase {
    std::uint8_t byte;
    char32_t character;
};

class Windows1252Test : public ::testing::TestWithParam<CodePageCase> {};

TEST_P(Windows1252Test, MapsTheByteBothWays) {
    const std::string byte(1, static_cast<char>(GetParam().byte));
    const std::u32string expected(1, GetParam().character);
    std::u16string units;
    for (const char32_t c : expected) {
        units.push_back(static_cast<char16_t>(c));
    }
    const std::string utf8 = utf16ToUtf8(units);
    EXPECT_EQ(windows1252ToUtf8(byte), utf8);
    EXPECT_EQ(utf8ToWindows1252(utf8), byte);
}

INSTANTIATE_TEST_SUITE_P(Table, Windows1252Test,
                         ::testing::Values(CodePageCase{0x41, 0x0041}, CodePageCase{0x80, 0x20AC},
                                           CodePageCase{
                                               0x81, 0x0081},  // undefined: kept as the C1 control
                                           CodePageCase{0x8A, 0x0160}, CodePageCase{0x8D, 0x008D},
                                           CodePageCase{0x8F, 0x008F}, CodePageCase{0x90, 0x0090},
                                           CodePageCase{0x92, 0x2019}, CodePageCase{0x96, 0x2013},
                                           CodePageCase{0x99, 0x2122}, CodePageCase{0x9D, 0x009D},
                                           CodePageCase{0x9F, 0x0178}, CodePageCase{0xA0, 0x00A0},
                                           CodePageCase{0xDF, 0x00DF}, CodePageCase{0xFC, 0x00FC},
                                           CodePageCase{0xFF, 0x00FF}));

TEST(Windows1252, EveryByteSurvivesTheWayThereAndBack) {
    std::string all;
    for (int b = 1; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
    }
    const std::string utf8 = windows1252ToUtf8(all);
    EXPECT_TRUE(isValidUtf8(utf8));
    EXPECT_EQ(utf8ToWindows1252(utf8), all);
}

TEST(Windows1252, TextOutsideTheCodePageHasNoBytes) {
    EXPECT_EQ(utf8ToWindows1252("Spiel f\xc3\xbcr"), "Spiel f\xfcr");
    EXPECT_EQ(utf8ToWindows1252("\xe9\x85\x8d\xe7\xbd\xae"), std::nullopt);  // 配置
    EXPECT_EQ(utf8ToWindows1252("\xd0\x96"), std::nullopt);                  // Ж
    EXPECT_EQ(utf8ToWindows1252("\xc2\x80"), std::nullopt) << "U+0080 is not byte 0x80 (that is €)";
}

TEST(Utf, LoneSurrogatesBecomeReplacement) {
    const std::u16string lone{u'a', static_cast<char16_t>(0xD800), u'b',
                              static_cast<char16_t>(0xDC00)};
    EXPECT_EQ(utf16ToUtf8(lone),
              "a\xef\xbf\xbd"
              "b\xef\xbf\xbd");
}

TEST(Utf16Length, CountsSurrogatePairsAsTwo) {
    EXPECT_EQ(utf16Length(""), 0u);
    EXPECT_EQ(utf16Length("abc"), 3u);
    EXPECT_EQ(utf16Length("中文"), 2u);
    EXPECT_EQ(utf16Length("\U0001F600"), 2u);
}

TEST(TruncateUtf16, NeverSplitsACharacter) {
    EXPECT_EQ(truncateUtf16("abcdef", 4), "abcd");
    EXPECT_EQ(truncateUtf16("abc", 259), "abc");
    EXPECT_EQ(truncateUtf16("中文字", 2), "中文");
    EXPECT_EQ(truncateUtf16("a\U0001F600", 2), "a") << "a pair does not fit in one unit";
    EXPECT_EQ(truncateUtf16("a\U0001F600", 3), "a\U0001F600");
    EXPECT_EQ(truncateUtf16("abc", 0), "");
}

struct FoldCase {
    const char* a;
    const char* b;
    bool equal;
};

class EqualsIgnoreCaseTest : public ::testing::TestWithParam<FoldCase> {};

TEST_P(EqualsIgnoreCaseTest, FoldsLatinGreekAndCyrillic) {
    EXPECT_EQ(equalsIgnoreCase(GetParam().a, GetParam().b), GetParam().equal)
        << GetParam().a << " vs " << GetParam().b;
    EXPECT_EQ(equalsIgnoreCase(GetParam().b, GetParam().a), GetParam().equal);
    EXPECT_EQ(foldCase(GetParam().a) == foldCase(GetParam().b), GetParam().equal);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EqualsIgnoreCaseTest,
    ::testing::Values(FoldCase{"New Profile 1", "NEW PROFILE 1", true},
                      FoldCase{"SKINIMAGE", "skinimage", true},
                      FoldCase{"ÄÖÜ Éclair", "äöü éCLAIR", true},        // Latin-1
                      FoldCase{"ŁÓDŹ ŒUVRE Ÿ", "łódź œuvre ÿ", true},    // Latin Extended-A
                      FoldCase{"ſ", "S", true},                          // long s
                      FoldCase{"ΣΊΣΥΦΟΣ", "σίσυφος", true},              // Greek with accents
                      FoldCase{"ΟΔΟΣ", "οδος", true},                    // final sigma
                      FoldCase{"ПРОФИЛЬ Ёж Її", "профиль ёж її", true},  // Cyrillic
                      FoldCase{"ТЕСТ", "TECT", false},  // Cyrillic look-alikes are other letters
                      FoldCase{"Profile", "Profile2", false}, FoldCase{"", "", true},
                      FoldCase{"a", "", false},
                      FoldCase{"ß", "SS", false},  // simple folding keeps ß one letter
                      FoldCase{"中文", "中文", true}, FoldCase{"Ａ", "ａ", true}));

TEST(FoldCase, LowersAndKeepsEverythingElse) {
    EXPECT_EQ(foldCase("Kb Ä Σ Ж 中 1-_"), "kb ä σ ж 中 1-_");
}

}  // namespace
}  // namespace korvane::platform

struct WholeNumberCase {
    const char* text;
    std::optional<std::int64_t> expected;
};

class WholeNumberTest : public ::testing::TestWithParam<WholeNumberCase> {};

TEST_P(WholeNumberTest, TakesOnlyTextsThatAreWhollyANumber) {
    EXPECT_EQ(korvane::platform::parseWholeNumber(GetParam().text), GetParam().expected)
        << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Texts, WholeNumberTest,
    ::testing::Values(WholeNumberCase{"40", 40}, WholeNumberCase{"-5", -5},
                      WholeNumberCase{"+7", 7}, WholeNumberCase{"0xFF2400FF", 0xFF2400FF},
                      WholeNumberCase{"0X1f", 31}, WholeNumberCase{"", std::nullopt},
                      WholeNumberCase{"0x", std::nullopt}, WholeNumberCase{"12ab", std::nullopt},
                      WholeNumberCase{" 12", std::nullopt}, WholeNumberCase{"0x-1", std::nullopt},
                      WholeNumberCase{"+-1", std::nullopt},
                      WholeNumberCase{"99999999999999999999", std::nullopt}));
