#include "gui/skin_widgets.h"

#include <QDynamicPropertyChangeEvent>
#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <array>
#include <cmath>

namespace korvane::gui {
namespace {

QColor fromArgb(std::uint32_t argb) {
    return QColor::fromRgba(static_cast<QRgb>(argb));
}

// Slice colours of the pie, taken in turn.
constexpr std::array<QRgb, 18> kChartColours{
    0xFF1E90FF, 0xFFFF8C00, 0xFF32CD32, 0xFFDC143C, 0xFF9370DB, 0xFF00CED1,
    0xFFFFD700, 0xFFFF69B4, 0xFF8B4513, 0xFF708090, 0xFF00FA9A, 0xFFB22222,
    0xFF4682B4, 0xFFDAA520, 0xFF6B8E23, 0xFFBA55D3, 0xFF20B2AA, 0xFFCD5C5C};

}  // namespace

OptionButton::OptionButton(QWidget* parent) : QPushButton(parent) {
    setCheckable(true);
}

// ---------------------------------------------------------------- ColourPalette

ColourPalette::ColourPalette(QWidget* parent) : QWidget(parent) {
    setCursor(Qt::CrossCursor);
    setMinimumSize(16, 16);
}

void ColourPalette::setColour(std::uint32_t argb) {
    if (colour_ != argb) {
        colour_ = argb;
        update();
    }
}

std::uint32_t ColourPalette::colourAt(QPoint point) const {
    const int w = std::max(1, width() - 1);
    const int h = std::max(1, height() - 1);
    const double hue = std::clamp(point.x(), 0, w) / static_cast<double>(w);
    // Top half: full saturation from white; bottom half: full value down to black.
    const double y = std::clamp(point.y(), 0, h) / static_cast<double>(h);
    const double saturation = y < 0.5 ? y * 2.0 : 1.0;
    const double value = y < 0.5 ? 1.0 : 1.0 - (y - 0.5) * 2.0;
    const QColor c = QColor::fromHsvF(std::min(hue, 0.9999), saturation, value);
    return static_cast<std::uint32_t>(c.rgba()) | 0xFF000000u;
}

void ColourPalette::paintEvent(QPaintEvent* /*event*/) {
    QPainter p(this);
    QLinearGradient hues(0, 0, width(), 0);
    for (int i = 0; i <= 6; ++i) {
        hues.setColorAt(i / 6.0, QColor::fromHsvF(std::min(i / 6.0, 0.9999), 1.0, 1.0));
    }
    p.fillRect(rect(), hues);
    QLinearGradient shade(0, 0, 0, height());
    shade.setColorAt(0.0, QColor(255, 255, 255, 255));
    shade.setColorAt(0.5, QColor(255, 255, 255, 0));
    shade.setColorAt(0.5001, QColor(0, 0, 0, 0));
    shade.setColorAt(1.0, QColor(0, 0, 0, 255));
    p.fillRect(rect(), shade);
    p.setPen(QPen(Qt::white, 2));
    p.setBrush(fromArgb(colour_));
    p.drawRect(width() - 18, height() - 18, 14, 14);
}

void ColourPalette::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        setColour(colourAt(event->position().toPoint()));
        Q_EMIT colourPicked(colour_);
    }
}

void ColourPalette::mouseMoveEvent(QMouseEvent* event) {
    if ((event->buttons() & Qt::LeftButton) != 0) {
        setColour(colourAt(event->position().toPoint()));
        Q_EMIT colourPicked(colour_);
    }
}

// ---------------------------------------------------------------- CircleProgress

CircleProgress::CircleProgress(QWidget* parent) : QProgressBar(parent) {
    setTextVisible(false);
}

double CircleProgress::sweepDegrees() const {
    const int span = maximum() - minimum();
    if (span <= 0) {
        return 0.0;
    }
    return std::clamp(static_cast<double>(value()) / span * 360.0, 0.0, 360.0);
}

QColor CircleProgress::backgroundColour() const {
    const QVariant v = property("bkcolor");
    return v.isValid() ? fromArgb(v.toString().toUInt(nullptr, 0)) : QColor(0xFF3A3A3A);
}

QColor CircleProgress::foregroundColour() const {
    const QVariant v = property("forecolor");
    return v.isValid() ? fromArgb(v.toString().toUInt(nullptr, 0)) : QColor(0xFF0199CB);
}

void CircleProgress::paintEvent(QPaintEvent* /*event*/) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    const QRectF r = rect();
    p.setBrush(backgroundColour());
    p.drawPie(r, 0, 360 * 16);
    // Clockwise from the bottom, as the ring has always been drawn.
    p.setBrush(foregroundColour());
    p.drawPie(r, -90 * 16, static_cast<int>(-sweepDegrees() * 16));
    p.setBrush(Qt::white);
    p.drawEllipse(r.adjusted(10, 10, -10, -10));
}

