#pragma once

#include <functional>

namespace korvane::app {

// What the editors redraw after a connection, a re-read or a profile selection. Each editor
// sets its own entry when it installs; an empty entry does nothing.
struct PageRefreshHooks {
    std::function<void()> keyboardLighting;
    std::function<void()> keyboardKeys;
    // Mouse lighting, DPI and key pages.
    std::function<void()> mousePages;
    std::function<void()> mouseKeys;
    // After a mouse light profile was selected: its pointer and wheel speed go to the desktop.
    std::function<void()> mouseProfileSelected;
    std::function<void()> mousePadPage;
    // The cursor editor, after the mouse's own cursor sequences replaced the files.
    std::function<void()> cursorSequences;
};

inline void runRefresh(const std::function<void()>& refresh) {
    if (refresh) {
        refresh();
    }
}

}  // namespace korvane::app
