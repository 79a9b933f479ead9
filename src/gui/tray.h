#pragma once

#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>

#include <functional>
#include <memory>
#include <string>

#include "core/ui/menu.h"

class QMenu;

namespace korvane::gui {

class QtLanguageHost;

// The tray icon (StatusNotifierItem or the X11 tray, whichever the desktop offers) and the
// popup menus built from the skin's menu files. Entry texts are language keys.
class Tray final : public QObject {
    Q_OBJECT
  public:
    using Command = std::function<void(const std::string& name, const std::string& text)>;

    Tray(QtLanguageHost& language, QObject* parent = nullptr);
    ~Tray() override;

    void setOnLeftClick(std::function<void()> onLeftClick) {
        onLeftClick_ = std::move(onLeftClick);
    }
    void setOnRightClick(std::function<void()> onRightClick) {
        onRightClick_ = std::move(onRightClick);
    }
    void setOnCommand(Command onCommand) { onCommand_ = std::move(onCommand); }
    void show();
    bool available() const;
    QSystemTrayIcon& icon() { return icon_; }

    // Builds the menu (the previous one is released first) and pops it up at pos.
    QMenu* popup(const ui::Menu& menu, QPoint pos);
    // The menu last built, for whoever checks what it holds.
    QMenu* lastMenu() const { return menu_.get(); }
    std::unique_ptr<QMenu> build(const ui::Menu& menu);

  private:
    void fill(QMenu& target, const std::vector<ui::MenuEntry>& entries);

    QtLanguageHost& language_;
    QSystemTrayIcon icon_;
    std::unique_ptr<QMenu> menu_;
    std::function<void()> onLeftClick_;
    std::function<void()> onRightClick_;
    Command onCommand_;
};

// The program's icon, drawn (the skin may replace it with "icon.png").
QIcon programIcon(const QString& skinIcon = {});

}  // namespace korvane::gui
