// Language files: every key the program shows in every language, the fallbacks, the fonts.

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <algorithm>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "core/platform/debug_line.h"
#include "core/platform/main_ini.h"
#include "gui/language_texts.h"
#include "qt_environment.h"

using namespace korvane;
using namespace korvane::gui;
using korvane::gui::test_support::kSkinFolder;

namespace {

// Keys the program itself shows, beyond the ones the skin's controls carry.
constexpr std::string_view kProgramKeys[] = {
    "message_text_1", "message_text_2", "message_text_3", "message_text_4", "message_text_5",
    "message_text_6", "message_text_7", "message_text_8", "message_text_9", "message_text_11",
    "message_text_12", "message_text_13", "message_text_14", "message_text_15", "message_text_16",
    "message_text_17", "message_text_18", "startup_on", "startup_off", "exit",
    // The keyboard lighting page labels its direction options by mode.
    "Deng_CWISE_text", "Deng_AWISE_text", "Deng_FXDOWN_text", "Deng_FXUP_text", "Deng_FXSPEAD_text",
    "Deng_FXGATHER_text",
    // A device found that this user may not open (run from the build tree, or installed).
    "message_device_access", "message_device_access_installed",
    // Key assignment: capture that cannot start, labels and tool tips.
    "capture_unavailable_text", "capture_refused_text", "Key_Set", "关闭", "mouse_key_up_Swing",
    "mouse_key_down_Swing", "mouse_key_left_Swing", "mouse_key_right_Swing", "mouse_key_fire_key"};
// Keys about the data folder and the profile lists in it.
constexpr std::string_view kDataFolderKeys[] = {"message_profile_index_unreadable",
                                                "message_data_folder_unwritable"};
// Keys of the profile operations' refusals.
constexpr std::string_view kProfileOperationKeys[] = {"message_profile_name_invalid",
                                                      "message_file_not_written"};

// The update service's messages.
constexpr std::string_view kUpdateKeys[] = {"update_no_updater"};

std::vector<std::string> shownKeys() {
    std::vector<std::string> keys(std::begin(kProgramKeys), std::end(kProgramKeys));
    keys.insert(keys.end(), std::begin(kDataFolderKeys), std::end(kDataFolderKeys));
    keys.insert(keys.end(), std::begin(kUpdateKeys), std::end(kUpdateKeys));
    keys.insert(keys.end(), std::begin(kProfileOperationKeys), std::end(kProfileOperationKeys));
    std::ifstream list(std::filesystem::path(KORVANE_SOURCE_DIR) / "tools/skin/text_keys.txt");
    for (std::string line; std::getline(list, line);) {
        if (!line.empty()) {
            keys.push_back(line);
        }
    }
    return keys;
}

std::vector<std::string> languageFiles() {
    std::vector<std::string> files{"lan.xml"};
    for (const auto& language : platform::kLanguages) {
        files.emplace_back(language.file);
    }
    return files;
}

class LanguageFiles : public ::testing::TestWithParam<std::string> {};

TEST_P(LanguageFiles, CarryEveryKeyTheProgramShows) {
    QHash<QString, QString> texts;
    std::string error;
    ASSERT_TRUE(ReadLanguageFile(kSkinFolder / GetParam(), texts, error)) << error;
    const std::vector<std::string> keys = shownKeys();
    ASSERT_GT(keys.size(), std::size(kProgramKeys));
    for (const std::string& key : keys) {
        const auto it = texts.constFind(QString::fromStdString(key));
        ASSERT_NE(it, texts.constEnd()) << GetParam() << " lacks " << key;
        EXPECT_FALSE(it->trimmed().isEmpty()) << GetParam() << ": " << key;
    }
}

// A key the base file has falls back to its English text in a language that lacks it.
TEST_P(LanguageFiles, CarryEveryKeyOfTheBaseFile) {
    QHash<QString, QString> base;
    QHash<QString, QString> texts;
    std::string error;
    ASSERT_TRUE(ReadLanguageFile(kSkinFolder / "lan.xml", base, error)) << error;
    ASSERT_TRUE(ReadLanguageFile(kSkinFolder / GetParam(), texts, error)) << error;
    for (auto it = base.constBegin(); it != base.constEnd(); ++it) {
        EXPECT_TRUE(texts.contains(it.key())) << GetParam() << " lacks " << it.key().toStdString();
    }
    // The names of the keys a key can be given, among them the two the catalogue spells its own
    // way (the backslash and the comma key).
    for (const char* key : {"keyboard_key_xiegang", "keyboard_key_<", "keyboard_key_Num Enter",
                            "keyboard_key_Launch Media Select", "keyboard_key_Wakeup"}) {
        EXPECT_TRUE(texts.contains(QString::fromUtf8(key))) << GetParam() << " lacks " << key;
    }
}

// The languages are translations, not copies of the English file (names of languages and
// units excepted).
class TranslatedFiles : public ::testing::TestWithParam<std::string> {};

TEST_P(TranslatedFiles, AreNotCopiesOfTheEnglishTexts) {
    QHash<QString, QString> english;
    QHash<QString, QString> texts;
    std::string error;
    ASSERT_TRUE(ReadLanguageFile(kSkinFolder / "lan_en.xml", english, error)) << error;
    ASSERT_TRUE(ReadLanguageFile(kSkinFolder / GetParam(), texts, error)) << error;
    // Key caps ("A", "F1", "Tab") read alike in most languages: only the other texts count.
    int compared = 0;
    int same = 0;
    for (auto it = english.constBegin(); it != english.constEnd(); ++it) {
        if (it.key().startsWith("keyboard_key_")) {
            continue;
        }
        ++compared;
        same += texts.value(it.key()) == it.value() ? 1 : 0;
    }
    EXPECT_LT(same, compared / 5) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Skin, LanguageFiles, ::testing::ValuesIn(languageFiles()));

std::vector<std::string> translatedFiles() {
    std::vector<std::string> files;
    for (const auto& language : platform::kLanguages) {
        if (language.index != 0) {
            files.emplace_back(language.file);
        }
    }
    return files;
}

INSTANTIATE_TEST_SUITE_P(Skin, TranslatedFiles, ::testing::ValuesIn(translatedFiles()));

TEST(LanguageHost, TextsComeFromTheLanguageThenTheBaseThenTheKey) {
    QTemporaryDir dir;
    const std::filesystem::path folder = dir.path().toStdString();
    std::ofstream(folder / "lan.xml")
        << R"(<language><text key="a">base a</text><text key="b">base b</text></language>)";
    std::ofstream(folder / "lan_de.xml") << R"(<language><text key="a">de a</text></language>)";
    QtLanguageHost host(folder);
    EXPECT_TRUE(host.loadLanguageFile("lan.xml"));
    EXPECT_TRUE(host.loadLanguageFile("lan_de.xml"));
    EXPECT_EQ(host.text(std::string_view("a")), "de a");
    EXPECT_EQ(host.text(std::string_view("b")), "base b");
    EXPECT_EQ(host.text(std::string_view("unknown_key")), "unknown_key");
    // A missing file keeps the texts there were.
    EXPECT_FALSE(host.loadLanguageFile("lan_fr.xml"));
    EXPECT_EQ(host.text(std::string_view("a")), "de a");
}

struct BadFile {
    const char* name;
    const char* content;
    const char* reason;
};

class BadLanguageFiles : public ::testing::TestWithParam<BadFile> {};

TEST_P(BadLanguageFiles, AreRefusedWithTheReason) {
    QTemporaryDir dir;
    const std::filesystem::path file =
        std::filesystem::path(dir.path().toStdString()) / "lan_x.xml";
    std::ofstream(file) << GetParam().content;
    QHash<QString, QString> texts{{"kept", "yes"}};
    std::string error;
    EXPECT_FALSE(ReadLanguageFile(file, texts, error));
    EXPECT_NE(error.find(GetParam().reason), std::string::npos) << error;
    EXPECT_EQ(texts.value("kept"), "yes");
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadLanguageFiles,
    ::testing::Values(BadFile{"other root", "<texts><text key='a'>x</text></texts>",
                              "no <language>"},
                      BadFile{"broken", "<language><text key='a'>x</language>", "line"},
                      BadFile{"empty", "", "no <language>"}),
    [](const auto& info) {
        std::string name = info.param.name;
        std::replace(name.begin(), name.end(), ' ', '_');
        return name;
    });

TEST(LanguageHost, AMissingFontFallsBackToOneTheSystemHasAndSaysSo) {
    std::vector<std::string> lines;
    platform::setDebugSink([&](std::string_view line) { lines.emplace_back(line); });
    QtLanguageHost host(kSkinFolder);
    host.setDefaultFont("No Such Face Anywhere", 17);
    platform::setDebugSink({});
    EXPECT_NE(host.fontFamily(), "No Such Face Anywhere");
    EXPECT_FALSE(host.fontFamily().isEmpty());
    EXPECT_EQ(QApplication::font().family(), host.fontFamily());
    EXPECT_EQ(QApplication::font().pointSize(), 17);
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(lines.back().find("No Such Face Anywhere"), std::string::npos);
}

TEST(LanguageHost, ReloadRunsEveryListenerUntilRemoved) {
    QtLanguageHost host(kSkinFolder);
    int a = 0;
    int b = 0;
    const int first = host.addReloadListener([&] { ++a; });
    host.addReloadListener([&] { ++b; });
    host.reloadTexts();
    host.removeReloadListener(first);
    host.reloadTexts();
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 2);
}

}  // namespace
