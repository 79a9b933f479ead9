#pragma once

#include "connection/connection_fixture.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/device/hid_trace.h"
#include "core/keys/key_function.h"
#include "core/keys/stored_key_tables.h"
#include "core/macros/fake_input_hook.h"
#include "core/macros/macro_store.h"
#include "core/platform/paths.h"

namespace korvane::keys::testing {

// The connection fixture's program (real skin, simulated devices, a data folder per test)
// with every report traced, driven as a user drives the key pages, and the fake input hook
// of headless sessions for the desktop's keys.
class KeyPageFixture : public app::testing::ConnectionFixture {
  public:
    void TearDown() override {
        app_.reset();
        plugger_.reset();
        traced_.reset();
        ConnectionFixture::TearDown();
    }

    // Starts the program with these devices attached and waits until each is shown.
    void start(std::vector<device::DeviceKind> kinds, sim::SimSettings settings = {}) {
        auto simulated = std::make_unique<sim::SimulatedBackend>(settings);
        sim::SimulatedBackend& sim = *simulated;
        for (const device::DeviceKind kind : kinds) {
            devices_.push_back(sim.plug(kind));
        }
        plugger_ = std::make_unique<sim::SimDevicePlugger>(sim);
        tracePath_ = root_ / "trace.txt";
        traced_ = device::withTrace(std::move(simulated), device::WireTraceFile::open(tracePath_));
        app::HeadlessAppOptions o;
        o.skinFolder = KORVANE_SOURCE_DIR "/skin";
        o.programFile = "/usr/bin/korvane";
        o.installerFile = root_ / "install.ini";
        o.configHome = root_ / "config";
        o.hid = traced_.get();
        o.output = output_.sink();
        app_ = std::make_unique<app::HeadlessApp>(std::move(o));
        std::string error;
        ASSERT_TRUE(app_->start(error)) << error;
        for (const device::DeviceKind kind : kinds) {
            const bool mouse = device::modelOf(kind).deviceClass == device::DeviceClass::Mouse;
            ASSERT_TRUE(waitUntil(
                [mouse](app::MainWindow& m) {
                    return (mouse ? m.kinds().mouseShown.load() : m.kinds().keyboardShown.load()) !=
                           0;
                },
                std::chrono::milliseconds(8000)));
        }
        for (const auto& device : devices_) {
            ASSERT_TRUE(settle(*device));
        }
    }

    // A whole script, as `korvane --headless --script` runs it (the program ends with it);
    // returns what it printed.
    std::string script(const std::string& text) {
        std::istringstream in(text);
        std::ostringstream printed;
        std::ostringstream errors;
        EXPECT_EQ(app::RunScript(*app_, plugger_.get(), in, printed, errors), app::kScriptDone)
            << errors.str();
        return printed.str();
    }

    // A user's action on a control, as the script's "notify" line delivers it.
    void notify(std::string_view type, const std::string& name, const std::string& arg = {}) {
        bool delivered = false;
        app_->act([&] { delivered = main().tree().deliver(type, name, arg); });
        ASSERT_TRUE(delivered) << type << " " << name << " " << arg;
    }
    void click(const std::string& name) { notify(ui::notify::kClick, name); }
    // A save to the device runs on the device's own thread; its progress control goes a
    // second after the transfer (and what follows it on this thread) has ended.
    void saveAndWait(const std::string& button) {
        click(button);
        ASSERT_TRUE(waitUntil(
            [](app::MainWindow& m) { return !m.tree().find("setting_progress")->visible(); },
            std::chrono::milliseconds(10000)));
    }
    void pick(const std::string& name, int index) {
        notify(ui::notify::kItemSelect, name, std::to_string(index));
    }
    void type(const std::string& name, const std::string& text) {
        notify(ui::notify::kTextChanged, name, text);
    }
    void selectMouseButton(int button) {
        notify(ui::notify::kSelectChanged, "ms_key_" + std::to_string(button), "1");
    }

