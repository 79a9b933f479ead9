#include "gui/skin_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QThread>
#include <QVBoxLayout>

#include "core/ui/preview_buffer.h"
#include "gui/device_picture.h"

namespace korvane::gui {
namespace {

// The caption strip the user drags the window by.
constexpr int kCaptionHeight = 40;

}  // namespace

SkinWindow::SkinWindow(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
    setWindowTitle(QStringLiteral("Qv Korvane Gaming Software"));
    setFixedSize(800, 572);
    refresh_.setTimerType(Qt::PreciseTimer);
    connect(&refresh_, &QTimer::timeout, this, &SkinWindow::refreshPictures);
}

void SkinWindow::setContent(QWidget* content) {
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);
    box->addWidget(content);
}

void SkinWindow::setPictures(const ui::PreviewBuffer* preview,
                             std::vector<DevicePicture*> pictures) {
    preview_ = preview;
    pictures_ = std::move(pictures);
    updateRefresh();
}

void SkinWindow::centreOnScreen() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
}

void SkinWindow::closeEvent(QCloseEvent* event) {
    if (quitting_) {
        event->accept();
        return;
    }
    // The program lives on in the tray.
    event->ignore();
    hide();
}

void SkinWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    updateRefresh();
    Q_EMIT visibilityChanged(true, isMinimized());
}

void SkinWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    updateRefresh();
    Q_EMIT visibilityChanged(false, isMinimized());
}

void SkinWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        updateRefresh();
        Q_EMIT visibilityChanged(isVisible(), isMinimized());
    }
}

void SkinWindow::updateRefresh() {
    const bool onScreen =
        isVisible() && !isMinimized() && preview_ != nullptr && !pictures_.empty();
    if (onScreen && !refresh_.isActive()) {
        paintedGeneration_ = ~std::uint64_t{0};
        refresh_.start(kRefreshMs);
    } else if (!onScreen && refresh_.isActive()) {
        refresh_.stop();
    }
}

void SkinWindow::refreshPictures() {
    const std::uint64_t generation = preview_->generation();
    if (generation == paintedGeneration_) {
        return;
    }
    paintedGeneration_ = generation;
    for (DevicePicture* picture : pictures_) {
        // Pictures on pages that are not shown cost nothing.
        if (picture->isVisible()) {
            picture->refreshIfChanged();
        }
    }
}

void SkinWindow::mousePressEvent(QMouseEvent* event) {
    dragging_ = event->button() == Qt::LeftButton && event->position().y() < kCaptionHeight;
    dragOffset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

void SkinWindow::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_ && (event->buttons() & Qt::LeftButton) != 0) {
        move(event->globalPosition().toPoint() - dragOffset_);
    }
}

QtWindowHost::QtWindowHost(SkinWindow& window) : window_(window) {
    QObject::connect(&window_, &SkinWindow::visibilityChanged, &window_,
                     [this](bool visible, bool minimised) {
                         visible_ = visible;
                         minimised_ = minimised;
                         if (visible && onFirstShow_) {
                             auto once = std::move(onFirstShow_);
                             onFirstShow_ = {};
                             once();
                         }
                     });
}

void QtWindowHost::onMain(std::function<void()> fn) {
    if (QThread::currentThread() == window_.thread()) {
        fn();
    } else {
        QMetaObject::invokeMethod(&window_, std::move(fn), Qt::QueuedConnection);
    }
}

void QtWindowHost::show() {
    onMain([this] {
        window_.show();
        visible_ = true;
    });
}

void QtWindowHost::hide() {
    onMain([this] {
        window_.hide();
        visible_ = false;
    });
}

void QtWindowHost::minimise() {
    onMain([this] {
        window_.showMinimized();
        minimised_ = true;
    });
}

void QtWindowHost::maximise() {
    // The skin has a fixed size: maximising shows it at its size.
    onMain([this] {
        window_.showNormal();
        minimised_ = false;
    });
}

void QtWindowHost::restore() {
    onMain([this] {
        window_.showNormal();
        visible_ = true;
        minimised_ = false;
    });
}

void QtWindowHost::bringToFront() {
    onMain([this] {
        window_.raise();
        window_.activateWindow();
    });
}

void QtWindowHost::invalidate() {
    onMain([this] { window_.update(); });
}

}  // namespace korvane::gui
