// Link controls and the profiles that follow the program in front.

#include <gmock/gmock.h>

#include "core/lighting/keyboard_light_payload.h"
#include "profile_operations/operations_fixture.h"

namespace korvane::app::testing {
namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;

const ListCase& keyboardLight() {
    return kListCases[0];
}
const ListCase& keyboardKeys() {
    return kListCases[1];
}
const ListCase& mouseLight() {
    return kListCases[2];
}

class LinkControls : public OperationsFixture, public ::testing::WithParamInterface<ListCase> {
  protected:
    const ListCase& c() const { return GetParam(); }
    void startWithTwo() {
        prepare(c(), {{"A", "", pattern(c().bodyLength, 1)}, {"B", "", pattern(c().bodyLength, 2)}},
                0);
        start();
        select(c(), 0);
    }
};

TEST_P(LinkControls, TheCheckBoxLinksTheSelectedProfileAndShowsTheProgramsFileName) {
    startWithTwo();
    app_->dialogs().queueFile(std::filesystem::path("/opt/Games/Racer"));
    act("selectchanged", c().linkCheck, "1");
    EXPECT_EQ(flag(c(), 0), "1");
    EXPECT_EQ(path(c(), 0), "/opt/Games/Racer");
    EXPECT_EQ(text(c().linkEdit), "Racer");
    EXPECT_TRUE(visible(c().linkRow));
    EXPECT_TRUE(selected(c().linkCheck));
    // The other profile of the list is refused the same program, whatever its case.
    select(c(), 1);
    EXPECT_FALSE(selected(c().linkCheck));
    app_->dialogs().queueFile(std::filesystem::path("/opt/games/racer"));
    act("selectchanged", c().linkCheck, "1");
    EXPECT_THAT(messages(), ElementsAre("message_text_13"));
    EXPECT_FALSE(selected(c().linkCheck));
    EXPECT_EQ(flag(c(), 1), "0");
    // The link button has no such test.
    app_->dialogs().queueFile(std::filesystem::path("/opt/games/racer"));
    click(c().linkButton);
    EXPECT_EQ(flag(c(), 1), "1");
    EXPECT_TRUE(selected(c().linkCheck));
    EXPECT_EQ(text(c().linkEdit), "racer");
}

TEST_P(LinkControls, UncheckingOrCancellingRemovesTheLink) {
    startWithTwo();
    app_->dialogs().queueFile(std::filesystem::path("/usr/bin/game"));
    act("selectchanged", c().linkCheck, "1");
    act("selectchanged", c().linkCheck, "0");
    EXPECT_EQ(flag(c(), 0), "0");
    EXPECT_FALSE(visible(c().linkRow));
    EXPECT_EQ(text(c().linkEdit), " ");

    app_->dialogs().queueFile(std::nullopt);
    act("selectchanged", c().linkCheck, "1");
    EXPECT_FALSE(selected(c().linkCheck));
    EXPECT_EQ(flag(c(), 0), "0");
    // A path without a folder cannot name a program: treated as cancelled.
    app_->dialogs().queueFile(std::filesystem::path("game"));
    act("selectchanged", c().linkCheck, "1");
    EXPECT_FALSE(selected(c().linkCheck));
    EXPECT_EQ(flag(c(), 0), "0");
    // A cancelled link button changes nothing.
    app_->dialogs().queueFile(std::nullopt);
    click(c().linkButton);
    EXPECT_EQ(flag(c(), 0), "0");
}

INSTANTIATE_TEST_SUITE_P(FiveLists, LinkControls, ::testing::ValuesIn(kListCases),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(OperationsFixture, ALinkPathCopiedFromElsewhereShowsThePartAfterTheLastBackslash) {
    const ListCase& c = keyboardLight();
    prepare(c,
            {{"A", "", pattern(c.bodyLength, 1)},
             {"B", "C:\\Games\\racer.exe", pattern(c.bodyLength, 2)}},
            0);
    start();
    select(c, 1);
    EXPECT_EQ(text(c.linkEdit), "racer.exe");
    EXPECT_TRUE(visible(c.linkRow));
}

class FollowingTheForeground : public OperationsFixture {
  protected:
    std::shared_ptr<sim::SimulatedDevice> plugKeyboard() {
        auto keyboard = backend().plug(device::DeviceKind::RgbKeyboard);
        start();
        EXPECT_TRUE(waitUntil([](MainWindow& m) { return m.kinds().keyboardShown == 1; }));
        EXPECT_TRUE(settle(*keyboard));
        return keyboard;
    }
    void front(const std::string& program) { app_->foreground().set(program); }
    bool comboShows(const ListCase& c, int position) {
        return waitUntil(
            [&](MainWindow& m) { return m.tree().find(c.combo)->currentItem() == position; });
    }
};

TEST_F(FollowingTheForeground, ALinkedProgramInFrontSwitchesTheKeyboardLightAndLeavingRestores) {
    const ListCase& c = keyboardLight();
    const auto mine = pattern(c.bodyLength, 1);
    const auto game = pattern(c.bodyLength, 2);
    prepare(c, {{"Mine", "", mine}, {"Game", "/opt/game/bin/game", game}}, 0);
    plugKeyboard();
    ASSERT_TRUE(comboShows(c, 0));
    const auto live = [this] {
        return onMain<std::vector<std::uint8_t>>([](MainWindow& m) {
            const auto bytes =
                lighting::KeyboardLightPayload::fromLive(m.stores().keyboardLight).toBytes();
            return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
        });
    };
    EXPECT_EQ(live(), mine);

    front("/OPT/GAME/BIN/GAME");
    ASSERT_TRUE(comboShows(c, 1));
    EXPECT_EQ(live(), game);
    EXPECT_EQ(text(c.nameEdit), "Game");
    EXPECT_EQ(selectKey(c), "0");

    front("/usr/bin/editor");
    ASSERT_TRUE(comboShows(c, 0));
    EXPECT_EQ(live(), mine);
    EXPECT_EQ(selectKey(c), "0");
}

TEST_F(FollowingTheForeground, TheKeyboardReceivesTheLinkedKeyTableOnce) {
    const ListCase& c = keyboardKeys();
    prepare(c,
            {{"Mine", "", pattern(c.bodyLength, 1)},
             {"Game", "/opt/game/game", pattern(c.bodyLength, 2)}},
            0);
    auto keyboard = plugKeyboard();
    ASSERT_TRUE(comboShows(c, 0));
    // What one selection costs on the wire, chosen by the user.
    std::uint32_t before = keyboard->controlRequestCount();
    select(c, 1);
    ASSERT_TRUE(settle(*keyboard));
    const std::uint32_t oneSelection = keyboard->controlRequestCount() - before;
    ASSERT_GT(oneSelection, 0u);
    select(c, 0);
    ASSERT_TRUE(settle(*keyboard));

    before = keyboard->controlRequestCount();
    front("/opt/game/game");
    ASSERT_TRUE(comboShows(c, 1));
    ASSERT_TRUE(settle(*keyboard));
    EXPECT_EQ(keyboard->controlRequestCount() - before, oneSelection);
    const auto table = keyboard->inspect([](const sim::Firmware& f) { return f.profileTable(0); });
    const auto expected = pattern(c.bodyLength, 2);
    const std::size_t length = main().keyboardCommander().TableLength();
    EXPECT_TRUE(
        std::equal(expected.begin(), expected.begin() + static_cast<long>(length), table.begin()));
    EXPECT_EQ(selectKey(c), "0");

    // Another program that is not linked, then one more: back to the user's once.
    before = keyboard->controlRequestCount();
    front("/usr/bin/editor");
    front("/usr/bin/terminal");
    ASSERT_TRUE(comboShows(c, 0));
    ASSERT_TRUE(settle(*keyboard));
    EXPECT_EQ(keyboard->controlRequestCount() - before, oneSelection);
}

TEST_F(FollowingTheForeground, TheLowerPositionWinsAndListsSwitchIndependently) {
    const ListCase& kb = keyboardLight();
    const ListCase& ms = mouseLight();
    prepare(kb,
            {{"Mine", "", pattern(kb.bodyLength, 1)},
             {"First", "/opt/game/game", pattern(kb.bodyLength, 2)},
             {"Second", "/opt/game/game", pattern(kb.bodyLength, 3)}},
            0);
    prepare(ms,
            {{"Mine", "", pattern(ms.bodyLength, 1)},
             {"Other", "/opt/other/other", pattern(ms.bodyLength, 2)},
             {"Game", "/opt/game/game", pattern(ms.bodyLength, 3)}},
            0);
    start();
    select(kb, 0);
    select(ms, 0);
    front("/opt/game/game");
    EXPECT_TRUE(comboShows(kb, 1));
    EXPECT_TRUE(comboShows(ms, 2));
    front("/opt/other/other");
    EXPECT_TRUE(comboShows(kb, 0));
    EXPECT_TRUE(comboShows(ms, 1));
}

TEST_F(FollowingTheForeground, BadLinkEntriesNeverMatch) {
    const ListCase& c = keyboardLight();
    std::filesystem::create_directories(folder(c));
    // Links past count, blank paths, a flag of 2 and a path longer than any value read.
    std::ofstream(folder(c) / c.indexFile)
        << "[PROFILEDENGCOUNT]\ncount=3\n[PROFILEDENGNAME]\n0=A\n1=B\n2=C\n"
           "[PROFILEDENGSELECT]\nselect=0\n"
           "[PROFILELIKEDENGEXE]\n0=0\n1=1\n2=2\n3=1\n"
           "[DENGPROCESS]\n1= \n2=/opt/game/game\n3=/opt/game/game\n";
    for (const char* name : {"A", "B", "C"}) {
        putBytes(fileOf(c, name), framed(1, pattern(c.bodyLength, 1)));
    }
    start();
    select(c, 0);
    for (const std::string program : {"/opt/game/game", "", " ", "0"}) {
        front(program);
        platform::StopEvent().wait(100ms);
        EXPECT_EQ(current(c), 0) << "'" << program << "'";
    }
    const std::string longPath = "/opt/" + std::string(5000, 'x');
    app_->dialogs().queueFile(std::filesystem::path(longPath));
    click(c.linkButton);
    EXPECT_EQ(flag(c, 0), "0");
}

TEST_F(FollowingTheForeground, NothingIsWrittenWhileTheForegroundComesAndGoesUnlinked) {
    const ListCase& c = keyboardLight();
    prepare(c,
            {{"Mine", "", pattern(c.bodyLength, 1)}, {"Game", "/opt/g", pattern(c.bodyLength, 2)}},
            0);
    start();
    select(c, 0);
    platform::StopEvent().wait(100ms);
    const auto indexFile = folder(c) / c.indexFile;
    const auto written = std::filesystem::last_write_time(indexFile);
    const auto bytes = fileBytes(indexFile);
    for (int i = 0; i < 5; ++i) {
        front("/usr/bin/program" + std::to_string(i));
    }
    platform::StopEvent().wait(200ms);
    EXPECT_EQ(std::filesystem::last_write_time(indexFile), written);
    EXPECT_EQ(fileBytes(indexFile), bytes);
    EXPECT_EQ(current(c), 0);
}

}  // namespace
}  // namespace korvane::app::testing

namespace korvane::app::testing {
namespace {

TEST_F(OperationsFixture, AScriptLinksAProfileAndBringsItsProgramToTheFront) {
    start();
    ASSERT_EQ(run("notify itemselect mp_deng_profile_combo 0\n"
                  "notify click mp_pro_deng_add_btn\n"
                  "file /usr/games/racer\n"
                  "notify click mp_deng_profile_link_btn\n"
                  "notify itemselect mp_deng_profile_combo 0\n"
                  "foreground /usr/games/racer\n"
                  "wait-for mp_deng_profile_combo item=1 2000\n"
                  "print mp_deng_profile_link_edit\n"
                  "file -\n"
                  "notify click mp_pro_deng_import_btn\n"
                  "foreground /usr/bin/editor\n"
                  "wait-for mp_deng_profile_combo item=0 2000\n"),
              0)
        << errors_.str();
    EXPECT_NE(printed_.str().find("text=racer"), std::string::npos) << printed_.str();
    EXPECT_EQ(selectKey(kListCases[4]), "0");
}

}  // namespace
}  // namespace korvane::app::testing
