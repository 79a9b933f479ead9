// Saving the key settings to the device: what goes over the wire, what the device holds
// afterwards, the progress display and the refusal of macros that do not fit.

#include "keys/key_page_fixture.h"

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "core/profiles/profile_file.h"
#include "core/profiles/profile_store.h"

namespace korvane::keys::testing {
namespace {

using device::DeviceKind;

constexpr int kBegin = 0x01;
constexpr int kEnd = 0x02;
constexpr int kWriteTable = 0x09;
constexpr int kWriteMacros = 0x15;

std::vector<int> commands(std::initializer_list<std::pair<int, int>> runs) {
    std::vector<int> out;
    for (const auto& [code, n] : runs) {
        out.insert(out.end(), static_cast<std::size_t>(n), code);
    }
    return out;
}

std::vector<std::string> actions(int n, const std::string& text) {
    return std::vector<std::string>(static_cast<std::size_t>(n), text);
}

std::vector<std::uint8_t> macroMemory(const sim::SimulatedDevice& device, std::size_t n) {
    return device.inspect([n](const sim::Firmware& f) {
        const auto memory = f.macroMemory();
        return std::vector<std::uint8_t>(memory.begin(), memory.begin() + n);
    });
}

KeyFunction deviceRecord(const sim::SimulatedDevice& device, int profile, int key) {
    return device.inspect([&](const sim::Firmware& f) {
        const auto& t = f.profileTable(profile);
        const auto at = static_cast<std::size_t>(key) * 3;
        return KeyFunction{t[at], t[at + 1], t[at + 2]};
    });
}

TEST_F(KeyPageFixture, MouseSaveSendsTheMacroImageThenTheKeyTable) {
    writeMacros(macros::MacroClass::Mouse,
                {{"first",
                  {"5,0,138,4,1,keyboard_key_A", "7,1,10,4,0,keyboard_key_A",
                   "0,0,129,1,1,mouse_key_left"}},
                 {"second", {"3,0,137,2,1,keyboard_key_LShift", "0,0,9,2,0,keyboard_key_LShift"}}});
    start({DeviceKind::Mouse});
    selectMouseButton(2);
    pick("ms_key_fct_combo", 9);
    pick("ms_key_fct_combo_23", 1);
    pick("ms_key_fct_combo_24", 3);
    markTrace();
    click("ms_key_butt_prosave");
    EXPECT_TRUE(visible("setting_progress"));
    // The progress display goes a second after the transfer.
    ASSERT_TRUE(
        waitUntil([](app::MainWindow& m) { return !m.tree().find("setting_progress")->visible(); },
                  std::chrono::milliseconds(10000)));

    EXPECT_EQ(writtenCommands(), commands({{kBegin, 1},
                                           {kWriteMacros, 1},
                                           {kEnd, 1},
                                           {kBegin, 1},
                                           {kWriteTable, 10},
                                           {kEnd, 1}}));
    // Two macros of 3 and 2 actions: 48 bytes, bodies at 20 and 36.
    const std::vector<std::uint8_t> expected{
        0xAA, 0x55, 48,  0, 2, 0, 0,  0, 0, 0, 0,   0, 0, 0, 0, 0, 20, 0, 36,  0, 3, 0, 0, 0,
        5,    0,    138, 4, 7, 1, 10, 4, 0, 0, 129, 1, 2, 0, 0, 0, 3,  0, 137, 2, 0, 0, 9, 2};
    EXPECT_EQ(macroMemory(*devices_[0], 48), expected);
    EXPECT_EQ(deviceRecord(*devices_[0], 0, 2), (KeyFunction{0x70, 0x01, 0x03}));
    // The table of onboard profile 0 is also the selected key profile's.
    app::TableBytes saved{};
    ASSERT_EQ(profiles::LoadMouseKeys(0, saved), profiles::kReadOk);
    EXPECT_EQ(recordAt(saved, 2), (KeyFunction{0x70, 0x01, 0x03}));
    EXPECT_EQ(count("message message_text_10"), 0);
}

TEST_F(KeyPageFixture, WithoutMacrosOnlyTheKeyTableGoes) {
    start({DeviceKind::Mouse});
    selectMouseButton(4);
    pick("ms_key_fct_combo", 4);
    pick("ms_key_fct_combo_14", 0);
    markTrace();
    saveAndWait("ms_key_butt_prosave");
    EXPECT_EQ(writtenCommands(), commands({{kBegin, 1}, {kWriteTable, 10}, {kEnd, 1}}));
    EXPECT_EQ(deviceRecord(*devices_[0], 0, 4), (KeyFunction{0x13, 0x01, 0x00}));
}

TEST_F(KeyPageFixture, MacrosThatDoNotFitAreRefusedAndNothingIsSent) {
    // 512 bytes of macro memory; two macros of 61 actions make 16 + 12 + 488 = 516 bytes.
    writeMacros(macros::MacroClass::Mouse, {{"a", actions(61, "1,0,138,4,1,keyboard_key_A")},
                                            {"b", actions(61, "1,0,10,4,0,keyboard_key_A")}});
    sim::SimSettings settings;
    settings.macroUnits = 4;
    start({DeviceKind::Mouse}, settings);
    selectMouseButton(4);
    pick("ms_key_fct_combo", 4);
    pick("ms_key_fct_combo_14", 0);
    const KeyFunction before = deviceRecord(*devices_[0], 0, 4);
    markTrace();
    click("ms_key_butt_prosave");
    EXPECT_EQ(count("message message_text_16 2"), 1);
    EXPECT_TRUE(writtenCommands().empty());
    EXPECT_EQ(deviceRecord(*devices_[0], 0, 4), before);
}

TEST_F(KeyPageFixture, ASlowSaveLeavesTheWindowFreeWhileTheProgressFollowsIt) {
    // 16 + 12 + 488 = 516 bytes of macros (ten reports), then ten of the key table, each
    // answered 15 ms late.
    writeMacros(macros::MacroClass::Mouse, {{"a", actions(61, "1,0,138,4,1,keyboard_key_A")},
                                            {"b", actions(61, "1,0,10,4,0,keyboard_key_A")}});
    sim::SimSettings settings;
    settings.macroUnits = 16;
    settings.latencyMs = 15;
    start({DeviceKind::Mouse}, settings);
    click("ms_key_butt_prosave");
    // The window's thread answers all along, and sees the control move.
    std::vector<int> seen;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (visible("setting_progress") && std::chrono::steady_clock::now() < deadline) {
        const int value = onMain<int>(
            [](app::MainWindow& m) { return m.tree().find("setting_progress")->value(); });
        if (seen.empty() || seen.back() != value) {
            seen.push_back(value);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), 100);
    EXPECT_TRUE(std::any_of(seen.begin(), seen.end(), [](int v) { return v > 0 && v < 100; }))
        << "no value between the ends was ever shown";
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_EQ(macroMemory(*devices_[0], 3), (std::vector<std::uint8_t>{0xAA, 0x55, 0x04}));
    EXPECT_EQ(count("message message_text_10"), 0);
}

TEST_F(KeyPageFixture, ASaveWhoseDeviceIsGoneSaysItFailed) {
    start({DeviceKind::RgbKeyboard});
    saveAndWait("ms_key_butt_prosave");
    EXPECT_EQ(count("message message_text_10"), 1);
}

TEST_F(KeyPageFixture, AKeyboardOf104KeysGetsTheFirst312Bytes) {
    sim::SimSettings settings;
    settings.keys = 104;
    start({DeviceKind::RgbKeyboard}, settings);
    click("kb_key_64");
    pick("kb_key_fct_combo", 1);
    key(0x5A, true);
    const int a = onMain<int>([](app::MainWindow& m) {
        return StoredKeyTables(KeyClass::Keyboard, m.stores()).recordForPosition(64).value_or(-1);
    });
    ASSERT_GE(a, 0);
    markTrace();
    saveAndWait("kb_key_butt_prosave");
    // 312 bytes: five chunks of 56 and one of 32.
    EXPECT_EQ(writtenCommands(), commands({{kBegin, 1}, {kWriteTable, 6}, {kEnd, 1}}));
    EXPECT_EQ(deviceRecord(*devices_[0], 0, a), (KeyFunction{0x20, 0x00, 0x1D}));
}

}  // namespace
}  // namespace korvane::keys::testing
