#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "app/app_fixture.h"
#include "core/lighting/colour_wheel.h"
#include "core/lighting/effects/effect_threads.h"
#include "core/lighting/led_maps.h"
#include "core/platform/worker.h"
#include "core/profiles/profile_file.h"
#include "core/profiles/profile_store.h"
#include "sim/simulated_backend.h"
#include "sim/simulated_device.h"

namespace korvane::lighting::effects {
namespace {

using namespace std::chrono_literals;

// Three simulated devices on their commanders, as the connection threads leave them, and
// the four effect threads running against them.
class EffectThreadsTest : public ::testing::Test {
  protected:
    EffectThreadsTest() {
        attach(keyboard_, keyboardDevice_);
        attach(mouse_, mouseDevice_);
        attach(mousePad_, padDevice_);
    }
    ~EffectThreadsTest() override { stopAll(); }

    void attach(device::DeviceCommander& commander,
                const std::shared_ptr<sim::SimulatedDevice>& device) {
        const auto list = backend_.enumerate();
        ASSERT_TRUE(list);
        for (const auto& info : *list) {
            if (info.path == device->path(sim::SimInterface::Vendor)) {
                commander.attach(backend_.open(info, device::HidAccess::ReadWrite));
            }
        }
        commander.setConnected(true);
    }

    EffectContext context(std::function<std::uint64_t()> clock = {}) {
        EffectTiming timing;
        timing.keyboardStart = 0ms;
        timing.mouseStart = 0ms;
        timing.mousePadStart = 0ms;
        return {keyboard_,  mouse_,   mousePad_, keyboardKind_,    snapshots_, flash_, preview_,
                streaming_, engines_, {},        std::move(clock), timing,     {}};
    }

    void startAll(const EffectContext& c) {
        const std::array<void (*)(const EffectContext&, platform::StopEvent&), 4> bodies{
            RunKeyboardEffect, RunMouseEffect, RunMousePadEffect, RunSyncEffect};
        for (std::size_t i = 0; i < bodies.size(); ++i) {
            workers_[i] = std::make_unique<platform::Worker>("effect");
            workers_[i]->start([c, body = bodies[i]](platform::StopEvent& stop) { body(c, stop); });
        }
    }
    void stopAll() {
        for (auto& w : workers_) {
            if (w) {
                w->requestStop();
            }
        }
        for (auto& w : workers_) {
            w.reset();
        }
    }

    static std::uint64_t frames(const std::shared_ptr<sim::SimulatedDevice>& device) {
        return device->inspect([](const sim::Firmware& f) { return f.frameCount(); });
    }
    static std::optional<std::vector<std::uint8_t>> lastFrame(
        const std::shared_ptr<sim::SimulatedDevice>& device, std::size_t length) {
        return device->inspect([length](const sim::Firmware& f) { return f.lastFrame(length); });
    }

  public:
    // Waits (up to a generous limit) until the predicate holds.
    static bool eventually(const std::function<bool()>& done) {
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (std::chrono::steady_clock::now() < deadline) {
            if (done()) {
                return true;
            }
            std::this_thread::sleep_for(5ms);
        }
        return done();
    }

