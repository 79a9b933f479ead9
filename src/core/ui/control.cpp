#include "core/ui/control.h"

#include <algorithm>

#include "core/ui/control_tree.h"

namespace korvane::ui {

Control::Control(ControlTree& tree, std::string name, ControlKind kind, std::string className)
    : tree_(tree), name_(std::move(name)), kind_(kind), className_(std::move(className)) {}

bool Control::shownOnScreen() const {
    for (const Control* c = this; c != nullptr; c = c->parent_) {
        if (!c->visible_) {
            return false;
        }
    }
    return true;
}

bool Control::shown() const {
    const Control* child = nullptr;
    for (const Control* c = this; c != nullptr; child = c, c = c->parent_) {
        if (!c->visible_) {
            return false;
        }
        if (child != nullptr && c->kind_ == ControlKind::TabLayout) {
            const auto page = static_cast<std::size_t>(c->page_);
            if (page >= c->children_.size() || c->children_[page] != child) {
                return false;
            }
        }
    }
    return true;
}

void Control::changed(Property property) {
    tree_.changed(*this, property);
}

void Control::raise(std::string_view type) {
    tree_.raise(type, *this);
}

void Control::setText(std::string text, Notify notify) {
    if (text_ != text) {
        text_ = std::move(text);
        changed(Property::Text);
    }
    if (notify == Notify::Yes) {
        raise(notify::kTextChanged);
    }
}

void Control::setToolTip(std::string toolTip) {
    if (toolTip_ != toolTip) {
        toolTip_ = std::move(toolTip);
        changed(Property::ToolTip);
    }
}

void Control::setVisible(bool visible) {
    if (visible_ != visible) {
        visible_ = visible;
        changed(Property::Visible);
    }
}

void Control::setEnabled(bool enabled) {
    if (enabled_ != enabled) {
        enabled_ = enabled;
        changed(Property::Enabled);
    }
}

void Control::setSelected(bool selected, Notify notify) {
    if (selected_ == selected) {
        return;
    }
    selected_ = selected;
    changed(Property::Selected);
    if (selected && !group_.empty()) {
        for (Control* other : tree_.optionGroup(group_)) {
            if (other != this && other->selected_) {
                other->setSelected(false, notify);
            }
        }
    }
    if (selected) {
        showTabPage();
    }
    if (notify == Notify::Yes) {
        raise(notify::kSelectChanged);
    }
}

void Control::showTabPage() {
    const auto layoutName = attributes_.find("tabLayout");
    const auto pageName = attributes_.find("tabPage");
    if (layoutName == attributes_.end() || pageName == attributes_.end()) {
        return;
    }
    Control* layout = tree_.find(layoutName->second);
    if (layout == nullptr) {
        return;
    }
    const auto& pages = layout->children();
    for (std::size_t i = 0; i < pages.size(); ++i) {
        if (pages[i]->name() == pageName->second) {
            layout->setPage(static_cast<int>(i));
            return;
        }
    }
}

void Control::setValue(int value, Notify notify) {
    value = std::clamp(value, minimum_, std::max(minimum_, maximum_));
    if (value_ != value) {
        value_ = value;
        changed(Property::Value);
    }
    if (notify == Notify::Yes) {
        raise(notify::kValueChanged);
    }
}

void Control::setRange(int minimum, int maximum) {
    minimum_ = minimum;
    maximum_ = std::max(minimum, maximum);
    changed(Property::Range);
    const int clamped = std::clamp(value_, minimum_, maximum_);
    if (clamped != value_) {
        value_ = clamped;
        changed(Property::Value);
    }
}

void Control::addItem(ListItem item) {
    items_.push_back(std::move(item));
    changed(Property::Items);
}

void Control::removeItem(int index) {
    if (index < 0 || index >= static_cast<int>(items_.size())) {
        return;
    }
    items_.erase(items_.begin() + index);
    if (currentItem_ >= static_cast<int>(items_.size())) {
        currentItem_ = static_cast<int>(items_.size()) - 1;
    }
    changed(Property::Items);
}

bool Control::insertItem(int index, ListItem item) {
    if (index < 0 || index > static_cast<int>(items_.size())) {
        return false;
    }
    items_.insert(items_.begin() + index, std::move(item));
    if (currentItem_ >= index) {
        ++currentItem_;
    }
    changed(Property::Items);
    return true;
}

bool Control::setItem(int index, ListItem item) {
    if (index < 0 || index >= static_cast<int>(items_.size())) {
        return false;
    }
    items_[static_cast<std::size_t>(index)] = std::move(item);
    changed(Property::Items);
    return true;
}

bool Control::moveItem(int from, int to) {
    const int count = static_cast<int>(items_.size());
    if (from < 0 || from >= count || to < 0 || to >= count) {
        return false;
    }
    ListItem moving = std::move(items_[static_cast<std::size_t>(from)]);
    items_.erase(items_.begin() + from);
    items_.insert(items_.begin() + to, std::move(moving));
    if (currentItem_ == from) {
        currentItem_ = to;
    } else if (from < currentItem_ && currentItem_ <= to) {
        --currentItem_;
    } else if (to <= currentItem_ && currentItem_ < from) {
        ++currentItem_;
    }
    changed(Property::Items);
    return true;
}

void Control::clearItems() {
    items_.clear();
    currentItem_ = -1;
    changed(Property::Items);
}

void Control::setItemText(int index, std::string text) {
    if (index < 0 || index >= static_cast<int>(items_.size())) {
        return;
    }
    items_[static_cast<std::size_t>(index)].text = std::move(text);
    changed(Property::Items);
}

bool Control::selectItem(int index, Notify notify) {
    if (index < -1 || index >= static_cast<int>(items_.size())) {
        return false;
    }
    if (currentItem_ != index) {
        currentItem_ = index;
        changed(Property::CurrentItem);
    }
    if (notify == Notify::Yes) {
        raise(notify::kItemSelect);
    }
    return true;
}

bool Control::setPage(int page) {
    if (page < 0 ||
        (kind_ == ControlKind::TabLayout && page >= static_cast<int>(children_.size()))) {
        return false;
    }
    if (page_ != page) {
        page_ = page;
        changed(Property::Page);
    }
    return true;
}

void Control::setBkColor(std::uint32_t argb) {
    if (bkColor_ != argb) {
        bkColor_ = argb;
        changed(Property::BkColor);
    }
}

void Control::setBkImage(std::string image) {
    if (bkImage_ != image) {
        bkImage_ = std::move(image);
        changed(Property::BkImage);
    }
}

void Control::setTextColor(std::uint32_t argb) {
    if (textColor_ != argb) {
        textColor_ = argb;
        changed(Property::TextColor);
    }
}

void Control::setColour(std::uint32_t argb, Notify notify) {
    if (colour_ != argb) {
        colour_ = argb;
        changed(Property::Colour);
    }
    if (notify == Notify::Yes) {
        raise(notify::kColorChanged);
    }
}

void Control::setChangerMode(bool on) {
    if (changerMode_ != on) {
        changerMode_ = on;
        changed(Property::Changer);
    }
}

void Control::setChangerColor(std::uint32_t packed) {
    if (changerColor_ != packed) {
        changerColor_ = packed;
        changed(Property::Changer);
    }
}

void Control::setChangerAlpha(std::uint8_t alpha) {
    if (changerAlpha_ != alpha) {
        changerAlpha_ = alpha;
        changed(Property::Changer);
    }
}

void Control::setAttribute(std::string key, std::string value) {
    attributes_[std::move(key)] = std::move(value);
}

void Control::addChild(Control& child) {
    child.parent_ = this;
    children_.push_back(&child);
}

}  // namespace korvane::ui
