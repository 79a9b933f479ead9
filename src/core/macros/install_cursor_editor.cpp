#include "core/macros/install_cursor_editor.h"

#include <memory>
#include <string>

#include "core/app/main_window.h"
#include "core/macros/cursor_editor.h"

namespace korvane::macros {

void InstallCursorEditor(app::MainWindow& main) {
    auto editor = std::make_shared<CursorEditor>(main);
    app::NotificationRouter& router = main.router();
    for (std::size_t gun = 0; gun < kCursorSequenceCount; ++gun) {
        router.onName(ui::notify::kSelectChanged, "ms_gun_op_" + std::to_string(gun),
                      [editor, gun](ui::Control& option) {
                          if (option.selected()) {
                              editor->ChooseGun(gun);
                          }
                      });
    }
    for (std::size_t bullet = 0; bullet < kBulletsPerSequence; ++bullet) {
        const std::string name = "ms_bullet_op_" + std::to_string(bullet);
        router.onName(ui::notify::kSelectChanged, name, [editor, bullet](ui::Control& option) {
            if (option.selected()) {
                editor->ChooseBullet(bullet);
            }
        });
        router.onName(ui::notify::kClick, name,
                      [editor](ui::Control& option) { editor->ClickBullet(option); });
    }
    router.onName(ui::notify::kClick, "bullet_selected_prev",
                  [editor](ui::Control&) { editor->StepBullet(-1); });
    router.onName(ui::notify::kClick, "bullet_selected_next",
                  [editor](ui::Control&) { editor->StepBullet(1); });
    router.onName(ui::notify::kTextChanged, "ms_cursor_delay_eidt",
                  [editor](ui::Control& edit) { editor->DelayChanged(edit); });
    for (const char* edit : {"ms_cursor_x_eidt", "ms_cursor_y_eidt"}) {
        router.onName(ui::notify::kTextChanged, edit,
                      [editor](ui::Control& e) { editor->DistanceChanged(e); });
    }
    for (const char* check : {"ms_cursor_x_check", "ms_cursor_y_check"}) {
        router.onName(ui::notify::kSelectChanged, check,
                      [editor](ui::Control& c) { editor->DirectionChanged(c); });
    }
    router.onName(ui::notify::kClick, "ms_bulletdate_save_btn",
                  [editor](ui::Control&) { editor->SendCursorSequences(); });
    router.onName(ui::notify::kClick, "ms_bulletdate_reset_btn",
                  [editor](ui::Control&) { editor->ResetGun(); });
    router.onName(ui::notify::kClick, "ms_bulletdate_import_btn",
                  [editor](ui::Control&) { editor->ImportGun(); });
    router.onName(ui::notify::kClick, "ms_bulletdate_export_btn",
                  [editor](ui::Control&) { editor->ExportGun(); });
    main.pageRefresh().cursorSequences = [editor] { editor->Refresh(); };
}

}  // namespace korvane::macros
