#pragma once

#include <QColor>
#include <QPixmap>
#include <QRegion>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "gui/picture_layouts.h"

namespace korvane::ui {
class ControlTree;
class Control;
class PreviewBuffer;
}  // namespace korvane::ui

namespace korvane::gui {

// "DevicePicture": paints a whole device (its keys or LEDs) in one pass. Each element is the
// named control keyPrefix + index of the tree; elements in colour-changer mode show the
// colours the effect threads leave in the preview buffer.
class DevicePicture final : public QWidget {
    Q_OBJECT
  public:
    explicit DevicePicture(QWidget* parent = nullptr);

    // Reads the skin's "keyPrefix", "keyCount" and "picture" properties and looks the key
    // controls up in the tree. Call after the skin is loaded; without a buffer the lights
    // stay dark.
    void attach(ui::ControlTree& tree, const ui::PreviewBuffer* preview);
    PictureKind kind() const { return kind_; }
    const QString& keyPrefix() const { return prefix_; }
    int keyCount() const { return static_cast<int>(keys_.size()); }
    // Where the buffer entries of this device begin.
    int previewBase() const;
    // Element under a point, if any.
    std::optional<int> keyAt(QPoint point) const;
    // The element's rectangle in widget coordinates (empty for no element).
    QRect keyRect(int index) const;
    // The colour an element shows now (transparent when dark).
    QColor keyColour(int index) const;
    // Repaints the elements whose colours differ from the ones it last painted, and only
    // those; effect threads often write the same frame again. True when it asked for a
    // repaint.
    bool refreshIfChanged();
    // What the last refresh asked to repaint.
    const QRegion& lastRefreshed() const { return lastRefreshed_; }
    // Counts paints, so the refresh rate can be checked.
    int paintCount() const { return paints_; }
    // A key's tool tip (its control's) is shown through this: tool tips are language keys,
    // or texts the program composed already.
    using Translate = std::function<QString(const std::string&)>;
    void setTranslate(Translate translate) { translate_ = std::move(translate); }

  Q_SIGNALS:
    void keyClicked(int index);

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void buildBackground();
    void releaseCache();
    QRectF cellRect(const PictureCell& cell) const;

    PictureKind kind_ = PictureKind::Keyboard;
    QString prefix_;
    std::vector<ui::Control*> keys_;
    const ui::PreviewBuffer* preview_ = nullptr;
    QColor backdrop_{16, 20, 28};
    QPixmap background_;
    QPixmap labels_;
    int paints_ = 0;
    std::vector<QRgb> shown_;  // per element, as last asked to be painted
    QRegion lastRefreshed_;
    Translate translate_;
};

}  // namespace korvane::gui
