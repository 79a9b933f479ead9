#include "gui/tray.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QPainter>

#include "core/platform/debug_line.h"
#include "gui/language_texts.h"

namespace korvane::gui {

QIcon programIcon(const QString& skinIcon) {
    if (!skinIcon.isEmpty() && QFile::exists(skinIcon)) {
        return QIcon(skinIcon);
    }
    QPixmap pixmap(64, 64);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 20, 24));
    p.drawEllipse(2, 2, 60, 60);
    p.setPen(QPen(QColor(1, 153, 203), 7));
    p.drawArc(12, 12, 40, 40, 40 * 16, 280 * 16);
    p.setPen(QPen(QColor(1, 153, 203), 5));
    p.drawLine(24, 18, 24, 46);
    p.drawLine(24, 32, 42, 18);
    p.drawLine(28, 30, 42, 46);
    return QIcon(pixmap);
}

Tray::Tray(QtLanguageHost& language, QObject* parent) : QObject(parent), language_(language) {
    icon_.setToolTip(QStringLiteral("Qv Korvane Gaming Software 3.0"));
    connect(&icon_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger && onLeftClick_) {
                    onLeftClick_();
                } else if (reason == QSystemTrayIcon::Context && onRightClick_) {
                    onRightClick_();
                }
            });
}

Tray::~Tray() = default;

bool Tray::available() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void Tray::show() {
    if (!available()) {
        platform::debugLine("no system tray: the window shows when a device connects");
    }
    icon_.show();
}

std::unique_ptr<QMenu> Tray::build(const ui::Menu& menu) {
    auto built = std::make_unique<QMenu>();
    fill(*built, menu.entries);
    return built;
}

void Tray::fill(QMenu& target, const std::vector<ui::MenuEntry>& entries) {
    for (const ui::MenuEntry& entry : entries) {
        if (entry.separator) {
            target.addSeparator();
            continue;
        }
        const QString text = language_.text(entry.text);
        if (!entry.children.empty()) {
            QMenu* sub = target.addMenu(text);
            sub->setObjectName(QString::fromStdString(entry.name));
            fill(*sub, entry.children);
            continue;
        }
        QAction* action = target.addAction(text);
        action->setObjectName(QString::fromStdString(entry.name));
        connect(action, &QAction::triggered, this, [this, name = entry.name, key = entry.text] {
            if (onCommand_) {
                onCommand_(name, key);
            }
        });
    }
}

QMenu* Tray::popup(const ui::Menu& menu, QPoint pos) {
    menu_.reset();
    menu_ = build(menu);
    menu_->popup(pos);
    return menu_.get();
}

}  // namespace korvane::gui
