// Writes the default profile and cursor files that ship in the program folder, from the
// readable factory settings in defaults.ini and the factory base key tables.
//
//   korvane_make_defaults <defaults.ini> <output folder>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/device/device_kind.h"
#include "core/keys/factory_tables.h"
#include "core/lighting/keyboard_light_payload.h"
#include "core/lighting/light_records.h"
#include "core/platform/atomic_file.h"
#include "core/platform/ini_file.h"
#include "core/platform/text.h"
#include "core/profiles/default_files.h"
#include "core/profiles/profile_file.h"
#include "core/profiles/profile_store.h"

namespace {

namespace fs = std::filesystem;
using korvane::device::DeviceKind;
namespace lighting = korvane::lighting;
namespace platform = korvane::platform;
namespace profiles = korvane::profiles;

class Source {
  public:
    explicit Source(fs::path path) : ini_(std::move(path)) {}

    std::string text(std::string_view section, std::string_view key) const {
        // A value no real entry has tells a missing key from one that reads "0".
        constexpr std::string_view kMissing = "\x01missing";
        std::string value = ini_.readString(section, key, kMissing);
        if (value == kMissing) {
            throw std::runtime_error("missing [" + std::string(section) + "] " + std::string(key));
        }
        return value;
    }

    std::uint8_t byte(std::string_view section, std::string_view key) const {
        return toByte(text(section, key), section, key);
    }

    std::vector<std::uint8_t> bytes(std::string_view section, std::string_view key) const {
        std::vector<std::uint8_t> out;
        std::stringstream list(text(section, key));
        for (std::string item; std::getline(list, item, ',');) {
            out.push_back(toByte(item, section, key));
        }
        return out;
    }

    std::vector<std::string> names(std::string_view section, std::string_view key) const {
        std::vector<std::string> out;
        std::stringstream list(text(section, key));
        for (std::string item; std::getline(list, item, ',');) {
            const auto first = item.find_first_not_of(' ');
            const auto last = item.find_last_not_of(' ');
            out.push_back(first == std::string::npos ? "" : item.substr(first, last - first + 1));
        }
        return out;
    }

  private:
    static std::uint8_t toByte(const std::string& value, std::string_view section,
                               std::string_view key) {
        const long number = platform::parseLong(value);
        if (number < 0 || number > 255 || value.find_first_of("0123456789") == std::string::npos) {
            throw std::runtime_error("[" + std::string(section) + "] " + std::string(key) +
                                     " is not a byte: " + value);
        }
        return static_cast<std::uint8_t>(number);
    }

