#include "gui/skin_picker.h"

#include <QAbstractButton>
#include <QVBoxLayout>

#include "core/platform/debug_line.h"
#include "core/platform/main_ini.h"
#include "core/platform/paths.h"
#include "core/ui/dialogs.h"
#include "core/ui/skin_reader.h"
#include "gui/skin_loader.h"
#include "gui/tree_binder.h"

namespace korvane::gui {
namespace {

constexpr char kDefaultImage[] = "common/background.png";

}  // namespace

SkinPicker::SkinPicker(const std::filesystem::path& skinFolder, QtLanguageHost& language,
                       ui::Dialogs& dialogs, Apply apply, QWidget* owner)
    : QWidget(owner, Qt::Popup | Qt::FramelessWindowHint),
      dialogs_(dialogs),
      apply_(std::move(apply)) {
    setObjectName(QStringLiteral("skinframe"));
    setAttribute(Qt::WA_DeleteOnClose);
    if (!ui::ReadSkin(skinFolder, "skin", tree_, error_)) {
        return;
    }
    SkinLoader loader(skinFolder);
    QWidget* content = loader.loadWindow("skin", this, error_);
    if (content == nullptr) {
        return;
    }
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->addWidget(content);
    setFixedSize(content->size());
    binder_ = std::make_unique<TreeBinder>(tree_, language, skinFolder, this);
    binder_->bind(content);
    for (QAbstractButton* button : content->findChildren<QAbstractButton*>()) {
        connect(button, &QAbstractButton::clicked, this, [this, button] { onButton(*button); });
    }
    ok_ = true;
}

SkinPicker::~SkinPicker() = default;

void SkinPicker::placeBelow(const QWidget& button) {
    const QPoint bottomRight = button.mapToGlobal(QPoint(button.width(), button.height()));
    move(bottomRight.x() - width(), bottomRight.y());
}

void SkinPicker::onButton(QWidget& button) {
    const QString name = button.objectName();
    auto is = [&name](const char* other) {
        return name.compare(QLatin1String(other), Qt::CaseInsensitive) == 0;
    };
    platform::MainIni mainIni(platform::MainIniPath());
    if (is("skin_image_btn")) {
        const std::string image = button.property("bkimage").toString().toStdString();
        apply_(false, 0, image);
        mainIni.setFlags(1);
        mainIni.setImage(image);
    } else if (is("skin_color_btn")) {
        const std::uint32_t colour = button.property("bkcolor").toString().toUInt(nullptr, 0);
        apply_(true, colour, {});
    } else if (is("skin_color") || is("skin_image")) {
        if (ui::Control* tab = tree_.find("skin_tab")) {
            tab->setPage(is("skin_color") ? 1 : 0);
        }
    } else if (is("skin_reset")) {
        apply_(false, 0, kDefaultImage);
        mainIni.setFlags(0);
        mainIni.setImage(kDefaultImage);
    } else if (is("skin_Custom")) {
        ui::FileDialogOptions options;
        options.defaultExtension = "png";
        options.fileName = "*.png";
        options.filter = "(*.png) | *.png |(*.*)|*.*||";
        // The dialog takes the focus; the picker must not vanish under it.
        setWindowFlag(Qt::Popup, false);
        if (const auto file = dialogs_.openFile(options)) {
            apply_(false, 0, file->string());
        }
        close();
    }
}

}  // namespace korvane::gui