    // A key or button of the desktop, as the script's "input" lines inject it.
    void key(std::uint32_t vk, bool down, bool extended = false, std::uint32_t advanceMs = 0) {
        app_->query([&] { app_->fakeInputHook()->injectKey(vk, down, extended, advanceMs); });
    }
    void press(std::uint32_t vk, bool extended = false) {
        key(vk, true, extended);
        key(vk, false, extended);
    }
    void mouseButton(macros::FakeInputHook::Button b, bool down, std::uint32_t advanceMs = 0) {
        app_->query([&] { app_->fakeInputHook()->injectButton(b, down, advanceMs); });
    }

    // The live key table's record (the mouse's onboard profile 0 table after a read).
    KeyFunction record(KeyClass keyClass, int key) {
        return onMain<KeyFunction>([&](app::MainWindow& m) {
            return recordAt(StoredKeyTables(keyClass, m.stores()).liveTable(), key);
        });
    }
    void setRecord(KeyClass keyClass, int key, KeyFunction f) {
        app_->query(
            [&] { setRecordAt(StoredKeyTables(keyClass, main().stores()).liveTable(), key, f); });
    }

    std::string text(const std::string& name) {
        return onMain<std::string>([&](app::MainWindow& m) {
            const ui::Control* c = m.tree().find(name);
            return c != nullptr ? c->text() : std::string("<missing>");
        });
    }
    int item(const std::string& name) {
        return onMain<int>([&](app::MainWindow& m) { return m.tree().find(name)->currentItem(); });
    }
    bool visible(const std::string& name) {
        return onMain<bool>([&](app::MainWindow& m) { return m.tree().find(name)->visible(); });
    }
    // Macros of a class: names and, for each, its action texts.
    void writeMacros(macros::MacroClass macroClass,
                     const std::vector<std::pair<std::string, std::vector<std::string>>>& macros) {
        std::filesystem::create_directories(macroClass == macros::MacroClass::Keyboard
                                                ? platform::KeyboardFolder()
                                                : platform::MouseFolder());
        auto store = macros::MacroStore::forClass(macroClass);
        ASSERT_TRUE(store.WriteMacroCount(static_cast<long>(macros.size())));
        for (std::size_t i = 0; i < macros.size(); ++i) {
            ASSERT_TRUE(store.WriteMacroName(i, macros[i].first));
            ASSERT_TRUE(store.WriteMacro(macros[i].first, macros[i].second));
        }
    }

    // Command codes of the requests written to devices since the trace mark. Light frames
    // (0x12) and the one-second settings write (0x06) go their own ways and are left out: the
    // tests look at transfers.
    std::vector<int> writtenCommands() {
        std::ifstream trace(tracePath_);
        std::vector<int> commands;
        std::string line;
        std::size_t n = 0;
        while (std::getline(trace, line)) {
            if (n++ < traceMark_) {
                continue;
            }
            std::istringstream words(line);
            std::string time, direction, path, hex;
            words >> time >> direction >> path >> hex;
            constexpr int kWriteSettings = 0x06;
            constexpr int kLightFrame = 0x12;
            if (direction == "W" && hex.size() >= 8) {
                const int command = std::stoi(hex.substr(6, 2), nullptr, 16);
                if (command != kWriteSettings && command != kLightFrame) {
                    commands.push_back(command);
                }
            }
        }
        return commands;
    }
    void markTrace() {
        std::ifstream trace(tracePath_);
        traceMark_ = 0;
        for (std::string line; std::getline(trace, line);) {
            ++traceMark_;
        }
    }

    std::vector<std::shared_ptr<sim::SimulatedDevice>> devices_;
    std::unique_ptr<device::HidBackend> traced_;
    std::filesystem::path tracePath_;
    std::size_t traceMark_ = 0;
};

}  // namespace korvane::keys::testing
