// The cursor sequences page of the mouse, driven as a user drives it: gun and bullet choice,
// the bullet's delay and moves written to the gun's file, import, export and reset of a gun,
// and the send of all four guns to the mouse.

#include "keys/key_page_fixture.h"

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/macros/action_file.h"

namespace korvane::keys::testing {
namespace {

std::string slurp(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

// A sequence of `bullets` bullets, bullet k: a click, two zero moves, then the delay action
// (k + 1) x 10 ms and moves left k and down 2k.
std::vector<std::string> sequence(int actions) {
    std::vector<std::string> texts;
    for (int i = 0; i < actions; ++i) {
        const int k = i / 6;
        switch (i % 6) {
            case 3:
                texts.push_back(std::to_string(k + 1) + ",0,1,1,0,mouse_key_left");
                break;
            case 4:
                texts.push_back("0,0,132," + std::to_string(k) + ",1,mouse_move_to_left_text");
                break;
            case 5:
                texts.push_back("0,0,5," + std::to_string(2 * k) + ",0,mouse_move_to_down_text");
                break;
            default:
                texts.push_back("1,0,129,1,1,mouse_key_left");
        }
    }
    return texts;
}

class CursorPage : public KeyPageFixture {
  protected:
    std::filesystem::path gunFile(int gun) {
        return platform::MouseFolder() / ("name_" + std::to_string(gun + 1) + ".cur");
    }
    // Gun files present before the program starts are kept by its first-start seeding.
    void writeGun(int gun, const std::vector<std::string>& texts) {
        std::filesystem::create_directories(platform::MouseFolder());
        ASSERT_TRUE(macros::WriteActionFile(gunFile(gun), texts));
    }
    std::string action(int gun, int index) {
        return macros::ReadActionText(gunFile(gun), static_cast<std::size_t>(index));
    }
    void select(const std::string& option) { notify(ui::notify::kSelectChanged, option, "1"); }
    bool enabled(const std::string& name) {
        return onMain<bool>([&](app::MainWindow& m) { return m.tree().find(name)->enabled(); });
    }
    bool selected(const std::string& name) {
        return onMain<bool>([&](app::MainWindow& m) { return m.tree().find(name)->selected(); });
    }
    int messages(const std::string& key) { return count("message " + key); }
    std::vector<std::uint8_t> cursorMemory(std::size_t n) {
        return devices_[0]->inspect([n](const sim::Firmware& f) {
            const auto& m = f.cursorMemory();
            return std::vector<std::uint8_t>(m.begin(), m.begin() + static_cast<std::ptrdiff_t>(n));
        });
    }
};

TEST_F(CursorPage, ChoosingAGunShowsItsFirstBullet) {
    writeGun(1, sequence(180));
    start({device::DeviceKind::Mouse});
    EXPECT_FALSE(enabled("cursor_edit_layout"));
    select("ms_gun_op_1");
    EXPECT_TRUE(selected("ms_bullet_op_0"));
    EXPECT_TRUE(enabled("cursor_edit_layout"));
    EXPECT_EQ(text("bullet_select_index"), "1");
    EXPECT_EQ(text("ms_cursor_delay_eidt"), "10");
    select("ms_bullet_op_7");
    EXPECT_EQ(text("bullet_select_index"), "8");
    EXPECT_EQ(text("ms_cursor_delay_eidt"), "80");
    EXPECT_EQ(text("ms_cursor_x_eidt"), "7");
    EXPECT_TRUE(selected("ms_cursor_x_check"));
    EXPECT_EQ(text("ms_cursor_x_check"), "mouse_move_to_left_text");
    EXPECT_EQ(text("ms_cursor_y_eidt"), "14");
    EXPECT_FALSE(selected("ms_cursor_y_check"));
}

TEST_F(CursorPage, EditsAreWrittenToTheGunsFileAtOnce) {
    writeGun(2, sequence(180));
    start({device::DeviceKind::Mouse});
    select("ms_gun_op_2");
    select("ms_bullet_op_4");
    // A delay of 1234 ms is stored as count 123; kind, code and name of the action stay.
    type("ms_cursor_delay_eidt", "1234");
    EXPECT_EQ(action(2, 27), "123,0,1,1,0,mouse_key_left");
    type("ms_cursor_delay_eidt", "70000");
    EXPECT_EQ(text("ms_cursor_delay_eidt"), "65535");
    EXPECT_EQ(action(2, 27), "153,25,1,1,0,mouse_key_left");
    type("ms_cursor_delay_eidt", "1234");
    // 300 shows 255 and stores 255.
    type("ms_cursor_x_eidt", "300");
    EXPECT_EQ(text("ms_cursor_x_eidt"), "255");
    EXPECT_EQ(action(2, 28), "0,0,132,255,1,mouse_move_to_left_text");
    notify(ui::notify::kSelectChanged, "ms_cursor_x_check", "0");
    EXPECT_EQ(text("ms_cursor_x_check"), "mouse_move_to_right_text");
    EXPECT_EQ(action(2, 28), "0,0,4,255,0,mouse_move_to_right_text");
    notify(ui::notify::kSelectChanged, "ms_cursor_y_check", "1");
    EXPECT_EQ(text("ms_cursor_y_check"), "mouse_move_to_up_text");
    EXPECT_EQ(action(2, 29), "0,0,133,8,1,mouse_move_to_up_text");
    // The count and the other bullets stay.
    EXPECT_EQ(macros::ReadActionCount(gunFile(2)), 180u);
    EXPECT_EQ(action(2, 33), "6,0,1,1,0,mouse_key_left");
    // Reloaded: 1230 ms.
    select("ms_bullet_op_5");
    select("ms_bullet_op_4");
    EXPECT_EQ(text("ms_cursor_delay_eidt"), "1230");
}

TEST_F(CursorPage, PreviousAndNextStopAtTheEnds) {
    start({device::DeviceKind::Mouse});
    select("ms_gun_op_0");
    click("bullet_selected_prev");
    EXPECT_EQ(text("bullet_select_index"), "1");
    EXPECT_TRUE(selected("ms_bullet_op_0"));
    click("bullet_selected_next");
    EXPECT_EQ(text("bullet_select_index"), "2");
    select("ms_bullet_op_29");
    click("bullet_selected_next");
    EXPECT_EQ(text("bullet_select_index"), "30");
    EXPECT_TRUE(selected("ms_bullet_op_29"));
    click("bullet_selected_prev");
    EXPECT_EQ(text("bullet_select_index"), "29");
    EXPECT_TRUE(selected("ms_bullet_op_28"));
}

TEST_F(CursorPage, ClickOnTheChosenBulletClosesTheEdits) {
    start({device::DeviceKind::Mouse});
    select("ms_gun_op_0");
    click("ms_bullet_op_0");
    ASSERT_TRUE(waitUntil(
        [](app::MainWindow& m) { return !m.tree().find("cursor_edit_layout")->enabled(); },
        std::chrono::milliseconds(4000)));
    EXPECT_FALSE(selected("ms_bullet_op_0"));
    // Edits go nowhere now.
    const std::string before = slurp(gunFile(0));
    type("ms_cursor_delay_eidt", "500");
    EXPECT_EQ(slurp(gunFile(0)), before);
}

TEST_F(CursorPage, FourFullGunsAreSentAsOne2920ByteImage) {
    for (int gun = 0; gun < 4; ++gun) {
        writeGun(gun, sequence(180));
    }
    start({device::DeviceKind::Mouse});
    markTrace();
    saveAndWait("ms_bulletdate_save_btn");
    // 16 + 6·4 + 4·720 = 2920 bytes; bodies at 24, 24 + 724, ...
    const std::vector<std::uint8_t> header{0xAA, 0x55, 0x68, 0x0B, 4,    0,    0,    0,
                                           0,    0,    0,    0,    0,    0,    0,    0,
                                           24,   0,    0xEC, 0x02, 0xC0, 0x05, 0x94, 0x08};
    const auto memory = cursorMemory(2920);
    EXPECT_EQ(std::vector<std::uint8_t>(memory.begin(), memory.begin() + 24), header);
    // Gun 0's body: 180 actions, then bullet 0's delay action at 24 + 4 + 4·3.
    EXPECT_EQ(memory[24], 180);
    EXPECT_EQ(std::vector<std::uint8_t>(memory.begin() + 40, memory.begin() + 44),
              (std::vector<std::uint8_t>{1, 0, 1, 1}));
    EXPECT_EQ(messages("cursor_image_too_large_text"), 0);
    const std::vector<int> written = writtenCommands();
    ASSERT_GE(written.size(), 3u);
    EXPECT_EQ(written.front(), 0x01);
    EXPECT_EQ(written[1], 0x17);
    EXPECT_EQ(written.back(), 0x02);
}

TEST_F(CursorPage, AnImageOver3072BytesIsNotSentAndSaysSo) {
    // 16 + 24 + 4·(180·3 + 190) = 2960 fits; 16 + 24 + 4·(180·3 + 220) = 3080 does not.
    for (int gun = 0; gun < 3; ++gun) {
        writeGun(gun, sequence(180));
    }
    writeGun(3, sequence(220));
    start({device::DeviceKind::Mouse});
    const auto before = cursorMemory(16);
    markTrace();
    click("ms_bulletdate_save_btn");
    EXPECT_EQ(messages("cursor_image_too_large_text"), 1);
    EXPECT_TRUE(writtenCommands().empty());
    EXPECT_EQ(cursorMemory(16), before);
}

TEST_F(CursorPage, SendingWithoutTheMouseSaysItFailed) {
    writeGun(0, sequence(10));
    start({device::DeviceKind::RgbKeyboard});
    saveAndWait("ms_bulletdate_save_btn");
    EXPECT_EQ(messages("message_text_10"), 1);
    EXPECT_EQ(messages("cursor_image_too_large_text"), 0);
}

TEST_F(CursorPage, ImportRefusesLongFilesAndOddPathsAndTakesGoodOnes) {
    writeGun(1, sequence(180));
    start({device::DeviceKind::Mouse});
    select("ms_gun_op_1");
    const std::string before = slurp(gunFile(1));
    const auto long181 = root_ / "long.cur";
    ASSERT_TRUE(macros::WriteActionFile(long181, sequence(181)));
    app_->dialogs().queueFile(long181);
    click("ms_bulletdate_import_btn");
    EXPECT_EQ(messages("message_text_18"), 1);
    app_->dialogs().queueFile(root_);  // a folder
    click("ms_bulletdate_import_btn");
    EXPECT_EQ(messages("message_text_10"), 1);
    const auto fifo = root_ / "pipe.cur";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    app_->dialogs().queueFile(fifo);  // must not wait for a writer
    click("ms_bulletdate_import_btn");
    EXPECT_EQ(messages("message_text_10"), 2);
    click("ms_bulletdate_import_btn");  // cancelled
    EXPECT_EQ(slurp(gunFile(1)), before);

    auto mine = sequence(12);
    mine[3] = "50,0,1,1,0,mouse_key_left";
    const auto good = root_ / "good.cur";
    ASSERT_TRUE(macros::WriteActionFile(good, mine));
    app_->dialogs().queueFile(good);
    click("ms_bulletdate_import_btn");
    EXPECT_EQ(slurp(gunFile(1)), slurp(good));
    EXPECT_EQ(text("ms_cursor_delay_eidt"), "500");
}

TEST_F(CursorPage, ExportCopiesAndResetBringsBackTheDefault) {
    start({device::DeviceKind::Mouse});
    select("ms_gun_op_3");
    select("ms_bullet_op_2");
    type("ms_cursor_delay_eidt", "990");
    const auto exported = root_ / "out.txt";
    app_->dialogs().queueFile(exported);
    click("ms_bulletdate_export_btn");
    EXPECT_EQ(slurp(exported), slurp(gunFile(3)));
    EXPECT_EQ(macros::ReadActionText(exported, 15).substr(0, 5), "99,0,");

    click("ms_bulletdate_reset_btn");
    EXPECT_EQ(slurp(gunFile(3)), slurp(KORVANE_SOURCE_DIR "/data/name_4.cur"));
    EXPECT_TRUE(selected("ms_bullet_op_0"));
    EXPECT_EQ(text("bullet_select_index"), "1");
}

}  // namespace
}  // namespace korvane::keys::testing
