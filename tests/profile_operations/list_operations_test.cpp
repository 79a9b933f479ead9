// New, delete, copy, rename, import, export and reset on each of the five profile lists.

#include <sys/stat.h>

#include <gmock/gmock.h>

#include "profile_operations/operations_fixture.h"

namespace korvane::app::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class ListOperations : public OperationsFixture, public ::testing::WithParamInterface<ListCase> {
  protected:
    const ListCase& c() const { return GetParam(); }

    // A, B, C with B linked to /opt/b/b and C to /opt/c/c; the user chose B.
    void startWithThree() {
        prepare(c(),
                {{"A", "", pattern(c().bodyLength, 1)},
                 {"B", "/opt/b/b", pattern(c().bodyLength, 2)},
                 {"C", "/opt/c/c", pattern(c().bodyLength, 3)}},
                1);
        start();
        select(c(), 1);
    }
    std::string button(const char* suffix) const { return std::string(c().prefix) + suffix; }
};

TEST_P(ListOperations, DeletingInTheMiddleMovesTheLinksUpAndSelectsTheNextProfile) {
    startWithThree();
    app_->dialogs().queueAnswer(1);
    click(button("sub_btn"));
    EXPECT_THAT(messages(), ElementsAre("message_text_12"));
    EXPECT_THAT(items(c()), ElementsAre("A", "C"));
    EXPECT_EQ(countKey(c()), "2");
    EXPECT_EQ(name(c(), 0), "A");
    EXPECT_EQ(name(c(), 1), "C");
    EXPECT_EQ(flag(c(), 1), "1");
    EXPECT_EQ(path(c(), 1), "/opt/c/c");
    EXPECT_FALSE(std::filesystem::exists(fileOf(c(), "B")));
    // The pad's list ends on its last profile; the others on the one that followed.
    EXPECT_EQ(current(c()), 1);
    EXPECT_EQ(selectKey(c()), "1");
    EXPECT_EQ(text(c().nameEdit), "C");
    EXPECT_EQ(text(c().linkEdit), "c");
    EXPECT_TRUE(visible(c().linkRow));
}

TEST_P(ListOperations, DeletingTheFirstSelectsTheFormerSecondExceptOnThePad) {
    startWithThree();
    select(c(), 0);
    app_->dialogs().queueAnswer(1);
    click(button("sub_btn"));
    EXPECT_THAT(items(c()), ElementsAre("B", "C"));
    EXPECT_EQ(flag(c(), 0), "1");
    EXPECT_EQ(path(c(), 0), "/opt/b/b");
    EXPECT_EQ(current(c()), c().pad ? 1 : 0);
}

TEST_P(ListOperations, DeletingTheLastSelectsTheNewLast) {
    startWithThree();
    select(c(), 2);
    app_->dialogs().queueAnswer(1);
    click(button("sub_btn"));
    EXPECT_THAT(items(c()), ElementsAre("A", "B"));
    EXPECT_EQ(current(c()), 1);
    EXPECT_EQ(text(c().nameEdit), "B");
}

TEST_P(ListOperations, DeleteIsRefusedForTheOnlyProfileAndWhenNotConfirmed) {
    prepare(c(), {{"Only", "", pattern(c().bodyLength, 1)}}, 0);
    start();
    select(c(), 0);
    click(button("sub_btn"));
    EXPECT_THAT(messages(), ElementsAre("message_text_11"));
    EXPECT_THAT(items(c()), ElementsAre("Only"));
    EXPECT_TRUE(std::filesystem::exists(fileOf(c(), "Only")));

    click(button("add_btn"));
    app_->dialogs().queueAnswer(0);
    click(button("sub_btn"));
    EXPECT_THAT(items(c()), ElementsAre("Only", "New Profile 1"));
    EXPECT_EQ(countKey(c()), "2");
}

TEST_P(ListOperations, NewProfilesTakeTheFirstFreeNumberIgnoringCase) {
    prepare(c(), {{"new profile 1", "", pattern(c().bodyLength, 1)}}, 0);
    start();
    select(c(), 0);
    click(button("add_btn"));
    click(button("add_btn"));
    EXPECT_THAT(items(c()), ElementsAre("new profile 1", "New Profile 2", "New Profile 3"));
    EXPECT_EQ(countKey(c()), "3");
    EXPECT_EQ(name(c(), 2), "New Profile 3");
    EXPECT_EQ(flag(c(), 2), "0");
    EXPECT_EQ(current(c()), 2);
    EXPECT_EQ(selectKey(c()), "2");
    // Header (16 bytes) and the whole body of the model's default.
    EXPECT_EQ(fileBytes(fileOf(c(), "New Profile 3")).size(), 16 + c().bodyLength);
}

