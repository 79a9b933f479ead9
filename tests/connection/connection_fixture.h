#pragma once

#include "support/output_lines.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "core/app/headless_app.h"
#include "core/app/scripted_session.h"
#include "core/device/hid_trace.h"
#include "core/platform/stop_event.h"
#include "sim/sim_device_plugger.h"
#include "sim/simulated_backend.h"

namespace korvane::app::testing {

// Lends the fixture's backend to a wrapper that wants to own one (the wire trace).
class BorrowedBackend : public device::HidBackend {
  public:
    explicit BorrowedBackend(device::HidBackend& inner) : inner_(inner) {}
    std::optional<std::vector<device::HidInterfaceInfo>> enumerate() override {
        return inner_.enumerate();
    }
    std::unique_ptr<device::HidHandle> open(const device::HidInterfaceInfo& info,
                                            device::HidAccess access) override {
        return inner_.open(info, access);
    }
    bool isStillPresent(const std::string& path) override { return inner_.isStillPresent(path); }
    device::HotplugMonitor* hotplugMonitor() override { return inner_.hotplugMonitor(); }

  private:
    device::HidBackend& inner_;
};

// A headless program over the real skin and shipped defaults with simulated devices; its
// data folder is a temp folder of its own, so every test is a first run.
class ConnectionFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string tmpl =
            (std::filesystem::temp_directory_path() / "korvane-connect-XXXXXX").string();
        ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
        root_ = tmpl;
        setenv("KORVANE_DATA_ROOT", (root_ / "QV").c_str(), 1);
        setenv("KORVANE_PROGRAM_FOLDER", KORVANE_SOURCE_DIR "/data", 1);
    }
    void TearDown() override {
        app_.reset();
        traced_.reset();
        plugger_.reset();
        backend_.reset();
        unsetenv("KORVANE_DATA_ROOT");
        unsetenv("KORVANE_PROGRAM_FOLDER");
        std::filesystem::remove_all(root_);
    }

    // The backend exists before the program starts, so devices can be prepared first.
    sim::SimulatedBackend& backend(sim::SimSettings settings = {}) {
        if (!backend_) {
            backend_ = std::make_unique<sim::SimulatedBackend>(settings);
            plugger_ = std::make_unique<sim::SimDevicePlugger>(*backend_);
        }
        return *backend_;
    }

    // Every report the program writes and reads goes to the file, as KORVANE_HID_TRACE
    // would write it. Call before start().
    void traceWireTo(const std::filesystem::path& file) {
        traced_ = device::withTrace(std::make_unique<BorrowedBackend>(backend()),
                                    device::WireTraceFile::open(file));
    }

    void start(std::function<void(MainWindow&)> beforeInit = {}) {
        HeadlessAppOptions o;
        o.skinFolder = KORVANE_SOURCE_DIR "/skin";
        o.programFile = "/usr/bin/korvane";
        o.installerFile = root_ / "install.ini";
        o.configHome = root_ / "config";
        o.hid = hid_ != nullptr ? hid_ : traced_ ? traced_.get() : &backend();
        o.http = http_;
        o.output = output_.sink();
        o.installFeatures = std::move(beforeInit);
        app_ = std::make_unique<HeadlessApp>(std::move(o));
        std::string error;
        ASSERT_TRUE(app_->start(error)) << error;
    }

    int run(const std::string& script) {
        std::istringstream in(script);
        printed_.str({});
        errors_.str({});
        return RunScript(*app_, plugger_.get(), in, printed_, errors_);
    }

    MainWindow& main() { return app_->mainWindow(); }
    // Requests to the update service, for sessions that make some.
    update::HttpClient* http_ = nullptr;

    // Polls pred on the main thread until it holds or the time is up.
    bool waitUntil(const std::function<bool(MainWindow&)>& pred,
                   std::chrono::milliseconds timeout = std::chrono::milliseconds(5000)) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        platform::StopEvent pause;
        while (true) {
            bool done = false;
            app_->query([&] { done = pred(main()); });
            if (done) {
                return true;
            }
            if (std::chrono::steady_clock::now() >= deadline) {
                return false;
            }
            pause.wait(std::chrono::milliseconds(5));
        }
    }

    template <class T>
    T onMain(const std::function<T(MainWindow&)>& fn) {
        T value{};
        app_->query([&] { value = fn(main()); });
        return value;
    }

    // Waits until the device has had no request for a while; false when it never goes quiet.
    static bool settle(const sim::SimulatedDevice& device) {
        std::uint32_t before = device.controlRequestCount();
        for (int i = 0; i < 50; ++i) {
            platform::StopEvent().wait(std::chrono::milliseconds(200));
            const std::uint32_t now = device.controlRequestCount();
            if (now == before) {
                return true;
            }
            before = now;
        }
        return false;
    }

    // Waits until the program's output holds the line n times.
    bool waitForLine(const std::string& line, int n = 1,
                     std::chrono::milliseconds timeout = std::chrono::milliseconds(3000)) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        platform::StopEvent pause;
        while (count(line) < n) {
            if (std::chrono::steady_clock::now() >= deadline) {
                return false;
            }
            pause.wait(std::chrono::milliseconds(5));
        }
        return true;
    }

    std::vector<std::string> lines() const { return output_.lines(); }
    int count(const std::string& line) const { return output_.count(line); }

    std::filesystem::path root_;
    std::unique_ptr<sim::SimulatedBackend> backend_;
    std::unique_ptr<sim::SimDevicePlugger> plugger_;
    std::unique_ptr<device::HidBackend> traced_;
    std::unique_ptr<HeadlessApp> app_;
    device::HidBackend* hid_ = nullptr;  // what the program sees instead of backend(); optional
    std::ostringstream printed_;
    std::ostringstream errors_;
    korvane::testing::OutputLines output_;
};

}  // namespace korvane::app::testing
