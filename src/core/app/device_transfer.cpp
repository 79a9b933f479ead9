#include "core/app/device_transfer.h"

#include <atomic>
#include <memory>
#include <string>
#include <utility>

#include "core/app/main_window.h"
#include "core/app/window_messages.h"

namespace korvane::app {
namespace {

constexpr std::string_view kProgressControl = "setting_progress";

// Reports the end of one transfer to the main thread exactly once: when the last copy of
// the queued write goes, whether it ran or was dropped with its device.
class TransferEnd {
  public:
    TransferEnd(MainWindow& main, std::function<void(int)> done)
        : main_(main), loop_(main.loop()), alive_(main.aliveToken()), done_(std::move(done)) {}
    ~TransferEnd() {
        if (alive_.expired()) {
            return;
        }
        loop_.post(
            [&main = main_, alive = alive_, done = std::move(done_), result = result_.load()] {
                if (alive.expired()) {
                    return;
                }
                main.handleMessage(msg::kHideProgressLater);
                if (done) {
                    done(result);
                }
            });
    }
    TransferEnd(const TransferEnd&) = delete;
    TransferEnd& operator=(const TransferEnd&) = delete;

    void setResult(int result) { result_.store(result); }
    void progress(int percent) {
        loop_.post([&main = main_, alive = alive_, percent] {
            if (alive.expired()) {
                return;
            }
            if (ui::Control* control = main.tree().find(kProgressControl)) {
                control->setValue(percent);
            }
        });
    }

  private:
    MainWindow& main_;
    platform::MainLoop& loop_;
    std::weak_ptr<const bool> alive_;
    std::function<void(int)> done_;
    std::atomic<int> result_{device::kResultNotDone};
};

}  // namespace

void RunDeviceTransfer(MainWindow& main, device::DeviceClass deviceClass, DeviceTransfer transfer,
                       std::function<void(int result)> done) {
    // Each transfer gets a name of its own, so a second click queues a second transfer
    // instead of replacing the first.
    static std::atomic<unsigned> serial{0};
    if (ui::Control* control = main.tree().find(kProgressControl)) {
        control->setValue(0);
    }
    main.handleMessage(msg::kShowProgress);
    auto end = std::make_shared<TransferEnd>(main, std::move(done));
    main.queueDeviceWrite(
        deviceClass, "transfer " + std::to_string(++serial),
        [end, transfer = std::move(transfer)](device::DeviceCommander& commander) {
            end->setResult(transfer(commander, [&end](int percent) { end->progress(percent); }));
        });
}

}  // namespace korvane::app
