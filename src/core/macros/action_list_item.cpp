#include "core/macros/action_list_item.h"

namespace korvane::macros {

ui::ListItem ActionListItem(const MacroAction& action) {
    ui::ListItem item;
    item.data = FormatAction(action);
    item.text = action.name;
    const bool move = action.isMove();
    item.cells = {
        {action.name, std::string(action.isMouseEvent() ? kMouseEventStyle : kKeyboardEventStyle)},
        move ? ui::ListCell{std::to_string(action.code), std::string(kTextStyle)}
             : ui::ListCell{std::string(action.down != 0 ? kPressMark : kReleaseMark),
                            std::string(action.down != 0 ? kPressStyle : kReleaseStyle)},
        {std::to_string(action.delayMs()), std::string(kTextStyle)},
    };
    return item;
}

ui::ListItem ActionListItem(std::string_view actionText) {
    if (const auto action = ParseAction(actionText)) {
        ui::ListItem item = ActionListItem(*action);
        // The row saves back what the file held (numbers as written stay as written).
        item.data = std::string(actionText);
        return item;
    }
    ui::ListItem item;
    item.text = std::string(actionText);
    item.data = std::string(actionText);
    item.cells = {{std::string(actionText), std::string(kTextStyle)},
                  {std::string(), std::string(kTextStyle)},
                  {std::string(), std::string(kTextStyle)}};
    return item;
}

}  // namespace korvane::macros
