#include "gui/gui_app.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QUrl>

#include "core/platform/debug_line.h"
#include "core/platform/keep_until_exit.h"
#include "core/ui/skin_reader.h"
#include "gui/device_picture.h"
#include "gui/skin_loader.h"
#include "gui/skin_picker.h"
#include "gui/update_window_view.h"

namespace korvane::gui {
namespace {

// The tray menu opens a little above the pointer, clear of the panel.
constexpr int kTrayMenuRaise = 25;

}  // namespace

GuiApp::GuiApp(GuiAppOptions options, QObject* parent)
    : QObject(parent),
      options_(std::move(options)),
      constructed_(std::chrono::steady_clock::now()),
      language_(options_.skinFolder),
      dialogs_(loop_, options_.skinFolder, language_),
      windowHost_(window_),
      autostart_(options_.configHome),
      installer_(options_.installerFile) {
    dialogs_.setOwner(&window_);
    windowHost_.setOnFirstShow([this] {
        startToShown_ = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - constructed_);
        platform::debugLine("window shown " + std::to_string(startToShown_.count()) +
                            " ms after start");
    });
}

GuiApp::~GuiApp() {
    shutdown();
    // The binder mirrors the tree; it goes before the window logic that owns the tree.
    geometry_.reset();
    binder_.reset();
    if (workersAbandoned()) {
        // A worker that would not end may still use the window logic.
        platform::KeepUntilExit(std::move(main_));
    }
    main_.reset();
    loop_.stop();
}

bool GuiApp::start(std::string& error) {
    app::MainWindowServices services{
        loop_,     dialogs_,     windowHost_,         autostart_,           installer_,
        language_, options_.hid, options_.skinFolder, options_.programFile, options_.http};
    services.foreground = options_.foreground;
    if (options_.makeInputHook) {
        services.inputHook = options_.makeInputHook();
    }
    main_ = std::make_unique<app::MainWindow>(std::move(services));
    if (!main_->create(error)) {
        return false;
    }
    SkinLoader loader(options_.skinFolder);
    QWidget* content = loader.loadWindow(ui::kMainWindowSkin, &window_, error);
    if (content == nullptr) {
        return false;
    }
    window_.setContent(content);
    binder_ = std::make_unique<TreeBinder>(main_->tree(), language_, options_.skinFolder, this);
    binder_->bind(content, &main_->preview());
    window_.setPictures(&main_->preview(), binder_->pictures());
    if (GeometryReport::requested()) {
        geometry_ = std::make_unique<GeometryReport>(main_->tree(), *binder_, window_);
    }
    window_.centreOnScreen();
    window_.setWindowIcon(
        programIcon(QString::fromStdString((options_.skinFolder / "icon.png").string())));

    tray_ = std::make_unique<Tray>(language_, this);
    tray_->icon().setIcon(window_.windowIcon());
    tray_->setOnLeftClick([this] { main_->trayLeftClick(); });
    tray_->setOnRightClick([this] { main_->trayRightClick(); });
    tray_->setOnCommand([this](const std::string& name, const std::string& text) {
        // Not inside the menu's own signal: the command may rebuild or close the menu.
        QMetaObject::invokeMethod(
            this, [this, name, text] { main_->menuCommand(name, text); }, Qt::QueuedConnection);
    });

    app::FrontEndHooks hooks;
    hooks.popupMenu = [this](const ui::Menu& menu) { popupMenu(menu); };
    hooks.openSkinPicker = [this] { openSkinPicker(); };
    hooks.createUpdateWindow = [this](ui::ControlTree& tree, std::function<void()> onClose) {
        return openUpdateWindow(tree, std::move(onClose));
    };
    hooks.openUrl = [](const std::string& url) {
        QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
    };
    hooks.quit = [this] {
        window_.setQuitting(true);
        QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                                  Qt::QueuedConnection);
    };
    main_->setFrontEndHooks(std::move(hooks));
    loop_.setTimerHandler([this](int id) {
        if (main_) {
            main_->onTimer(id);
        }
    });
    power_ = std::make_unique<PowerEvents>([this] { main_->suspend(); },
                                           [this] { main_->resume(); }, this);
    tray_->show();
    if (ui::Control* root = main_->tree().root()) {
        main_->tree().raise(ui::notify::kWindowInit, *root);
    }
    return true;
}

void GuiApp::popupMenu(const ui::Menu& menu) {
    tray_->popup(menu, QCursor::pos() - QPoint(0, kTrayMenuRaise));
}

SkinPicker* GuiApp::openSkinPicker() {
    // Every click makes a new picker; the one before has closed with its focus.
    auto* picker = new SkinPicker(
        options_.skinFolder, language_, dialogs_,
        [this](bool isColour, std::uint32_t argb, const std::string& image) {
            main_->applySkinChange(isColour, argb, image);
        },
        &window_);
    if (!picker->ok()) {
        platform::debugLine("skin picker: " + picker->error());
        delete picker;
        return nullptr;
    }
    if (QWidget* button = binder_->widget("skinbtn")) {
        picker->placeBelow(*button);
    }
    picker->show();
    return picker;
}

std::unique_ptr<app::WindowHost> GuiApp::openUpdateWindow(ui::ControlTree& tree,
                                                          std::function<void()> onClose) {
    auto view = std::make_unique<UpdateWindowView>(options_.skinFolder, language_, tree,
                                                   std::move(onClose));
    if (!view->ok()) {
        platform::debugLine("update window: " + view->error());
        return nullptr;
    }
    view->placeOver(window_);
    return std::make_unique<UpdateWindowHost>(std::move(view));
}

void GuiApp::activate() {
    if (main_) {
        main_->activate();
    }
}

bool GuiApp::workersAbandoned() const {
    return main_ && main_->workers().anyAbandoned();
}

void GuiApp::shutdown() {
    if (main_ && !main_->exited()) {
        main_->exit();
    }
}

}  // namespace korvane::gui
