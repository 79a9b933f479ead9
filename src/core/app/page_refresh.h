#pragma once

#include <functional>

#include "core/profiles/profile_index.h"

namespace korvane::app {

// What the editors redraw after a connection, a re-read or a profile selection. Each editor
// sets its own entry when it installs; an empty entry does nothing.
struct PageRefreshHooks {
    std::function<void()> keyboardLighting;
    std::function<void()> keyboardKeys;
    // Mouse lighting, DPI and key pages.
    std::function<void()> mousePages;
    std::function<void()> mouseKeys;
    std::function<void()> mousePadPage;
    // The cursor editor, after the mouse's own cursor sequences replaced the files.
    std::function<void()> cursorSequences;
    // After the user or a connection selected a profile of a list (not after a linked
    // program's selection): the link pollers look again at the program in front.
    std::function<void(profiles::ProfileList)> profileSelected;
};

inline void runRefresh(const std::function<void()>& refresh) {
    if (refresh) {
        refresh();
    }
}

}  // namespace korvane::app
