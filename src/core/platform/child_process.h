#pragma once

#include <sys/types.h>

#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/stop_event.h"

namespace korvane::platform {

enum class SpawnError {
    None,
    Missing,        // no such file
    NotExecutable,  // not a regular file, or not executable by this user
    Failed,         // anything else the system refused
};

// A program this process started, its standard output on a pipe. Destroying it closes the
// pipe without stopping the program (an updater goes on after the window that started it).
class ChildProcess {
  public:
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts program directly (no shell) with the arguments after its own name, in the working
    // folder, its input from /dev/null, its error output shared with ours and no other
    // descriptor of ours. Null with the reason when it cannot be started.
    static std::unique_ptr<ChildProcess> start(const std::filesystem::path& program,
                                               const std::vector<std::string>& arguments,
                                               const std::filesystem::path& workingFolder,
                                               SpawnError& error);

    pid_t pid() const { return pid_; }

    // Hands each line of the program's output to onLine (without its line end), blocking until
    // the program has closed its output and ended, or stop is set. Lines longer than maxLine
    // bytes are dropped whole. Returns the exit status (128 + signal number for a program
    // killed by a signal), or nothing when stop ended the reading first.
    std::optional<int> readLines(const StopEvent& stop, std::size_t maxLine,
                                 const std::function<void(std::string_view line)>& onLine);

  private:
    ChildProcess(pid_t pid, int output, int exitWatch);
    std::optional<int> reap(bool block);

    pid_t pid_;
    int output_;
    int exitWatch_;  // readable once the program has ended; -1 where the system has none
    bool reaped_ = false;
};

}  // namespace korvane::platform
