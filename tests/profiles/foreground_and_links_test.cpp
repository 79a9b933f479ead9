#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>

#include "core/profiles/foreground_app.h"
#include "core/profiles/operations/link_follower.h"
#include "profiles/profiles_fixture.h"

namespace korvane::profiles {
namespace {

namespace fs = std::filesystem;
using operations::linkedPosition;
using operations::sameProgram;

TEST(ForegroundApp, ListenersHearOnlyChangesUntilTheyUnsubscribe) {
    ScriptedForegroundApp app;
    std::atomic<int> calls{0};
    const int id = app.subscribe([&calls] { ++calls; });
    app.set("/usr/bin/a");
    app.set("/usr/bin/a");
    app.set("/usr/bin/b");
    app.set("");
    EXPECT_EQ(calls.load(), 3);
    EXPECT_EQ(app.programFile(), "");
    app.unsubscribe(id);
    app.set("/usr/bin/c");
    EXPECT_EQ(calls.load(), 3);
    EXPECT_EQ(app.programFile(), "/usr/bin/c");
}

TEST(LinkMatching, PathsMatchInFullIgnoringCaseAndThroughSymbolicLinks) {
    EXPECT_TRUE(sameProgram("/Opt/Game/Game", "/opt/game/game"));
    EXPECT_FALSE(sameProgram("/other/game", "/opt/game/game"));
    EXPECT_FALSE(sameProgram("/opt/game", "/opt/game/game"));
    EXPECT_FALSE(sameProgram("", ""));
    EXPECT_FALSE(sameProgram(" ", " "));
    EXPECT_FALSE(sameProgram("/opt/game/game", ""));

    const fs::path folder =
        fs::temp_directory_path() / ("korvane-link-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    std::ofstream(folder / "real-program") << "x";
    fs::create_symlink(folder / "real-program", folder / "program");
    const std::string real = fs::canonical(folder / "real-program").string();
    EXPECT_TRUE(sameProgram((folder / "program").string(), real));
    fs::remove_all(folder);
}

class LinkedPositions : public testing::TempFolders {
  protected:
    fs::path writeIndex(const std::string& text) {
        const fs::path file = root() / "kbProfile.ini";
        std::ofstream(file) << text;
        return file;
    }
};

TEST_F(LinkedPositions, TheLowestPositionWithFlagOneWithinCountWins) {
    const auto file = writeIndex(
        "[PROFILEDENGCOUNT]\ncount=4\n"
        "[PROFILELIKEDENGEXE]\n0=0\n1=2\n2=1\n3=1\n4=1\n"
        "[DENGPROCESS]\n0=/opt/g\n1=/opt/g\n2=/OPT/G\n3=/opt/g\n4=/opt/x\n");
    const ProfileIndex index(ProfileList::KeyboardLight, file);
    EXPECT_EQ(linkedPosition(index, "/opt/g"), 2);
    // Position 4 is past count: never read.
    EXPECT_EQ(linkedPosition(index, "/opt/x"), -1);
    EXPECT_EQ(linkedPosition(index, ""), -1);
}

TEST_F(LinkedPositions, AnIndexThatCannotBeReadLinksNothing) {
    const fs::path folderAsIndex = root() / "kbProfile.ini";
    fs::create_directories(folderAsIndex);
    EXPECT_EQ(linkedPosition(ProfileIndex(ProfileList::KeyboardLight, folderAsIndex), "/opt/g"),
              -1);
}

}  // namespace
}  // namespace korvane::profiles