// ---------------------------------------------------------------- ChartView

ChartView::ChartView(QWidget* parent) : QWidget(parent) {}

bool ChartView::setChartAttribute(const QString& name, const QString& value) {
    if (name == QLatin1String("view")) {
        if (value == QLatin1String("pie")) {
            view_ = View::Pie;
        } else if (value == QLatin1String("histpgram")) {
            view_ = View::Histogram;
        }
    } else if (name == QLatin1String("shadowimage")) {
        shadowImage_ = value;
    } else if (name == QLatin1String("shadowimageheight")) {
        shadowImageHeight_ = value.toInt();
    } else if (name == QLatin1String("pillarimage")) {
        pillarImage_ = value;
    } else if (name == QLatin1String("pillarimagewidth")) {
        pillarImageWidth_ = value.toInt();
    } else if (name == QLatin1String("showhtml")) {
        showHtml_ = value == QLatin1String("true");
    } else if (name == QLatin1String("showtext")) {
        showText_ = value == QLatin1String("true");
    } else if (name == QLatin1String("font")) {
        font_ = value.toInt();
    } else {
        return false;
    }
    update();
    return true;
}

bool ChartView::event(QEvent* event) {
    if (event->type() == QEvent::DynamicPropertyChange) {
        const auto* change = static_cast<QDynamicPropertyChangeEvent*>(event);
        const QString name = QString::fromLatin1(change->propertyName());
        setChartAttribute(name, property(change->propertyName()).toString());
    }
    return QWidget::event(event);
}

void ChartView::addItem(QString name, double value) {
    items_.push_back({std::move(name), value});
    update();
}

void ChartView::clearItems() {
    items_.clear();
    update();
}

QRect ChartView::pieRect() const {
    const int legend = showText_ ? 100 : 0;
    const int side = std::max(0, std::min(width() - 10 - legend, height() - 10));
    const int x = (width() - legend - side) / 2;
    const int y = (height() - side) / 2;
    return {x, y, side, side};
}

void ChartView::paintEvent(QPaintEvent* /*event*/) {
    if (items_.empty() || view_ != View::Pie) {
        return;
    }
    double sum = 0;
    for (const Item& item : items_) {
        sum += std::max(0.0, item.value);
    }
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRect pie = pieRect();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor::fromRgba(0x1E1E1E1E));
    p.drawEllipse(pie.adjusted(-4, -4, 4, 4));
    p.setBrush(QColor::fromRgba(0x64646464));
    p.drawEllipse(pie.adjusted(-2, -2, 2, 2));
    double start = 0;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        const double span = sum > 0 ? std::max(0.0, items_[i].value) / sum * 360.0 : 0.0;
        p.setBrush(QColor::fromRgba(kChartColours[i % kChartColours.size()]));
        p.drawPie(pie, static_cast<int>(-start * 16), static_cast<int>(-span * 16));
        start += span;
    }
    if (showText_) {
        const int lines = static_cast<int>(items_.size());
        int y = (height() - lines * 22) / 2;
        const int x = pie.right() + 12;
        p.setPen(palette().color(QPalette::WindowText));
        for (std::size_t i = 0; i < items_.size(); ++i, y += 22) {
            p.fillRect(x, y, 18, 18, QColor::fromRgba(kChartColours[i % kChartColours.size()]));
            p.drawText(QRect(x + 24, y, width() - x - 24, 18), Qt::AlignVCenter, items_[i].name);
        }
    }
}

// ---------------------------------------------------------------- WindowHostWidget

WindowHostWidget::WindowHostWidget(QWidget* parent) : QWidget(parent) {}

void WindowHostWidget::setHostedWindow(QWidget* window) {
    hosted_ = window;
    follow();
}

void WindowHostWidget::follow() {
    if (hosted_ == nullptr) {
        return;
    }
    QRect target = rect();
    if (hosted_->isWindow()) {
        target.moveTopLeft(mapToGlobal(QPoint(0, 0)));
    } else if (hosted_->parentWidget() != nullptr) {
        target.moveTopLeft(mapTo(window(), QPoint(0, 0)));
        target.moveTopLeft(hosted_->parentWidget()->mapFrom(window(), target.topLeft()));
    }
    hosted_->setGeometry(target);
    hosted_->setVisible(isVisible());
}

void WindowHostWidget::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    follow();
}

void WindowHostWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    follow();
}

void WindowHostWidget::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    follow();
}

void WindowHostWidget::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    follow();
}

}  // namespace korvane::gui