    platform::IniFile ini_;
};

lighting::LightSettings lightSettings(const Source& src, std::string_view file) {
    lighting::LightSettings s;
    s.mode = src.byte(file, "mode");
    s.brightness = src.byte(file, "brightness");
    s.speed = src.byte(file, "speed");
    s.direction = src.byte(file, "direction");
    s.colourful = src.byte(file, "colourful");
    s.red = src.byte(file, "red");
    s.green = src.byte(file, "green");
    s.blue = src.byte(file, "blue");
    return s;
}

void write(const fs::path& out, std::string_view file, profiles::ClassCode code,
           std::span<const std::uint8_t> body) {
    if (!profiles::WriteProfileFile(out / std::string(file), code, body)) {
        throw std::runtime_error("cannot write " + std::string(file));
    }
    std::printf("%s\n", std::string(file).c_str());
}

void keyboardLight(const Source& src, const fs::path& out, DeviceKind kind) {
    const std::string_view file =
        profiles::defaultProfileFile(profiles::ProfileList::KeyboardLight, kind);
    lighting::KeyboardLightState state;
    state.live.light = lightSettings(src, file);
    state.word = {0, src.byte(file, "paint_red"), src.byte(file, "paint_green"),
                  src.byte(file, "paint_blue")};
    const std::string custom = src.text(file, "custom");
    for (auto& slot : state.store.slots) {
        if (custom == "mono") {
            std::fill_n(slot.begin(), lighting::kLedPositions, std::uint8_t{255});
        } else if (custom == "rgb") {
            for (std::size_t led = 0; led < lighting::kLedPositions; ++led) {
                slot[3 * led] = src.byte(file, "custom_red");
                slot[3 * led + 1] = src.byte(file, "custom_green");
                slot[3 * led + 2] = src.byte(file, "custom_blue");
            }
        } else {
            throw std::runtime_error("[" + std::string(file) + "] custom is rgb or mono");
        }
    }
    write(out, file, profiles::ClassCode::Keyboard,
          lighting::KeyboardLightPayload::fromLive(state).toBytes());
}

void mouseLight(const Source& src, const fs::path& out, DeviceKind kind) {
    const std::string_view file =
        profiles::defaultProfileFile(profiles::ProfileList::MouseLight, kind);
    profiles::MouseLightRecord body;
    auto& s = body.settings;
    s.light = lightSettings(src, file);
    s.dpiRed = src.byte(file, "dpi_red");
    s.dpiGreen = src.byte(file, "dpi_green");
    s.dpiBlue = src.byte(file, "dpi_blue");
    s.reportRate = src.byte(file, "report_rate");
    const auto stages = src.bytes(file, "dpi_stages");
    if (stages.size() != s.dpiStages.size()) {
        throw std::runtime_error("[" + std::string(file) + "] dpi_stages needs six values");
    }
    std::copy(stages.begin(), stages.end(), s.dpiStages.begin());
    s.currentStage = src.byte(file, "current_stage");
    s.sensorHeight = src.byte(file, "sensor_height");
    body.pointerSpeed = src.byte(file, "pointer_speed");
    body.wheelSpeed = src.byte(file, "wheel_speed");
    write(out, file, profiles::ClassCode::Mouse, lighting::bytesOf(body));
}

void mousePadLight(const Source& src, const fs::path& out) {
    const std::string_view file =
        profiles::defaultProfileFile(profiles::ProfileList::MousePadLight, DeviceKind::MousePad);
    profiles::MousePadLightRecord body;
    body.settings.light = lightSettings(src, file);
    write(out, file, profiles::ClassCode::MousePad, lighting::bytesOf(body));
}

void keyProfile(const fs::path& out, profiles::ProfileList list, DeviceKind kind,
                profiles::ClassCode code) {
    const auto table = korvane::keys::FactoryBaseTable(kind);
    write(out, profiles::defaultProfileFile(list, kind), code, table);
}

// Cursor sequence files use the macro file layout: an action count and the action texts.
void cursorFiles(const Source& src, const fs::path& out) {
    const long bullets = platform::parseLong(src.text("cursor", "bullets"));
    if (bullets < 1 || bullets > 30) {
        throw std::runtime_error("[cursor] bullets is 1..30");
    }
    std::vector<std::string> bullet;
    for (int i = 0; i < 6; ++i) {
        bullet.push_back(src.text("cursor", "action" + std::to_string(i)));
    }
    std::string text = "[MACROACTIONCOUNT]\ncount=" + std::to_string(bullets * 6) + "\n";
    text += "[MACROACTION]\n";
    for (long k = 0; k < bullets; ++k) {
        for (int i = 0; i < 6; ++i) {
            text += std::to_string(6 * k + i) + "=" + bullet[static_cast<std::size_t>(i)] + "\n";
        }
    }
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(text.data()),
                                              text.size());
    for (const std::string& file : src.names("cursor", "files")) {
        if (!platform::writeFileAtomically(out / file, bytes)) {
            throw std::runtime_error("cannot write " + file);
        }
        std::printf("%s\n", file.c_str());
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <defaults.ini> <output folder>\n", argv[0]);
        return 2;
    }
    const fs::path source = argv[1];
    const fs::path out = argv[2];
    try {
        if (!fs::is_regular_file(source)) {
            throw std::runtime_error("no source file " + source.string());
        }
        fs::create_directories(out);
        const Source src(source);
        keyboardLight(src, out, DeviceKind::RgbKeyboard);
        keyboardLight(src, out, DeviceKind::MonoKeyboard);
        keyboardLight(src, out, DeviceKind::RegionKeyboard);
        keyProfile(out, profiles::ProfileList::KeyboardKeys, DeviceKind::RgbKeyboard,
                   profiles::ClassCode::Keyboard);
        keyProfile(out, profiles::ProfileList::KeyboardKeys, DeviceKind::MonoKeyboard,
                   profiles::ClassCode::Keyboard);
        keyProfile(out, profiles::ProfileList::KeyboardKeys, DeviceKind::RegionKeyboard,
                   profiles::ClassCode::Keyboard);
        keyProfile(out, profiles::ProfileList::KeyboardKeys, DeviceKind::MembraneKeyboard,
                   profiles::ClassCode::Keyboard);
        mouseLight(src, out, DeviceKind::Mouse);
        mouseLight(src, out, DeviceKind::MouseAlt);
        mouseLight(src, out, DeviceKind::Mouse2);
        keyProfile(out, profiles::ProfileList::MouseKeys, DeviceKind::Mouse,
                   profiles::ClassCode::Mouse);
        mousePadLight(src, out);
        cursorFiles(src, out);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "korvane_make_defaults: %s\n", e.what());
        return 1;
    }
    return 0;
}
