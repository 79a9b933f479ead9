#include "gui/gui_main.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontDatabase>

#include <iostream>
#include <memory>

#include "backends/curl/curl_http_client.h"
#include "backends/hidapi/hidapi_backend.h"
#include "backends/x11/x11_foreground_app.h"
#include "backends/x11/x11_input_hook.h"
#include "core/device/hid_trace.h"
#include "core/platform/debug_line.h"
#include "core/platform/keep_until_exit.h"
#include "core/platform/paths.h"
#include "gui/gui_app.h"
#include "gui/single_instance.h"
#include "sim/simulated_backend.h"

namespace korvane::gui {
namespace {

// The private font: "Font/angsab.ttf" under the working folder, else the one the skin
// ships. A missing font leaves the system's fonts.
int loadPrivateFont(const std::filesystem::path& skinFolder) {
    for (const QString& path :
         {QDir::current().filePath(QStringLiteral("Font/angsab.ttf")),
          QString::fromStdString((skinFolder / "Font" / "angsab.ttf").string())}) {
        if (QFile::exists(path)) {
            const int id = QFontDatabase::addApplicationFont(path);
            if (id >= 0) {
                return id;
            }
        }
    }
    return -1;
}

std::filesystem::path programFile(const char* argv0) {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path(argv0) : exe;
}

// A skin's own style sheet restyles every window without rebuilding.
void applySkinStyle(QApplication& app, const std::filesystem::path& skinFolder) {
    QFile style(QString::fromStdString((skinFolder / "style.qss").string()));
    if (style.open(QIODevice::ReadOnly)) {
        app.setStyleSheet(QString::fromUtf8(style.readAll()));
    }
}

}  // namespace

int runWindowed(const program::ProgramOptions& options, int argc, char** argv) {
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    app.setApplicationName(QStringLiteral("korvane"));
    // Ties the window to the installed menu entry and its icon (Wayland's app id).
    QGuiApplication::setDesktopFileName(QStringLiteral("org.korvane.Korvane"));
    const int font = loadPrivateFont(options.skinFolder);

    SingleInstance instance;
    if (!instance.acquire()) {
        // The running program restores itself; this one ends without a window.
        if (font >= 0) {
            QFontDatabase::removeApplicationFont(font);
        }
        return 0;
    }
    applySkinStyle(app, options.skinFolder);

    std::unique_ptr<device::HidBackend> backend;
    if (options.simulate) {
        auto simulated = std::make_unique<sim::SimulatedBackend>(options.simSettings);
        for (const device::DeviceKind kind : options.models) {
            simulated->plug(kind);
        }
        backend = device::withTraceFromEnvironment(std::move(simulated));
    } else {
        backend = device::withTraceFromEnvironment(backends::makeHidapiBackend());
    }

    const std::unique_ptr<update::HttpClient> http = backends::makeCurlHttpClient();
    // Linked profiles follow the active window where the display is X11; elsewhere they
    // stay as the user chose.
    std::unique_ptr<profiles::ForegroundApp> foreground;
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        foreground = backends::makeX11ForegroundApp();
    }

    int code = 0;
    {
        GuiAppOptions appOptions;
        appOptions.skinFolder = options.skinFolder;
        appOptions.programFile = programFile(argc > 0 ? argv[0] : "korvane");
        appOptions.installerFile = platform::ProgramFolder() / "install.ini";
        appOptions.hid = backend.get();
        appOptions.makeInputHook = [] { return backends::x11::makeX11InputHook(); };
        appOptions.http = http.get();
        appOptions.foreground = foreground.get();
        GuiApp gui(std::move(appOptions));
        instance.setOnActivate([&gui] { gui.activate(); });
        std::string error;
        if (!gui.start(error)) {
            std::cerr << "korvane: " << error << '\n';
            code = 1;
        } else {
            code = QApplication::exec();
        }
        gui.shutdown();
        if (gui.workersAbandoned()) {
            // A worker stuck in a device call still uses the devices and the window.
            platform::EndProcessNow(code);
        }
    }
    if (font >= 0) {
        QFontDatabase::removeApplicationFont(font);
    }
    return code;
}

}  // namespace korvane::gui
