#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/ui/control.h"
#include "core/ui/notification.h"

namespace korvane::ui {

// The controls of one window by name, built from the skin. Lookups of names the skin
// does not carry return nullptr and callers skip them. Main thread only.
class ControlTree {
  public:
    using NotifyHandler = std::function<void(const Notification&)>;
    using ChangeListener = std::function<void(Control&, Property)>;

    ControlTree();
    ControlTree(const ControlTree&) = delete;
    ControlTree& operator=(const ControlTree&) = delete;

    // The first control is the root. A name that already exists keeps finding the first
    // control of that name (a page built twice adds its controls twice).
    Control& create(std::string name, ControlKind kind, std::string className, Control* parent);

    Control* root() const { return controls_.empty() ? nullptr : controls_.front().get(); }
    Control* find(std::string_view name) const;
    // prefix followed by the decimal index, e.g. ("kb_dkey_", 17).
    Control* findIndexed(std::string_view prefix, int index) const;
    std::vector<Control*> optionGroup(std::string_view group) const;
    std::size_t size() const { return controls_.size(); }
    template <typename F>
    void forEach(F&& f) const {
        for (const auto& c : controls_) {
            f(*c);
        }
    }

    void setNotifyHandler(NotifyHandler handler) { notifyHandler_ = std::move(handler); }
    void setChangeListener(ChangeListener listener) { changeListener_ = std::move(listener); }

    // Raises a notification as the window would (no state change).
    void raise(std::string_view type, Control& sender);
    // A user's action: changes the control's state first, then raises the notification.
    // arg: "0"/"1" for selectchanged, an item index for itemselect/itemclick, the text for
    // textchanged, a number for valuechanged/movevaluechanged, an ARGB number (decimal or
    // 0x hex) for colorchanged, nothing for the others. False for a missing control or an
    // argument that does not fit.
    bool deliver(std::string_view type, std::string_view name, std::string_view arg = {});

  private:
    friend class Control;
    void changed(Control& control, Property property);

    std::deque<std::unique_ptr<Control>> controls_;
    std::unordered_map<std::string, Control*> byName_;
    NotifyHandler notifyHandler_;
    ChangeListener changeListener_;
};

}  // namespace korvane::ui
