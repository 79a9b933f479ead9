#include "gui/power_events.h"

#include <QDBusConnection>

#include "core/platform/debug_line.h"

namespace korvane::gui {

PowerEvents::PowerEvents(std::function<void()> onSuspend, std::function<void()> onResume,
                         QObject* parent)
    : QObject(parent), onSuspend_(std::move(onSuspend)), onResume_(std::move(onResume)) {
    QDBusConnection bus = QDBusConnection::systemBus();
    listening_ = bus.isConnected() &&
                 bus.connect(QStringLiteral("org.freedesktop.login1"),
                             QStringLiteral("/org/freedesktop/login1"),
                             QStringLiteral("org.freedesktop.login1.Manager"),
                             QStringLiteral("PrepareForSleep"), this, SLOT(prepareForSleep(bool)));
    if (!listening_) {
        platform::debugLine("power events: no logind on the system bus");
    }
}

void PowerEvents::prepareForSleep(bool sleeping) {
    if (sleeping) {
        if (onSuspend_) {
            onSuspend_();
        }
    } else if (onResume_) {
        onResume_();
    }
}

}  // namespace korvane::gui
