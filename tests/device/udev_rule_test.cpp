// The udev rule shipped for real machines: every hidraw node of the family is tagged for the
// user at the seat, and nothing else is.

#include <gtest/gtest.h>

#include "core/device/device_permissions.h"

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

struct AdviceCase {
    const char* name;
    const char* rule;
    const char* command;
};

class UdevAdvice : public ::testing::TestWithParam<AdviceCase> {};

// Where udev already reads the rule, applying it is all that is left; from anywhere else the
// rule is copied into /etc/udev/rules.d first.
TEST_P(UdevAdvice, CommandToPaste) {
    EXPECT_EQ(korvane::device::UdevInstallCommand(GetParam().rule), GetParam().command);
}

constexpr const char* kReload = "sudo udevadm control --reload && sudo udevadm trigger";

INSTANTIATE_TEST_SUITE_P(
    Folders, UdevAdvice,
    ::testing::Values(
        AdviceCase{"package", "/usr/lib/udev/rules.d/70-korvane.rules", kReload},
        AdviceCase{"usrLocal", "/usr/local/lib/udev/rules.d/70-korvane.rules", kReload},
        AdviceCase{"splitUsr", "/lib/udev/rules.d/70-korvane.rules", kReload},
        AdviceCase{"admin", "/etc/udev/rules.d/70-korvane.rules", kReload},
        AdviceCase{"runtime", "/run/udev/rules.d/70-korvane.rules", kReload},
        AdviceCase{"dotted", "/usr/bin/../lib/udev/rules.d/70-korvane.rules", kReload},
        AdviceCase{"optPrefix", "/opt/korvane/lib/udev/rules.d/70-korvane.rules",
                   "sudo cp /opt/korvane/lib/udev/rules.d/70-korvane.rules /etc/udev/rules.d/ && "
                   "sudo udevadm control --reload && sudo udevadm trigger"},
        AdviceCase{"sourceTree", "/home/ann/my korvane/data/udev/70-korvane.rules",
                   "sudo cp '/home/ann/my korvane/data/udev/70-korvane.rules' /etc/udev/rules.d/ "
                   "&& sudo udevadm control --reload && sudo udevadm trigger"},
        AdviceCase{"subfolderOfRules", "/usr/lib/udev/rules.d/old/70-korvane.rules",
                   "sudo cp /usr/lib/udev/rules.d/old/70-korvane.rules /etc/udev/rules.d/ && "
                   "sudo udevadm control --reload && sudo udevadm trigger"}),
    [](const auto& info) { return std::string(info.param.name); });

// Run from the build tree, the program names the source tree's rule and its message box
// says to copy it from there.
TEST(UdevAdvice, BuildTreeNamesTheSourceRule) {
    EXPECT_EQ(korvane::device::UdevRulePath(),
              std::filesystem::path(KORVANE_SOURCE_DIR) / "data/udev/70-korvane.rules");
    EXPECT_EQ(korvane::device::DeviceAccessMessageKey(), "message_device_access");
}

}  // namespace
