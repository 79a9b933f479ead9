#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/ui/notification.h"

namespace korvane::ui {

class ControlTree;

enum class ControlKind : std::uint8_t {
    Container,
    Button,
    Option,  // check box, radio button, tab button: `selected` is its state
    Combo,
    Edit,
    Slider,
    Label,
    TabLayout,  // shows one child page at a time: `page`
    List,
    Picture,  // device key pictures: colour-changer mode, colour, alpha
    Palette,  // colour picker: `colour`
    Progress,
};

// One column of a list row: its text (a language key or shown as it stands) and the skin
// style that paints it.
struct ListCell {
    std::string text;
    std::string style;
    bool operator==(const ListCell&) const = default;
};

struct ListItem {
    std::string text;
    std::string toolTip;
    std::int64_t userData = 0;
    // Rows with columns show these instead of the text.
    std::vector<ListCell> cells{};
    // What the row stands for, kept with it (a macro action's text).
    std::string data{};
};

// What changed, for whoever mirrors the tree (the Qt binder).
enum class Property : std::uint8_t {
    Text,
    ToolTip,
    Visible,
    Enabled,
    Selected,
    Value,
    Range,
    Items,
    CurrentItem,
    Page,
    BkColor,
    BkImage,
    TextColor,
    Changer,
    Colour,
};

// One named control of a window with the state the logic reads and writes.
// Main thread only. Setters tell the tree's change listener; the ones a user can
// also cause take a Notify flag that raises the user's notification.
class Control {
  public:
    Control(ControlTree& tree, std::string name, ControlKind kind, std::string className);
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& name() const { return name_; }
    ControlKind kind() const { return kind_; }
    const std::string& className() const { return className_; }
    Control* parent() const { return parent_; }
    const std::vector<Control*>& children() const { return children_; }
    ControlTree& tree() const { return tree_; }

    const std::string& text() const { return text_; }
    const std::string& toolTip() const { return toolTip_; }
    bool visible() const { return visible_; }
    // Visible and every ancestor visible.
    bool shownOnScreen() const;
    // What a user can see: shownOnScreen(), and every tab layout above shows the page that
    // holds this control.
    bool shown() const;
    bool enabled() const { return enabled_; }
    bool selected() const { return selected_; }
    int value() const { return value_; }
    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }
    const std::vector<ListItem>& items() const { return items_; }
    int currentItem() const { return currentItem_; }
    int page() const { return page_; }
    std::uint32_t bkColor() const { return bkColor_; }
    const std::string& bkImage() const { return bkImage_; }
    std::uint32_t textColor() const { return textColor_; }
    const std::string& group() const { return group_; }
    std::uint32_t colour() const { return colour_; }
    bool changerMode() const { return changerMode_; }
    std::uint32_t changerColor() const { return changerColor_; }
    std::uint8_t changerAlpha() const { return changerAlpha_; }
    // Skin attributes the tree does not model (read by custom controls).
    const std::map<std::string, std::string>& attributes() const { return attributes_; }

    void setText(std::string text, Notify notify = Notify::No);
    void setToolTip(std::string toolTip);
    void setVisible(bool visible);
    void setEnabled(bool enabled);
    // Selecting an option of a group unselects the others of that group; selecting a tab
    // button shows its page of its tab layout.
    void setSelected(bool selected, Notify notify = Notify::No);
    // Clamped to the range.
    void setValue(int value, Notify notify = Notify::No);
    void setRange(int minimum, int maximum);
    void addItem(ListItem item);
    void removeItem(int index);
    // At index 0 .. count (count appends); the current item keeps pointing at its row.
    bool insertItem(int index, ListItem item);
    bool setItem(int index, ListItem item);
    // Moves a row to another place; the current item follows the row it pointed at.
    bool moveItem(int from, int to);
    void clearItems();
    void setItemText(int index, std::string text);
    // -1 for none; out-of-range indexes are refused (false).
    bool selectItem(int index, Notify notify = Notify::No);
    // Tab layouts: which child page is shown.
    bool setPage(int page);
    void setBkColor(std::uint32_t argb);
    void setBkImage(std::string image);
    void setTextColor(std::uint32_t argb);
    void setColour(std::uint32_t argb, Notify notify = Notify::No);
    void setChangerMode(bool on);
    void setChangerColor(std::uint32_t packed);
    void setChangerAlpha(std::uint8_t alpha);

    void setGroup(std::string group) { group_ = std::move(group); }
    void setAttribute(std::string key, std::string value);
    void addChild(Control& child);

  private:
    void changed(Property property);
    // A tab button shows its page when selected: attribute "tabLayout" names the tab layout,
    // "tabPage" the name of its page (a direct child of the layout).
    void showTabPage();
    void raise(std::string_view type);

    ControlTree& tree_;
    std::string name_;
    ControlKind kind_;
    std::string className_;
    Control* parent_ = nullptr;
    std::vector<Control*> children_;

    std::string text_;
    std::string toolTip_;
    bool visible_ = true;
    bool enabled_ = true;
    bool selected_ = false;
    int value_ = 0;
    int minimum_ = 0;
    int maximum_ = 100;
    std::vector<ListItem> items_;
    int currentItem_ = -1;
    int page_ = 0;
    std::uint32_t bkColor_ = 0;
    std::string bkImage_;
    std::uint32_t textColor_ = 0;
    std::string group_;
    std::uint32_t colour_ = 0;
    bool changerMode_ = false;
    std::uint32_t changerColor_ = 0;
    std::uint8_t changerAlpha_ = 0;
    std::map<std::string, std::string> attributes_;
};

}  // namespace korvane::ui
