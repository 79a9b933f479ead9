// The udev rule shipped for real machines: every hidraw node of the family is tagged for the
// user at the seat, and nothing else is.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <utility>

namespace {

// "a|b|c" → {a, b, c}
std::set<std::string> alternatives(const std::string& pattern) {
    std::set<std::string> result;
    std::istringstream in(pattern);
    for (std::string item; std::getline(in, item, '|');) {
        result.insert(item);
    }
    return result;
}

TEST(UdevRule, TagsEveryModelOfBothVendorsForTheSeatUser) {
    const std::filesystem::path file =
        std::filesystem::path(KORVANE_SOURCE_DIR) / "data/udev/70-korvane.rules";
    std::ifstream in(file);
    ASSERT_TRUE(in) << file;
    // Match keys, each exactly once per rule line, and the one assignment.
    const std::regex key(R"re(([A-Z]+(?:\{[A-Za-z]+\})?)(==|\+=)"([^"]*)")re");
    std::set<std::pair<std::string, std::string>> covered;  // vendor, product
    int rules = 0;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        ++rules;
        std::map<std::string, std::string> keys;
        for (auto it = std::sregex_iterator(line.begin(), line.end(), key);
             it != std::sregex_iterator(); ++it) {
            EXPECT_TRUE(keys.emplace((*it)[1].str() + (*it)[2].str(), (*it)[3].str()).second)
                << line;
        }
        EXPECT_EQ(keys.size(), 4u) << line;
        EXPECT_EQ(keys["SUBSYSTEM=="], "hidraw") << line;
        EXPECT_EQ(keys["TAG+="], "uaccess") << line;
        for (const auto& vendor : alternatives(keys["ATTRS{idVendor}=="])) {
            for (const auto& product : alternatives(keys["ATTRS{idProduct}=="])) {
                covered.emplace(vendor, product);
            }
        }
    }
    EXPECT_GE(rules, 1);
    std::set<std::pair<std::string, std::string>> expected;
    for (const char* vendor : {"0c45", "320f"}) {
        for (const char* product :
             {"8611", "6556", "6523", "5006", "5523", "6656", "764d", "5104"}) {
            expected.emplace(vendor, product);
        }
    }
    EXPECT_EQ(covered, expected);
}

}  // namespace
