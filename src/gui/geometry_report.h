#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <string>
#include <vector>

namespace korvane::ui {
class ControlTree;
}

namespace korvane::gui {

class TreeBinder;

// Where the tabs and pages of the window are on the screen, for scripts that drive the real
// window with pointer events (KORVANE_DEBUG_GEOMETRY=1). Whenever one of them is shown,
// hidden, moved or resized, and once the change has settled, writes one block to stderr:
//   geometry begin SEQ
//   geometry NAME X Y WIDTH HEIGHT      (global coordinates; only widgets the user can see)
//   geometry end SEQ
// The names are "window" (the main window), every tab button (a control with "tabLayout")
// and every page of a tab layout.
class GeometryReport final : public QObject {
    Q_OBJECT
  public:
    GeometryReport(const ui::ControlTree& tree, const TreeBinder& binder, QWidget& window,
                   QObject* parent = nullptr);

    // The variable asks for the report: set and not "0".
    static bool requested();
    // The block the report would write now (without sequence lines).
    std::string snapshot() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void watch(const std::string& name, QWidget* widget);
    void write();

    struct Watched {
        std::string name;
        QPointer<QWidget> widget;
    };
    std::vector<Watched> watched_;
    QTimer settle_;
    long sequence_ = 0;
};

}  // namespace korvane::gui
