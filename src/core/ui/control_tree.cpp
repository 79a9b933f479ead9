#include "core/ui/control_tree.h"

#include "core/platform/text.h"

#include <string>

namespace korvane::ui {
ControlTree::ControlTree() = default;

Control& ControlTree::create(std::string name, ControlKind kind, std::string className,
                             Control* parent) {
    controls_.push_back(std::make_unique<Control>(*this, name, kind, std::move(className)));
    Control& control = *controls_.back();
    if (!name.empty()) {
        byName_.try_emplace(std::move(name), &control);
    }
    if (parent != nullptr) {
        parent->addChild(control);
    }
    return control;
}

Control* ControlTree::find(std::string_view name) const {
    const auto it = byName_.find(std::string(name));
    return it == byName_.end() ? nullptr : it->second;
}

Control* ControlTree::findIndexed(std::string_view prefix, int index) const {
    std::string name(prefix);
    name += std::to_string(index);
    return find(name);
}

std::vector<Control*> ControlTree::optionGroup(std::string_view group) const {
    std::vector<Control*> members;
    for (const auto& c : controls_) {
        if (c->group() == group) {
            members.push_back(c.get());
        }
    }
    return members;
}

void ControlTree::raise(std::string_view type, Control& sender) {
    if (notifyHandler_) {
        notifyHandler_(Notification{type, sender});
    }
}

void ControlTree::changed(Control& control, Property property) {
    if (changeListener_) {
        changeListener_(control, property);
    }
}

bool ControlTree::deliver(std::string_view type, std::string_view name, std::string_view arg) {
    Control* control = find(name);
    if (control == nullptr) {
        return false;
    }
    const std::optional<std::int64_t> parsed = platform::parseWholeNumber(arg);
    const bool numeric = parsed.has_value();
    const std::int64_t number = parsed.value_or(0);
    if (type == notify::kSelectChanged) {
        if (!numeric) {
            return false;
        }
        // A click on an already selected radio or tab changes nothing but still notifies.
        const bool wanted = number != 0;
        if (control->selected() == wanted) {
            raise(type, *control);
        } else {
            control->setSelected(wanted, Notify::Yes);
        }
        return true;
    }
    if (type == notify::kItemSelect || type == notify::kItemClick) {
        if (!numeric || !control->selectItem(static_cast<int>(number), Notify::No)) {
            return false;
        }
        raise(type, *control);
        return true;
    }
    if (type == notify::kTextChanged) {
        control->setText(std::string(arg), Notify::Yes);
        return true;
    }
    if (type == notify::kValueChanged || type == notify::kMoveValueChanged) {
        if (!numeric) {
            return false;
        }
        control->setValue(static_cast<int>(number), Notify::No);
        raise(type, *control);
        return true;
    }
    if (type == notify::kColorChanged) {
        if (!numeric) {
            return false;
        }
        control->setColour(static_cast<std::uint32_t>(number), Notify::Yes);
        return true;
    }
    raise(type, *control);
    return true;
}

}  // namespace korvane::ui
