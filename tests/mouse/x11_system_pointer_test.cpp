// The desktop pointer on a real X server (an Xvfb of the test's own) and the desktops'
// own copies of the settings in a temporary configuration folder.

#include <gtest/gtest.h>

// Ours before X11's headers, whose macros (None, Status, Bool) would clash.
#include "backends/desktop/desktop_pointer_settings.h"
#include "backends/x11/x11_system_pointer.h"
#include "core/platform/debug_line.h"
#include "x11/xvfb_server.h"

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace korvane::backends {
namespace {

bool onPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::string_view rest = path != nullptr ? path : "";
    while (!rest.empty()) {
        const std::size_t colon = rest.find(':');
        const std::filesystem::path candidate =
            std::filesystem::path(std::string(rest.substr(0, colon))) / program;
        if (access(candidate.c_str(), X_OK) == 0) {
            return true;
        }
        rest = colon == std::string_view::npos ? std::string_view{} : rest.substr(colon + 1);
    }
    return false;
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class X11Pointer : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        server_ = new korvane::testing::XvfbServer();
        server_->start();
    }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
    }

    void SetUp() override {
        if (server_->display().empty()) {
            GTEST_SKIP() << "Xvfb is not available";
        }
        display_ = XOpenDisplay(server_->display().c_str());
        ASSERT_NE(display_, nullptr);
        floatType_ = XInternAtom(display_, "FLOAT", False);
        pointers_ = slavePointers();
        ASSERT_FALSE(pointers_.empty());
    }
    void TearDown() override {
        if (display_ != nullptr) {
            XCloseDisplay(display_);
        }
    }

    std::vector<int> slavePointers() const {
        std::vector<int> ids;
        int count = 0;
        XIDeviceInfo* devices = XIQueryDevice(display_, XIAllDevices, &count);
        for (int i = 0; i < count; ++i) {
            if (devices[i].use == XISlavePointer &&
                std::string_view(devices[i].name).find("XTEST") == std::string_view::npos) {
                ids.push_back(devices[i].deviceid);
            }
        }
        XIFreeDeviceInfo(devices);
        return ids;
    }

    std::optional<float> floatProperty(int device, const char* name) const {
        const Atom property = XInternAtom(display_, name, False);
        Atom type = None;
        int format = 0;
        unsigned long items = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        std::optional<float> value;
        if (XIGetProperty(display_, device, property, 0, 1, False, AnyPropertyType, &type, &format,
                          &items, &after, &data) == Success &&
            type == floatType_ && format == 32 && items == 1) {
            value = *reinterpret_cast<float*>(data);
        }
        if (data != nullptr) {
            XFree(data);
        }
        return value;
    }

    void setFloatProperty(int device, const char* name, float value) const {
        const Atom property = XInternAtom(display_, name, False);
        XIChangeProperty(display_, device, property, floatType_, 32, PropModeReplace,
                         reinterpret_cast<unsigned char*>(&value), 1);
        XSync(display_, False);
    }

    void deleteProperty(int device, const char* name) const {
        XIDeleteProperty(display_, device, XInternAtom(display_, name, False));
        XSync(display_, False);
    }

    X11SystemPointer pointer() const {
        return X11SystemPointer(server_->display(), DesktopPointerSettings(DesktopEnvironment{}));
    }

    static inline korvane::testing::XvfbServer* server_ = nullptr;
    Display* display_ = nullptr;
    Atom floatType_ = None;
    std::vector<int> pointers_;
};

constexpr const char* kLibinputSpeed = "libinput Accel Speed";
constexpr const char* kDeceleration = "Device Accel Constant Deceleration";

struct SpeedCase {
    int speed;
    float libinput;      // (speed − 10) / 10
    float deceleration;  // 10 / speed
};

class X11PointerSpeeds : public X11Pointer, public ::testing::WithParamInterface<SpeedCase> {};

TEST_P(X11PointerSpeeds, ALibinputPointerGetsItsAccelSpeed) {
    const int device = pointers_.front();
    setFloatProperty(device, kLibinputSpeed, 0.0F);
    const auto decelerationBefore = floatProperty(device, kDeceleration);
    pointer().setPointerSpeed(GetParam().speed);
    const auto speed = floatProperty(device, kLibinputSpeed);
    ASSERT_TRUE(speed);
    EXPECT_FLOAT_EQ(*speed, GetParam().libinput);
    EXPECT_EQ(floatProperty(device, kDeceleration), decelerationBefore)
        << "a libinput pointer keeps the older scheme's settings";
    deleteProperty(device, kLibinputSpeed);
}

