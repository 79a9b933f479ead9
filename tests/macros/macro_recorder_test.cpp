// Macro recording: which hook events become actions, and the delays between them.

#include "core/macros/macro_recorder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace korvane::macros {
namespace {

namespace km = key_message;
namespace mm = mouse_message;

// One event fed to the recorder: a key (virtual-key code, flags) or a mouse message, and the
// time it happened.
struct Event {
    bool key;
    int message;
    std::uint32_t vk;
    std::uint32_t flags;
    std::uint32_t time;
};

Event keyDown(std::uint32_t vk, std::uint32_t time, std::uint32_t flags = 0) {
    return {true, km::kKeyDown, vk, flags, time};
}
Event keyUp(std::uint32_t vk, std::uint32_t time, std::uint32_t flags = 0x80) {
    return {true, km::kKeyUp, vk, flags, time};
}
Event mouse(int message, std::uint32_t time) {
    return {false, message, 0, 0, time};
}

// An action as the Part writes it: delay low, delay high, kind, code, down, name.
struct Expected {
    int delayLow;
    int delayHigh;
    int kind;
    int code;
    int down;
    std::string name;
};

struct RecordCase {
    std::string name;
    RecordingOptions options;
    std::uint32_t start;
    std::vector<Event> events;
    std::vector<Expected> actions;
};

std::vector<MacroAction> record(const RecordCase& c, std::vector<MacroAction> actions = {}) {
    MacroRecorder recorder;
    recorder.start(c.start);
    for (const Event& e : c.events) {
        if (e.key) {
            KeyRecord r;
            r.vkCode = e.vk;
            r.flags = e.flags;
            r.time = e.time;
            recorder.RecordKeyEvent(e.message, r, c.options, actions);
        } else {
            recorder.RecordMouseEvent(e.message, e.time, c.options, actions);
        }
    }
    return actions;
}

class Recording : public testing::TestWithParam<RecordCase> {};

TEST_P(Recording, GivesTheActions) {
    const RecordCase& c = GetParam();
    const std::vector<MacroAction> actions = record(c);
    ASSERT_EQ(actions.size(), c.actions.size());
    for (std::size_t i = 0; i < actions.size(); ++i) {
        const Expected& e = c.actions[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(actions[i].delayLow, e.delayLow);
        EXPECT_EQ(actions[i].delayHigh, e.delayHigh);
        EXPECT_EQ(actions[i].kind, e.kind);
        EXPECT_EQ(actions[i].code, e.code);
        EXPECT_EQ(actions[i].down, e.down);
        EXPECT_EQ(actions[i].name, e.name);
    }
}

const RecordingOptions kDefaults{};
const RecordingOptions kFixed{true, true, false, false, true};
const RecordingOptions kNoClicks{true, false, true, true, false};

INSTANTIATE_TEST_SUITE_P(
    Cases, Recording,
    testing::Values(
        // A held key repeats its press; the recording keeps one press and one release.
        RecordCase{
            "HeldKeyGivesOnePressOneRelease",
            kDefaults,
            0,
            {keyDown(0x41, 0), keyDown(0x41, 500), keyDown(0x41, 530), keyUp(0x41, 600)},
            {{60, 0, 0x8A, 0x04, 1, "keyboard_key_A"}, {0, 0, 0x0A, 0x04, 0, "keyboard_key_A"}}},
        // The release clears the filter: the same key pressed again is a new press.
        RecordCase{"SameKeyTwice",
                   kDefaults,
                   0,
                   {keyDown(0x41, 0), keyUp(0x41, 100), keyDown(0x41, 200), keyUp(0x41, 300)},
                   {{10, 0, 0x8A, 0x04, 1, "keyboard_key_A"},
                    {10, 0, 0x0A, 0x04, 0, "keyboard_key_A"},
                    {10, 0, 0x8A, 0x04, 1, "keyboard_key_A"},
                    {0, 0, 0x0A, 0x04, 0, "keyboard_key_A"}}},
        // 1 234 ms give the count 123 (shown as 1230); the last action keeps delay 0.
        RecordCase{
            "DelayFromTheEventsOwnTimes",
            kDefaults,
            5000,
            {keyDown(0x42, 7000), keyUp(0x42, 8234)},
            {{123, 0, 0x8A, 0x05, 1, "keyboard_key_B"}, {0, 0, 0x0A, 0x05, 0, "keyboard_key_B"}}},
        // 3 000 ms are count 300: low 44, high 1.
        RecordCase{
            "DelayAboveOneByte",
            kDefaults,
            0,
            {keyDown(0x42, 0), keyUp(0x42, 3000)},
            {{44, 1, 0x8A, 0x05, 1, "keyboard_key_B"}, {0, 0, 0x0A, 0x05, 0, "keyboard_key_B"}}},
        // Longer than 655 350 ms is cut to it: count 65535.
        RecordCase{
            "LongDelayIsCut",
            kDefaults,
            0,
            {keyDown(0x42, 0), keyUp(0x42, 900000)},
            {{255, 255, 0x8A, 0x05, 1, "keyboard_key_B"}, {0, 0, 0x0A, 0x05, 0, "keyboard_key_B"}}},
        // The clock wraps after 2^32 ms; the distance across the wrap is still 512 ms.
        RecordCase{
            "ClockWraps",
            kDefaults,
            0xFFFFFE00u,
            {keyDown(0x42, 0xFFFFFF00u), keyUp(0x42, 0x100u)},
            {{51, 0, 0x8A, 0x05, 1, "keyboard_key_B"}, {0, 0, 0x0A, 0x05, 0, "keyboard_key_B"}}},
        // The fixed-delay option records every delay as 50 ms: count 5.
        RecordCase{"FixedDelay",
                   kFixed,
                   0,
                   {keyDown(0x43, 10), keyUp(0x43, 4000), mouse(mm::kLeftDown, 9000)},
                   {{5, 0, 0x8A, 0x06, 1, "keyboard_key_C"},
                    {5, 0, 0x0A, 0x06, 0, "keyboard_key_C"},
                    {0, 0, 0x81, 0x01, 1, "mouse_key_left"}}},
        // Enter with the extended flag is the numeric-pad Enter (usage 0x58), plain Enter 0x28.
        RecordCase{
            "NumericPadEnter",
            kDefaults,
            0,
            {keyDown(0x0D, 0, 0x01), keyUp(0x0D, 10, 0x81), keyDown(0x0D, 20), keyUp(0x0D, 30)},
            {{1, 0, 0x8A, 0x58, 1, "keyboard_key_Num Enter"},
             {1, 0, 0x0A, 0x58, 0, "keyboard_key_Num Enter"},
             {1, 0, 0x8A, 0x28, 1, "keyboard_key_Enter"},
             {0, 0, 0x0A, 0x28, 0, "keyboard_key_Enter"}}},
        // Modifiers are kind 0x09 with their bit.
        RecordCase{"Modifiers",
                   kDefaults,
                   0,
                   {keyDown(0xA0, 0), keyDown(0xA5, 10), keyUp(0xA5, 20), keyUp(0xA0, 30)},
                   {{1, 0, 0x89, 0x02, 1, "keyboard_key_LShift"},
                    {1, 0, 0x89, 0x40, 1, "keyboard_key_RAlt"},
                    {1, 0, 0x09, 0x40, 0, "keyboard_key_RAlt"},
                    {0, 0, 0x09, 0x02, 0, "keyboard_key_LShift"}}},
        // Media and system keys, and codes of no row, are not macro keys.
        RecordCase{"KeysOutsideTheOrdinaryRowsAreIgnored",
                   kDefaults,
                   0,
                   {keyDown(0xAF, 0), keyUp(0xAF, 10), keyDown(0x103, 20), keyDown(0x07, 30),
                    keyDown(0x5A, 40)},
                   {{0, 0, 0x8A, 0x1D, 1, "keyboard_key_Z"}}},
        // The three clicks, press and release; a repeated message, wheel and side buttons
        // are not recorded.
        RecordCase{"Clicks",
                   kDefaults,
                   0,
                   {mouse(mm::kLeftDown, 0), mouse(mm::kLeftDown, 5), mouse(mm::kLeftUp, 10),
                    mouse(mm::kRightDown, 20), mouse(mm::kWheel, 25), mouse(mm::kXDown, 26),
                    mouse(mm::kRightUp, 30), mouse(mm::kMiddleDown, 40), mouse(mm::kMiddleUp, 50)},
                   {{1, 0, 0x81, 0x01, 1, "mouse_key_left"},
                    {1, 0, 0x01, 0x01, 0, "mouse_key_left"},
                    {1, 0, 0x81, 0x02, 1, "mouse_key_right"},
                    {1, 0, 0x01, 0x02, 0, "mouse_key_right"},
                    {1, 0, 0x81, 0x04, 1, "mouse_key_middle"},
                    {0, 0, 0x01, 0x04, 0, "mouse_key_middle"}}},
        // Without the mouse-click option no click is recorded (the mouse hook is there only
        // for wheel and moves, which are not recorded either).
        RecordCase{"ClicksNeedTheirOption",
                   kNoClicks,
                   0,
                   {mouse(mm::kLeftDown, 0), mouse(mm::kLeftUp, 10), keyDown(0x44, 20)},
                   {{0, 0, 0x8A, 0x07, 1, "keyboard_key_D"}}}),
    [](const auto& info) { return info.param.name; });

// Recording into a macro that already has actions sets the delay of its last one, measured
// from the start of recording.
TEST(RecordingInto, AnExistingMacroGetsTheTimeBeforeTheFirstEvent) {
    MacroAction existing;
    existing.kind = 0x81;
    existing.code = 0x01;
    existing.down = 1;
    existing.name = "mouse_key_left";
    RecordCase c{"", kDefaults, 1000, {keyDown(0x41, 3500)}, {}};
    const std::vector<MacroAction> actions = record(c, {existing});
    ASSERT_EQ(actions.size(), 2u);
    EXPECT_EQ(actions[0].delayCount(), 250);
    EXPECT_EQ(actions[1].delayCount(), 0);
}

TEST(RecordingState, NothingIsRecordedBeforeStartOrAfterStop) {
    MacroRecorder recorder;
    std::vector<MacroAction> actions;
    KeyRecord a;
    a.vkCode = 0x41;
    EXPECT_FALSE(recorder.RecordKeyEvent(km::kKeyDown, a, kDefaults, actions));
    recorder.start(0);
    EXPECT_TRUE(recorder.RecordKeyEvent(km::kKeyDown, a, kDefaults, actions));
    recorder.stop();
    EXPECT_FALSE(recorder.RecordMouseEvent(mm::kLeftDown, 0, kDefaults, actions));
    EXPECT_EQ(actions.size(), 1u);
}

TEST(RecordingState, StartingAgainClearsTheRepeatFilter) {
    MacroRecorder recorder;
    std::vector<MacroAction> actions;
    KeyRecord a;
    a.vkCode = 0x41;
    recorder.start(0);
    recorder.RecordKeyEvent(km::kKeyDown, a, kDefaults, actions);
    recorder.stop();
    recorder.start(0);
    recorder.RecordKeyEvent(km::kSystemKeyDown, a, kDefaults, actions);
    EXPECT_EQ(actions.size(), 2u);
}

TEST(RecordingOptionsHooks, MouseOptionsAskForTheMouseHook) {
    EXPECT_TRUE((RecordingOptions{false, false, true, false, false}).wantsMouse());
    EXPECT_TRUE((RecordingOptions{false, false, false, true, false}).wantsMouse());
    EXPECT_FALSE((RecordingOptions{true, false, false, false, true}).wantsMouse());
    EXPECT_FALSE((RecordingOptions{false, true, false, false, false}).wantsKeyboard());
}

}  // namespace
}  // namespace korvane::macros
