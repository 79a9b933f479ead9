// What the operations do to the bytes of a profile and to the devices.

#include <gmock/gmock.h>

#include "core/lighting/keyboard_light_payload.h"
#include "profile_operations/operations_fixture.h"

namespace korvane::app::testing {
namespace {

using ::testing::IsEmpty;

const ListCase& keyboardLight() {
    return kListCases[0];
}

TEST_F(OperationsFixture, AKeyboardLightBodySurvivesNewCopyExportImportAndRename) {
    const ListCase& c = keyboardLight();
    const auto original = pattern(1958, 42);
    prepare(c, {{"Start", "", pattern(1958, 1)}}, 0);
    start();
    select(c, 0);
    click("kb_pro_deng_add_btn");  // New Profile 1, from the default
    const auto source = root_ / "source.led";
    putBytes(source, framed(1, original));
    app_->dialogs().queueFile(source);
    click("kb_pro_deng_import_btn");  // into New Profile 1
    click("kb_pro_deng_copy_btn");    // New Profile 1 copy
    const auto exported = root_ / "exported.led";
    app_->dialogs().queueFile(exported);
    click("kb_pro_deng_export_btn");
    select(c, 0);
    app_->dialogs().queueFile(exported);
    click("kb_pro_deng_import_btn");  // into Start
    act("textchanged", c.nameEdit, "Final");
    click(c.renameSave);
    EXPECT_THAT(messages(), IsEmpty());
    EXPECT_EQ(fileBytes(exported), framed(1, original));
    for (const char* name : {"New Profile 1", "New Profile 1 copy", "Final"}) {
        EXPECT_EQ(fileBytes(fileOf(c, name)), framed(1, original)) << name;
    }
    // The live state holds the body too: saving it writes the same bytes.
    const auto live = onMain<std::vector<std::uint8_t>>([](MainWindow& m) {
        const auto bytes =
            lighting::KeyboardLightPayload::fromLive(m.stores().keyboardLight).toBytes();
        return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
    });
    EXPECT_EQ(live, original);
}

TEST_F(OperationsFixture, ResettingAKeyProfileSendsTheKindsDefaultToTheKeyboard) {
    auto keyboard = backend().plug(device::DeviceKind::MonoKeyboard);
    start();
    // The mono keyboard is kind 1; its page shows once its connection has run.
    ASSERT_TRUE(waitUntil([](MainWindow& m) { return m.kinds().keyboardShown == 2; }));
    ASSERT_TRUE(settle(*keyboard));
    // The profile holds something else first.
    const auto other = root_ / "other.pro";
    putBytes(other, framed(1, pattern(512, 3)));
    app_->dialogs().queueFile(other);
    click("kb_pro_key_import_btn");
    ASSERT_EQ(body(kListCases[1], "New Profile 1"), pattern(512, 3));

    click("kb_pro_key_reset_btn");
    // The mono keyboard's default, from the data folder's capture or the program folder.
    std::vector<std::uint8_t> expected(512);
    const auto captured = root_ / "QV" / "kbkeyonecolordefault.pro";
    const auto shipped =
        std::filesystem::path(KORVANE_SOURCE_DIR) / "data" / "kbkeyonecolordefault.pro";
    const auto defaults = fileBytes(std::filesystem::exists(captured) ? captured : shipped);
    ASSERT_GE(defaults.size(), 16u + 512u);
    std::copy_n(defaults.begin() + 16, 512, expected.begin());
    EXPECT_EQ(body(kListCases[1], "New Profile 1"), expected);
    // The keyboard's own thread sends it, soon after.
    const std::size_t length = main().keyboardCommander().TableLength();
    EXPECT_TRUE(waitUntil([&](MainWindow&) {
        const auto table =
            keyboard->inspect([](const sim::Firmware& f) { return f.profileTable(0); });
        return std::equal(expected.begin(), expected.begin() + static_cast<long>(length),
                          table.begin());
    }));
}

TEST_F(OperationsFixture, ResettingAMouseLightProfileSetsPointerTenAndWheelThreeAndSavesThem) {
    const ListCase& c = kListCases[2];
    auto body0 = pattern(64, 5);
    prepare(c, {{"Mine", "", body0}}, 0);
    start();
    select(c, 0);
    click("ms_pro_deng_reset_btn");
    const auto saved = body(c, "Mine");
    ASSERT_EQ(saved.size(), 64u);
    const auto defaults =
        fileBytes(std::filesystem::path(KORVANE_SOURCE_DIR) / "data" / "msdengdefault.led");
    ASSERT_GE(defaults.size(), 16u + 56u);
    // Bytes 0..22 from the default, pointer speed 10 and wheel 3, 25..55 from the default,
    // 56..63 kept from the profile.
    for (std::size_t i = 0; i < 56; ++i) {
        if (i == 23) {
            EXPECT_EQ(saved[i], 10);
        } else if (i == 24) {
            EXPECT_EQ(saved[i], 3);
        } else {
            EXPECT_EQ(saved[i], defaults[16 + i]) << i;
        }
    }
    for (std::size_t i = 56; i < 64; ++i) {
        EXPECT_EQ(saved[i], body0[i]) << i;
    }
    EXPECT_EQ(
        onMain<int>([](MainWindow& m) { return m.tree().find("ms_point_speed_slider")->value(); }),
        5);
    EXPECT_EQ(text("ms_gunlun_speed_edit"), "3");
}

}  // namespace
}  // namespace korvane::app::testing
