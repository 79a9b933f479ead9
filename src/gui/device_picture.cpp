#include "gui/device_picture.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>

#include <algorithm>

#include "core/ui/control.h"
#include "core/ui/control_tree.h"
#include "core/ui/preview_buffer.h"

namespace korvane::gui {
namespace {

// More keys than any device has is a skin fault, not a reason to allocate.
constexpr int kMaxKeys = 256;

QColor fromPacked(std::uint32_t packed, std::uint8_t alpha) {
    // Picture colours are packed green, blue, red from the top byte down.
    return {static_cast<int>(packed & 0xFF), static_cast<int>((packed >> 16) & 0xFF),
            static_cast<int>((packed >> 8) & 0xFF), alpha};
}

}  // namespace

PictureLayout layoutOf(PictureKind kind) {
    switch (kind) {
        case PictureKind::Keyboard:
            return {kKeyboardCells, kKeyboardGridWidth, kKeyboardGridHeight};
        case PictureKind::Mouse:
            return {kMouseCells, 100, 100};
        case PictureKind::MousePad:
            return {kMousePadCells, 100, 100};
    }
    return {kKeyboardCells, kKeyboardGridWidth, kKeyboardGridHeight};
}

PictureKind pictureKindOf(std::string_view picture) {
    if (picture.starts_with("mousepad")) {
        return PictureKind::MousePad;
    }
    if (picture.starts_with("mouse")) {
        return PictureKind::Mouse;
    }
    return PictureKind::Keyboard;
}

DevicePicture::DevicePicture(QWidget* parent) : QWidget(parent) {
    // Painting the picture's own backdrop spares Qt repainting the window's background
    // image under it on every frame.
    setAttribute(Qt::WA_OpaquePaintEvent, true);
}

void DevicePicture::attach(ui::ControlTree& tree, const ui::PreviewBuffer* preview) {
    preview_ = preview;
    prefix_ = property("keyPrefix").toString();
    kind_ = pictureKindOf(property("picture").toString().toStdString());
    const int count = std::clamp(property("keyCount").toInt(), 0, kMaxKeys);
    keys_.assign(static_cast<std::size_t>(count), nullptr);
    for (int i = 0; i < count; ++i) {
        keys_[static_cast<std::size_t>(i)] = tree.findIndexed(prefix_.toStdString(), i);
    }
    // The skin may give the colour behind the device ("backdrop", ARGB).
    bool ok = false;
    const uint backdrop = property("backdrop").toString().toUInt(&ok, 0);
    if (ok) {
        backdrop_ = QColor::fromRgba(backdrop);
    }
    releaseCache();
    shown_.clear();
    update();
}

int DevicePicture::previewBase() const {
    switch (kind_) {
        case PictureKind::Keyboard:
            return ui::PreviewBuffer::kKeyboardBase;
        case PictureKind::Mouse:
            return ui::PreviewBuffer::kMouseBase;
        case PictureKind::MousePad:
            return ui::PreviewBuffer::kMousePadBase;
    }
    return 0;
}

QRectF DevicePicture::cellRect(const PictureCell& cell) const {
    const PictureLayout layout = layoutOf(kind_);
    const double scale = std::min(width() / static_cast<double>(layout.gridWidth),
                                  height() / static_cast<double>(layout.gridHeight));
    const double left = (width() - layout.gridWidth * scale) / 2.0;
    const double top = (height() - layout.gridHeight * scale) / 2.0;
    return {left + cell.x * scale, top + cell.y * scale, cell.w * scale, cell.h * scale};
}

QRect DevicePicture::keyRect(int index) const {
    const PictureLayout layout = layoutOf(kind_);
    if (index < 0 || index >= static_cast<int>(layout.cells.size()) ||
        layout.cells[static_cast<std::size_t>(index)].w == 0) {
        return {};
    }
    return cellRect(layout.cells[static_cast<std::size_t>(index)]).toAlignedRect();
}

std::optional<int> DevicePicture::keyAt(QPoint point) const {
    const PictureLayout layout = layoutOf(kind_);
    const int n = std::min(static_cast<int>(layout.cells.size()), keyCount());
    for (int i = 0; i < n; ++i) {
        const PictureCell& cell = layout.cells[static_cast<std::size_t>(i)];
        if (cell.w != 0 && cellRect(cell).contains(point)) {
            return i;
        }
    }
    return std::nullopt;
}

QColor DevicePicture::keyColour(int index) const {
    if (index < 0 || index >= keyCount()) {
        return Qt::transparent;
    }
    const ui::Control* key = keys_[static_cast<std::size_t>(index)];
    if (key != nullptr && key->changerMode() && preview_ != nullptr) {
        const ui::PreviewBuffer::Entry entry = preview_->get(previewBase() + index);
        return fromPacked(entry.colour, entry.alpha);
    }
    if (key != nullptr && key->bkColor() != 0) {
        return QColor::fromRgba(key->bkColor());
    }
    return Qt::transparent;
}

bool DevicePicture::refreshIfChanged() {
    const bool first = shown_.size() != keys_.size();
    if (first) {
        shown_.assign(keys_.size(), 0);
    }
    QRegion changed;
    for (int i = 0; i < keyCount(); ++i) {
        const QRgb colour = keyColour(i).rgba();
        QRgb& shown = shown_[static_cast<std::size_t>(i)];
        if (first || colour != shown) {
            shown = colour;
            changed += keyRect(i);
        }
    }
    lastRefreshed_ = changed;
    if (changed.isEmpty()) {
        return false;
    }
    update(changed);
    return true;
}

void DevicePicture::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    releaseCache();
    shown_.clear();  // every element moved: the next refresh repaints them all
}

