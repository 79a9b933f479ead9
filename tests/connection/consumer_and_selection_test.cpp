// The mouse's consumer reports and the selection of profiles from the combo boxes.

#include <array>
#include <vector>

#include "connection/connection_fixture.h"
#include "core/device/consumer_listener.h"
#include "core/profiles/profile_file.h"
#include "core/profiles/profile_index.h"
#include "core/profiles/seeding.h"

namespace korvane::app::testing {
namespace {

using namespace std::chrono_literals;
using device::DeviceKind;

class ConsumerReports : public ConnectionFixture {
  protected:
    // A mouse whose consumer reports reach the program, with the connection's settings flush
    // behind it.
    void SetUp() override {
        ConnectionFixture::SetUp();
        mouse_ = backend().plug(DeviceKind::Mouse);
        start();
        ASSERT_TRUE(waitUntil([](MainWindow& m) { return m.kinds().mouseShown == 1; }));
        // The listener looks once a second; a flash report shows when it listens.
        ASSERT_TRUE(waitUntil([this](MainWindow& m) {
            mouse_->emitConsumer(device::kUsageFlash);
            return m.flashTriggers().mouse.load();
        }));
        ASSERT_TRUE(waitUntil([](MainWindow& m) { return !m.mouseSettingsChanged.load(); }));
        ASSERT_TRUE(settle(*mouse_));
    }

    std::uint32_t requests() { return mouse_->controlRequestCount(); }

