#include "core/ui/control_tree.h"

#include <charconv>
#include <string>

namespace korvane::ui {
namespace {

bool parseInt(std::string_view text, long long& out) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    if (text.empty()) {
        return false;
    }
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out, base);
    return ec == std::errc() && end == text.data() + text.size();
}

}  // namespace

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
    long long number = 0;
    const bool numeric = parseInt(arg, number);
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
