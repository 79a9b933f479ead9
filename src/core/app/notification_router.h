#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ui/notification.h"

namespace korvane::app {

// One router per notification type. Features register the control names they own
// (exact names, or prefixes for indexed and per-feature families); a sender no feature
// registered is ignored.
class NotificationRouter {
  public:
    using Handler = std::function<void(ui::Control& sender)>;

    void onName(std::string_view type, std::string name, Handler handler);
    void onPrefix(std::string_view type, std::string prefix, Handler handler);
    // True when a feature took the notification.
    bool route(const ui::Notification& notification) const;

  private:
    struct Route {
        std::string type;
        std::string name;
        bool prefix;
        Handler handler;
    };
    std::vector<Route> routes_;
};

}  // namespace korvane::app
