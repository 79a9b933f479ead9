#include <gtest/gtest.h>

#include "app/app_fixture.h"

using korvane::app::testing::AppFixture;

namespace {

class ScriptedSessionTest : public AppFixture {};

struct BadScript {
    const char* script;
    int exitCode;
    const char* errorPart;
};

class BadScriptTest : public ScriptedSessionTest,
                      public ::testing::WithParamInterface<BadScript> {};

TEST_P(BadScriptTest, EndsWithTheCodeAndTheLineNumber) {
    start();
    EXPECT_EQ(run(GetParam().script), GetParam().exitCode);
    EXPECT_NE(errors_.str().find(GetParam().errorPart), std::string::npos) << errors_.str();
    // A script that fails still ends the program the way "exit" does.
    EXPECT_TRUE(app_->mainWindow().exited());
    EXPECT_FALSE(app_->mainWindow().workers().running(korvane::app::WorkerSlot::SyncEffect));
}

INSTANTIATE_TEST_SUITE_P(
    Lines, BadScriptTest,
    ::testing::Values(BadScript{"# comment\n\nfrobnicate\n", 2, "line 3"},
                      BadScript{"wait soon\n", 2, "line 1"},
                      BadScript{"plug toaster\n", 2, "unknown model"},
                      BadScript{"plug mouse\n", 2, "--simulate"},
                      BadScript{"notify click no_such_control\n", 2, "no_such_control"},
                      BadScript{"notify itemselect kb_deng_profile_combo 9\n", 2, "line 1"},
                      BadScript{"print nothing_here\n", 2, "nothing_here"},
                      BadScript{"wait-for kb_tab colour=red\n", 2, "PROPERTY"},
                      BadScript{"wait-for kb_tab visible=1 30\n", 3, "timed out"},
                      BadScript{"input key down\n", 2, "virtual-key code"},
                      BadScript{"input key 0x41 sideways\n", 2, "down or up"},
                      BadScript{"input button thumb down\n", 2, "left, right, middle"},
                      BadScript{"input key 65 up +soon\n", 2, "+MS"},
                      BadScript{"input key 65 up extended twice\n", 2, "twice"},
                      BadScript{"input wheel up\n", 2, "'key' or 'button'"}));

TEST_F(ScriptedSessionTest, PrintShowsTheControlState) {
    start();
    ASSERT_EQ(run("notify textchanged kb_Deng_edit_B 999\nprint kb_Deng_edit_B\n"
                  "print kb_deng_profile_combo\n"),
              0)
        << errors_.str();
    const std::string out = printed_.str();
    EXPECT_NE(out.find("kb_Deng_edit_B visible=1"), std::string::npos) << out;
    // The lighting page takes the notification: a channel above 255 is written back as 255.
    EXPECT_NE(out.find("text=255\n"), std::string::npos) << out;
    EXPECT_NE(out.find("kb_deng_profile_combo visible=1 enabled=1 selected=0 value=0 item=-1 "
                       "count=1 shown=1 text="),
              std::string::npos)
        << out;
}

// The keyboard's panel is the first page of the device tabs; the mouse's is not shown.
TEST_F(ScriptedSessionTest, ShownTellsWhetherTheTabsAboveShowTheControlsPage) {
    start();
    ASSERT_EQ(run("wait-for kb_deng_light_slider shown=1 10\n"
                  "wait-for ms_deng_light_slider shown=0 10\n"
                  "notify selectchanged ms_tab 1\n"
                  "wait-for ms_deng_light_slider shown=1 10\n"
                  "print kb_deng_light_slider\n"),
              0)
        << errors_.str();
    EXPECT_NE(printed_.str().find("kb_deng_light_slider visible=1 "), std::string::npos);
    EXPECT_NE(printed_.str().find(" shown=0 "), std::string::npos) << printed_.str();
}

TEST_F(ScriptedSessionTest, TheEndOfTheScriptShutsTheProgramDown) {
    start();
    ASSERT_EQ(run("wait 1\n"), 0);
    EXPECT_TRUE(app_->mainWindow().exited());
}

}  // namespace
