#pragma once

#include <QPoint>
#include <QTimer>
#include <QWidget>

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

#include "core/app/window_host.h"

namespace korvane::ui {
class PreviewBuffer;
}

namespace korvane::gui {

class DevicePicture;

// The main window: frameless (the skin draws its caption), a fixed size, hidden by the
// close button rather than closed. Repaints the device pictures from the preview buffer
// at display rate while it is on screen, and not at all while hidden or minimised.
class SkinWindow final : public QWidget {
    Q_OBJECT
  public:
    // 25 pictures a second: smooth for lights, and cheap enough to stay within 2 % of a core
    // with every device animating.
    static constexpr int kRefreshMs = 40;

    explicit SkinWindow(QWidget* parent = nullptr);

    void setContent(QWidget* content);
    void setPictures(const ui::PreviewBuffer* preview, std::vector<DevicePicture*> pictures);
    // Closing for real (the program ends); otherwise a close only hides.
    void setQuitting(bool quitting) { quitting_ = quitting; }
    bool refreshing() const { return refresh_.isActive(); }
    void centreOnScreen();

  Q_SIGNALS:
    void visibilityChanged(bool visible, bool minimised);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    void updateRefresh();
    void refreshPictures();

    QTimer refresh_;
    const ui::PreviewBuffer* preview_ = nullptr;
    std::vector<DevicePicture*> pictures_;
    std::uint64_t paintedGeneration_ = ~std::uint64_t{0};
    bool quitting_ = false;
    QPoint dragOffset_;
    bool dragging_ = false;
};

// The window as the logic moves it; calls from other threads are passed to the main thread.
class QtWindowHost final : public app::WindowHost {
  public:
    explicit QtWindowHost(SkinWindow& window);

    void show() override;
    void hide() override;
    bool isVisible() const override { return visible_.load(); }
    bool isMinimised() const override { return minimised_.load(); }
    void minimise() override;
    void maximise() override;
    void restore() override;
    void bringToFront() override;
    void invalidate() override;

    // Runs each time the window is shown the first time after start (for measurements).
    void setOnFirstShow(std::function<void()> onFirstShow) {
        onFirstShow_ = std::move(onFirstShow);
    }

  private:
    void onMain(std::function<void()> fn);

    SkinWindow& window_;
    std::atomic<bool> visible_{false};
    std::atomic<bool> minimised_{false};
    std::function<void()> onFirstShow_;
};

}  // namespace korvane::gui
