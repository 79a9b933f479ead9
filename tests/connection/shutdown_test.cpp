// The end of the program while devices misbehave: whatever a device does, the program ends
// within two seconds of being told to, and the window does not come back meanwhile.

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "connection/connection_fixture.h"
#include "sim/sim_settings.h"

namespace korvane::app::testing {
namespace {

using namespace std::chrono_literals;
using device::DeviceKind;
using Clock = std::chrono::steady_clock;

// "Does not hang", not a speed target: the program must be gone within this, sanitizers
// included. Before, a slow device kept it alive for good.
constexpr auto kExitLimit = 2s;

struct DeviceFault {
    const char* name;
    const char* settings;  // as given to --sim-set, comma-separated
    bool opens = true;     // false: the program only ever tells the user it cannot open them
};

class ShutdownWhileSynchronising : public ConnectionFixture,
                                   public ::testing::WithParamInterface<DeviceFault> {};

TEST_P(ShutdownWhileSynchronising, EndsWithinTwoSecondsWithoutShowingTheWindow) {
    sim::SimSettings settings;
    ASSERT_EQ(sim::applySimSettingList(GetParam().settings, settings), std::nullopt);
    std::vector<std::shared_ptr<sim::SimulatedDevice>> devices;
    for (const DeviceKind kind :
         {DeviceKind::RgbKeyboard, DeviceKind::Mouse, DeviceKind::MousePad}) {
        devices.push_back(backend().plug(kind, settings));
    }
    start();
    // Every device is being talked to: the three connection threads are inside their
    // sequences (or their retries) when the program is told to end.
    const auto deadline = Clock::now() + 10s;
    for (const auto& device : devices) {
        if (!GetParam().opens) {
            ASSERT_TRUE(waitForLine("message message_device_access", 1, 10s));
            break;
        }
        while (device->requestCount() < 2 && Clock::now() < deadline) {
            platform::StopEvent().wait(5ms);
        }
        ASSERT_GE(device->requestCount(), 2u) << device->name();
    }
    const int shownBefore = count("window shown");

    const auto before = Clock::now();
    ASSERT_EQ(run(""), kScriptDone);  // the end of a session shuts down as "exit" does
    const bool abandoned = app_->workersAbandoned();
    app_.reset();
    const auto took = Clock::now() - before;

    EXPECT_LT(took, kExitLimit)
        << std::chrono::duration_cast<std::chrono::milliseconds>(took).count() << " ms";
    EXPECT_FALSE(abandoned) << "every worker ends when told to; none is left behind";
    EXPECT_EQ(count("window shown"), shownBefore);
}

INSTANTIATE_TEST_SUITE_P(
    DeviceFaults, ShutdownWhileSynchronising,
    ::testing::Values(DeviceFault{"slow_but_working", "latency-ms=290"},
                      DeviceFault{"answers_always_too_late", "latency-ms=10000"},
                      DeviceFault{"never_answers", "fault=silent@1"},
                      DeviceFault{"stops_answering_mid_sync", "latency-ms=50,fault=silent@6"},
                      DeviceFault{"refuses_with_ff", "latency-ms=50,fault=status-ff@4"},
                      DeviceFault{"busy_with_fe", "latency-ms=50,fault=status-fe@8"},
                      DeviceFault{"unplugged_mid_transfer", "latency-ms=50,fault=unplug@10"},
                      DeviceFault{"one_answer_very_late", "latency-ms=50,fault=late@3:8000"},
                      DeviceFault{"cannot_be_opened", "fault=eacces", false}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------
// Writes the main thread asks for go to the device's own thread.

// Reads through this handle see no answer once the switch is on (the simulated firmware
// still takes every request): a device that has gone quiet without going away.
class QuietableHandle final : public device::HidHandle {
  public:
    QuietableHandle(std::unique_ptr<device::HidHandle> inner,
                    std::shared_ptr<std::atomic<bool>> quiet)
        : inner_(std::move(inner)), quiet_(std::move(quiet)) {}

    bool write(std::span<const std::uint8_t> report, std::chrono::milliseconds timeout) override {
        return inner_->write(report, timeout);
    }
    device::HidReadStatus read(std::span<std::uint8_t> buffer, std::chrono::milliseconds timeout,
                               std::size_t& bytesRead) override {
        const auto deadline = Clock::now() + timeout;
        for (;;) {
            const auto status = inner_->read(buffer, timeout, bytesRead);
            if (status != device::HidReadStatus::Ok || !quiet_->load()) {
                return status;
            }
            bytesRead = 0;  // swallowed
            if (timeout != kInfinite) {
                if (Clock::now() >= deadline) {
                    return device::HidReadStatus::Timeout;
                }
                timeout = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
            }
        }
    }
    void abortRead() override { inner_->abortRead(); }
    std::vector<std::uint8_t> reportDescriptor() const override {
        return inner_->reportDescriptor();
    }
    const device::HidInterfaceInfo& info() const override { return inner_->info(); }

  private:
    std::unique_ptr<device::HidHandle> inner_;
    std::shared_ptr<std::atomic<bool>> quiet_;
};

class QuietableBackend final : public device::HidBackend {
  public:
    explicit QuietableBackend(device::HidBackend& inner) : inner_(inner) {}
    void goQuiet() { quiet_->store(true); }

    std::optional<std::vector<device::HidInterfaceInfo>> enumerate() override {
        return inner_.enumerate();
    }
    std::unique_ptr<device::HidHandle> open(const device::HidInterfaceInfo& info,
                                            device::HidAccess access) override {
        auto handle = inner_.open(info, access);
        if (handle == nullptr) {
            return nullptr;
        }
        return std::make_unique<QuietableHandle>(std::move(handle), quiet_);
    }
    bool isStillPresent(const std::string& path) override { return inner_.isStillPresent(path); }

  private:
    device::HidBackend& inner_;
    std::shared_ptr<std::atomic<bool>> quiet_ = std::make_shared<std::atomic<bool>>(false);
};

struct MainThreadWrite {
    const char* name;
    DeviceKind kind;
    // Runs on the main thread: asks for a write to the device.
    void (*ask)(MainWindow& main);
};

class QuietDevice : public ConnectionFixture,
                    public ::testing::WithParamInterface<MainThreadWrite> {
  protected:
    // Outlives the program, which the fixture ends after the test.
    std::unique_ptr<QuietableBackend> quietable_;
};

TEST_P(QuietDevice, NeverHoldsTheMainThreadNorTheExit) {
    const MainThreadWrite& c = GetParam();
    const device::DeviceClass deviceClass = device::modelOf(c.kind).deviceClass;
    auto device = backend().plug(c.kind);
    quietable_ = std::make_unique<QuietableBackend>(backend());
    hid_ = quietable_.get();
    start();
    ASSERT_TRUE(waitUntil([&](MainWindow& m) { return m.commanderOf(deviceClass).connected(); }));
    ASSERT_TRUE(settle(*device));

    // From now on every exchange would wait forty seconds for its answers.
    main().commanderOf(deviceClass).setAnswerTimeLimit(10s);
    quietable_->goQuiet();
    const std::uint32_t requestsBefore = device->controlRequestCount();
    // The main thread asks and answers at once, before and after the write has gone out
    // (the one-second flush included): the write waits on another thread.
    const auto answersAtOnce = [this](const std::function<void()>& fn) {
        const auto before = Clock::now();
        return app_->query(fn) && Clock::now() - before < 1s;
    };
    EXPECT_TRUE(answersAtOnce([&] { c.ask(main()); }));
    const auto deadline = Clock::now() + 5s;
    while (device->controlRequestCount() == requestsBefore && Clock::now() < deadline) {
        platform::StopEvent().wait(10ms);
    }
    EXPECT_GT(device->controlRequestCount(), requestsBefore);
    EXPECT_TRUE(answersAtOnce([] {}));

    const auto exitBefore = Clock::now();
    ASSERT_EQ(run(""), kScriptDone);
    app_.reset();
    EXPECT_LT(Clock::now() - exitBefore, kExitLimit);
}

INSTANTIATE_TEST_SUITE_P(
    Writes, QuietDevice,
    ::testing::Values(MainThreadWrite{"keyboard_key_profile", DeviceKind::RgbKeyboard,
                                      [](MainWindow& main) {
                                          main.tree().deliver("itemselect", "kb_key_profile_combo",
                                                              "0");
                                      }},
                      MainThreadWrite{"mouse_settings_flush", DeviceKind::Mouse,
                                      [](MainWindow& main) { main.mouseSettingsChanged = true; }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace korvane::app::testing
