#include "core/macros/device_transfers.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <memory>
#include <string>
#include <vector>

#include "core/keys/key_function.h"
#include "core/macros/action_file.h"
#include "core/platform/paths.h"
#include "core/profiles/profile_file.h"
#include "core/profiles/profile_index.h"
#include "device/fake_hid.h"
#include "macros/temp_folder.h"

namespace korvane::macros {
namespace {

using ::testing::ElementsAre;
using Bytes = std::vector<std::uint8_t>;
using device::CommandCode;
using device::Report64;
using device::testing::answerTo;
using device::testing::FakeHidHandle;
using device::testing::ForwardingHandle;
using device::testing::Reaction;
using macros::testing::TempFolder;

constexpr std::uint8_t code(CommandCode c) {
    return static_cast<std::uint8_t>(c);
}

// Points the data and program folders into a temp folder for its lifetime. Declared before
// any member that builds a path, so that nothing ever reaches the real home folder.
class ScopedDataFolders {
  public:
    explicit ScopedDataFolders(const TempFolder& root) {
        setenv("KORVANE_DATA_ROOT", (root / "QV").c_str(), 1);
        setenv("KORVANE_PROGRAM_FOLDER", root.path().c_str(), 1);
    }
    ~ScopedDataFolders() {
        unsetenv("KORVANE_DATA_ROOT");
        unsetenv("KORVANE_PROGRAM_FOLDER");
    }
};

// A connected commander over a scripted interface, with the data folders in a temp folder.
class DeviceTransferTest : public ::testing::Test {
  protected:
    void SetUp() override {
        commander.attach(std::make_unique<ForwardingHandle>(fake));
        commander.setConnected(true);
        commander.setSleepFunction([](std::chrono::milliseconds) {});
    }

    std::vector<std::uint8_t> commands() const {
        std::vector<std::uint8_t> codes;
        for (const auto& report : fake->written()) {
            codes.push_back(report.command());
        }
        return codes;
    }
    // The data of every report of one command, joined in order.
    Bytes dataOf(CommandCode command) const {
        Bytes bytes;
        for (const auto& report : fake->written()) {
            if (report.command() == code(command)) {
                bytes.insert(bytes.end(), report.data().begin(),
                             report.data().begin() + report.length());
            }
        }
        return bytes;
    }

    TempFolder root;
    ScopedDataFolders folders{root};
    std::shared_ptr<FakeHidHandle> fake = std::make_shared<FakeHidHandle>();
    device::DeviceCommander commander;
};

class DownloadMacrosTest : public DeviceTransferTest {
  protected:
    void SetUp() override {
        DeviceTransferTest::SetUp();
        profiles::ProfileIndex index(profiles::ProfileList::MouseKeys);
        ASSERT_TRUE(index.setCount(1));
        ASSERT_TRUE(index.setName(0, "Shooter"));
        ASSERT_TRUE(index.setSelected(0));
        tables.profileTable(0)->records[0] = {0x70, 1, 0};
        tables.profileTable(2)->records[1] = {0x71, 0, 3};
    }

    void addMacro(const std::string& name, const std::vector<std::string>& texts) {
        const std::size_t index = store.ReadMacroCount();
        ASSERT_TRUE(store.WriteMacroCount(static_cast<long>(index + 1)));
        ASSERT_TRUE(store.WriteMacroName(index, name));
        ASSERT_TRUE(store.WriteMacro(name, texts));
    }

    Bytes savedKeyProfile() const {
        Bytes body(512, 0);
        const auto file = platform::MouseFolder() / "Shooter.pro";
        return profiles::ReadProfileFile(file, body) == profiles::kReadOk ? body : Bytes{};
    }

