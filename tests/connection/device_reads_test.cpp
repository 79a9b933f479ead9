// What the connection sequences and re-reads leave in the stores, the profiles and on the
// device, with faults injected into the simulated devices.

#include <array>
#include <fstream>
#include <iterator>
#include <vector>

#include "connection/connection_fixture.h"
#include "core/device/device_matching.h"
#include "core/keys/factory_tables.h"
#include "core/profiles/profile_file.h"
#include "core/profiles/profile_index.h"

namespace korvane::app::testing {
namespace {

using namespace std::chrono_literals;
using device::DeviceKind;

std::vector<std::uint8_t> fileBody(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
    if (bytes.size() <= sizeof(profiles::ProfileFileHeader)) {
        return {};
    }
    return {bytes.begin() + sizeof(profiles::ProfileFileHeader), bytes.end()};
}

bool keyboardShown(MainWindow& m) {
    return m.kinds().keyboardShown.load() != 0;
}

// ---------------------------------------------------------------------------------------
// Re-seeding of the first-run keyboard light profile

struct SeedCase {
    DeviceKind kind;
    const char* defaultFile;  // in the program folder
};

class FirstRunSeeding : public ConnectionFixture, public ::testing::WithParamInterface<SeedCase> {};

TEST_P(FirstRunSeeding, TheFirstLightProfileHoldsTheKindsDefaultAndIsLive) {
    backend().plug(GetParam().kind);
    start();
    ASSERT_TRUE(waitUntil(keyboardShown));
    const auto expected =
        fileBody(std::filesystem::path(KORVANE_SOURCE_DIR "/data") / GetParam().defaultFile);
    ASSERT_EQ(expected.size(), profiles::kKeyboardLightBodyLength);
    EXPECT_EQ(fileBody(root_ / "QV" / "kb" / "New Profile 1.led"), expected);
    // The live record is the loaded profile's.
    const auto live = onMain<lighting::KeyboardLightRecord>(
        [](MainWindow& m) { return m.stores().keyboardLight.live; });
    const auto liveBytes = lighting::bytesOf(live);
    EXPECT_TRUE(std::equal(liveBytes.begin(), liveBytes.end(), expected.begin()));
    EXPECT_EQ(onMain<std::string>(
                  [](MainWindow& m) { return m.tree().find("kb_deng_profile_name_edit")->text(); }),
              "New Profile 1");
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, FirstRunSeeding,
    ::testing::Values(SeedCase{DeviceKind::RgbKeyboard, "kbdengdefault.led"},
                      SeedCase{DeviceKind::MonoKeyboard, "kbonecolordengdefault.led"},
                      SeedCase{DeviceKind::RegionKeyboard, "kbdengregiondefault.led"},
                      SeedCase{DeviceKind::MembraneKeyboard, "kbdengregiondefault.led"}));

TEST_F(ConnectionFixture, ARegionKeyboardOnAFirstRunReseedsFromTheRegionStash) {
    backend().plug(DeviceKind::RegionKeyboard);
    start();
    ASSERT_TRUE(waitUntil(keyboardShown));
    const auto stash = fileBody(root_ / "QV" / "kb" / "Profile2.led");
    ASSERT_FALSE(stash.empty());
    EXPECT_EQ(fileBody(root_ / "QV" / "kb" / "New Profile 1.led"), stash);
    EXPECT_EQ(onMain<std::size_t>([](MainWindow& m) {
                  return m.tree().find("kb_deng_profile_combo")->items().size();
              }),
              1u);
}

// ---------------------------------------------------------------------------------------
// Keyboard tables and key counts

struct KeyCountCase {
    int keys;
    bool tablesRead;
    std::uint16_t tableLength;
};

class KeyCounts : public ConnectionFixture, public ::testing::WithParamInterface<KeyCountCase> {};

TEST_P(KeyCounts, TablesAreReadOnlyWhenTheyFit) {
    const KeyCountCase& c = GetParam();
    sim::SimSettings settings;
    settings.keys = static_cast<std::uint8_t>(c.keys);
    auto keyboard = backend(settings).plug(DeviceKind::RgbKeyboard);
    start();
    ASSERT_TRUE(waitUntil(keyboardShown));
    EXPECT_TRUE(main().keyboardCommander().connected());
    EXPECT_EQ(main().keyboardCommander().TableLength(), c.tableLength);
    if (!c.tablesRead) {
        EXPECT_TRUE(waitForLine("message message_text_11"));
    }
    EXPECT_EQ(count("message message_text_11"), c.tablesRead ? 0 : 1);
    const auto base =
        onMain<TableBytes>([](MainWindow& m) { return m.stores().keyboardBaseTable; });
    const auto device = keyboard->inspect([](const sim::Firmware& f) { return f.baseTable(); });
    if (c.tablesRead) {
        EXPECT_TRUE(std::equal(base.begin(), base.begin() + c.tableLength, device.begin()));
        EXPECT_TRUE(std::all_of(base.begin() + c.tableLength, base.end(),
                                [](std::uint8_t b) { return b == 0; }));
    } else {
        EXPECT_TRUE(std::all_of(base.begin(), base.end(), [](std::uint8_t b) { return b == 0; }));
    }
    // A refused keyboard is not left inside an open transfer.
    EXPECT_FALSE(keyboard->inspect([](const sim::Firmware& f) { return f.inTransfer(); }));
}

INSTANTIATE_TEST_SUITE_P(Counts, KeyCounts,
                         ::testing::Values(KeyCountCase{170, true, 510},
                                           KeyCountCase{171, false, 512},
                                           KeyCountCase{255, false, 512},
                                           KeyCountCase{104, true, 312}));

// ---------------------------------------------------------------------------------------
// Mouse pad active slot

TEST_F(ConnectionFixture, AMousePadWithActiveIndexThreeEndsWithSlotThreeCurrent) {
    auto pad = backend().plug(DeviceKind::MousePad);
    {
        // The pad was left on its fourth slot by an earlier session.
        device::DeviceCommander commander;
        const auto interfaces = backend().enumerate();
        ASSERT_TRUE(interfaces.has_value());
        for (const auto& info : *interfaces) {
            if (device::matchesInterface(device::InterfaceRole::MousePadCommander, info)) {
                commander.attach(backend().open(info, device::HidAccess::ReadWrite));
            }
        }
        commander.setConnected(true);
        std::array<std::uint8_t, 56> settings{};
        settings[0] = 3;
        settings[1] = 3;  // the slot's own mode
        ASSERT_EQ(commander.WriteSettings(settings), device::kResultDone);
        commander.close();
    }
    ASSERT_EQ(pad->inspect([](const sim::Firmware& f) { return f.activeProfile(); }), 3);
    start();
    ASSERT_TRUE(waitUntil([](MainWindow& m) { return m.mousePadCommander().connected(); }));
    ASSERT_TRUE(waitUntil([](MainWindow& m) { return m.tree().find("mp_tab")->selected(); }));
    EXPECT_EQ(onMain<int>([](MainWindow& m) { return m.stores().mousePadSettings.onboardProfile; }),
              3);
    EXPECT_EQ(onMain<int>([](MainWindow& m) { return m.stores().mousePadSlots[3][0]; }), 3);
    EXPECT_EQ(onMain<int>([](MainWindow& m) { return m.stores().mousePadSlots[3][1]; }), 3);
    // The one-second flush of the selected profile keeps the pad on its slot.
    ASSERT_TRUE(waitUntil([&](MainWindow&) {
        return pad->inspect([](const sim::Firmware& f) { return f.settingsWriteCount(); }) >= 2;
    }));
    EXPECT_EQ(pad->inspect([](const sim::Firmware& f) { return f.activeProfile(); }), 3);
}

// ---------------------------------------------------------------------------------------
// Faults during the keyboard's synchronisation

struct FaultCase {
    const char* name;
    sim::FaultKind kind;
    std::uint32_t request;
};

class SyncFaults : public ConnectionFixture, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(SyncFaults, TheProgramStaysConsistentAndAHealthyKeyboardConnectsAfterwards) {
    const FaultCase& c = GetParam();
    sim::SimSettings faulty;
    faulty.faults.push_back({c.kind, c.request});
    backend().plug(DeviceKind::RgbKeyboard, faulty);
    start([](MainWindow& m) { m.keyboardCommander().setAnswerTimeLimit(20ms); });
    if (c.kind == sim::FaultKind::Unplug) {
        // Gone mid-sync: the sequence ends, the next pass notices the loss.
        ASSERT_TRUE(waitUntil([this](MainWindow& m) {
            return backend().devices().empty() && !m.keyboardCommander().connected() &&
                   !m.window().isVisible() && m.kinds().keyboardShown == 0 &&
                   m.workers().running(WorkerSlot::KeyboardConnection);
        }));
    } else {
        // Still there: it counts as connected, with whatever could be read.
        ASSERT_TRUE(waitUntil(keyboardShown, 10s));
        EXPECT_TRUE(main().keyboardCommander().connected());
        EXPECT_TRUE(onMain<bool>([](MainWindow& m) { return m.window().isVisible(); }));
        backend().unplug(backend().devices().front()->name());
        ASSERT_TRUE(waitUntil([](MainWindow& m) { return !m.window().isVisible(); }));
    }
    backend().plug(DeviceKind::RgbKeyboard, sim::SimSettings{});
    ASSERT_TRUE(waitUntil([](MainWindow& m) {
        return m.kinds().keyboardShown == 1 && m.window().isVisible() &&
               m.tree().find("kb_tab")->selected();
    }));
    EXPECT_EQ(main().keyboardCommander().TableLength(),
              3 * keys::FactoryKeyCount(DeviceKind::RgbKeyboard));
}

INSTANTIATE_TEST_SUITE_P(
    Faults, SyncFaults,
    ::testing::Values(FaultCase{"unplug_at_begin", sim::FaultKind::Unplug, 1},
                      FaultCase{"unplug_in_info", sim::FaultKind::Unplug, 2},
                      FaultCase{"unplug_in_base_table", sim::FaultKind::Unplug, 6},
                      FaultCase{"unplug_in_profile_table", sim::FaultKind::Unplug, 15},
                      FaultCase{"silent_from_info", sim::FaultKind::Silent, 2},
                      FaultCase{"silent_in_tables", sim::FaultKind::Silent, 9},
                      FaultCase{"status_ff_info", sim::FaultKind::StatusFF, 2},
                      FaultCase{"status_fe_base_table", sim::FaultKind::StatusFE, 3}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace korvane::app::testing

namespace korvane::app::testing {
namespace {

// ---------------------------------------------------------------------------------------
// Re-read messages: each asks the device's connection thread for one read of its own size.

struct ReReadCase {
    const char* name;
    DeviceKind kind;
    int message;
    std::uint32_t requests;  // exchanges of one re-read
};

class ReReadMessages : public ConnectionFixture,
                       public ::testing::WithParamInterface<ReReadCase> {};

TEST_P(ReReadMessages, OneMessageIsOneReadOfTheDevice) {
    const ReReadCase& c = GetParam();
    auto device = backend().plug(c.kind);
    start();
    ASSERT_TRUE(waitUntil([&](MainWindow& m) {
        switch (device::modelOf(c.kind).deviceClass) {
            case device::DeviceClass::Keyboard:
                return m.kinds().keyboardShown != 0;
            case device::DeviceClass::Mouse:
                return m.kinds().mouseShown != 0;
            case device::DeviceClass::MousePad:
                return m.tree().find("mp_tab")->selected();
        }
        return false;
    }));
    ASSERT_TRUE(settle(*device));
    const auto before = device->controlRequestCount();
    main().post(c.message);
    ASSERT_TRUE(settle(*device));
    EXPECT_EQ(device->controlRequestCount() - before, c.requests);
}

// Keyboard: begin, info, base and profile table in chunks of 56, end. Mouse: the same with
// 512-byte tables and five profiles. Pad: begin, info, five records, the active index, end.
INSTANTIATE_TEST_SUITE_P(
    Messages, ReReadMessages,
    ::testing::Values(
        ReReadCase{"keyboard_read", DeviceKind::RgbKeyboard, 0x0B01,
                   static_cast<std::uint32_t>(
                       3 + 2 * ((3 * keys::FactoryKeyCount(DeviceKind::RgbKeyboard) + 55) / 56))},
        ReReadCase{"mouse_read", DeviceKind::Mouse, 0x0901, 3 + 6 * 10},
        ReReadCase{"mouse_active", DeviceKind::Mouse, 0x0902, 2},
        ReReadCase{"pad_read", DeviceKind::MousePad, 0x0A01, 3 + 5 + 1},
        ReReadCase{"pad_active", DeviceKind::MousePad, 0x0A02, 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConnectionFixture, StoringTheKeyboardLightRecordPutsItInItsSlotAndClearsSlotZero) {
    start();
    app_->query([&] {
        auto& light = main().stores().keyboardLight;
        light.slots[0].record.light.mode = 9;
        light.live.onboardProfile = 2;
        light.live.light.mode = 5;
        main().handleMessage(0x0B02);
    });
    const auto light = onMain<lighting::KeyboardLightState>(
        [](MainWindow& m) { return m.stores().keyboardLight; });
    EXPECT_EQ(light.slots[2].record.light.mode, 5);
    EXPECT_EQ(light.slots[0], lighting::LightSlot{});
    EXPECT_EQ(light.live, lighting::KeyboardLightRecord{});
}

TEST_F(ConnectionFixture, ReReadMessagesForAnAbsentDeviceDoNothing) {
    start();
    for (const int message : {0x0901, 0x0902, 0x0A01, 0x0A02, 0x0B01, 0x0B03}) {
        main().post(message);
    }
    auto keyboard = backend().plug(DeviceKind::RgbKeyboard);
    ASSERT_TRUE(waitUntil(keyboardShown));
    ASSERT_TRUE(settle(*keyboard));
    // The connection's own reads and the key profile sent at selection, nothing more.
    const auto tableChunks = (3 * keys::FactoryKeyCount(DeviceKind::RgbKeyboard) + 55) / 56;
    EXPECT_EQ(keyboard->controlRequestCount(), static_cast<std::uint32_t>(3 + 3 * tableChunks));
}

}  // namespace
}  // namespace korvane::app::testing
