#include "core/app/notification_router.h"

#include "core/ui/control.h"

namespace korvane::app {

void NotificationRouter::onName(std::string_view type, std::string name, Handler handler) {
    routes_.push_back({std::string(type), std::move(name), false, std::move(handler)});
}

void NotificationRouter::onPrefix(std::string_view type, std::string prefix, Handler handler) {
    routes_.push_back({std::string(type), std::move(prefix), true, std::move(handler)});
}

bool NotificationRouter::route(const ui::Notification& notification) const {
    const std::string& sender = notification.sender.name();
    // Exact names win over prefixes, so a feature can own one name inside another's family.
    for (const Route& r : routes_) {
        if (!r.prefix && r.type == notification.type && r.name == sender) {
            r.handler(notification.sender);
            return true;
        }
    }
    for (const Route& r : routes_) {
        if (r.prefix && r.type == notification.type && sender.starts_with(r.name)) {
            r.handler(notification.sender);
            return true;
        }
    }
    return false;
}

}  // namespace korvane::app