    MacroStore store = MacroStore::forClass(MacroClass::Mouse);
    keys::KeyTables tables{keys::KeyClass::Mouse};
};

TEST_F(DownloadMacrosTest, SendsImageThenLiveKeyTableAndSavesProfileZero) {
    addMacro("A", {"1,0,138,4,1,keyboard_key_A", "2,0,10,4,0,keyboard_key_A", "0"});
    addMacro("B", {"3,0,129,1,1,mouse_key_left", "4,0,1,1,0,mouse_key_left"});
    MacroDownloadPlan plan;
    EXPECT_EQ(DownloadMacros(store, commander, 4, tables, 2, &plan), 1);

    const auto codes = commands();
    ASSERT_GE(codes.size(), 4u);
    EXPECT_THAT(Bytes(codes.begin(), codes.begin() + 4),
                ElementsAre(code(CommandCode::BeginTransfer), code(CommandCode::WriteMacroData),
                            code(CommandCode::EndTransfer), code(CommandCode::BeginTransfer)));
    EXPECT_EQ(dataOf(CommandCode::WriteMacroData), plan.image);
    EXPECT_EQ(plan.image.size(), 48u);
    const auto liveTable = tables.profileTable(2)->toBytes();
    EXPECT_EQ(dataOf(CommandCode::WriteProfileTable), Bytes(liveTable.begin(), liveTable.end()));
    EXPECT_EQ(codes.back(), code(CommandCode::EndTransfer));
    const auto profileZero = tables.profileTable(0)->toBytes();
    EXPECT_EQ(savedKeyProfile(), Bytes(profileZero.begin(), profileZero.end()));
}

TEST_F(DownloadMacrosTest, WithoutMacrosOnlyTheKeyTableGoes) {
    EXPECT_EQ(DownloadMacros(store, commander, 4, tables, 0), 1);
    const auto codes = commands();
    EXPECT_EQ(std::count(codes.begin(), codes.end(), code(CommandCode::WriteMacroData)), 0);
    EXPECT_EQ(dataOf(CommandCode::WriteProfileTable).size(), 512u);
    EXPECT_EQ(savedKeyProfile().size(), 512u);
}

TEST_F(DownloadMacrosTest, ImageBeyondTheMemorySendsNothingAtAll) {
    addMacro("Long", std::vector<std::string>(123, "1,0,10,4,1,keyboard_key_A"));
    MacroDownloadPlan plan;
    EXPECT_EQ(DownloadMacros(store, commander, 4, tables, 0, &plan), 0);
    EXPECT_EQ(plan.outcome, MacroDownloadPlan::Outcome::TooLarge);
    EXPECT_EQ(plan.actionsToRemove, 1u);
    EXPECT_TRUE(fake->written().empty());
    EXPECT_TRUE(savedKeyProfile().empty()) << "the key profile file is not written either";
}

TEST_F(DownloadMacrosTest, DeviceErrorsDoNotStopTheSequenceButAreNoSuccess) {
    fake->setResponder([](const Report64& request, int) {
        return Reaction{true, {answerTo(request, 0xFF)}};
    });
    addMacro("A", {"1,0,138,4,1,keyboard_key_A"});
    EXPECT_EQ(DownloadMacros(store, commander, 4, tables, 0), kDownloadNotTaken);
    const auto codes = commands();
    EXPECT_EQ(std::count(codes.begin(), codes.end(), code(CommandCode::WriteProfileTable)), 1)
        << "the key table still goes after the macro write failed";
    EXPECT_EQ(savedKeyProfile().size(), 512u) << "the profile file is saved all the same";
}

TEST_F(DownloadMacrosTest, AKeyTableTheDeviceRefusesIsNoSuccess) {
    fake->setResponder([](const Report64& request, int) {
        const bool table = request.command() == code(CommandCode::WriteProfileTable);
        return Reaction{true, {answerTo(request, table ? 0xFE : 0x00)}};
    });
    EXPECT_EQ(DownloadMacros(store, commander, 4, tables, 0), kDownloadNotTaken);
}

class CursorDeviceTest : public DeviceTransferTest {
  protected:
    void SetUp() override {
        DeviceTransferTest::SetUp();
        ASSERT_TRUE(store.SeedCursorList());
    }
    void writeSequence(int gun, std::size_t actions) {
        ASSERT_TRUE(WriteActionFile(
            platform::MouseFolder() / ("name_" + std::to_string(gun + 1) + ".cur"),
            std::vector<std::string>(actions, "3,0,132,2,1,mouse_move_to_left_text")));
    }

