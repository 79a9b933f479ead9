#pragma once

#include <QObject>

#include <functional>

namespace korvane::gui {

// System suspend and resume as logind announces them (PrepareForSleep on the system bus).
// Without a system bus or logind nothing is reported, and the lights keep flowing.
class PowerEvents final : public QObject {
    Q_OBJECT
  public:
    PowerEvents(std::function<void()> onSuspend, std::function<void()> onResume,
                QObject* parent = nullptr);
    bool listening() const { return listening_; }

  public Q_SLOTS:
    // logind's signal: true before sleeping, false after waking.
    void prepareForSleep(bool sleeping);

  private:
    std::function<void()> onSuspend_;
    std::function<void()> onResume_;
    bool listening_ = false;
};

}  // namespace korvane::gui
