#pragma once

#include "core/profiles/profile_index.h"

namespace korvane::app {
class MainWindow;
}

namespace korvane::profiles::operations {

// The program dialog of the link controls. Programs on this system carry no extension, so
// the dialog lists every file.
inline constexpr std::string_view kProgramFilter = "(*) | * ||";
inline constexpr std::string_view kMessageAlreadyLinked = "message_text_13";

// "selectchanged" of the list's link check box: checking it asks for a program (refused with
// "message_text_13" when a profile of the list is already linked to it), unchecking it or
// cancelling the dialog removes the selected profile's link. Main thread.
void OnLinkCheckChanged(app::MainWindow& main, ProfileList list);
// "click" of the link button: links the selected profile to the chosen program, without the
// test for another profile linked to it. A cancelled dialog changes nothing.
void OnLinkButton(app::MainWindow& main, ProfileList list);

}  // namespace korvane::profiles::operations
