// The window's cost: CPU of the whole process with the window on screen and in the tray
// while all three device pictures animate, time from start to the window shown, resident
// memory. Run under Xvfb (or any X display):
//   xvfb-run -a build/default/bench/korvane_bench_gui_window
// The preview buffer is driven from a thread at the effect threads' frame rate, the way
// they write it; KORVANE_BENCH_SCREENSHOT=file.png saves the window as it was shown.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include "core/device/device_kind.h"
#include "core/ui/preview_buffer.h"
#include "gui/gui_app.h"
#include "sim/simulated_backend.h"

namespace {

using namespace korvane;
using namespace std::chrono_literals;

constexpr auto kFramePeriod = 20ms;  // about the effect threads' fastest frame delay

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double residentMegabytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stod(line.substr(6)) / 1024.0;
        }
    }
    return 0;
}

// Runs the event loop for the time; returns the CPU share of one core the process used.
double cpuShareWhileRunning(std::chrono::milliseconds span) {
    const double before = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    QEventLoop loop;
    QTimer::singleShot(span, &loop, &QEventLoop::quit);
    loop.exec();
    return (cpuSeconds() - before) / (static_cast<double>(wall.elapsed()) / 1000.0) * 100.0;
}

void BM_WindowWithAnimatedPictures(benchmark::State& state) {
    static int argc = 1;
    static char name[] = "korvane_bench_gui_window";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    QFile style(QStringLiteral(KORVANE_SOURCE_SKIN_DIR "/style.qss"));
    if (style.open(QIODevice::ReadOnly)) {
        app.setStyleSheet(QString::fromUtf8(style.readAll()));
    }
    QTemporaryDir data;
    qputenv("KORVANE_DATA_ROOT", data.filePath("data").toUtf8());

    for (auto _ : state) {
        sim::SimulatedBackend backend(sim::SimSettings{});
        backend.plug(device::DeviceKind::RgbKeyboard);
        backend.plug(device::DeviceKind::Mouse);
        backend.plug(device::DeviceKind::MousePad);
        gui::GuiAppOptions options;
        options.skinFolder = KORVANE_SOURCE_SKIN_DIR;
        options.installerFile = data.filePath("install.ini").toStdString();
        options.configHome = data.filePath("config").toStdString();
        options.hid = &backend;

        QElapsedTimer started;
        started.start();
        gui::GuiApp gui(options);
        std::string error;
        if (!gui.start(error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        // What a connection does once the device is read.
        gui.window().show();
        while (!gui.window().isVisible()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        QCoreApplication::processEvents();
        const double startToShownMs = static_cast<double>(started.elapsed());

        std::atomic<bool> stop{false};
        ui::PreviewBuffer& preview = gui.mainWindow().preview();
        std::thread effects([&] {
            std::uint32_t step = 0;
            while (!stop.load()) {
                ++step;
                for (int i = 0; i < ui::PreviewBuffer::kSize; ++i) {
                    const std::uint32_t hue =
                        (step * 7 + static_cast<std::uint32_t>(i) * 13) & 0xFF;
                    preview.set(i, (hue << 16) | ((255 - hue) << 8) | (hue / 2), 255);
                }
                std::this_thread::sleep_for(kFramePeriod);
            }
        });

        const double visible = cpuShareWhileRunning(std::chrono::milliseconds(state.range(0)));
        if (const char* shot = std::getenv("KORVANE_BENCH_SCREENSHOT")) {
            gui.window().grab().save(QString::fromLocal8Bit(shot));
        }
        const double rss = residentMegabytes();
        gui.window().hide();
        const double hidden = cpuShareWhileRunning(std::chrono::milliseconds(state.range(0)));
        stop = true;
        effects.join();

        state.counters["cpu_visible_pct"] = visible;
        state.counters["cpu_hidden_pct"] = hidden;
        state.counters["start_to_window_ms"] = startToShownMs;
        state.counters["rss_mb"] = rss;
    }
    qunsetenv("KORVANE_DATA_ROOT");
}

BENCHMARK(BM_WindowWithAnimatedPictures)->Arg(5000)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
