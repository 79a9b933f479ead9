#pragma once

#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <vector>

namespace korvane::gui {

// A checkable push button: device tabs, option tabs, mode buttons.
class OptionButton final : public QPushButton {
    Q_OBJECT
  public:
    explicit OptionButton(QWidget* parent = nullptr);
};

// A colour picker: a hue/value field; a click picks the colour under the pointer.
class ColourPalette final : public QWidget {
    Q_OBJECT
  public:
    explicit ColourPalette(QWidget* parent = nullptr);
    std::uint32_t colour() const { return colour_; }
    // ARGB; shown as the marker, no signal.
    void setColour(std::uint32_t argb);
    // The colour at a point of the field (ARGB, opaque).
    std::uint32_t colourAt(QPoint point) const;

  Q_SIGNALS:
    void colourPicked(quint32 argb);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    std::uint32_t colour_ = 0xFF0199CB;
};

// "CCircleProgressUI", the CircleProgress tag: a progress ring.
class CircleProgress final : public QProgressBar {
    Q_OBJECT
  public:
    explicit CircleProgress(QWidget* parent = nullptr);
    // The swept angle in degrees for the current value: value / (maximum − minimum) × 360,
    // kept within one turn (an empty range sweeps nothing).
    double sweepDegrees() const;
    QColor backgroundColour() const;
    QColor foregroundColour() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
};

// "CChartViewUI": a chart of named values; the pie view is drawn, the histogram view is
// recognised (nothing in the program fills a chart).
class ChartView final : public QWidget {
    Q_OBJECT
  public:
    enum class View { Pie, Histogram };
    struct Item {
        QString name;
        double value = 0;
    };

    explicit ChartView(QWidget* parent = nullptr);
    // The attributes the skin may give (names as the skin writes them); false for others.
    bool setChartAttribute(const QString& name, const QString& value);
    void addItem(QString name, double value);
    void clearItems();

    View view() const { return view_; }
    const QString& shadowImage() const { return shadowImage_; }
    int shadowImageHeight() const { return shadowImageHeight_; }
    const QString& pillarImage() const { return pillarImage_; }
    int pillarImageWidth() const { return pillarImageWidth_; }
    bool showHtml() const { return showHtml_; }
    bool showText() const { return showText_; }
    int fontIndex() const { return font_; }
    const std::vector<Item>& items() const { return items_; }
    // The square the pie fills inside the widget.
    QRect pieRect() const;

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    View view_ = View::Pie;
    QString shadowImage_;
    int shadowImageHeight_ = 0;
    QString pillarImage_;
    int pillarImageWidth_ = 0;
    bool showHtml_ = false;
    bool showText_ = false;
    int font_ = -1;
    std::vector<Item> items_;
};

// "CWndUI": hosts a window of its own that follows the control's place and visibility.
class WindowHostWidget final : public QWidget {
    Q_OBJECT
  public:
    explicit WindowHostWidget(QWidget* parent = nullptr);
    void setHostedWindow(QWidget* window);
    QWidget* hostedWindow() const { return hosted_; }
    // Moves and shows or hides the hosted window to match this control.
    void follow();

  protected:
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    QPointer<QWidget> hosted_;
};

}  // namespace korvane::gui