  protected:
    sim::SimulatedBackend backend_;
    std::shared_ptr<sim::SimulatedDevice> keyboardDevice_ =
        backend_.plug(device::DeviceKind::RgbKeyboard);
    std::shared_ptr<sim::SimulatedDevice> mouseDevice_ = backend_.plug(device::DeviceKind::Mouse);
    std::shared_ptr<sim::SimulatedDevice> padDevice_ = backend_.plug(device::DeviceKind::MousePad);
    device::DeviceCommander keyboard_;
    device::DeviceCommander mouse_;
    device::DeviceCommander mousePad_;
    std::atomic<int> keyboardKind_{0};
    LightingSnapshots snapshots_;
    FlashTriggers flash_;
    ui::PreviewBuffer preview_;
    std::atomic<bool> streaming_{true};
    EffectEngines engines_;
    std::array<std::unique_ptr<platform::Worker>, 4> workers_;
};

TEST_F(EffectThreadsTest, StaticColourReachesTheWireAndTheSuspendStopsKeyboardAndMouseFrames) {
    KeyboardLightSnapshot keyboard;
    keyboard.light = {0, 10, 0, 1, 0, 200, 100, 50};
    snapshots_.keyboard.publish(keyboard);
    MouseSettingsRecord mouse;
    mouse.light = {0, 14, 0, 1, 0, 0, 255, 0};
    snapshots_.mouse.publish(mouse);
    MousePadSettingsRecord pad;
    pad.light = {3, 14, 0, 1, 0, 0, 0, 255};
    snapshots_.mousePad.publish(pad);
    startAll(context());

    ASSERT_TRUE(eventually([&] {
        return frames(keyboardDevice_) >= 1 && frames(mouseDevice_) >= 1 && frames(padDevice_) >= 1;
    }));
    const auto frame = lastFrame(keyboardDevice_, 378);
    ASSERT_TRUE(frame);
    std::array<bool, 126> mapped{};
    for (const std::uint8_t p : RgbLedMap) {
        if (p != kNoLed) {
            mapped[p] = true;
        }
    }
    const unsigned bright = BrightnessCurve[10];
    for (std::size_t p = 0; p < 126; ++p) {
        const std::array<unsigned, 3> expected =
            mapped[p]
                ? std::array<unsigned, 3>{200 * bright >> 8, 100 * bright >> 8, 50 * bright >> 8}
                : std::array<unsigned, 3>{0, 0, 0};
        for (std::size_t ch = 0; ch < 3; ++ch) {
            ASSERT_EQ((*frame)[3 * p + ch], expected[ch]) << "LED " << p;
        }
    }
    EXPECT_EQ(preview_.get(ui::PreviewBuffer::kKeyboardBase + 7).colour,
              (100u << 16) | (50u << 8) | 200u);
    EXPECT_EQ(preview_.get(ui::PreviewBuffer::kKeyboardBase + 7).alpha, bright);
    const auto mouseFrame = lastFrame(mouseDevice_, 60);
    ASSERT_TRUE(mouseFrame);
    EXPECT_EQ((*mouseFrame)[3 * 19 + 1], 255);
    const auto padFrame = lastFrame(padDevice_, 60);
    ASSERT_TRUE(padFrame);
    EXPECT_EQ((*padFrame)[3 * 14 + 2], 255);
    EXPECT_EQ((*padFrame)[59], 0);

    // Suspend: a frame already on its way may still land, then nothing more, though the
    // colours change; the pad's frames do not stop (unchanged frames are never repeated,
    // so its new colour shows it).
    streaming_ = false;
    std::this_thread::sleep_for(150ms);
    const auto keyboardAtSuspend = frames(keyboardDevice_);
    const auto mouseAtSuspend = frames(mouseDevice_);
    const auto padAtSuspend = frames(padDevice_);
    keyboard.light.blue = 150;
    snapshots_.keyboard.publish(keyboard);
    mouse.light.red = 255;
    snapshots_.mouse.publish(mouse);
    pad.light.red = 255;
    snapshots_.mousePad.publish(pad);
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(frames(keyboardDevice_), keyboardAtSuspend);
    EXPECT_EQ(frames(mouseDevice_), mouseAtSuspend);
    EXPECT_GT(frames(padDevice_), padAtSuspend);

    // After the resume the devices get their frames again, in their new colours.
    const auto requestsBeforeResume = keyboardDevice_->requestCount();
    streaming_ = true;
    ASSERT_TRUE(eventually([&] {
        return frames(keyboardDevice_) > keyboardAtSuspend && frames(mouseDevice_) > mouseAtSuspend;
    }));
    const auto lit =
        static_cast<std::size_t>(std::find(mapped.begin(), mapped.end(), true) - mapped.begin());
    EXPECT_EQ((*lastFrame(keyboardDevice_, 378))[3 * lit + 2], 150 * bright >> 8);
    // Only light frames went out after the resume: 378 bytes are seven 56-byte chunks.
    const auto newFrames = frames(keyboardDevice_) - keyboardAtSuspend;
    EXPECT_LE(keyboardDevice_->requestCount() - requestsBeforeResume, 7 * (newFrames + 1));
}

TEST_F(EffectThreadsTest, SynchronisedKeyboardFollowsTheSynchronisedEffect) {
    KeyboardLightSnapshot keyboard;
    keyboard.light = {0, 14, 0, 1, 0, 255, 0, 0};
    snapshots_.keyboard.publish(keyboard);
    snapshots_.sync.publish({0, 14, 0, 1, 0, 0, 0, 255});
    keyboard_.setSynchronised(true);
    startAll(context());
    ASSERT_TRUE(eventually([&] { return frames(keyboardDevice_) >= 1; }));
    const auto frame = lastFrame(keyboardDevice_, 378);
    ASSERT_TRUE(frame);
    EXPECT_EQ((*frame)[0], 0);  // not the keyboard's own red
    EXPECT_EQ((*frame)[2], 255);
    // A static effect's frame does not change: it is not sent again and again.
    const auto sent = frames(keyboardDevice_);
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(frames(keyboardDevice_), sent);
    // The mouse is not synchronised: it keeps its own (static dark) effect, and the
    // synchronised effect previews only the keyboard.
    EXPECT_EQ(preview_.get(ui::PreviewBuffer::kKeyboardBase).colour, 255u << 8);
}

TEST_F(EffectThreadsTest, FlashTriggerReachesTheMouseAndOnlyVisibleLedsArePreviewed) {
    MouseSettingsRecord mouse;
    mouse.light = {5, 14, 0, 1, 0, 255, 255, 255};
    snapshots_.mouse.publish(mouse);
    for (std::size_t i = 0; i < 5; ++i) {
        engines_.mousePictureVisible[i] = true;
    }
    // A clock that stands still keeps the flash lit once it started.
    startAll(context([] { return std::uint64_t{5000}; }));
    flash_.mouse = true;
    ASSERT_TRUE(eventually([&] {
        const auto f = lastFrame(mouseDevice_, 60);
        return f && (*f)[0] == 255;
    }));
    EXPECT_FALSE(flash_.mouse.load());
    ASSERT_TRUE(
        eventually([&] { return preview_.get(ui::PreviewBuffer::kMouseBase + 4).alpha == 255; }));
    EXPECT_EQ(preview_.get(ui::PreviewBuffer::kMouseBase + 5).alpha, 0);
    EXPECT_EQ(preview_.get(ui::PreviewBuffer::kMouseBase + 5).colour, 0u);
}

TEST_F(EffectThreadsTest, TheColourGroupAdvancesInTheRecordAndSurvivesUnrelatedPublishes) {
    // The pulse wraps every 128 steps of 9 ms; start just before the wrap.
    MouseSettingsRecord mouse;
    mouse.light = {1, 14, 0, 1, 1, 0, 0, 0};
    snapshots_.mouse.publish(mouse);
    engines_.mouse.with([](MouseEffectState& s) { s.phase = 120; });
    std::atomic<int> advanced{0};
    EffectContext c = context();
    c.colourGroupAdvanced = [&](device::DeviceClass cls) {
        EXPECT_EQ(cls, device::DeviceClass::Mouse);
        ++advanced;
    };
    startAll(c);
    ASSERT_TRUE(eventually([&] { return advanced.load() >= 1; }));
    EXPECT_EQ(engines_.mouse.copy().colourGroup, 1);
    // A publish that leaves the record's group byte as it was (another setting changed)
    // keeps the running group.
    mouse.light.brightness = 13;
    snapshots_.mouse.publish(mouse);
    const std::uint64_t before = frames(mouseDevice_);
    ASSERT_TRUE(eventually([&] { return frames(mouseDevice_) >= before + 3; }));
    EXPECT_EQ(engines_.mouse.copy().colourGroup, 1);
    // A record that brings another group (a profile) is taken.
    mouse.colourGroup = 2;
    snapshots_.mouse.publish(mouse);
    ASSERT_TRUE(eventually([&] { return engines_.mouse.copy().colourGroup == 2; }));
}

TEST_F(EffectThreadsTest, ShutdownInterruptsTheStartDelays) {
    EffectContext c = context();
    c.timing = {};  // the full start delays
    startAll(c);
    for (auto& w : workers_) {
        w->requestStop();
    }
    for (auto& w : workers_) {
        EXPECT_TRUE(w->waitFinished(500ms));
    }
    EXPECT_EQ(frames(keyboardDevice_), 0u);
}

class EffectWorkersInTheApp : public app::testing::AppFixture {
  protected:
    // The keyboard as its connection sequence would leave it: attached and connected.
    void connectKeyboard() {
        device::DeviceCommander& commander = app_->mainWindow().keyboardCommander();
        const auto list = backend_.enumerate();
        ASSERT_TRUE(list);
        for (const auto& info : *list) {
            if (info.path == keyboard_->path(sim::SimInterface::Vendor)) {
                commander.attach(backend_.open(info, device::HidAccess::ReadWrite));
            }
        }
        commander.setConnected(true);
    }
    std::optional<std::vector<std::uint8_t>> lastKeyboardFrame() const {
        return keyboard_->inspect([](const sim::Firmware& f) { return f.lastFrame(378); });
    }
    std::uint64_t keyboardFrames() const {
        return keyboard_->inspect([](const sim::Firmware& f) { return f.frameCount(); });
    }

