#pragma once

#include <array>
#include <atomic>
#include <memory>
#include <string>
#include <string_view>

#include "core/platform/stop_event.h"
#include "core/profiles/profile_index.h"

namespace korvane::app {
class MainWindow;
}

namespace korvane::profiles::operations {

// Whether a link path names the program file in front: compared in full, ignoring case, as
// stored or with its symbolic links resolved (the dialog gives the path the user picked, the
// system the file that runs). Blank paths never match.
bool sameProgram(std::string_view linkPath, std::string_view programFile);

// The first position of the list whose link flag is exactly 1 and whose path names the
// program; -1 when none does, the program is empty or the index cannot be read.
long linkedPosition(const ProfileIndex& index, std::string_view programFile);

// The five link pollers (workers 10 to 14). Each sleeps until the program in front changes or
// its list asks to look again, reads its list's links off the main thread, and hands the
// position to select to the main thread: the linked profile while its program is in front,
// the user's own choice ("select") otherwise. The index is not written by them.
class LinkFollower : public std::enable_shared_from_this<LinkFollower> {
  public:
    explicit LinkFollower(app::MainWindow& main);

    // Gives the workers their bodies; call before "windowinit".
    void installWorkers();
    // The list's poller looks at the program in front again (after a selection or a link
    // change). Any thread.
    void recheck(ProfileList list);

  private:
    void run(ProfileList list, platform::StopEvent& stop);
    void follow(ProfileList list, long linked, const std::string& programFile);

    app::MainWindow& main_;
    std::array<std::atomic<bool>, kProfileListCount> pending_{};
};

}  // namespace korvane::profiles::operations
