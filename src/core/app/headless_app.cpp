#include "core/app/headless_app.h"

#include <atomic>
#include <chrono>
#include <memory>

#include "core/platform/keep_until_exit.h"
#include "core/platform/stop_event.h"

namespace korvane::app {
namespace {

// The update window without a display: keeps its state and tells the session when it shows
// and hides, and that it is gone.
class HeadlessUpdateWindow final : public WindowHost {
  public:
    HeadlessUpdateWindow(std::function<void(std::string_view)> output, std::function<void()> gone)
        : host_([output](bool visible) {
              if (output) {
                  output(visible ? "update window shown" : "update window hidden");
              }
          }),
          gone_(std::move(gone)) {}
    ~HeadlessUpdateWindow() override { gone_(); }

    void show() override { host_.show(); }
    void hide() override { host_.hide(); }
    bool isVisible() const override { return host_.isVisible(); }
    bool isMinimised() const override { return host_.isMinimised(); }
    void minimise() override { host_.minimise(); }
    void maximise() override { host_.maximise(); }
    void restore() override { host_.restore(); }
    void bringToFront() override { host_.bringToFront(); }
    void invalidate() override { host_.invalidate(); }

  private:
    HeadlessWindowHost host_;
    std::function<void()> gone_;
};

}  // namespace

HeadlessApp::Parts::Parts(HeadlessAppOptions o)
    : options(std::move(o)),
      window([this](bool visible) {
          if (options.output) {
              options.output(visible ? "window shown" : "window hidden");
          }
      }),
      autostart(options.configHome),
      installer(options.installerFile) {
    dialogs.setOnMessage([this](std::string_view key) {
        if (options.output) {
            options.output("message " + std::string(key));
        }
    });
    dialogs.setPump([this](const std::function<bool()>& until) {
        // A modal box keeps the window's events flowing until it is closed.
        while (!until() && !loop.pumpUntil(until, std::chrono::milliseconds(1000))) {
        }
    });
}

HeadlessApp::HeadlessApp(HeadlessAppOptions options)
    : parts_(std::make_unique<Parts>(std::move(options))) {}

HeadlessApp::~HeadlessApp() {
    shutdown();
    Parts& p = *parts_;
    if (workersAbandoned()) {
        // A worker that would not end may still use the window and what it refers to.
        p.loop.stop();
        platform::KeepUntilExit(std::move(parts_));
        return;
    }
    // The window's objects belong to the main thread; release them there.
    p.loop.invokeAsOwner([&p] { p.main.reset(); });
    p.loop.stop();
}

bool HeadlessApp::workersAbandoned() const {
    return parts_->main && parts_->main->workers().anyAbandoned();
}

bool HeadlessApp::start(std::string& error) {
    bool ok = false;
    Parts& p = *parts_;
    std::unique_ptr<macros::InputHook> hook =
        p.options.makeInputHook ? p.options.makeInputHook() : nullptr;
    if (!hook) {
        auto fake = std::make_unique<macros::FakeInputHook>();
        p.fakeHook = fake.get();
        hook = std::move(fake);
    }
    const bool ran = p.loop.invokeAsOwner([&] {
        MainWindowServices services{p.loop,
                                    p.dialogs,
                                    p.window,
                                    p.autostart,
                                    p.installer,
                                    p.language,
                                    p.options.hid,
                                    p.options.skinFolder,
                                    p.options.programFile,
                                    p.options.http};
        services.foreground = &p.foreground;
        services.inputHook = std::move(hook);
        p.main = std::make_unique<MainWindow>(std::move(services));
        if (!p.main->create(error)) {
            return;
        }
        FrontEndHooks hooks;
        hooks.createUpdateWindow = [&p](ui::ControlTree& tree, std::function<void()>) {
            auto host = std::make_unique<HeadlessUpdateWindow>(p.options.output, [&p] {
                p.updateTree = nullptr;
                p.updateHost = nullptr;
            });
            p.updateTree = &tree;
            p.updateHost = host.get();
            return std::unique_ptr<WindowHost>(std::move(host));
        };
        hooks.openUrl = [&p](const std::string& url) {
            if (p.options.output) {
                p.options.output("open " + url);
            }
        };
        p.main->setFrontEndHooks(std::move(hooks));
        p.loop.setTimerHandler([&p](int id) {
            if (p.main) {
                p.main->onTimer(id);
            }
        });
        if (p.options.installFeatures) {
            p.options.installFeatures(*p.main);
        }
        if (ui::Control* root = p.main->tree().root()) {
            p.main->tree().raise(ui::notify::kWindowInit, *root);
        }
        ok = true;
    });
    return ran && ok;
}

void HeadlessApp::shutdown() {
    Parts& p = *parts_;
    p.loop.invokeAsOwner([&p] {
        if (p.main) {
            p.main->exit();
        }
    });
}

bool HeadlessApp::updateWindowVisible() const {
    return parts_->updateHost != nullptr && parts_->updateHost->isVisible();
}

bool HeadlessApp::act(std::function<void()> fn) {
    // Only this session stops the loop, so a loop that answers now will run the task.
    if (!loop().invokeAsOwner([] {})) {
        return false;
    }
    const int holdsBefore = dialogs().holdsStarted();
    auto done = std::make_shared<std::atomic<bool>>(false);
    loop().postAsOwner([fn = std::move(fn), done] {
        fn();
        done->store(true);
    });
    platform::StopEvent pause;
    while (!done->load()) {
        // A box this action opened and holds; a box held before does not count.
        if (dialogs().holdsStarted() != holdsBefore) {
            return true;
        }
        pause.wait(std::chrono::milliseconds(1));
    }
    return true;
}

bool HeadlessApp::query(const std::function<void()>& fn) {
    return loop().invokeAsOwner(fn);
}

}  // namespace korvane::app