TEST_P(ListOperations, CopyingTwiceGivesACopyCopyWithTheSameBody) {
    prepare(c(), {{"A", "", pattern(c().bodyLength, 7)}}, 0);
    start();
    select(c(), 0);
    click(button("copy_btn"));
    select(c(), 0);
    click(button("copy_btn"));
    EXPECT_THAT(items(c()), ElementsAre("A", "A copy", "A copy copy"));
    EXPECT_EQ(body(c(), "A copy copy"), pattern(c().bodyLength, 7));
    EXPECT_EQ(fileBytes(fileOf(c(), "A copy copy"))[4], c().classCode);
    EXPECT_EQ(name(c(), 2), "A copy copy");
    EXPECT_EQ(current(c()), 2);
}

TEST_P(ListOperations, RenameRefusesEmptyAndTakenNamesIgnoringCase) {
    prepare(c(), {{"A", "", pattern(c().bodyLength, 1)}, {"B", "", pattern(c().bodyLength, 2)}}, 0);
    start();
    select(c(), 0);
    act("textchanged", c().nameEdit, "a");
    click(c().renameSave);
    act("textchanged", c().nameEdit, "");
    click(c().renameSave);
    act("textchanged", c().nameEdit, "b");
    click(c().renameSave);
    act("textchanged", c().nameEdit, "x/y");
    click(c().renameSave);
    EXPECT_THAT(messages(), ElementsAre("message_text_15", "message_text_14", "message_text_15",
                                        "message_profile_name_invalid"));
    EXPECT_THAT(items(c()), ElementsAre("A", "B"));
    EXPECT_EQ(name(c(), 0), "A");
    EXPECT_EQ(body(c(), "A"), pattern(c().bodyLength, 1));
}

TEST_P(ListOperations, RenameMovesTheBodyToTheNewFile) {
    prepare(c(), {{"A", "", pattern(c().bodyLength, 4)}, {"B", "", pattern(c().bodyLength, 2)}}, 0);
    start();
    select(c(), 0);
    act("textchanged", c().nameEdit, "Renamed");
    click(c().renameSave);
    EXPECT_THAT(messages(), IsEmpty());
    EXPECT_THAT(items(c()), ElementsAre("Renamed", "B"));
    EXPECT_EQ(name(c(), 0), "Renamed");
    EXPECT_FALSE(std::filesystem::exists(fileOf(c(), "A")));
    EXPECT_EQ(body(c(), "Renamed"), pattern(c().bodyLength, 4));
    EXPECT_EQ(onMain<std::string>(
                  [&](MainWindow& m) { return m.tree().find(c().combo)->items()[0].toolTip; }),
              "Renamed");
}

TEST_P(ListOperations, RenameOfAProfileWhoseFileIsGoneChangesNothing) {
    prepare(c(), {{"A", "", pattern(c().bodyLength, 4)}, {"B", "", pattern(c().bodyLength, 2)}}, 0);
    start();
    select(c(), 0);
    std::filesystem::remove(fileOf(c(), "A"));
    act("textchanged", c().nameEdit, "Renamed");
    click(c().renameSave);
    EXPECT_THAT(messages(), ElementsAre("message_text_8"));
    EXPECT_EQ(name(c(), 0), "A");
    EXPECT_THAT(items(c()), ElementsAre("A", "B"));
    EXPECT_FALSE(std::filesystem::exists(fileOf(c(), "Renamed")));
}

TEST_P(ListOperations, ImportOfAShortFileFillsTheRestWithZeros) {
    prepare(c(), {{"A", "", pattern(c().bodyLength, 4)}}, 0);
    start();
    select(c(), 0);
    const auto shortFile = root_ / "short.bin";
    putBytes(shortFile, framed(9, {1, 2, 3, 4, 5}));
    app_->dialogs().queueFile(shortFile);
    click(button("import_btn"));
    EXPECT_THAT(messages(), IsEmpty());
    std::vector<std::uint8_t> expected(c().bodyLength, 0);
    std::copy_n(std::vector<std::uint8_t>{1, 2, 3, 4, 5}.begin(), 5, expected.begin());
    EXPECT_EQ(body(c(), "A"), expected);
    // The list's class code, whatever the imported file carried.
    EXPECT_EQ(fileBytes(fileOf(c(), "A"))[4], c().classCode);
    EXPECT_THAT(items(c()), ElementsAre("A"));
}

TEST_P(ListOperations, ImportRefusesEmptyFilesFoldersAndPipesAndKeepsTheProfile) {
    prepare(c(), {{"A", "", pattern(c().bodyLength, 4)}}, 0);
    start();
    select(c(), 0);
    const auto empty = root_ / "empty.led";
    putBytes(empty, {});
    const auto pipe = root_ / "pipe.led";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const auto wrongSignature = root_ / "wrong.led";
    putBytes(wrongSignature, {0x55, 0xAA, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9, 9});
    for (const auto& chosen : {empty, root_, pipe, wrongSignature, root_ / "missing.led"}) {
        app_->dialogs().queueFile(chosen);
        click(button("import_btn"));
    }
    app_->dialogs().queueFile(std::nullopt);
    click(button("import_btn"));
    EXPECT_THAT(messages(), ElementsAre("message_text_9", "message_text_8", "message_text_8",
                                        "message_text_9", "message_text_8"));
    EXPECT_EQ(body(c(), "A"), pattern(c().bodyLength, 4));
}

