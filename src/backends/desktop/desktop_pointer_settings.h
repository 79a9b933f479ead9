#pragma once

// Desktops that keep their own pointer settings and put them back over ours (GNOME's
// settings daemon, KDE's input module at the next login) get the new values too; KDE is
// also the one desktop with a wheel-lines setting.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace korvane::backends {

struct DesktopEnvironment {
    // XDG_CURRENT_DESKTOP split at ':' ("ubuntu:GNOME" → ubuntu, GNOME).
    std::vector<std::string> desktops;
    // XDG_CONFIG_HOME, else ~/.config.
    std::filesystem::path configHome;

    static DesktopEnvironment fromProcess();
    // Case-insensitive.
    bool runs(std::string_view desktop) const;
};

// The value both desktops use for a speed 1..20: −1..1 with 10 as 0.
double desktopAccelerationOf(int speed);
// "0.5", "-0.9", "1": the shortest C-locale spelling whatever the program's locale.
std::string formatAcceleration(double value);

class DesktopPointerSettings {
  public:
    explicit DesktopPointerSettings(DesktopEnvironment environment)
        : environment_(std::move(environment)) {}

    // GNOME: org.gnome.desktop.peripherals.mouse speed through gsettings (nothing when the
    // schema is not installed); KDE: [Mouse] XLbInptPointerAcceleration in kcminputrc.
    void keepPointerSpeed(int speed) const;
    // KDE: [KDE] WheelScrollLines in kdeglobals. False when the desktop has no such setting.
    bool keepWheelLines(int lines) const;

  private:
    DesktopEnvironment environment_;
};

}  // namespace korvane::backends