TEST_P(X11PointerSpeeds, AnOlderPointerGetsAConstantDeceleration) {
    const int device = pointers_.front();
    ASSERT_TRUE(floatProperty(device, kDeceleration)) << "Xvfb's pointer has the older scheme";
    pointer().setPointerSpeed(GetParam().speed);
    const auto deceleration = floatProperty(device, kDeceleration);
    ASSERT_TRUE(deceleration);
    EXPECT_FLOAT_EQ(*deceleration, GetParam().deceleration);
}

INSTANTIATE_TEST_SUITE_P(Speeds, X11PointerSpeeds,
                         ::testing::Values(SpeedCase{1, -0.9F, 10.0F}, SpeedCase{5, -0.5F, 2.0F},
                                           SpeedCase{10, 0.0F, 1.0F},
                                           SpeedCase{15, 0.5F, 10.0F / 15},
                                           SpeedCase{20, 1.0F, 0.5F}));

// Collects the debug lines said while it lives.
class DebugLines {
  public:
    DebugLines() {
        platform::setDebugSink([this](std::string_view line) {
            std::lock_guard lock(mutex_);
            lines_.emplace_back(line);
        });
    }
    ~DebugLines() { platform::setDebugSink({}); }
    std::vector<std::string> lines() const {
        std::lock_guard lock(mutex_);
        return lines_;
    }

  private:
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
};

class TempConfig : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string tmpl =
            (std::filesystem::temp_directory_path() / "korvane-desktop-XXXXXX").string();
        ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
        home_ = tmpl;
    }
    void TearDown() override { std::filesystem::remove_all(home_); }

    DesktopEnvironment desktop(std::vector<std::string> names) const {
        return DesktopEnvironment{std::move(names), home_};
    }

    std::filesystem::path home_;
};

TEST_F(TempConfig, WithoutAnXDisplayNothingIsApplied) {
    DebugLines debug;
    // No server answers on this display; not even KDE's file is touched.
    X11SystemPointer pointer(":65000", DesktopPointerSettings(desktop({"KDE"})));
    pointer.setPointerSpeed(15);
    EXPECT_FALSE(std::filesystem::exists(home_ / "kcminputrc"));
    const auto lines = debug.lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("no X display"), std::string::npos) << lines[0];
}

TEST_F(TempConfig, KdeKeepsThePointerAccelerationAndTheWheelLines) {
    std::ofstream(home_ / "kdeglobals")
        << "[General]\nColorScheme=Breeze\n\n[KDE]\nSingleClick=false\n";
    const DesktopPointerSettings settings(desktop({"KDE"}));
    settings.keepPointerSpeed(15);
    EXPECT_TRUE(settings.keepWheelLines(7));
    const std::string kcminput = readFile(home_ / "kcminputrc");
    EXPECT_NE(kcminput.find("[Mouse]"), std::string::npos) << kcminput;
    EXPECT_NE(kcminput.find("XLbInptPointerAcceleration=0.5"), std::string::npos) << kcminput;
    const std::string globals = readFile(home_ / "kdeglobals");
    EXPECT_NE(globals.find("WheelScrollLines=7"), std::string::npos) << globals;
    EXPECT_NE(globals.find("ColorScheme=Breeze"), std::string::npos) << globals;
    EXPECT_NE(globals.find("SingleClick=false"), std::string::npos) << globals;
}

TEST_F(TempConfig, KdeOnAFreshAccountGetsItsConfigurationFolder) {
    const DesktopPointerSettings settings(DesktopEnvironment{{"KDE"}, home_ / "fresh" / ".config"});
    settings.keepPointerSpeed(4);
    EXPECT_TRUE(settings.keepWheelLines(9));
    EXPECT_NE(readFile(home_ / "fresh" / ".config" / "kcminputrc")
                  .find("XLbInptPointerAcceleration=-0.6"),
              std::string::npos);
    EXPECT_NE(readFile(home_ / "fresh" / ".config" / "kdeglobals").find("WheelScrollLines=9"),
              std::string::npos);
}

