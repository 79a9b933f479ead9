#pragma once

#include <atomic>
#include <functional>
#include <string_view>

#include "core/app/window_host.h"

namespace korvane::app {

// A window without a display: keeps visible/minimised and tells an observer about each
// change of visibility ("window shown" / "window hidden" in scripted sessions).
class HeadlessWindowHost final : public WindowHost {
  public:
    using Observer = std::function<void(bool visible)>;

    explicit HeadlessWindowHost(Observer observer = {}) : observer_(std::move(observer)) {}

    void show() override { setVisible(true); }
    void hide() override { setVisible(false); }
    bool isVisible() const override { return visible_; }
    bool isMinimised() const override { return minimised_; }
    void minimise() override { minimised_ = true; }
    void maximise() override { minimised_ = false; }
    void restore() override {
        minimised_ = false;
        setVisible(true);
    }
    void bringToFront() override { ++raised_; }
    void invalidate() override { ++invalidated_; }

    int raisedCount() const { return raised_; }
    int invalidatedCount() const { return invalidated_; }

  private:
    void setVisible(bool visible) {
        if (visible_.exchange(visible) != visible && observer_) {
            observer_(visible);
        }
    }

    Observer observer_;
    std::atomic<bool> visible_{false};
    std::atomic<bool> minimised_{false};
    std::atomic<int> raised_{0};
    std::atomic<int> invalidated_{0};
};

}  // namespace korvane::app
