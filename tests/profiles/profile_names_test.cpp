#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/profiles/profile_names.h"

namespace korvane::profiles {
namespace {

TEST(ProfileNames, NewProfilesTakeTheFirstNumberNoNameTakesIgnoringCase) {
    EXPECT_EQ(newProfileName({}), "New Profile 1");
    EXPECT_EQ(newProfileName({"NEW PROFILE 1", "new profile 2"}), "New Profile 3");
    EXPECT_EQ(newProfileName({"New Profile 2"}), "New Profile 1");
    EXPECT_EQ(newProfileName({"New Profile 1", "New Profile 3"}), "New Profile 2");
}

TEST(ProfileNames, CopiesAddCopyUntilTheNameIsFree) {
    EXPECT_EQ(copyName("A", {"A"}), "A copy");
    EXPECT_EQ(copyName("A", {"A", "A copy"}), "A copy copy");
    EXPECT_EQ(copyName("A", {"A", "a COPY", "A copy copy"}), "A copy copy copy");
}

TEST(ProfileNames, NamesAreTakenIgnoringCaseOfAccentedAndCyrillicLetters) {
    EXPECT_TRUE(nameTaken({"A"}, "a"));
    EXPECT_TRUE(nameTaken({"Élan"}, "élan"));
    EXPECT_TRUE(nameTaken({"Профиль"}, "профиль"));
    EXPECT_FALSE(nameTaken({"A"}, "A "));
    EXPECT_FALSE(nameTaken({}, ""));
}

}  // namespace
}  // namespace korvane::profiles
