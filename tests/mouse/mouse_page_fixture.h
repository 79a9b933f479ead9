#pragma once

#include <chrono>
#include <string>

#include "lighting_editors/editor_fixture.h"

namespace korvane::app::testing {

// Offsets in the mouse's 23-byte settings record (in memory, in the light profile and on
// the wire) and the two profile bytes after it.
constexpr std::size_t kDpiRed = 11;
constexpr std::size_t kDpiGreen = 12;
constexpr std::size_t kDpiBlue = 13;
constexpr std::size_t kReportRate = 14;
constexpr std::size_t kFirstStage = 15;
constexpr std::size_t kCurrentStage = 21;
constexpr std::size_t kSensorHeight = 22;
constexpr std::size_t kPointerSpeed = 23;
constexpr std::size_t kWheelLines = 24;

constexpr std::uint32_t kCurrentStageText = 0xFFFF0000;
constexpr std::uint32_t kOtherStageText = 0xFFFFFFFF;

// The mouse page of a running program with one simulated mouse, driven like the editors'
// tests through its controls.
class MousePage : public EditorFixture {
  protected:
    // Plugs the mouse (with the simulator settings given), starts the program and waits
    // until the connection is over and its own flushes are sent.
    void attachMouse(device::DeviceKind kind, sim::SimSettings settings = {}) {
        backend(settings);
        devices_[static_cast<std::size_t>(device::DeviceClass::Mouse)] = backend().plug(kind);
        start();
        ASSERT_TRUE(waitUntil([](MainWindow& m) { return m.mouseCommander().connected(); }));
        ASSERT_TRUE(settle(*mouse()));
        ASSERT_TRUE(waitUntil([](MainWindow& m) { return !m.mouseSettingsChanged.load(); }));
        // The flush runs on the mouse's own thread after the flag clears.
        ASSERT_TRUE(settle(*mouse()));
    }

    std::shared_ptr<sim::SimulatedDevice> mouse() const {
        return device(device::DeviceClass::Mouse);
    }

    std::uint32_t textColour(const std::string& name) {
        std::uint32_t colour = 0;
        app_->query([&] {
            if (const ui::Control* c = main().tree().find(name)) {
                colour = c->textColor();
            }
        });
        return colour;
    }

    lighting::MouseSettingsRecord record() {
        return read<lighting::MouseSettingsRecord>(
            [](MainWindow& m) { return m.stores().mouseSettings; });
    }
    std::uint8_t recordByte(std::size_t offset) { return lighting::bytesOf(record())[offset]; }

    void refreshMousePages() {
        app_->query([&] { runRefresh(main().pageRefresh().mousePages); });
    }

    std::uint64_t mouseWrites() const { return settingsWrites(device::DeviceClass::Mouse); }
    std::uint8_t deviceByte(std::size_t offset) const {
        return deviceRecord(device::DeviceClass::Mouse)[offset];
    }

    static void pause(std::chrono::milliseconds ms) { platform::StopEvent().wait(ms); }

    bool mouseWritesReach(std::uint64_t count) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (mouseWrites() < count) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            pause(std::chrono::milliseconds(10));
        }
        return true;
    }
};

}  // namespace korvane::app::testing
