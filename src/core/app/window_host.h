#pragma once

namespace korvane::app {

// The top-level window as the logic moves it around. The Qt front end implements it on
// the real window; HeadlessWindowHost keeps the state for scripted sessions and tests.
class WindowHost {
  public:
    virtual ~WindowHost() = default;
    virtual void show() = 0;
    virtual void hide() = 0;
    virtual bool isVisible() const = 0;
    virtual bool isMinimised() const = 0;
    virtual void minimise() = 0;
    virtual void maximise() = 0;
    virtual void restore() = 0;
    // Raised above other windows for a moment (topmost, then not), without moving it.
    virtual void bringToFront() = 0;
    // Repaint everything and let the layout update.
    virtual void invalidate() = 0;
};

}  // namespace korvane::app
