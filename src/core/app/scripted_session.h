#pragma once

#include <istream>
#include <ostream>

#include "core/app/device_plugger.h"
#include "core/app/headless_app.h"

namespace korvane::app {

// Exit codes of a scripted session.
inline constexpr int kScriptDone = 0;
inline constexpr int kScriptBadLine = 2;
inline constexpr int kScriptTimedOut = 3;

// Drives a started HeadlessApp line by line (blank lines and '#' comments ignored):
//   plug MODEL | unplug MODEL          attach / remove a simulated device (needs a plugger)
//   consumer MODEL USAGE               that device sends a consumer report (0x0401, ...)
//   wait MS
//   wait-for CONTROL PROPERTY=VALUE [TIMEOUT_MS]   (default 5000 ms; CONTROL "window" is
//                                      the main window itself, property visible)
//   notify TYPE CONTROL [ARG]          a user's action on a control
//   tray left|right, menu ENTRY
//   answer N, hold                     next message box returns N / stays open until answered
//   file PATH | file -                 next file dialog returns PATH / is cancelled (the
//                                      import, export and link dialogs of the profile lists)
//   foreground PATH                    the program owning the foreground window: profiles
//                                      linked to it are selected while it stays in front
//   suspend, resume, activate
//   deactivate                         the window loses the activation (capture ends)
//   input key VK down|up [extended] [+MS]
//   input button left|right|middle|x1|x2 down|up [+MS]
//                                      a key or mouse button event of the desktop, as the
//                                      input hook would see it: VK is the virtual-key code
//                                      (decimal or 0x hex; 0x0D extended is the numeric-pad
//                                      Enter), +MS advances the event clock by MS ms from the
//                                      previous input line (default 0). Events reach the
//                                      program only while it captures (a key editor waiting
//                                      for a key, macro recording); otherwise they go nowhere.
//   print CONTROL                      one line: CONTROL visible= enabled= selected= value=
//                                      item= count= shown= text= (text last, as it stands)
//   items CONTROL                      one line per row of a list or combo box:
//                                      CONTROL[I] [cells=A|B|C] [data=D] text=T (a macro's
//                                      action rows: event|state or distance|delay in ms, and
//                                      the action text they stand for)
// shown=1 when a user can see the control: it and every ancestor are visible, and every tab
// layout above it shows the page that holds it (for "window": the window is visible). wait-for
// takes every property print shows, shown included.
// A CONTROL is the main window's; a name the main window lacks is looked for in the update
// window while it is open, and "update:NAME" names the update window's control (for names
// both windows have, such as closebtn); "update:window" is the update window itself.
// What the program itself says ("message KEY", "window shown", "pointer speed N",
// "wheel lines N") goes to the app's output.
// Writes "print" lines to out; errors (with the line number) to err. At the end a save to a
// device that is still on its way is let finish (the session waits while setting_progress
// shows, at most 60 s), then the app is shut down as "exit" does. Returns kScriptDone,
// kScriptBadLine or kScriptTimedOut.
int RunScript(HeadlessApp& app, DevicePlugger* plugger, std::istream& script, std::ostream& out,
              std::ostream& err);

}  // namespace korvane::app
