#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "core/macros/cursor_store.h"

namespace korvane::app {
class MainWindow;
}
namespace korvane::ui {
class Control;
}

namespace korvane::macros {

// Shown when the cursor sequences are too long for the mouse's memory (nothing is sent).
inline constexpr std::string_view kCursorImageTooLargeMessage = "cursor_image_too_large_text";

// The cursor sequences page of the main mouse models: the gun and bullet choice, the bullet's
// delay and moves (written to the gun's file at once), reset, import and export of a gun and
// the send of all four guns to the mouse. Main thread.
class CursorEditor {
  public:
    explicit CursorEditor(app::MainWindow& main);

    std::size_t gun() const { return gun_; }
    // The bullet being edited; none while no bullet option is selected.
    std::optional<std::size_t> bullet() const { return bullet_; }

    // "selectchanged" of `ms_gun_op_N` (selected): gun N, its bullet 0 shown.
    void ChooseGun(std::size_t gun);
    // "selectchanged" of `ms_bullet_op_N` (selected): bullet N loaded into the edits.
    void ChooseBullet(std::size_t bullet);
    // "click" on a bullet option: a click on the bullet already chosen closes the edits.
    void ClickBullet(ui::Control& option);
    // `bullet_selected_prev` / `bullet_selected_next`: nothing past either end.
    void StepBullet(int step);
    // The delay edit (0..65535 ms) and the distance edits (0..255): corrected, then saved.
    void DelayChanged(ui::Control& edit);
    void DistanceChanged(ui::Control& edit);
    // A direction box: its caption follows, then the bullet is saved.
    void DirectionChanged(ui::Control& check);

    // `ms_bulletdate_save_btn`: all sequences to the mouse, on its own thread while the
    // progress control follows; a mouse that fails the transfer gets a message. False, after
    // a message, when they do not fit.
    bool SendCursorSequences();
    void ResetGun();
    void ImportGun();
    void ExportGun();
    // After the mouse's own sequences replaced the files: gun 0 and its bullet 0 shown anew.
    void Refresh();

  private:
    void loadBullet();
    void saveBullet();
    void selectBulletOption(std::size_t bullet);
    std::optional<std::filesystem::path> gunSequenceFile() const;

    app::MainWindow& main_;
    std::size_t gun_ = 0;
    std::optional<std::size_t> bullet_;
    // The last bullet chosen, for the previous / next buttons.
    std::size_t lastBullet_ = 0;
};

}  // namespace korvane::macros
