#include "core/profiles/operations/install_profile_operations.h"

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "core/app/main_window.h"
#include "core/app/profile_selection.h"
#include "core/profiles/operations/link_controls.h"
#include "core/profiles/operations/link_follower.h"
#include "core/profiles/operations/profile_operations.h"

namespace korvane::profiles::operations {
namespace {

using Operation = void (*)(app::MainWindow&, ProfileList);

struct ButtonOperation {
    std::string_view suffix;
    Operation operation;
};

constexpr std::array<ButtonOperation, 6> kButtonOperations{{
    {"add_btn", &NewProfile},
    {"sub_btn", &DeleteProfile},
    {"copy_btn", &CopyProfile},
    {"import_btn", &ImportProfile},
    {"export_btn", &ExportProfile},
    {"reset_btn", &ResetProfile},
}};

void onClick(app::MainWindow& main, std::string_view name, std::function<void()> action) {
    main.router().onName(ui::notify::kClick, std::string(name),
                         [action = std::move(action)](ui::Control&) { action(); });
}

}  // namespace

void InstallProfileOperations(app::MainWindow& main) {
    auto follower = std::make_shared<LinkFollower>(main);
    follower->installWorkers();
    for (const ProfileButtons& buttons : kProfileButtons) {
        const ProfileList list = buttons.list;
        for (const ButtonOperation& button : kButtonOperations) {
            onClick(main, std::string(buttons.prefix) + std::string(button.suffix),
                    [&main, list, operation = button.operation] { operation(main, list); });
        }
        onClick(main, std::string(buttons.prefix) + "edit_btn",
                [&main, panel = buttons.renamePanel] { ToggleShown(main, panel); });
        onClick(main, buttons.renameSave, [&main, list] { RenameProfile(main, list); });
        onClick(main, buttons.linkButton, [&main, list, follower] {
            OnLinkButton(main, list);
            follower->recheck(list);
        });
        main.router().onName(ui::notify::kSelectChanged,
                             std::string(app::controlsOf(list).linkCheck),
                             [&main, list, follower](ui::Control&) {
                                 OnLinkCheckChanged(main, list);
                                 follower->recheck(list);
                             });
    }
    for (const SpreadToggle& toggle : kSpreadToggles) {
        onClick(main, toggle.button, [&main, area = toggle.area] { ToggleShown(main, area); });
    }
    app::PageRefreshHooks& hooks = main.pageRefresh();
    hooks.profileSelected = [previous = hooks.profileSelected, follower](ProfileList list) {
        if (previous) {
            previous(list);
        }
        follower->recheck(list);
    };
}

}  // namespace korvane::profiles::operations
