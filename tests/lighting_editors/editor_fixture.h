#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "connection/connection_fixture.h"

namespace korvane::app::testing {

// Byte offsets of the lighting records, in memory, in profile files and on the wire: the
// onboard profile, then mode, brightness, speed, direction, colourful, red, green, blue.
constexpr std::size_t kMode = 1;
constexpr std::size_t kBrightness = 2;
constexpr std::size_t kSpeed = 3;
constexpr std::size_t kDirection = 4;
constexpr std::size_t kColourful = 5;
constexpr std::size_t kRed = 6;
constexpr std::size_t kGreen = 7;
constexpr std::size_t kBlue = 8;

// The program with simulated devices attached before it starts, driven through its control
// tree as a user (or a headless script) drives it.
class EditorFixture : public ConnectionFixture {
  protected:
    // Plugs the devices, starts the program and waits until each one's connection sequence
    // has run.
    void attach(std::initializer_list<device::DeviceKind> kinds) {
        for (const device::DeviceKind kind : kinds) {
            devices_[static_cast<std::size_t>(device::modelOf(kind).deviceClass)] =
                backend().plug(kind);
        }
        start();
        for (const device::DeviceKind kind : kinds) {
            const std::string tab(device::modelOf(kind).tab);
            ASSERT_TRUE(waitUntil([&](MainWindow& m) {
                const ui::Control* c = m.tree().find(tab);
                return c != nullptr && c->visible();
            })) << tab;
        }
        // The connection's own settings flushes are over before a test counts them.
        ASSERT_TRUE(waitUntil([](MainWindow& m) {
            return !m.mouseSettingsChanged.load() && !m.mousePadSettingsChanged.load();
        }));
        // So are the writes the connection asked of each device's own thread; the pass that
        // runs them has also set the same-mode boxes, which a test must not see change later.
        for (const device::DeviceKind kind : kinds) {
            ASSERT_TRUE(settle(*device(device::modelOf(kind).deviceClass)));
        }
    }

    std::shared_ptr<sim::SimulatedDevice> device(device::DeviceClass cls) const {
        return devices_[static_cast<std::size_t>(cls)];
    }

    // A user's action on a control.
    void act(std::string_view type, const std::string& name, const std::string& arg = {}) {
        bool delivered = false;
        app_->query([&] { delivered = main().tree().deliver(type, name, arg); });
        ASSERT_TRUE(delivered) << type << " " << name << " " << arg;
    }

    struct Shown {
        bool visible = false;
        bool enabled = false;
        bool selected = false;
        int value = 0;
        int item = -1;
        std::string text;
        std::uint32_t bkColor = 0;
        std::uint32_t colour = 0;
    };
    Shown shown(const std::string& name) {
        Shown s;
        app_->query([&] {
            if (const ui::Control* c = main().tree().find(name)) {
                s = {c->visible(),     c->enabled(), c->selected(), c->value(),
                     c->currentItem(), c->text(),    c->bkColor(),  c->colour()};
            } else {
                ADD_FAILURE() << "no control " << name;
            }
        });
        return s;
    }

    template <class T>
    T read(const std::function<T(MainWindow&)>& fn) {
        return onMain<T>(fn);
    }

    // The body of the first-run light profile of a device folder ("kb", "ms", "mp"), without
    // its 16-byte header.
    std::vector<std::uint8_t> profileBody(const std::string& folder) const {
        std::ifstream in(root_ / "QV" / folder / "New Profile 1.led", std::ios::binary);
        std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                        std::istreambuf_iterator<char>());
        if (bytes.size() < 16) {
            return {};
        }
        return {bytes.begin() + 16, bytes.end()};
    }

    std::uint64_t settingsWrites(device::DeviceClass cls) const {
        return device(cls)->inspect([](const sim::Firmware& f) { return f.settingsWriteCount(); });
    }
    // The record slot n of the device's record memory, as the last WriteSettings left it.
    std::vector<std::uint8_t> deviceRecord(device::DeviceClass cls, std::size_t slot = 0) const {
        return device(cls)->inspect([slot](const sim::Firmware& f) {
            const auto& r = f.records();
            return std::vector<std::uint8_t>(r.begin() + 64 * slot, r.begin() + 64 * slot + 23);
        });
    }

    std::array<std::shared_ptr<sim::SimulatedDevice>, 3> devices_;
};

}  // namespace korvane::app::testing
