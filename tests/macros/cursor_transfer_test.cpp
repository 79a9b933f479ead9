#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/macros/action_file.h"
#include "core/macros/cursor_transfer.h"
#include "macros/temp_folder.h"

namespace korvane::macros {
namespace {

using ::testing::ElementsAre;
using Bytes = std::vector<std::uint8_t>;
using testing::TempFolder;

// The mouse's cursor memory: answers reads from its start, like the device does.
struct FakeCursorMemory {
    Bytes memory;
    bool failImageRead = false;
    std::vector<std::size_t> reads;

    CursorMemoryReader reader() {
        return [this](std::size_t length) -> std::optional<Bytes> {
            reads.push_back(length);
            if (reads.size() > 1 && failImageRead) {
                return std::nullopt;
            }
            Bytes answer(length, 0);
            std::copy_n(memory.begin(), std::min(length, memory.size()), answer.begin());
            return answer;
        };
    }
};

class ReceiveCursorImageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        root.write("msMacro.ini", "[CURSORCOUNT]\ncount=2\n[CURSORNAME]\n0=name_1\n1=name_2\n");
        ASSERT_TRUE(WriteActionFile(root / "name_1.cur", std::vector<std::string>{"old"}));
        ASSERT_TRUE(WriteActionFile(root / "name_2.cur", std::vector<std::string>{"old"}));
        const std::vector<std::vector<std::string>> sequences{{"10,0,133,4,1,", "0,0,1,2,0,"},
                                                              {"3,0,132,1,1,"}};
        device.memory = *BuildSequenceImage(sequences);
    }

    std::vector<std::string> file(const char* name) { return ReadActionFile(root / name); }

    TempFolder root;
    CursorStore store{root.path(), root.path()};
    FakeCursorMemory device;
    EventNameLookup lookup = [](std::uint8_t kind, std::uint8_t code) {
        return std::string(MouseEventName(kind, code));
    };
};

TEST_F(ReceiveCursorImageTest, ReadsHeaderThenImageAndReplacesTheFiles) {
    EXPECT_EQ(ReceiveCursorImage(store, device.reader(), lookup), ReceiveResult::Stored);
    EXPECT_THAT(device.reads, ElementsAre(16u, 40u));
    EXPECT_THAT(file("name_1.cur"),
                ElementsAre("10,0,133,4,1,mouse_move_to_up_text", "0,0,1,2,0,mouse_key_right"));
    EXPECT_THAT(file("name_2.cur"), ElementsAre("3,0,132,1,1,mouse_move_to_left_text"));
}

struct FailureCase {
    std::string label;
    std::size_t at;  // byte to damage
    std::uint8_t value;
    bool failImageRead;
    ReceiveResult result;
};

void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.label;
}

class ReceiveFailureTest : public ReceiveCursorImageTest,
                           public ::testing::WithParamInterface<FailureCase> {};

TEST_P(ReceiveFailureTest, LeavesTheFilesAsTheyWere) {
    device.memory[GetParam().at] = GetParam().value;
    device.failImageRead = GetParam().failImageRead;
    EXPECT_EQ(ReceiveCursorImage(store, device.reader(), lookup), GetParam().result);
    EXPECT_THAT(file("name_1.cur"), ElementsAre("old"));
    EXPECT_THAT(file("name_2.cur"), ElementsAre("old"));
}

INSTANTIATE_TEST_SUITE_P(
    Answers, ReceiveFailureTest,
    ::testing::Values(FailureCase{"no_signature", 0, 0x00, false, ReceiveResult::NoImage},
                      FailureCase{"image_read_fails", 0, 0xAA, true, ReceiveResult::ReadFailed},
                      // The second body claims 200 actions in a 40-byte image.
                      FailureCase{"count_outside", 32, 200, false, ReceiveResult::DamagedImage},
                      FailureCase{"offset_outside", 18, 250, false, ReceiveResult::DamagedImage},
                      FailureCase{"sequence_count_outside", 4, 90, false,
                                  ReceiveResult::DamagedImage}),
    [](const auto& info) { return info.param.label; });

TEST_F(ReceiveCursorImageTest, FailedHeaderReadChangesNothing) {
    const CursorMemoryReader failing = [](std::size_t) { return std::optional<Bytes>{}; };
    EXPECT_EQ(ReceiveCursorImage(store, failing, lookup), ReceiveResult::NoImage);
    EXPECT_THAT(file("name_1.cur"), ElementsAre("old"));
}

}  // namespace
}  // namespace korvane::macros
