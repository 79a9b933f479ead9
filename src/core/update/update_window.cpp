#include "core/update/update_window.h"

#include <algorithm>
#include <cstdio>

#include "core/app/language.h"
#include "core/app/main_window.h"
#include "core/app/window_messages.h"
#include "core/platform/debug_line.h"
#include "core/platform/main_ini.h"
#include "core/platform/paths.h"
#include "core/ui/skin_reader.h"
#include "core/update/versions.h"

namespace korvane::update {
namespace {

enum class RowDevice { Software, Keyboard, Mouse };

struct Row {
    std::string_view button;
    std::string_view page;  // empty: always shown
    std::string_view installed;
    std::string_view newest;
    std::string_view progress;  // empty: the row shows no progress
    RowDevice device;
    int shown;  // the keyboard-shown or mouse-shown number that shows it
};

constexpr std::array<Row, UpdateWindow::kRowCount> kRows{{
    {"soft_update_btn", "", "soft_now_version", "soft_new_version", "", RowDevice::Software, 0},
    {"rgb_kb_btn", "rgb_page", "RGB_KB_N", "RGB_KB_F", "rgb_progress_text", RowDevice::Keyboard, 1},
    {"bule_kb_btn", "blue_page", "BLUE_KB_N", "BLUE_KB_F", "blue_progress_text",
     RowDevice::Keyboard, 2},
    {"region_kb_btn", "region_page", "REGION_KB_N", "REGION_KB_F", "region_progress_text",
     RowDevice::Keyboard, 3},
    {"membrane_kb_btn", "ZR530X_page", "ZR530X_KB_N", "ZR530X_KB_F", "membrane_progress_text",
     RowDevice::Keyboard, 4},
    {"ms_update_btn", "ms_page", "ms_now_fw", "ms_new", "ms_progress_text", RowDevice::Mouse, 1},
    {"ms2_update_btn", "MS2_page", "MS2_now_N", "MS2_new_F", "ms2_progress_text", RowDevice::Mouse,
     2},
}};

// The language list shows the languages in the order 1, 2, 0, 3 … 9 of the language table.
constexpr std::array<int, 10> kLanguageOfItem{1, 2, 0, 3, 4, 5, 6, 7, 8, 9};

}  // namespace

UpdateWindow::UpdateWindow(UpdateContext& context, std::function<void()> requestClose)
    : context_(context),
      requestClose_(std::move(requestClose)),
      mailbox_(Mailbox::create(context.main.loop())) {
    tree_.setNotifyHandler([this](const ui::Notification& n) { onNotify(n); });
}

UpdateWindow::~UpdateWindow() {
    mailbox_->close();
    terminateReadback();
    readback_.reset();
    launches_.clear();
    view_.reset();
    tree_.setNotifyHandler({});
}

bool UpdateWindow::create(std::string& error) {
    return ui::ReadSkin(context_.main.skinFolder(), kUpdateWindowSkin, tree_, error);
}

void UpdateWindow::setText(std::string_view name, const std::string& text) {
    if (ui::Control* control = tree_.find(name)) {
        control->setText(text);
    }
}

void UpdateWindow::setVisible(std::string_view name, bool visible) {
    if (ui::Control* control = name.empty() ? nullptr : tree_.find(name)) {
        control->setVisible(visible);
    }
}

void UpdateWindow::setEnabled(std::string_view name, bool enabled) {
    if (ui::Control* control = tree_.find(name)) {
        control->setEnabled(enabled);
    }
}

void UpdateWindow::onNotify(const ui::Notification& notification) {
    const std::string_view type = notification.type;
    const std::string& name = notification.sender.name();
    if (type == ui::notify::kWindowInit) {
        windowInit();
    } else if (type == ui::notify::kItemSelect && name == "lanuage_select_combo") {
        languageSelected(notification.sender.currentItem());
    } else if (type == ui::notify::kClick) {
        if (name == "closebtn") {
            terminateReadback();
            requestClose_();
        } else if (name == "net_btn") {
            openPage(context_.settings.homePage);
        } else if (name == "facebook_btn") {
            openPage(context_.settings.socialPage);
        } else {
            for (std::size_t row = 0; row < kRows.size(); ++row) {
                if (kRows[row].button == name) {
                    launch(row);
                }
            }
        }
    }
}

void UpdateWindow::windowInit() {
    selectLanguageItem();
    setEnabled("net_btn", context_.settings.homePage.has_value());
    setEnabled("facebook_btn", context_.settings.socialPage.has_value());
    showPages();
    showInstalled();
    startReadback();
}

void UpdateWindow::selectLanguageItem() {
    ui::Control* combo = tree_.find("lanuage_select_combo");
    if (combo == nullptr) {
        return;
    }
    const long language = platform::MainIni(platform::MainIniPath()).language();
    const auto* item = std::find(kLanguageOfItem.begin(), kLanguageOfItem.end(), language);
    if (item != kLanguageOfItem.end()) {
        combo->selectItem(static_cast<int>(item - kLanguageOfItem.begin()));
    }
}

void UpdateWindow::languageSelected(int item) {
    if (item < 0 || item >= static_cast<int>(kLanguageOfItem.size())) {
        return;
    }
    app::MainWindow& main = context_.main;
    platform::MainIni mainIni(platform::MainIniPath());
    if (!app::SwitchLanguage(kLanguageOfItem[static_cast<std::size_t>(item)], mainIni,
                             main.installer(), main.language())) {
        return;
    }
    if (view_) {
        view_->invalidate();
    }
    main.post(app::msg::kReloadTexts);
}

void UpdateWindow::showPages() {
    const int keyboard = context_.main.kinds().keyboardShown.load();
    const int mouse = context_.main.kinds().mouseShown.load();
    for (const Row& row : kRows) {
        if (row.device == RowDevice::Keyboard) {
            setVisible(row.page, row.shown == keyboard);
        } else if (row.device == RowDevice::Mouse) {
            setVisible(row.page, row.shown == mouse);
        }
    }
}

void UpdateWindow::showInstalled() {
    const app::CurrentKinds& kinds = context_.main.kinds();
    for (const Row& row : kRows) {
        switch (row.device) {
            case RowDevice::Software:
                setText(row.installed, "V" + context_.settings.installedVersion);
                break;
            case RowDevice::Keyboard:
                setText(row.installed, FirmwareLabel(kinds.keyboardFirmware.load()));
                break;
            case RowDevice::Mouse:
                setText(row.installed, FirmwareLabel(kinds.mouseFirmware.load()));
                break;
        }
        // Nothing to update to until the service has named a newer version.
        setText(row.newest, std::string(kUnknownVersion));
        setEnabled(row.button, false);
    }
}

void UpdateWindow::startReadback() {
    readback_.reset();
    if (context_.http == nullptr || !context_.settings.endpoint) {
        platform::debugLine("no update service configured: versions unknown");
        return;
    }
    const int keyboard = context_.main.kinds().keyboardShown.load();
    const int mouse = context_.main.kinds().mouseShown.load();
    std::vector<std::pair<std::size_t, std::string_view>> queries;
    for (std::size_t i = 0; i < kRows.size(); ++i) {
        const Row& row = kRows[i];
        const bool shown = row.device == RowDevice::Software ||
                           (row.device == RowDevice::Keyboard && row.shown == keyboard) ||
                           (row.device == RowDevice::Mouse && row.shown == mouse);
        if (shown) {
            queries.emplace_back(i, ProductOfButton(row.button)->code);
        }
    }
    readback_ = std::make_unique<BackgroundTask>(
        "kv-update-read", [this, http = context_.http, url = *context_.settings.endpoint, queries,
                           mailbox = mailbox_](const platform::StopEvent& stop) {
            ServiceClient service(*http, url, stop);
            for (const auto& [row, code] : queries) {
                std::string version = service.QueryServerVersionText(code);
                if (stop.isSet()) {
                    return;
                }
                mailbox->post(
                    [this, row, version = std::move(version)] { showNewest(row, version); });
            }
        });
}

void UpdateWindow::showNewest(std::size_t index, const std::string& version) {
    const Row& row = kRows[index];
    const app::CurrentKinds& kinds = context_.main.kinds();
    bool enable = false;
    std::optional<long> newest;
    switch (row.device) {
        case RowDevice::Software:
            newest = PlausibleVersion(version, kSoftwareVersionLimit);
            enable = newest.has_value();
            break;
        case RowDevice::Keyboard:
            newest = PlausibleVersion(version, kFirmwareVersionLimit);
            enable = newest && *newest > FirmwareNumber(kinds.keyboardFirmware.load());
            break;
        case RowDevice::Mouse:
            newest = PlausibleVersion(version, kFirmwareVersionLimit);
            enable = newest && *newest > FirmwareNumber(kinds.mouseFirmware.load());
            break;
    }
    setText(row.newest, newest ? "V" + version : std::string(kUnknownVersion));
    setEnabled(row.button, enable);
}

void UpdateWindow::launch(std::size_t index) {
    if (context_.http == nullptr || !context_.settings.endpoint) {
        return;
    }
    const Row& row = kRows[index];
    const Product& product = *ProductOfButton(row.button);
    const app::CurrentKinds& kinds = context_.main.kinds();
    // The installed version as the updater wants it; a product without one is told the
    // service's version.
    std::string installed;
    switch (product.local) {
        case LocalVersion::Software:
            installed = context_.settings.installedVersion;
            break;
        case LocalVersion::KeyboardFirmware:
            installed = FirmwareDisplay(kinds.keyboardFirmware.load());
            break;
        case LocalVersion::MouseFirmware:
            installed = FirmwareDisplay(kinds.mouseFirmware.load());
            break;
    }
    std::erase_if(launches_, [](const auto& task) { return task->finished(); });
    launches_.push_back(std::make_unique<BackgroundTask>(
        "kv-update-start",
        [this, index, &product, installed, http = context_.http, url = *context_.settings.endpoint,
         mailbox = mailbox_](const platform::StopEvent& stop) {
            ServiceClient service(*http, url, stop);
            const std::optional<long> accepted = service.Announce(product.code);
            if (accepted != kAnnounceAccepted) {
                platform::debugLine("update not accepted for " + std::string(product.code));
                return;
            }
            const std::string version = service.QueryServerVersionText(product.code);
            if (stop.isSet()) {
                return;
            }
            std::string parameters =
                std::string(product.productId) + ";en;" + (installed.empty() ? version : installed);
            mailbox->post([this, index, parameters = std::move(parameters)] {
                startUpdater(index, parameters);
            });
        }));
}

void UpdateWindow::startUpdater(std::size_t index, const std::string& parameters) {
    if (context_.updater == nullptr) {
        return;
    }
    const platform::SpawnError error = context_.updater->start(parameters);
    if (error != platform::SpawnError::None) {
        context_.main.showMessage(kNoUpdaterMessage);
        return;
    }
    // The software row has no progress to show.
    if (!kRows[index].progress.empty()) {
        running_[index] = true;
    }
}

void UpdateWindow::openPage(const std::optional<std::string>& page) {
    if (!page) {
        return;
    }
    if (const auto& open = context_.main.frontEndHooks().openUrl) {
        open(*page);
    } else {
        platform::debugLine("no browser to open " + *page);
    }
}

void UpdateWindow::restoreRunningRows() {
    for (std::size_t row = 0; row < kRows.size(); ++row) {
        if (running_[row]) {
            setVisible(kRows[row].progress, false);
            setVisible(kRows[row].button, true);
        }
    }
}

void UpdateWindow::onUpdaterMessage(const UpdaterMessage& message) {
    switch (message.type) {
        case UpdaterReport::Success:
            platform::debugLine("Download successfully.");
            terminateReadback();
            running_.fill(false);
            requestClose_();
            break;
        case UpdaterReport::NothingToDo:
            platform::debugLine("可以做但没必要");
            break;
        case UpdaterReport::Failure: {
            char text[64] = {};
            std::snprintf(text, sizeof text, "Download fail, error code:%d", message.value);
            platform::debugLine(text);
            platform::debugLine("下载失败");
            // The rows come back so the update can be tried again.
            restoreRunningRows();
            running_.fill(false);
            break;
        }
        case UpdaterReport::Progress: {
            const std::string percent = std::to_string(message.value) + "%";
            for (std::size_t row = 0; row < kRows.size(); ++row) {
                if (running_[row]) {
                    setVisible(kRows[row].button, false);
                    setVisible(kRows[row].progress, true);
                    setText(kRows[row].progress, percent);
                }
            }
            if (view_) {
                view_->invalidate();
            }
            break;
        }
    }
}

void UpdateWindow::terminateReadback() {
    if (readback_) {
        readback_->cancel();
    }
    for (const auto& task : launches_) {
        task->cancel();
    }
}

void UpdateWindow::deviceChanged() {
    showPages();
    showInstalled();
    startReadback();
}

}  // namespace korvane::update