TEST_F(TempConfig, OtherDesktopsHaveNoWheelSettingAndKeepNoFiles) {
    const DesktopPointerSettings settings(desktop({"XFCE"}));
    settings.keepPointerSpeed(15);
    EXPECT_FALSE(settings.keepWheelLines(7));
    EXPECT_TRUE(std::filesystem::is_empty(home_));

    DebugLines debug;
    X11SystemPointer pointer(":65000", DesktopPointerSettings(desktop({"XFCE"})));
    pointer.setWheelLines(4);
    const auto lines = debug.lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("no such setting"), std::string::npos) << lines[0];
}

TEST_F(TempConfig, GnomeGetsItsMouseSpeedThroughGsettings) {
    if (!onPath("gsettings") || !onPath("glib-compile-schemas")) {
        GTEST_SKIP() << "gsettings is not available";
    }
    const std::filesystem::path schemas = home_ / "schemas";
    std::filesystem::create_directories(schemas);
    std::ofstream(schemas / "org.gnome.desktop.peripherals.gschema.xml")
        << "<schemalist><schema id=\"org.gnome.desktop.peripherals.mouse\" "
           "path=\"/org/gnome/desktop/peripherals/mouse/\">"
           "<key name=\"speed\" type=\"d\"><default>0</default></key>"
           "</schema></schemalist>\n";
    ASSERT_EQ(std::system(("glib-compile-schemas " + schemas.string()).c_str()), 0);
    setenv("GSETTINGS_SCHEMA_DIR", schemas.c_str(), 1);
    setenv("GSETTINGS_BACKEND", "keyfile", 1);
    setenv("XDG_CONFIG_HOME", home_.c_str(), 1);
    DesktopPointerSettings(desktop({"ubuntu", "GNOME"})).keepPointerSpeed(5);
    unsetenv("GSETTINGS_SCHEMA_DIR");
    unsetenv("GSETTINGS_BACKEND");
    unsetenv("XDG_CONFIG_HOME");
    const std::string keyfile = readFile(home_ / "glib-2.0" / "settings" / "keyfile");
    EXPECT_NE(keyfile.find("[org/gnome/desktop/peripherals/mouse]"), std::string::npos) << keyfile;
    EXPECT_NE(keyfile.find("speed=-0.5"), std::string::npos) << keyfile;
}

TEST_F(TempConfig, AGsettingsThatHangsIsStoppedSoTheProgramCanEnd) {
    // A stand-in that never ends on its own, as with a session bus that stopped answering.
    const std::filesystem::path bin = home_ / "bin";
    std::filesystem::create_directories(bin);
    const std::filesystem::path pidFile = home_ / "gsettings.pid";
    std::ofstream(bin / "gsettings")
        << "#!/bin/sh\necho $$ > '" << pidFile.string() << "'\nexec sleep 60\n";
    std::filesystem::permissions(bin / "gsettings", std::filesystem::perms::owner_all);
    const std::string path = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
    setenv("PATH", (bin.string() + ":" + path).c_str(), 1);
    DebugLines debug;
    const auto started = std::chrono::steady_clock::now();
    DesktopPointerSettings(desktop({"GNOME"})).keepPointerSpeed(5);
    const auto took = std::chrono::steady_clock::now() - started;
    setenv("PATH", path.c_str(), 1);

    // Well short of the stand-in's minute: it was stopped rather than waited for.
    EXPECT_LT(took, std::chrono::seconds(30));
    const std::string pid = readFile(pidFile);
    ASSERT_FALSE(pid.empty());
    EXPECT_NE(kill(std::stoi(pid), 0), 0) << "the stand-in is gone, not left running";
    bool said = false;
    for (const std::string& line : debug.lines()) {
        said = said || line.find("did not end in time") != std::string::npos;
    }
    EXPECT_TRUE(said);
}

TEST(DesktopEnvironment, NamesTheDesktopsOfTheSession) {
    setenv("XDG_CURRENT_DESKTOP", "ubuntu:GNOME", 1);
    const DesktopEnvironment environment = DesktopEnvironment::fromProcess();
    unsetenv("XDG_CURRENT_DESKTOP");
    EXPECT_TRUE(environment.runs("GNOME"));
    EXPECT_TRUE(environment.runs("gnome"));
    EXPECT_FALSE(environment.runs("KDE"));
}

}  // namespace
}  // namespace korvane::backends