// Pictures of pages not on screen keep no pixmaps: there are nine of them.
void DevicePicture::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    releaseCache();
}

void DevicePicture::releaseCache() {
    background_ = QPixmap();
    labels_ = QPixmap();
}

// The body and the dark key caps do not change with the lights: draw them once per size.
void DevicePicture::buildBackground() {
    if (width() <= 0 || height() <= 0) {
        return;
    }
    const qreal ratio = devicePixelRatioF();
    background_ = QPixmap(size() * ratio);
    background_.setDevicePixelRatio(ratio);
    // Opaque, backdrop included: each frame starts with a plain copy.
    background_.fill(backdrop_);
    labels_ = QPixmap(size() * ratio);
    labels_.setDevicePixelRatio(ratio);
    labels_.fill(Qt::transparent);
    const PictureLayout layout = layoutOf(kind_);
    QPainter p(&background_);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF all = cellRect({0, 0, static_cast<std::int16_t>(layout.gridWidth),
                                 static_cast<std::int16_t>(layout.gridHeight), ""});
    p.setPen(QPen(QColor(70, 70, 78), 2));
    p.setBrush(QColor(24, 24, 28));
    switch (kind_) {
        case PictureKind::Keyboard:
            p.drawRoundedRect(all.adjusted(-6, -6, 6, 6), 8, 8);
            break;
        case PictureKind::Mouse: {
            QPainterPath body;
            body.addRoundedRect(all.adjusted(all.width() * 0.22, all.height() * 0.04,
                                             -all.width() * 0.22, -all.height() * 0.04),
                                all.width() * 0.26, all.height() * 0.22);
            p.drawPath(body);
            p.drawLine(QPointF(all.center().x(), all.top() + all.height() * 0.05),
                       QPointF(all.center().x(), all.top() + all.height() * 0.38));
            break;
        }
        case PictureKind::MousePad:
            p.drawRoundedRect(all.adjusted(1, 1, -1, -1), 10, 10);
            break;
    }
    p.setPen(QPen(QColor(60, 60, 66), 1));
    p.setBrush(QColor(40, 40, 46));
    QPainter text(&labels_);
    text.setPen(QColor(225, 225, 230));
    QFont font = this->font();
    font.setPixelSize(std::max(7, static_cast<int>(cellRect({0, 0, 4, 4, ""}).height() / 3.2)));
    text.setFont(font);
    const int n = std::min(static_cast<int>(layout.cells.size()), keyCount());
    for (int i = 0; i < n; ++i) {
        const PictureCell& cell = layout.cells[static_cast<std::size_t>(i)];
        if (cell.w == 0) {
            continue;
        }
        const QRectF r = cellRect(cell).adjusted(1, 1, -1, -1);
        p.drawRoundedRect(r, 3, 3);
        if (!cell.label.empty()) {
            text.drawText(
                r, Qt::AlignCenter,
                QString::fromUtf8(cell.label.data(), static_cast<qsizetype>(cell.label.size())));
        }
    }
}

void DevicePicture::paintEvent(QPaintEvent* event) {
    ++paints_;
    if (background_.isNull()) {
        buildBackground();
    }
    // The painter clips to the region asked for; elements outside it are not drawn at all.
    const QRegion& region = event->region();
    QPainter p(this);
    p.drawPixmap(0, 0, background_);
    const PictureLayout layout = layoutOf(kind_);
    const int n = std::min(static_cast<int>(layout.cells.size()), keyCount());
    p.setPen(Qt::NoPen);
    for (int i = 0; i < n; ++i) {
        const PictureCell& cell = layout.cells[static_cast<std::size_t>(i)];
        if (cell.w == 0) {
            continue;
        }
        const QRectF r = cellRect(cell).adjusted(2, 2, -2, -2);
        if (!region.intersects(r.toAlignedRect())) {
            continue;
        }
        const QColor colour = keyColour(i);
        if (colour.alpha() != 0) {
            p.fillRect(r, colour);
        }
        const ui::Control* key = keys_[static_cast<std::size_t>(i)];
        if (key != nullptr && key->selected()) {
            p.setPen(QPen(QColor(1, 153, 203), 2));
            p.setBrush(Qt::NoBrush);
            p.drawRect(r);
            p.setPen(Qt::NoPen);
        }
    }
    p.drawPixmap(0, 0, labels_);
}

bool DevicePicture::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip) {
        return QWidget::event(event);
    }
    const auto* help = static_cast<QHelpEvent*>(event);
    const auto key = keyAt(help->pos());
    const ui::Control* control =
        key && *key < keyCount() ? keys_[static_cast<std::size_t>(*key)] : nullptr;
    if (control == nullptr || control->toolTip().empty()) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    const QString text =
        translate_ ? translate_(control->toolTip()) : QString::fromStdString(control->toolTip());
    QToolTip::showText(help->globalPos(), text, this, keyRect(*key));
    return true;
}

void DevicePicture::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    if (const auto key = keyAt(event->position().toPoint())) {
        Q_EMIT keyClicked(*key);
    }
}

}  // namespace korvane::gui
