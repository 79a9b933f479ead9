#include "core/platform/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <utility>

extern char** environ;

namespace korvane::platform {
namespace {

// Without a process descriptor the end of a program that closed its output early is
// looked for this often.
constexpr int kExitPollMs = 200;

class Pipe {
  public:
    Pipe() {
        if (pipe2(fds_.data(), O_CLOEXEC) != 0) {
            fds_ = {-1, -1};
        }
    }
    ~Pipe() {
        closeRead();
        closeWrite();
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;

    bool ok() const { return fds_[0] >= 0; }
    int read() const { return fds_[0]; }
    int write() const { return fds_[1]; }
    int releaseRead() { return std::exchange(fds_[0], -1); }
    void closeRead() { closeFd(fds_[0]); }
    void closeWrite() { closeFd(fds_[1]); }

  private:
    static void closeFd(int& fd) {
        if (fd >= 0) {
            ::close(fd);
            fd = -1;
        }
    }
    std::array<int, 2> fds_{-1, -1};
};

SpawnError errorOf(int code) {
    switch (code) {
        case ENOENT:
        case ENOTDIR:
            return SpawnError::Missing;
        case EACCES:
        case ENOEXEC:
        case EISDIR:
            return SpawnError::NotExecutable;
        default:
            return SpawnError::Failed;
    }
}

int openExitWatch(pid_t pid) {
#ifdef SYS_pidfd_open
    const long fd = syscall(SYS_pidfd_open, pid, 0);
    if (fd >= 0) {
        fcntl(static_cast<int>(fd), F_SETFD, FD_CLOEXEC);
        return static_cast<int>(fd);
    }
#endif
    (void)pid;
    return -1;
}

int statusOf(int status) {
    if (WIFEXITED(status)) {
        return WEXITSTATUS(status);
    }
    if (WIFSIGNALED(status)) {
        return 128 + WTERMSIG(status);
    }
    return -1;
}

}  // namespace

ChildProcess::ChildProcess(pid_t pid, int output, int exitWatch)
    : pid_(pid), output_(output), exitWatch_(exitWatch) {}

ChildProcess::~ChildProcess() {
    if (output_ >= 0) {
        ::close(output_);
    }
    if (exitWatch_ >= 0) {
        ::close(exitWatch_);
    }
    if (!reaped_) {
        // One that has ended is reaped now; one still running is left to the system.
        reap(false);
    }
}

std::unique_ptr<ChildProcess> ChildProcess::start(const std::filesystem::path& program,
                                                  const std::vector<std::string>& arguments,
                                                  const std::filesystem::path& workingFolder,
                                                  SpawnError& error) {
    struct stat info {};
    if (::stat(program.c_str(), &info) != 0) {
        error = errorOf(errno);
        return nullptr;
    }
    if (!S_ISREG(info.st_mode) || ::access(program.c_str(), X_OK) != 0) {
        error = SpawnError::NotExecutable;
        return nullptr;
    }
    Pipe output;
    if (!output.ok()) {
        error = SpawnError::Failed;
        return nullptr;
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, output.write(), STDOUT_FILENO);
    posix_spawn_file_actions_addchdir_np(&actions, workingFolder.c_str());
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
#endif
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // The program starts with default signal handling and nothing blocked, whatever the
    // starting thread had.
    sigset_t none;
    sigemptyset(&none);
    sigset_t all;
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    std::vector<std::string> argvText;
    argvText.reserve(arguments.size() + 1);
    argvText.push_back(program.string());
    argvText.insert(argvText.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& text : argvText) {
        argv.push_back(text.data());
    }
    argv.push_back(nullptr);

    pid_t pid = -1;
    const int code =
        posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    output.closeWrite();
    if (code != 0) {
        error = errorOf(code);
        return nullptr;
    }
    error = SpawnError::None;
    return std::unique_ptr<ChildProcess>(
        new ChildProcess(pid, output.releaseRead(), openExitWatch(pid)));
}

std::optional<int> ChildProcess::reap(bool block) {
    if (reaped_) {
        return std::nullopt;
    }
    int status = 0;
    pid_t done = -1;
    do {
        done = ::waitpid(pid_, &status, block ? 0 : WNOHANG);
    } while (done < 0 && errno == EINTR);
    if (done == pid_) {
        reaped_ = true;
        return statusOf(status);
    }
    if (done < 0) {
        // Reaped elsewhere: nothing more to learn about it.
        reaped_ = true;
        return -1;
    }
    return std::nullopt;
}

std::optional<int> ChildProcess::readLines(
    const StopEvent& stop, std::size_t maxLine,
    const std::function<void(std::string_view line)>& onLine) {
    Pipe wake;
    if (!wake.ok()) {
        return std::nullopt;
    }
    fcntl(wake.write(), F_SETFL, O_NONBLOCK);
    const int wakeFd = wake.write();
    ScopedWaker waker(stop, [wakeFd] {
        const char byte = 1;
        [[maybe_unused]] const ssize_t n = ::write(wakeFd, &byte, 1);
    });

    std::string line;
    bool overlong = false;
    const auto finishLine = [&] {
        if (!overlong) {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            onLine(line);
        }
        line.clear();
        overlong = false;
    };

    bool outputOpen = output_ >= 0;
    std::array<char, 512> chunk{};
    while (true) {
        std::array<pollfd, 2> fds{};
        nfds_t count = 0;
        if (outputOpen) {
            fds[count++] = {output_, POLLIN, 0};
        } else if (exitWatch_ >= 0) {
            fds[count++] = {exitWatch_, POLLIN, 0};
        }
        fds[count++] = {wake.read(), POLLIN, 0};
        const int timeout = outputOpen || exitWatch_ >= 0 ? -1 : kExitPollMs;
        if (::poll(fds.data(), count, timeout) < 0 && errno != EINTR) {
            return std::nullopt;
        }
        if (stop.isSet()) {
            return std::nullopt;
        }
        if (outputOpen && (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
            const ssize_t n = ::read(output_, chunk.data(), chunk.size());
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                outputOpen = false;
                if (!line.empty() || overlong) {
                    finishLine();
                }
                continue;
            }
            for (ssize_t i = 0; i < n; ++i) {
                const char c = chunk[static_cast<std::size_t>(i)];
                if (c == '\n') {
                    finishLine();
                } else if (!overlong) {
                    if (line.size() < maxLine) {
                        line.push_back(c);
                    } else {
                        overlong = true;
                        line.clear();
                    }
                }
            }
            continue;
        }
        if (!outputOpen) {
            if (const std::optional<int> status = reap(false)) {
                return status;
            }
        }
    }
}

}  // namespace korvane::platform