    std::shared_ptr<sim::SimulatedDevice> mouse_;
};

TEST_F(ConsumerReports, ThreeReReadReportsWithin50MsCauseOneActiveRecordReRead) {
    const std::uint32_t before = requests();
    for (int i = 0; i < 3; ++i) {
        mouse_->emitConsumer(device::kUsageReReadActive);
    }
    ASSERT_TRUE(settle(*mouse_));
    // One re-read of the active record: the active index and the 56-byte record.
    EXPECT_EQ(requests() - before, 2u);
}

TEST_F(ConsumerReports, AScriptedBurstOfThreeReReadReportsCausesOneReRead) {
    const std::uint32_t before = requests();
    ASSERT_EQ(run("consumer mouse 0x0401\nconsumer mouse 0x0401\nconsumer mouse 0x0401\n"
                  "wait 300\n"),
              0);
    ASSERT_TRUE(settle(*mouse_));
    EXPECT_EQ(requests() - before, 2u);
}

TEST_F(ConsumerReports, ABurstOfFullReReadReportsCostsOneFullReRead) {
    std::uint32_t before = requests();
    mouse_->emitConsumer(device::kUsageFullReRead);
    ASSERT_TRUE(settle(*mouse_));
    const std::uint32_t single = requests() - before;
    EXPECT_GT(single, 2u);
    before = requests();
    for (int i = 0; i < 3; ++i) {
        mouse_->emitConsumer(device::kUsageFullReRead);
    }
    ASSERT_TRUE(settle(*mouse_));
    EXPECT_EQ(requests() - before, single);
}

TEST_F(ConsumerReports, FlashReportsRaiseBothTriggersAndNothingGoesToTheMouse) {
    app_->query([this] {
        main().flashTriggers().mouse = false;
        main().flashTriggers().mousePad = false;
    });
    const std::uint32_t before = requests();
    mouse_->emitConsumer(device::kUsageFlash);
    ASSERT_TRUE(waitUntil([](MainWindow& m) {
        return m.flashTriggers().mouse.load() && m.flashTriggers().mousePad.load();
    }));
    EXPECT_EQ(requests(), before);
}

// ---------------------------------------------------------------------------------------
// SelectProfile

class ProfileSelection : public ConnectionFixture {
  protected:
    // A second profile "Second" next to the first-run one, linked to a program.
    template <std::size_t N>
    void addSecondProfile(profiles::ProfileList list, const std::array<std::uint8_t, N>& body,
                          std::string_view link) {
        const auto& info = profiles::infoOf(list);
        const auto path = profiles::profilePath(list, "Second");
        ASSERT_TRUE(path.has_value());
        ASSERT_TRUE(profiles::WriteProfileFile(*path, info.classCode, body));
        app_->query([&] {
            profiles::ProfileIndex index(list);
            index.setCount(2);
            index.setName(1, "Second");
            index.setLinkFlag(1, !link.empty());
            index.setLinkPath(1, link);
            main().fillProfileCombo(list, profiles::readIndexList(index));
        });
    }
    bool deliver(std::string_view type, std::string_view name, std::string_view arg) {
        bool delivered = false;
        app_->act([&] { delivered = main().tree().deliver(type, name, arg); });
        return delivered;
    }
    std::string text(std::string_view name) {
        return onMain<std::string>([&](MainWindow& m) { return m.tree().find(name)->text(); });
    }
    bool selected(std::string_view name) {
        return onMain<bool>([&](MainWindow& m) { return m.tree().find(name)->selected(); });
    }
};

TEST_F(ProfileSelection, AKeyProfileIsShownWrittenLinkedLoadedAndSentToTheKeyboard) {
    auto keyboard = backend().plug(DeviceKind::RgbKeyboard);
    start();
    ASSERT_TRUE(waitUntil([](MainWindow& m) { return m.kinds().keyboardShown == 1; }));
    std::array<std::uint8_t, 512> body{};
    for (std::size_t i = 0; i < body.size(); ++i) {
        body[i] = static_cast<std::uint8_t>(i * 7 + 1);
    }
    addSecondProfile(profiles::ProfileList::KeyboardKeys, body, "C:\\Games\\game.exe");

    ASSERT_TRUE(deliver("itemselect", "kb_key_profile_combo", "1"));
    EXPECT_EQ(text("kb_key_profile_name_edit"), "Second");
    EXPECT_EQ(profiles::ProfileIndex(profiles::ProfileList::KeyboardKeys).selected(), 1);
    EXPECT_EQ(text("kb_key_profile_link_edit"), "game.exe");
    EXPECT_TRUE(selected("kb_key_profile_link_check"));
    EXPECT_TRUE(onMain<bool>(
        [](MainWindow& m) { return m.tree().find("kb_key_profile_link_name_hor")->visible(); }));
    EXPECT_EQ(onMain<TableBytes>([](MainWindow& m) { return m.stores().keyboardTable; }), body);
    // The keyboard's own thread sends it, soon after.
    const std::size_t length = main().keyboardCommander().TableLength();
    EXPECT_TRUE(waitUntil([&](MainWindow&) {
        const auto onDevice =
            keyboard->inspect([](const sim::Firmware& f) { return f.profileTable(0); });
        return std::equal(body.begin(), body.begin() + static_cast<long>(length), onDevice.begin());
    }));

    // Back to the unlinked first profile: the link box clears.
    ASSERT_TRUE(deliver("itemselect", "kb_key_profile_combo", "0"));
    EXPECT_EQ(text("kb_key_profile_name_edit"), profiles::kFirstProfileName);
    EXPECT_EQ(profiles::ProfileIndex(profiles::ProfileList::KeyboardKeys).selected(), 0);
    EXPECT_FALSE(selected("kb_key_profile_link_check"));
}

TEST_F(ProfileSelection, AMouseLightProfileCarriesItsSpeedsAndReachesTheMouseWithinASecond) {
    auto mouse = backend().plug(DeviceKind::Mouse);
    start();
    ASSERT_TRUE(waitUntil([](MainWindow& m) { return m.kinds().mouseShown == 1; }));
    ASSERT_TRUE(waitUntil([](MainWindow& m) { return !m.mouseSettingsChanged.load(); }));
    std::array<std::uint8_t, 64> body{};
    body[1] = 4;    // mode
    body[2] = 9;    // brightness
    body[23] = 14;  // pointer speed
    body[24] = 6;   // wheel speed
    addSecondProfile(profiles::ProfileList::MouseLight, body, "");
    const auto writesBefore =
        mouse->inspect([](const sim::Firmware& f) { return f.settingsWriteCount(); });

    ASSERT_TRUE(deliver("itemselect", "ms_deng_profile_combo", "1"));
    EXPECT_EQ(text("ms_deng_profile_name_edit"), "Second");
    EXPECT_EQ(profiles::ProfileIndex(profiles::ProfileList::MouseLight).selected(), 1);
    EXPECT_EQ(text("ms_gunlun_speed_edit"), "6");
    EXPECT_EQ(onMain<int>([](MainWindow& m) { return m.stores().pointerSpeed; }), 14);
    EXPECT_EQ(
        onMain<int>([](MainWindow& m) { return m.lightingSnapshots().mouse.read().light.mode; }),
        4);
    ASSERT_TRUE(waitUntil([&](MainWindow&) {
        return mouse->inspect([](const sim::Firmware& f) { return f.settingsWriteCount(); }) >
               writesBefore;
    }));
    EXPECT_EQ(mouse->inspect([](const sim::Firmware& f) { return f.records()[1]; }), 4);
}

TEST_F(ProfileSelection, APositionTheComboDoesNotHoldSelectsNothing) {
    start();
    app_->query(
        [] { profiles::ProfileIndex(profiles::ProfileList::MousePadLight).setSelected(0); });
    EXPECT_FALSE(deliver("itemselect", "mp_deng_profile_combo", "5"));
    EXPECT_FALSE(onMain<bool>([](MainWindow& m) { return m.mousePadSettingsChanged.load(); }));
    ASSERT_TRUE(deliver("itemselect", "mp_deng_profile_combo", "0"));
    EXPECT_TRUE(onMain<bool>([](MainWindow& m) { return m.mousePadSettingsChanged.load(); }));
}

}  // namespace
}  // namespace korvane::app::testing
