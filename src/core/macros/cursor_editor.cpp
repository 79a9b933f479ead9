#include "core/macros/cursor_editor.h"

#include <algorithm>
#include <string>

#include "core/app/device_transfer.h"
#include "core/app/main_window.h"
#include "core/macros/device_transfers.h"
#include "core/macros/edit_numbers.h"
#include "core/platform/debug_line.h"

namespace korvane::macros {
namespace {

constexpr std::string_view kDelayEdit = "ms_cursor_delay_eidt";
constexpr std::string_view kXEdit = "ms_cursor_x_eidt";
constexpr std::string_view kYEdit = "ms_cursor_y_eidt";
constexpr std::string_view kXCheck = "ms_cursor_x_check";
constexpr std::string_view kYCheck = "ms_cursor_y_check";
constexpr std::string_view kEditLayout = "cursor_edit_layout";
constexpr std::string_view kBulletIndex = "bullet_select_index";
constexpr std::string_view kBulletOption = "ms_bullet_op_";
constexpr std::string_view kTooLongMessage = "message_text_18";
constexpr std::string_view kFailedMessage = "message_text_10";
constexpr long kMaxDelayMs = 65535;

long editNumber(const ui::Control* edit) {
    return edit != nullptr ? EditNumber(*edit) : 0;
}

std::string_view checkCaption(std::string_view check, bool selected) {
    if (check == kXCheck) {
        return selected ? kMoveLeftName : kMoveRightName;
    }
    return selected ? kMoveUpName : kMoveDownName;
}

ui::FileDialogOptions cursorFileDialog(std::string_view extension) {
    ui::FileDialogOptions options;
    options.defaultExtension = std::string(extension);
    options.fileName = "*." + std::string(extension);
    options.filter = "(*." + options.defaultExtension + ") | *." + options.defaultExtension + " ||";
    return options;
}

}  // namespace

CursorEditor::CursorEditor(app::MainWindow& main) : main_(main) {}

std::optional<std::filesystem::path> CursorEditor::gunSequenceFile() const {
    return CursorStore::fromDataFolder().sequenceFile(gun_);
}

void CursorEditor::ChooseGun(std::size_t gun) {
    if (gun >= kCursorSequenceCount) {
        return;
    }
    gun_ = gun;
    if (ui::Control* first = main_.tree().findIndexed(kBulletOption, 0)) {
        first->setSelected(false, ui::Notify::Yes);
        first->setSelected(true, ui::Notify::Yes);
    }
}

void CursorEditor::ChooseBullet(std::size_t bullet) {
    if (bullet >= kBulletsPerSequence) {
        return;
    }
    bullet_ = bullet;
    lastBullet_ = bullet;
    loadBullet();
    ui::ControlTree& tree = main_.tree();
    if (ui::Control* layout = tree.find(kEditLayout)) {
        layout->setEnabled(true);
    }
    if (ui::Control* index = tree.find(kBulletIndex)) {
        index->setText(std::to_string(bullet + 1));
    }
}

void CursorEditor::ClickBullet(ui::Control& option) {
    if (!option.selected()) {
        return;
    }
    // The window reports the click before the option's own change; closing the edits waits
    // until that change has been handled.
    main_.loop().post([this, name = option.name()] {
        ui::Control* clicked = main_.tree().find(name);
        if (clicked == nullptr || !clicked->selected()) {
            return;
        }
        clicked->setSelected(false, ui::Notify::Yes);
        bullet_.reset();
        if (ui::Control* layout = main_.tree().find(kEditLayout)) {
            layout->setEnabled(false);
        }
    });
}

void CursorEditor::StepBullet(int step) {
    const long next = static_cast<long>(lastBullet_) + step;
    if (next < 0 || next >= static_cast<long>(kBulletsPerSequence)) {
        return;
    }
    selectBulletOption(static_cast<std::size_t>(next));
}

void CursorEditor::selectBulletOption(std::size_t bullet) {
    if (ui::Control* option = main_.tree().findIndexed(kBulletOption, static_cast<int>(bullet))) {
        option->setSelected(true, ui::Notify::Yes);
    } else {
        ChooseBullet(bullet);
    }
}

void CursorEditor::loadBullet() {
    const auto file = gunSequenceFile();
    if (!file || !bullet_) {
        return;
    }
    const auto view = LoadBullet(*file, *bullet_);
    if (!view) {
        return;
    }
    ui::ControlTree& tree = main_.tree();
    if (ui::Control* delay = tree.find(kDelayEdit); delay != nullptr && view->delayMs) {
        delay->setText(std::to_string(*view->delayMs));
    }
    const auto show = [&tree](std::string_view edit, std::string_view check,
                              const std::optional<BulletMove>& move) {
        if (!move) {
            return;
        }
        if (ui::Control* e = tree.find(edit)) {
            e->setText(std::to_string(move->distance));
        }
        if (ui::Control* c = tree.find(check)) {
            c->setSelected(move->negative);
            c->setText(std::string(checkCaption(check, move->negative)));
        }
    };
    show(kXEdit, kXCheck, view->horizontal);
    show(kYEdit, kYCheck, view->vertical);
}

void CursorEditor::saveBullet() {
    const auto file = gunSequenceFile();
    if (!file || !bullet_) {
        return;
    }
    const ui::ControlTree& tree = main_.tree();
    const auto selected = [&tree](std::string_view name) {
        const ui::Control* c = tree.find(name);
        return c != nullptr && c->selected();
    };
    BulletEdit edit;
    edit.delayMs = editNumber(tree.find(kDelayEdit));
    edit.horizontalDistance = editNumber(tree.find(kXEdit));
    edit.left = selected(kXCheck);
    edit.verticalDistance = editNumber(tree.find(kYEdit));
    edit.up = selected(kYCheck);
    if (!SaveBullet(*file, *bullet_, edit)) {
        platform::debugLine("cursor sequence not written");
    }
}

void CursorEditor::DelayChanged(ui::Control& edit) {
    BoundedEdit(edit, kMaxDelayMs);
    saveBullet();
}

void CursorEditor::DistanceChanged(ui::Control& edit) {
    BoundedEdit(edit, kMaxMoveDistance);
    saveBullet();
}

void CursorEditor::DirectionChanged(ui::Control& check) {
    check.setText(std::string(checkCaption(check.name(), check.selected())));
    saveBullet();
}

bool CursorEditor::SendCursorSequences() {
    CursorImagePlan plan = CursorStore::fromDataFolder().PrepareCursorImage();
    switch (plan.outcome) {
        case CursorImagePlan::Outcome::NothingToSend:
            return true;
        case CursorImagePlan::Outcome::Refused:
            main_.showMessage(kCursorImageTooLargeMessage);
            return false;
        case CursorImagePlan::Outcome::Ready:
            break;
    }
    app::RunDeviceTransfer(
        main_, device::DeviceClass::Mouse,
        [image = std::move(plan.image)](device::DeviceCommander& commander,
                                        const TransferProgress& progress) {
            return SendCursorImage(commander, image, progress) ? device::kResultDone
                                                               : device::kResultNotDone;
        },
        [&main = main_](int result) {
            if (result != device::kResultDone) {
                main.showMessage(kFailedMessage);
            }
        });
    return true;
}

void CursorEditor::ResetGun() {
    if (!CursorStore::fromDataFolder().ResetGun(gun_)) {
        main_.showMessage(kFailedMessage);
        return;
    }
    selectBulletOption(0);
    loadBullet();
}

void CursorEditor::ImportGun() {
    const auto source = main_.dialogs().openFile(cursorFileDialog("cur"));
    if (!source) {
        return;
    }
    switch (CursorStore::fromDataFolder().ImportGun(gun_, *source)) {
        case ImportResult::TooLong:
            main_.showMessage(kTooLongMessage);
            return;
        case ImportResult::Failed:
            main_.showMessage(kFailedMessage);
            return;
        case ImportResult::Imported:
            loadBullet();
            return;
    }
}

void CursorEditor::ExportGun() {
    const auto target = main_.dialogs().saveFile(cursorFileDialog("txt"));
    if (target && !CursorStore::fromDataFolder().ExportGun(gun_, *target)) {
        main_.showMessage(kFailedMessage);
    }
}

void CursorEditor::Refresh() {
    if (ui::Control* first = main_.tree().find("ms_gun_op_0")) {
        first->setSelected(false, ui::Notify::Yes);
        first->setSelected(true, ui::Notify::Yes);
    } else {
        ChooseGun(0);
    }
}

}  // namespace korvane::macros
