#include "gui/update_window_view.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QVBoxLayout>

#include "core/update/update_window.h"
#include "gui/skin_loader.h"
#include "gui/tree_binder.h"

namespace korvane::gui {

UpdateWindowView::UpdateWindowView(const std::filesystem::path& skinFolder,
                                   QtLanguageHost& language, ui::ControlTree& tree,
                                   std::function<void()> onClose)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), onClose_(std::move(onClose)) {
    setObjectName(QStringLiteral("FunctionSet"));
    SkinLoader loader(skinFolder);
    QWidget* content = loader.loadWindow(update::kUpdateWindowSkin, this, error_);
    if (content == nullptr) {
        return;
    }
    setWindowTitle(content->windowTitle());
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->addWidget(content);
    setFixedSize(content->size());
    binder_ = std::make_unique<TreeBinder>(tree, language, skinFolder, this);
    binder_->bind(content);
    ok_ = true;
}

UpdateWindowView::~UpdateWindowView() = default;

void UpdateWindowView::placeOver(const QWidget& owner) {
    if (owner.isVisible()) {
        move(owner.geometry().center() - rect().center());
    } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

void UpdateWindowView::closeEvent(QCloseEvent* event) {
    // The logic closes the window (and ends its readback) as its close button does.
    event->ignore();
    if (onClose_) {
        onClose_();
    }
}

void UpdateWindowView::mousePressEvent(QMouseEvent* event) {
    dragOffset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

void UpdateWindowView::mouseMoveEvent(QMouseEvent* event) {
    if ((event->buttons() & Qt::LeftButton) != 0) {
        move(event->globalPosition().toPoint() - dragOffset_);
    }
}

void UpdateWindowHost::show() {
    if (view_->isMinimized()) {
        view_->showNormal();
    } else {
        view_->show();
    }
}

void UpdateWindowHost::bringToFront() {
    view_->raise();
    view_->activateWindow();
}

}  // namespace korvane::gui
