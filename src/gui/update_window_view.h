#pragma once

#include <QPoint>
#include <QWidget>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "core/app/window_host.h"
#include "core/ui/control_tree.h"

namespace korvane::gui {

class QtLanguageHost;
class TreeBinder;

// The update window ("FunctionSet") on screen: the skin's "update.ui" bound to the logic's
// tree. Frameless and dragged by its background; a close from the window manager is handed to
// the logic, which closes it as its close button does.
class UpdateWindowView final : public QWidget {
    Q_OBJECT
  public:
    UpdateWindowView(const std::filesystem::path& skinFolder, QtLanguageHost& language,
                     ui::ControlTree& tree, std::function<void()> onClose);
    ~UpdateWindowView() override;

    bool ok() const { return ok_; }
    const std::string& error() const { return error_; }
    // Centred over the owner when it is on screen, else on the screen.
    void placeOver(const QWidget& owner);
    TreeBinder& binder() { return *binder_; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    std::unique_ptr<TreeBinder> binder_;
    std::function<void()> onClose_;
    bool ok_ = false;
    std::string error_;
    QPoint dragOffset_;
};

// The view as the logic moves it. Destroying it destroys the view at once: the view's binder
// refers to the logic's tree, which goes right after.
class UpdateWindowHost final : public app::WindowHost {
  public:
    explicit UpdateWindowHost(std::unique_ptr<UpdateWindowView> view) : view_(std::move(view)) {}

    void show() override;
    void hide() override { view_->hide(); }
    bool isVisible() const override { return view_->isVisible(); }
    bool isMinimised() const override { return view_->isMinimized(); }
    void minimise() override { view_->showMinimized(); }
    void maximise() override { view_->showNormal(); }
    void restore() override { view_->showNormal(); }
    void bringToFront() override;
    void invalidate() override { view_->update(); }

    UpdateWindowView& view() { return *view_; }

  private:
    std::unique_ptr<UpdateWindowView> view_;
};

}  // namespace korvane::gui
