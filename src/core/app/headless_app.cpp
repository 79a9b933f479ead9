#include "core/app/headless_app.h"

#include <atomic>
#include <chrono>
#include <memory>

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

HeadlessApp::HeadlessApp(HeadlessAppOptions options)
    : options_(std::move(options)),
      window_([this](bool visible) {
          if (options_.output) {
              options_.output(visible ? "window shown" : "window hidden");
          }
      }),
      autostart_(options_.configHome),
      installer_(options_.installerFile) {
    dialogs_.setOnMessage([this](std::string_view key) {
        if (options_.output) {
            options_.output("message " + std::string(key));
        }
    });
    dialogs_.setPump([this](const std::function<bool()>& until) {
        // A modal box keeps the window's events flowing until it is closed.
        while (!until() && !loop_.pumpUntil(until, std::chrono::milliseconds(1000))) {
        }
    });
}

HeadlessApp::~HeadlessApp() {
    shutdown();
    // The window's objects belong to the main thread; release them there.
    loop_.invoke([this] { main_.reset(); });
    loop_.stop();
}

bool HeadlessApp::start(std::string& error) {
    bool ok = false;
    std::unique_ptr<macros::InputHook> hook =
        options_.makeInputHook ? options_.makeInputHook() : nullptr;
    if (!hook) {
        auto fake = std::make_unique<macros::FakeInputHook>();
        fakeHook_ = fake.get();
        hook = std::move(fake);
    }
    const bool ran = loop_.invoke([&] {
        MainWindowServices services{loop_,
                                    dialogs_,
                                    window_,
                                    autostart_,
                                    installer_,
                                    language_,
                                    options_.hid,
                                    options_.skinFolder,
                                    options_.programFile,
                                    options_.http};
        services.foreground = &foreground_;
        services.inputHook = std::move(hook);
        main_ = std::make_unique<MainWindow>(std::move(services));
        if (!main_->create(error)) {
            return;
        }
        FrontEndHooks hooks;
        hooks.createUpdateWindow = [this](ui::ControlTree& tree, std::function<void()>) {
            auto host = std::make_unique<HeadlessUpdateWindow>(options_.output, [this] {
                updateTree_ = nullptr;
                updateHost_ = nullptr;
            });
            updateTree_ = &tree;
            updateHost_ = host.get();
            return std::unique_ptr<WindowHost>(std::move(host));
        };
        hooks.openUrl = [this](const std::string& url) {
            if (options_.output) {
                options_.output("open " + url);
            }
        };
        main_->setFrontEndHooks(std::move(hooks));
        loop_.setTimerHandler([this](int id) {
            if (main_) {
                main_->onTimer(id);
            }
        });
        if (options_.installFeatures) {
            options_.installFeatures(*main_);
        }
        if (ui::Control* root = main_->tree().root()) {
            main_->tree().raise(ui::notify::kWindowInit, *root);
        }
        ok = true;
    });
    return ran && ok;
}

void HeadlessApp::shutdown() {
    loop_.invoke([this] {
        if (main_) {
            main_->exit();
        }
    });
}

bool HeadlessApp::updateWindowVisible() const {
    return updateHost_ != nullptr && updateHost_->isVisible();
}

bool HeadlessApp::act(std::function<void()> fn) {
    // Only this session stops the loop, so a loop that answers now will run the task.
    if (!loop_.invoke([] {})) {
        return false;
    }
    const int holdsBefore = dialogs_.holdsStarted();
    auto done = std::make_shared<std::atomic<bool>>(false);
    loop_.post([fn = std::move(fn), done] {
        fn();
        done->store(true);
    });
    platform::StopEvent pause;
    while (!done->load()) {
        // A box this action opened and holds; a box held before does not count.
        if (dialogs_.holdsStarted() != holdsBefore) {
            return true;
        }
        pause.wait(std::chrono::milliseconds(1));
    }
    return true;
}

bool HeadlessApp::query(const std::function<void()>& fn) {
    return loop_.invoke(fn);
}

}  // namespace korvane::app
