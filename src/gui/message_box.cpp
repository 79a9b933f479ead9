#include "gui/message_box.h"

#include <QFileDialog>
#include <QMouseEvent>
#include <QVBoxLayout>

#include "core/platform/debug_line.h"
#include "core/ui/skin_reader.h"
#include "gui/language_texts.h"
#include "gui/skin_loader.h"
#include "gui/tree_binder.h"

namespace korvane::gui {
namespace {

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    return QString::fromUtf8(a.data(), static_cast<qsizetype>(a.size()))
               .compare(QString::fromUtf8(b.data(), static_cast<qsizetype>(b.size())),
                        Qt::CaseInsensitive) == 0;
}

}  // namespace

MessageBox::MessageBox(const std::filesystem::path& skinFolder, QtLanguageHost& language,
                       QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint | Qt::Tool) {
    setObjectName(QStringLiteral("msgwnd"));
    setModal(true);
    if (!ui::ReadSkin(skinFolder, ui::kMessageBoxSkin, tree_, error_)) {
        return;
    }
    SkinLoader loader(skinFolder);
    QWidget* content = loader.loadWindow(ui::kMessageBoxSkin, this, error_);
    if (content == nullptr) {
        return;
    }
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->addWidget(content);
    setFixedSize(content->size());
    binder_ = std::make_unique<TreeBinder>(tree_, language, skinFolder, this);
    binder_->bind(content);
    tree_.setNotifyHandler([this](const ui::Notification& n) { onNotify(n); });
    ok_ = true;
}

MessageBox::~MessageBox() {
    tree_.setNotifyHandler({});
}

void MessageBox::setTextKey(std::string_view key) {
    if (key.empty()) {
        return;
    }
    if (ui::Control* text = tree_.find("MessageText")) {
        text->setText(std::string(key));
    }
}

void MessageBox::onNotify(const ui::Notification& notification) {
    if (notification.type != ui::notify::kClick) {
        return;
    }
    const std::string& name = notification.sender.name();
    if (name == "closebtn") {
        done(0);
    } else if (equalsIgnoreCase(name, "confirm_btn")) {
        done(1);
    } else if (name == "cancel_btn") {
        done(0);
    }
}

// The box has no frame: it is dragged by its background.
void MessageBox::mousePressEvent(QMouseEvent* event) {
    dragOffset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

void MessageBox::mouseMoveEvent(QMouseEvent* event) {
    if ((event->buttons() & Qt::LeftButton) != 0) {
        move(event->globalPosition().toPoint() - dragOffset_);
    }
}

QtDialogs::QtDialogs(platform::MainLoop& loop, std::filesystem::path skinFolder,
                     QtLanguageHost& language)
    : loop_(loop), skinFolder_(std::move(skinFolder)), language_(language) {}

int QtDialogs::showMessage(std::string_view textKey) {
    if (!loop_.isMainThread()) {
        // A worker never waits for the user.
        loop_.post([this, key = std::string(textKey)] { showMessage(key); });
        return 0;
    }
    MessageBox box(skinFolder_, language_, owner_);
    if (!box.ok()) {
        platform::debugLine("message box: " + box.error());
        return 0;
    }
    box.setTextKey(textKey);
    if (owner_ != nullptr && owner_->isVisible()) {
        box.move(owner_->geometry().center() - box.rect().center());
    }
    ++openBoxes_;
    if (onOpen_) {
        onOpen_(box);
    }
    const int code = box.exec();
    --openBoxes_;
    return code;
}

int QtDialogs::showMessageNumber(std::string_view textKey, long long number) {
    // The filled-in text is no language key: the box shows it as it stands.
    return showMessage(ui::FormatMessageNumber(language_.translate(textKey), number));
}

QString toQtFilter(std::string_view filter) {
    const QStringList parts =
        QString::fromUtf8(filter.data(), static_cast<qsizetype>(filter.size()))
            .split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        const QString pattern = parts[i + 1].trimmed();
        if (description.isEmpty() && pattern.isEmpty()) {
            continue;
        }
        filters << (description.contains(pattern)
                        ? description
                        : description + QStringLiteral(" (") + pattern + QLatin1Char(')'));
    }
    return filters.join(QStringLiteral(";;"));
}

std::optional<std::filesystem::path> QtDialogs::openFile(const ui::FileDialogOptions& options) {
    const QString chosen = QFileDialog::getOpenFileName(
        owner_, QString(), QString::fromStdString(options.folder.string()),
        toQtFilter(options.filter));
    if (chosen.isEmpty()) {
        return std::nullopt;
    }
    return std::filesystem::path(chosen.toStdString());
}

std::optional<std::filesystem::path> QtDialogs::saveFile(const ui::FileDialogOptions& options) {
    QFileDialog dialog(owner_, QString(), QString::fromStdString(options.folder.string()),
                       toQtFilter(options.filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QString::fromStdString(options.defaultExtension));
    if (!options.fileName.empty() && options.fileName.find('*') == std::string::npos) {
        dialog.selectFile(QString::fromStdString(options.fileName));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return std::filesystem::path(dialog.selectedFiles().front().toStdString());
}

}  // namespace korvane::gui