    CursorStore store = CursorStore::fromDataFolder();
};

TEST_F(CursorDeviceTest, SendsTheImageOfAllFourSequencesInOneTransfer) {
    for (int gun = 0; gun < 4; ++gun) {
        writeSequence(gun, 180);
    }
    EXPECT_EQ(SendCursorSequences(store, commander), CursorSendResult::Sent);
    const auto image = dataOf(CommandCode::WriteCursorData);
    ASSERT_EQ(image.size(), 2920u);
    EXPECT_EQ(image, store.PrepareCursorImage().image);
    const auto codes = commands();
    EXPECT_EQ(codes.front(), code(CommandCode::BeginTransfer));
    EXPECT_EQ(codes.back(), code(CommandCode::EndTransfer));
}

TEST_F(CursorDeviceTest, ImageAboveTheLimitIsNotSent) {
    writeSequence(0, 759);
    EXPECT_EQ(SendCursorSequences(store, commander), CursorSendResult::TooLarge);
    EXPECT_TRUE(fake->written().empty());
}

TEST_F(CursorDeviceTest, AMouseThatRefusesTheImageIsNoSuccess) {
    writeSequence(0, 10);
    fake->setResponder([](const Report64& request, int) {
        const bool data = request.command() == code(CommandCode::WriteCursorData);
        return Reaction{true, {answerTo(request, data ? 0xFF : 0x00)}};
    });
    EXPECT_EQ(SendCursorSequences(store, commander), CursorSendResult::NotTaken);
    EXPECT_EQ(commands().back(), code(CommandCode::EndTransfer)) << "the transfer is still ended";
}

// Answers cursor reads from a memory image, at the offset each request asks for.
void serveCursorMemory(FakeHidHandle& fake, Bytes memory, std::uint8_t status = 0) {
    fake.setResponder([memory = std::move(memory), status](const Report64& request, int) {
        Bytes chunk;
        for (std::size_t i = 0; i < request.length(); ++i) {
            const std::size_t at = request.offset() + i;
            chunk.push_back(at < memory.size() ? memory[at] : 0);
        }
        return Reaction{true, {answerTo(request, status, chunk)}};
    });
}

TEST_F(CursorDeviceTest, ReceivedImageReplacesTheSequenceFiles) {
    const std::vector<std::vector<std::string>> sequences{
        {"5,0,138,4,1,", "5,0,10,4,0,"}, {}, {"1,0,133,9,1,"}, {"0,0,1,2,0,"}};
    serveCursorMemory(*fake, *BuildSequenceImage(sequences));
    EXPECT_EQ(ReceiveCursorImage(store, commander), ReceiveResult::Stored);
    EXPECT_THAT(ReadActionFile(*store.sequenceFile(0)),
                ElementsAre("5,0,138,4,1,keyboard_key_A", "5,0,10,4,0,keyboard_key_A"));
    EXPECT_EQ(ReadActionCount(*store.sequenceFile(1)), 0u);
    EXPECT_THAT(ReadActionFile(*store.sequenceFile(2)),
                ElementsAre("1,0,133,9,1,mouse_move_to_up_text"));
    EXPECT_THAT(ReadActionFile(*store.sequenceFile(3)), ElementsAre("0,0,1,2,0,mouse_key_right"));
}

TEST_F(CursorDeviceTest, AnswerWithoutSignatureLeavesTheFiles) {
    writeSequence(0, 6);
    serveCursorMemory(*fake, Bytes(64, 0x11));
    EXPECT_EQ(ReceiveCursorImage(store, commander), ReceiveResult::NoImage);
    EXPECT_EQ(ReadActionCount(*store.sequenceFile(0)), 6u);
    EXPECT_EQ(dataOf(CommandCode::ReadCursorData).size(), 16u) << "only the header was read";
}

TEST_F(CursorDeviceTest, FailedReadLeavesTheFiles) {
    writeSequence(0, 6);
    const std::vector<std::vector<std::string>> sequences{{"1,0,0,0,0,"}};
    serveCursorMemory(*fake, *BuildSequenceImage(sequences), 0xFE);
    EXPECT_EQ(ReceiveCursorImage(store, commander), ReceiveResult::NoImage);
    EXPECT_EQ(ReadActionCount(*store.sequenceFile(0)), 6u);
}

}  // namespace
}  // namespace korvane::macros
