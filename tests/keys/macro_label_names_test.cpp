#include "core/keys/macro_label_names.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "core/keys/function_label.h"

namespace korvane::keys {
namespace {

class MacroLabelNamesTest : public testing::Test {
  protected:
    void SetUp() override {
        std::random_device rd;
        folder_ = std::filesystem::temp_directory_path() /
                  ("korvane_keys_" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    platform::IniFile listWith(const std::string& count) {
        const auto path = folder_ / "msMacro.ini";
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << "[MACROCOUNT]\r\ncount=" << count
            << "\r\n[MACRONAME]\r\n0=Reload\r\n1=Combo\r\n2=长按\r\n";
        return platform::IniFile(path);
    }

    std::filesystem::path folder_;
};

TEST_F(MacroLabelNamesTest, ReadsTheNamesBelowTheCount) {
    const auto names = ReadMacroLabelNames(listWith("3"));
    EXPECT_EQ(names, (std::vector<std::string>{"Reload", "Combo", "长按"}));
    EXPECT_EQ(FunctionLabel(KeyClass::Mouse, {0x71, 2, 5}, names),
              (KeyLabel{KeyLabel::Kind::Verbatim, "长按"}));
}

TEST_F(MacroLabelNamesTest, NamesBeyondTheCountAreNotShown) {
    const auto names = ReadMacroLabelNames(listWith("1"));
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(FunctionLabel(KeyClass::Keyboard, {0x70, 1, 0}, names), std::nullopt);
}

TEST_F(MacroLabelNamesTest, MissingFileHasNoMacros) {
    EXPECT_TRUE(ReadMacroLabelNames(platform::IniFile(folder_ / "none.ini")).empty());
}

struct CountCase {
    const char* name;
    const char* count;
    std::size_t names;
};

class MacroLabelCount : public MacroLabelNamesTest,
                        public testing::WithParamInterface<CountCase> {};

TEST_P(MacroLabelCount, CountIsBounded) {
    const auto names = ReadMacroLabelNames(listWith(GetParam().count));
    ASSERT_EQ(names.size(), GetParam().names);
    if (names.size() > 3) {
        EXPECT_EQ(names[3], "");  // listed but never named
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, MacroLabelCount,
                         testing::Values(CountCase{"NotANumber", "abc", 0},
                                         CountCase{"Negative", "-4", 0}, CountCase{"Two", "2", 2},
                                         CountCase{"MoreThanNamed", "5", 5},
                                         CountCase{"TwoToThe31", "2147483648", 256},
                                         CountCase{"Huge", "99999999999999999999", 256}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace korvane::keys
