#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

extern char** environ;

namespace korvane::testing {

// An Xvfb of the test's own: `Xvfb -displayfd 3 -noreset`, which picks a free display number
// and writes it to fd 3. Stopped (by its PID) when the object goes.
class XvfbServer {
  public:
    XvfbServer() = default;
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;
    ~XvfbServer() { stop(); }

    // The Xvfb binary from PATH; none when it is not installed.
    static std::optional<std::filesystem::path> binary() {
        const char* path = std::getenv("PATH");
        std::string dirs = path != nullptr ? path : "/usr/bin:/bin";
        std::size_t start = 0;
        while (start <= dirs.size()) {
            const std::size_t end = dirs.find(':', start);
            const std::string dir =
                dirs.substr(start, end == std::string::npos ? std::string::npos : end - start);
            const std::filesystem::path candidate = std::filesystem::path(dir) / "Xvfb";
            if (!dir.empty() && access(candidate.c_str(), X_OK) == 0) {
                return candidate;
            }
            if (end == std::string::npos) {
                break;
            }
            start = end + 1;
        }
        return std::nullopt;
    }

    // Starts the server and waits (up to 10 s) for its display number.
    bool start() {
        const auto xvfb = binary();
        int fds[2];
        if (!xvfb || pipe2(fds, O_CLOEXEC) != 0) {
            return false;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        std::string program = xvfb->string();
        char* argv[] = {program.data(),
                        const_cast<char*>("-displayfd"),
                        const_cast<char*>("3"),
                        const_cast<char*>("-noreset"),
                        const_cast<char*>("-nolisten"),
                        const_cast<char*>("tcp"),
                        nullptr};
        const int spawned = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        if (spawned != 0) {
            pid_ = -1;
            close(fds[0]);
            return false;
        }
        std::string number;
        pollfd p{fds[0], POLLIN, 0};
        while (poll(&p, 1, 10000) > 0) {
            char c = 0;
            if (read(fds[0], &c, 1) != 1 || c == '\n') {
                break;
            }
            number += c;
        }
        close(fds[0]);
        if (number.empty()) {
            stop();
            return false;
        }
        display_ = ":" + number;
        return true;
    }

    void stop() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            int status = 0;
            waitpid(pid_, &status, 0);
            pid_ = -1;
        }
    }

    const std::string& display() const { return display_; }

  private:
    pid_t pid_ = -1;
    std::string display_;
};

}  // namespace korvane::testing
