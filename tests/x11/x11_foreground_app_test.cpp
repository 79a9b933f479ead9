// The X11 watcher of the program in front, under an X server and window manager of the
// test's own. Skipped where Xvfb or the helper programs are not installed.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "backends/x11/x11_foreground_app.h"
#include "core/platform/stop_event.h"

extern char** environ;

namespace korvane::backends {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

std::optional<fs::path> onPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::string rest = path != nullptr ? path : "/usr/bin:/bin";
    while (!rest.empty()) {
        const auto colon = rest.find(':');
        const fs::path candidate = fs::path(rest.substr(0, colon)) / program;
        if (::access(candidate.c_str(), X_OK) == 0) {
            return fs::canonical(candidate);
        }
        rest = colon == std::string::npos ? "" : rest.substr(colon + 1);
    }
    return std::nullopt;
}

// A child process, ended by its id when the test ends.
class Child {
  public:
    Child(const std::vector<std::string>& argv, const std::string& display, int keepFd = -1) {
        std::vector<char*> args;
        for (const auto& a : argv) {
            args.push_back(const_cast<char*>(a.c_str()));
        }
        args.push_back(nullptr);
        std::vector<std::string> env;
        for (char** e = environ; *e != nullptr; ++e) {
            if (std::string(*e).rfind("DISPLAY=", 0) != 0) {
                env.emplace_back(*e);
            }
        }
        if (!display.empty()) {
            env.push_back("DISPLAY=" + display);
        }
        std::vector<char*> envp;
        for (auto& e : env) {
            envp.push_back(e.data());
        }
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        (void)keepFd;
        if (posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), envp.data()) != 0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
    }
    ~Child() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    pid_t pid() const { return pid_; }

  private:
    pid_t pid_ = -1;
};

// Runs a command with DISPLAY set and returns its first line of output.
std::string firstLine(const std::string& command, const std::string& display) {
    const std::string line = "DISPLAY=" + display + " " + command + " 2>/dev/null";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(line.c_str(), "r"), ::pclose);
    if (!pipe) {
        return {};
    }
    std::array<char, 256> buffer{};
    if (std::fgets(buffer.data(), buffer.size(), pipe.get()) == nullptr) {
        return {};
    }
    std::string text(buffer.data());
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
        text.pop_back();
    }
    return text;
}

class X11Foreground : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* program : {"Xvfb", "xdotool", "xprop", "xev", "xmessage"}) {
            if (!onPath(program)) {
                GTEST_SKIP() << program << " is not installed";
            }
        }
        std::array<int, 2> fds{};
        ASSERT_EQ(::pipe(fds.data()), 0);
        // Xvfb writes its display number to the inherited pipe end.
        server_ = std::make_unique<Child>(
            std::vector<std::string>{onPath("Xvfb")->string(), "-displayfd", std::to_string(fds[1]),
                                     "-noreset", "-nolisten", "tcp"},
            "");
        ::close(fds[1]);
        std::string number;
        char ch = 0;
        while (::read(fds[0], &ch, 1) == 1 && ch != '\n') {
            number += ch;
        }
        ::close(fds[0]);
        ASSERT_FALSE(number.empty()) << "Xvfb did not start";
        display_ = ":" + number;
    }

    void startWindowManager() {
        const auto openbox = onPath("openbox");
        if (!openbox) {
            GTEST_SKIP() << "openbox is not installed";
        }
        wm_ = std::make_unique<Child>(std::vector<std::string>{openbox->string()}, display_);
        ASSERT_TRUE(eventually([&] {
            return firstLine("xprop -root _NET_SUPPORTING_WM_CHECK", display_).find("window id") !=
                   std::string::npos;
        }));
    }

    // A window of another program; returns its window id.
    std::string openWindow(const std::string& program, const std::vector<std::string>& args,
                           const std::string& searchName) {
        std::vector<std::string> argv{onPath(program)->string()};
        argv.insert(argv.end(), args.begin(), args.end());
        clients_.push_back(std::make_unique<Child>(argv, display_));
        std::string window;
        eventually([&] {
            window = firstLine("xdotool search --name '" + searchName + "'", display_);
            return !window.empty();
        });
        return window;
    }

    static bool eventually(const std::function<bool()>& condition,
                           std::chrono::milliseconds limit = 5000ms) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (!condition()) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            platform::StopEvent().wait(20ms);
        }
        return true;
    }

    bool showsProgram(profiles::ForegroundApp& app, const fs::path& program) {
        return eventually([&] { return app.programFile() == program.string(); });
    }

    std::string display_;
    std::unique_ptr<Child> server_;
    std::unique_ptr<Child> wm_;
    std::vector<std::unique_ptr<Child>> clients_;
};

TEST_F(X11Foreground, FollowsTheActiveWindowOfAWindowManagerAndTellsItsListeners) {
    startWindowManager();
    auto app = makeX11ForegroundApp({display_});
    ASSERT_NE(app, nullptr);
    std::atomic<int> changes{0};
    const int subscription = app->subscribe([&changes] { ++changes; });

    const std::string events = openWindow("xev", {}, "Event Tester");
    const std::string message = openWindow("xmessage", {"hello"}, "^xmessage$");
    ASSERT_FALSE(events.empty());
    ASSERT_FALSE(message.empty());

    for (int round = 0; round < 2; ++round) {
        firstLine("xdotool windowactivate --sync " + events, display_);
        EXPECT_TRUE(showsProgram(*app, *onPath("xev"))) << app->programFile();
        firstLine("xdotool windowactivate --sync " + message, display_);
        EXPECT_TRUE(showsProgram(*app, *onPath("xmessage"))) << app->programFile();
    }
    EXPECT_GE(changes.load(), 4);
    app->unsubscribe(subscription);

    // Nothing changes while the same window stays in front: no listener call.
    const int before = changes.load();
    platform::StopEvent().wait(300ms);
    EXPECT_EQ(changes.load(), before);
}

TEST_F(X11Foreground, WithoutAWindowManagerTheInputFocusIsFollowed) {
    auto app = makeX11ForegroundApp({display_, 50ms, 100ms});
    ASSERT_NE(app, nullptr);
    const std::string events = openWindow("xev", {}, "Event Tester");
    const std::string message = openWindow("xmessage", {"hello"}, "^xmessage$");
    ASSERT_FALSE(events.empty());
    ASSERT_FALSE(message.empty());
    firstLine("xdotool windowfocus --sync " + events, display_);
    EXPECT_TRUE(showsProgram(*app, *onPath("xev"))) << app->programFile();
    firstLine("xdotool windowfocus --sync " + message, display_);
    EXPECT_TRUE(showsProgram(*app, *onPath("xmessage"))) << app->programFile();
}

TEST_F(X11Foreground, ADisplayThatCannotBeOpenedGivesNoWatcher) {
    EXPECT_EQ(makeX11ForegroundApp({":9999"}), nullptr);
}

}  // namespace
}  // namespace korvane::backends
