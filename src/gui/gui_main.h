#pragma once

#include "main/program_options.h"

namespace korvane::gui {

// The windowed program: one instance per user, the skinned main window hidden until a
// device connects or the tray icon is clicked, running until "exit" in the tray menu.
// Returns the process's exit code.
int runWindowed(const program::ProgramOptions& options, int argc, char** argv);

}  // namespace korvane::gui