TEST_P(ListOperations, ExportWritesTheProfileAndRefusesAFolderThatCannotBeWritten) {
    prepare(c(), {{"A", "", pattern(c().bodyLength, 4)}}, 0);
    start();
    select(c(), 0);
    const auto target = root_ / "out.bin";
    app_->dialogs().queueFile(target);
    click(button("export_btn"));
    EXPECT_EQ(fileBytes(target), framed(c().classCode, pattern(c().bodyLength, 4)));

    // No one creates files in /proc, not even root.
    app_->dialogs().queueFile(std::filesystem::path("/proc/korvane-export.bin"));
    click(button("export_btn"));
    EXPECT_THAT(messages(), ElementsAre("message_file_not_written"));
    EXPECT_FALSE(std::filesystem::exists("/proc/korvane-export.bin"));
}

TEST_P(ListOperations, ExportIntoAFolderPathIsRefused) {
    prepare(c(), {{"A", "", pattern(c().bodyLength, 4)}}, 0);
    start();
    select(c(), 0);
    std::filesystem::create_directories(root_ / "taken.led");
    app_->dialogs().queueFile(root_ / "taken.led");
    click(button("export_btn"));
    EXPECT_THAT(messages(), ElementsAre("message_file_not_written"));
    EXPECT_TRUE(std::filesystem::is_directory(root_ / "taken.led"));
}

TEST_P(ListOperations, NewAndCopyLeaveNoEntryWithoutAFile) {
    prepare(c(), {{"A", "", pattern(c().bodyLength, 4)}}, 0);
    // A program folder without default files.
    const auto program = root_ / "program";
    std::filesystem::create_directories(program);
    setenv("KORVANE_PROGRAM_FOLDER", program.c_str(), 1);
    start();
    select(c(), 0);
    // The other lists could not be seeded either; only what follows counts.
    const std::size_t before = messages().size();
    click(button("add_btn"));
    std::filesystem::remove(fileOf(c(), "A"));
    click(button("copy_btn"));
    const auto shown = messages();
    EXPECT_THAT(std::vector<std::string>(shown.begin() + static_cast<long>(before), shown.end()),
                ElementsAre("message_text_8", "message_text_8"));
    EXPECT_THAT(items(c()), ElementsAre("A"));
    EXPECT_EQ(countKey(c()), "1");
    EXPECT_FALSE(std::filesystem::exists(fileOf(c(), "New Profile 1")));
    EXPECT_FALSE(std::filesystem::exists(fileOf(c(), "A copy")));
}

TEST_P(ListOperations, AnUnreadableIndexRefusesNewProfilesAndKeepsTheUsersFiles) {
    std::filesystem::create_directories(folder(c()));
    // Too large to be a settings file: it exists but cannot be read as one.
    putBytes(folder(c()) / c().indexFile, std::vector<std::uint8_t>(5 * 1024 * 1024, 'x'));
    const auto users = framed(c().classCode, pattern(c().bodyLength, 9));
    putBytes(fileOf(c(), "New Profile 1"), users);
    start();
    EXPECT_THAT(items(c()), IsEmpty());
    click(button("add_btn"));
    EXPECT_EQ(messages().back(), "message_profile_index_unreadable");
    EXPECT_EQ(fileBytes(fileOf(c(), "New Profile 1")), users);
    EXPECT_THAT(items(c()), IsEmpty());
}

TEST_P(ListOperations, TheRenamePanelButtonShowsAndHidesThePanel) {
    start();
    const std::string panel =
        std::string(c().renameSave).substr(0, std::string(c().renameSave).size() - 9);
    const bool before = visible(panel);
    click(button("edit_btn"));
    EXPECT_EQ(visible(panel), !before);
    click(button("edit_btn"));
    EXPECT_EQ(visible(panel), before);
}

INSTANTIATE_TEST_SUITE_P(FiveLists, ListOperations, ::testing::ValuesIn(kListCases),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(OperationsFixture, TheSpreadButtonsShowAndHideEachPagesProfileArea) {
    start();
    for (const auto& [button, area] :
         {std::pair{"kb_profile_fun_spread_btn", "kb_profile_fun_spead_tab"},
          std::pair{"ms_profile_fun_spread_btn", "ms_profile_fun_spead_tab"},
          std::pair{"mp_profile_fun_spread_btn", "mp_profile_fun_spead_tab"}}) {
        const bool before = visible(area);
        click(button);
        EXPECT_EQ(visible(area), !before) << area;
        click(button);
        EXPECT_EQ(visible(area), before) << area;
    }
}

}  // namespace
}  // namespace korvane::app::testing
