#include "core/keys/install_key_editors.h"

#include <array>
#include <memory>
#include <string>

#include "core/app/main_window.h"
#include "core/app/window_messages.h"
#include "core/keys/key_editor.h"
#include "core/keys/key_labels.h"
#include "core/keys/key_save.h"
#include "core/keys/keyboard_picture_layout.h"
#include "core/platform/debug_line.h"

namespace korvane::keys {
namespace {

struct Editors {
    explicit Editors(app::MainWindow& main)
        : keyboard(main, KeyClass::Keyboard), mouse(main, KeyClass::Mouse) {}
    KeyAssignmentEditor keyboard;
    KeyAssignmentEditor mouse;
};

constexpr std::array<std::string_view, 8> kChoiceCombos{
    "key_fct_combo_11", "key_fct_combo_12", "key_fct_combo_13", "key_fct_combo_14",
    "key_fct_combo_21", "key_fct_combo_22", "key_fct_combo_23", "key_fct_combo_25"};
constexpr std::array<std::string_view, 9> kParameterEdits{
    "key_fct_edit_11", "key_fct_edit_12", "key_fct_edit_15", "key_fct_edit_16", "key_fct_edit_17",
    "key_fct_edit_18", "key_fct_edit_19", "key_fct_edit_20", "key_fct_edit_25"};

void routeEditor(app::MainWindow& main, const std::shared_ptr<Editors>& editors,
                 KeyAssignmentEditor Editors::*member) {
    app::NotificationRouter& router = main.router();
    KeyAssignmentEditor& editor = (*editors).*member;
    const auto on = [&](std::string_view type, std::string name, auto action) {
        router.onName(type, std::move(name), [editors, member, action](ui::Control& sender) {
            action((*editors).*member, sender);
        });
    };
    on(ui::notify::kItemSelect, editor.control("key_fct_combo"),
       [](KeyAssignmentEditor& e, ui::Control& sender) { e.ChooseClass(sender.currentItem()); });
    for (const std::string_view combo : kChoiceCombos) {
        on(ui::notify::kItemSelect, editor.control(combo),
           [](KeyAssignmentEditor& e, ui::Control&) { e.ApplyControls(); });
    }
    on(ui::notify::kItemSelect, editor.control("key_fct_combo_24"),
       [](KeyAssignmentEditor& e, ui::Control&) { e.RunModeChanged(); });
    for (const std::string_view edit : kParameterEdits) {
        on(ui::notify::kTextChanged, editor.control(edit),
           [](KeyAssignmentEditor& e, ui::Control& sender) { e.EditChanged(sender); });
    }
    on(ui::notify::kClick, editor.control("key_butt_keydefalut"),
       [](KeyAssignmentEditor& e, ui::Control&) { e.RestoreDefault(); });
    on(ui::notify::kClick, editor.control("key_butt_prosave"),
       [&main](KeyAssignmentEditor& e, ui::Control&) { SaveKeysToDevice(main, e.keyClass()); });
}

}  // namespace

void InstallKeyEditors(app::MainWindow& main) {
    auto editors = std::make_shared<Editors>(main);
    routeEditor(main, editors, &Editors::keyboard);
    routeEditor(main, editors, &Editors::mouse);

    app::NotificationRouter& router = main.router();
    // Keyboard picture keys of every kind; exact names, so the other "kb_key_" controls keep
    // their own routes.
    for (const std::string_view prefix : {"kb_key_", "kb_keyf_", "kb_keym_"}) {
        for (int position = 0; position < static_cast<int>(kPicturePositions); ++position) {
            router.onName(
                ui::notify::kClick, std::string(prefix) + std::to_string(position),
                [editors, position](ui::Control&) { editors->keyboard.SelectPosition(position); });
        }
    }
    for (int button = 0; button < kMouseButtons; ++button) {
        router.onName(ui::notify::kSelectChanged, "ms_key_" + std::to_string(button),
                      [editors, button](ui::Control& sender) {
                          if (sender.selected()) {
                              editors->mouse.SelectKey(button);
                          }
                      });
    }
    router.onName(ui::notify::kClick, "ms_key_butt_keysave",
                  [editors](ui::Control&) { editors->mouse.ApplyControls(); });

    const auto capture = [editors](KeyAssignmentEditor Editors::*member, int message) {
        return [editors, member, message](std::intptr_t, std::intptr_t lParam) {
            platform::debugLine(macros::HookMessageName(message));
            // lParam: the hook's key record, valid while the message is handled.
            if (lParam != 0) {
                ((*editors).*member)
                    .CaptureSingleKey(*reinterpret_cast<const macros::KeyRecord*>(lParam));
            }
        };
    };
    main.registerMessage(app::msg::kHookKeySingle,
                         capture(&Editors::keyboard, app::msg::kHookKeySingle));
    main.registerMessage(app::msg::kHookMouseSingle,
                         capture(&Editors::mouse, app::msg::kHookMouseSingle));

    main.pageRefresh().keyboardKeys = [editors] { editors->keyboard.Refresh(); };
    main.pageRefresh().mouseKeys = [editors] { editors->mouse.Refresh(); };
    main.addPageInitialiser([editors] {
        editors->keyboard.RefreshMacroChoices();
        editors->mouse.RefreshMacroChoices();
    });
}

}  // namespace korvane::keys
