#include "core/platform/file_names.h"

#include <gtest/gtest.h>

#include <string>

namespace korvane::platform {
namespace {

struct NameCase {
    std::string name;
    bool safe;
};

class IsSafeFileNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(IsSafeFileNameTest, Decides) {
    EXPECT_EQ(isSafeFileName(GetParam().name), GetParam().safe) << GetParam().name;
}

std::string repeat(std::string_view unit, int count) {
    std::string out;
    for (int i = 0; i < count; ++i) {
        out += unit;
    }
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IsSafeFileNameTest,
    ::testing::Values(NameCase{"New Profile 1", true}, NameCase{"配置文件", true},
                      NameCase{"Профиль-2 (копия)", true}, NameCase{"0", true},
                      NameCase{"..a", true}, NameCase{"a.b", true}, NameCase{"", false},
                      NameCase{".", false}, NameCase{"..", false}, NameCase{"../x", false},
                      NameCase{"a/b", false}, NameCase{"a\\b", false},
                      NameCase{"/etc/passwd", false}, NameCase{std::string("a\0b", 3), false},
                      NameCase{"tab\there", false}, NameCase{"line\nbreak", false},
                      NameCase{"del\x7f", false}, NameCase{"c1\xc2\x85", false},
                      NameCase{"bad\xff"
                               "utf8",
                               false},
                      NameCase{std::string(251, 'a'), true}, NameCase{std::string(252, 'a'), false},
                      // 83 CJK characters are 249 bytes; 84 would need 252
                      NameCase{repeat("中", 83), true}, NameCase{repeat("中", 84), false},
                      // Blanks at either end do not survive the index files' trimming.
                      NameCase{" FPS", false}, NameCase{"FPS ", false}, NameCase{"F P S", true},
                      // Names another system cannot hold as file names.
                      NameCase{"a<b", false}, NameCase{"a>b", false}, NameCase{"C:x", false},
                      NameCase{"say \"hi\"", false}, NameCase{"a|b", false},
                      NameCase{"why?", false}, NameCase{"*", false}, NameCase{"end.", false},
                      NameCase{"...", false}, NameCase{"v1.2", true},
                      NameCase{"Spiel für (2)", true}));

}  // namespace
}  // namespace korvane::platform