    sim::SimulatedBackend backend_;
    std::shared_ptr<sim::SimulatedDevice> keyboard_ =
        backend_.plug(device::DeviceKind::RgbKeyboard);
};

TEST_F(EffectWorkersInTheApp, TheFourEffectThreadsFillTheirSlots) {
    start();
    auto& workers = app_->mainWindow().workers();
    EXPECT_TRUE(workers.running(app::WorkerSlot::KeyboardEffect));
    EXPECT_TRUE(workers.running(app::WorkerSlot::MouseEffect));
    EXPECT_TRUE(workers.running(app::WorkerSlot::MousePadEffect));
    EXPECT_TRUE(workers.running(app::WorkerSlot::SyncEffect));
}

TEST_F(EffectWorkersInTheApp, MousePreviewsFollowThePicturesShownOnScreen) {
    start();
    sim::SimulatedDevice& mouseDevice = *backend_.plug(device::DeviceKind::Mouse);
    app::MainWindow& main = app_->mainWindow();
    ASSERT_TRUE(app_->query([&] {
        // The mouse page on screen, except LED 3.
        for (ui::Control* c = main.mousePictures()[0]; c != nullptr; c = c->parent()) {
            c->setVisible(true);
        }
        main.mousePictures()[3]->setVisible(false);
        main.stores().mouseSettings.light = {0, 14, 0, 1, 0, 255, 255, 255};
        main.publishLighting();
    }));
    device::DeviceCommander& commander = main.mouseCommander();
    const auto list = backend_.enumerate();
    ASSERT_TRUE(list);
    for (const auto& info : *list) {
        if (info.path == mouseDevice.path(sim::SimInterface::Vendor)) {
            commander.attach(backend_.open(info, device::HidAccess::ReadWrite));
        }
    }
    commander.setConnected(true);
    // The mouse thread starts after its 3 s start delay.
    ASSERT_TRUE(EffectThreadsTest::eventually(
        [&] { return main.preview().get(ui::PreviewBuffer::kMouseBase + 0).alpha == 255; }));
    EXPECT_TRUE(main.effectEngines().mousePictureVisible[0]);
    EXPECT_FALSE(main.effectEngines().mousePictureVisible[3]);
    EXPECT_EQ(main.preview().get(ui::PreviewBuffer::kMouseBase + 3).alpha, 0);
    EXPECT_EQ(main.preview().get(ui::PreviewBuffer::kMouseBase + 4).alpha, 255);
}

TEST_F(EffectWorkersInTheApp, ASelectedLightProfileChangesTheNextFrames) {
    start();
    connectKeyboard();
    // Nothing loaded yet: the zeroed settings draw a dark static frame (sent once).
    ASSERT_TRUE(EffectThreadsTest::eventually([&] { return keyboardFrames() >= 1; }));
    auto frame = lastKeyboardFrame();
    ASSERT_TRUE(frame);
    EXPECT_EQ(std::count(frame->begin(), frame->end(), 0), 378);

    // The shipped default: colour cycle, colourful, full brightness.
    int loaded = -99;
    ASSERT_TRUE(app_->query([&] {
        app::MainWindow& main = app_->mainWindow();
        loaded = profiles::LoadKeyboardLight(0, main.stores().keyboardLight);
        main.publishLighting();
    }));
    ASSERT_EQ(loaded, profiles::kReadOk);
    const auto before = keyboardFrames();
    ASSERT_TRUE(EffectThreadsTest::eventually([&] { return keyboardFrames() >= before + 3; }));
    frame = lastKeyboardFrame();
    ASSERT_TRUE(frame);
    const Rgb first{(*frame)[0], (*frame)[1], (*frame)[2]};
    EXPECT_NE(first, Rgb{});
    bool onWheel = false;
    for (std::size_t i = 0; i < 192; ++i) {
        onWheel = onWheel || scaleColour(ColourWheel[i], 255) == first;
    }
    EXPECT_TRUE(onWheel);
    for (const std::uint8_t p : RgbLedMap) {
        if (p != kNoLed) {
            EXPECT_EQ((Rgb{(*frame)[3 * p], (*frame)[3 * p + 1], (*frame)[3 * p + 2]}), first)
                << int(p);
        }
    }
}

}  // namespace
}  // namespace korvane::lighting::effects
