#include "backends/desktop/desktop_pointer_settings.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "core/platform/debug_line.h"
#include "core/platform/ini_file.h"
#include "core/platform/text.h"

extern char** environ;

namespace korvane::backends {
namespace {

constexpr std::string_view kGnomeMouseSchema = "org.gnome.desktop.peripherals.mouse";

// A desktop tool answers within milliseconds; one that hangs (a dead session bus) must not
// keep the program from exiting, which waits for the setting on its way.
constexpr std::chrono::milliseconds kDesktopToolLimit{1000};

// Blocks until the child has ended or the time is up; true when it has ended.
bool waitForEnd(pid_t pid, std::chrono::milliseconds limit) {
    const int ended = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    if (ended >= 0) {
        pollfd watch{ended, POLLIN, 0};
        int ready = 0;
        do {
            ready = poll(&watch, 1, static_cast<int>(limit.count()));
        } while (ready < 0 && errno == EINTR);
        close(ended);
        return ready > 0;
    }
    // Kernels before 5.3 have no process descriptors: look now and then, for this once.
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        siginfo_t info{};
        if (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0) {
            if (errno == EINTR) {
                continue;
            }
            return true;  // nothing left to wait for
        }
        if (info.si_pid != 0) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

// Runs a program with the given arguments (no shell), its output discarded; true when it
// ran and ended with 0 within the time limit (it is killed after that).
bool runQuietly(std::vector<std::string> arguments) {
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        return false;
    }
    const bool ended = waitForEnd(pid, kDesktopToolLimit);
    if (!ended) {
        kill(pid, SIGKILL);
        platform::debugLine("desktop setting tool " + arguments.front() +
                            " did not end in time and was stopped");
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            return false;
        }
    }
    return ended && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// One of KDE's files in the configuration folder, which a fresh account may not have yet.
platform::IniFile kdeFile(const std::filesystem::path& configHome, std::string_view name) {
    std::error_code ec;
    std::filesystem::create_directories(configHome, ec);
    return platform::IniFile(configHome / name);
}

}  // namespace

DesktopEnvironment DesktopEnvironment::fromProcess() {
    DesktopEnvironment environment;
    if (const char* current = std::getenv("XDG_CURRENT_DESKTOP")) {
        std::string_view rest(current);
        while (!rest.empty()) {
            const std::size_t colon = rest.find(':');
            if (colon != 0) {
                environment.desktops.emplace_back(rest.substr(0, colon));
            }
            rest = colon == std::string_view::npos ? std::string_view{} : rest.substr(colon + 1);
        }
    }
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && *config) {
        environment.configHome = config;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && *home) {
        environment.configHome = std::filesystem::path(home) / ".config";
    }
    return environment;
}

bool DesktopEnvironment::runs(std::string_view desktop) const {
    for (const std::string& name : desktops) {
        if (platform::equalsIgnoreCase(name, desktop)) {
            return true;
        }
    }
    return false;
}

double desktopAccelerationOf(int speed) {
    return (speed - 10) / 10.0;
}

std::string formatAcceleration(double value) {
    std::array<char, 32> buffer{};
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return error == std::errc{} ? std::string(buffer.data(), end) : std::string("0");
}

void DesktopPointerSettings::keepPointerSpeed(int speed) const {
    const std::string acceleration = formatAcceleration(desktopAccelerationOf(speed));
    if (environment_.runs("GNOME")) {
        if (!runQuietly(
                {"gsettings", "set", std::string(kGnomeMouseSchema), "speed", acceleration})) {
            platform::debugLine("GNOME mouse speed not set (no gsettings or no such schema)");
        }
    }
    if (environment_.runs("KDE") && !environment_.configHome.empty()) {
        platform::IniFile kcminput = kdeFile(environment_.configHome, "kcminputrc");
        if (!kcminput.writeString("Mouse", "XLbInptPointerAcceleration", acceleration)) {
            platform::debugLine("KDE pointer acceleration not written to kcminputrc");
        }
    }
}

bool DesktopPointerSettings::keepWheelLines(int lines) const {
    if (!environment_.runs("KDE") || environment_.configHome.empty()) {
        return false;
    }
    platform::IniFile kdeglobals = kdeFile(environment_.configHome, "kdeglobals");
    if (!kdeglobals.writeInt("KDE", "WheelScrollLines", lines)) {
        platform::debugLine("KDE wheel lines not written to kdeglobals");
    }
    return true;
}

}  // namespace korvane::backends
