#include "gui/skin_loader.h"

#include <QDir>
#include <QFile>
#include <QVBoxLayout>
#include <QWidget>

#include "core/ui/skin_reader.h"
#include "gui/device_picture.h"
#include "gui/skin_widgets.h"

namespace korvane::gui {
namespace {

// As deep as the core reader goes: a page that includes itself ends here.
constexpr int kMaxPageDepth = 8;

}  // namespace

SkinLoader::SkinLoader(std::filesystem::path skinFolder, QObject* parent)
    : QUiLoader(parent), skinFolder_(std::move(skinFolder)) {
    setWorkingDirectory(QDir(QString::fromStdString(skinFolder_.string())));
}

bool SkinLoader::isCustomClass(const QString& className) {
    static const QStringList kCustom{"CCircleProgressUI", "CChartViewUI",  "CWndUI",
                                     "OptionButton",      "ColourPalette", "DevicePicture"};
    return kCustom.contains(className) || ui::findPageTag(className.toStdString()) != nullptr;
}

QWidget* SkinLoader::createWidget(const QString& className, QWidget* parent, const QString& name) {
    QWidget* widget = nullptr;
    const std::string tagName = className.toStdString();
    if (const ui::PageTag* tag = ui::findPageTag(tagName)) {
        if (tag->pageFile.empty()) {
            widget = new CircleProgress(parent);
        } else {
            widget = new QWidget(parent);
            widget->setProperty(kPageFileProperty,
                                QString::fromUtf8(tag->pageFile.data(),
                                                  static_cast<qsizetype>(tag->pageFile.size())));
        }
    } else if (className == QLatin1String("CCircleProgressUI")) {
        widget = new CircleProgress(parent);
    } else if (className == QLatin1String("CChartViewUI")) {
        widget = new ChartView(parent);
    } else if (className == QLatin1String("CWndUI")) {
        widget = new WindowHostWidget(parent);
    } else if (className == QLatin1String("OptionButton")) {
        widget = new OptionButton(parent);
    } else if (className == QLatin1String("ColourPalette")) {
        widget = new ColourPalette(parent);
    } else if (className == QLatin1String("DevicePicture")) {
        widget = new DevicePicture(parent);
    } else {
        return QUiLoader::createWidget(className, parent, name);
    }
    widget->setObjectName(name);
    return widget;
}

QWidget* SkinLoader::loadFile(const std::string& fileName, QWidget* parent, std::string& error) {
    const std::filesystem::path path = skinFolder_ / fileName;
    QFile file(QString::fromStdString(path.string()));
    if (!file.open(QIODevice::ReadOnly)) {
        error = path.string() + ": missing";
        return nullptr;
    }
    QWidget* widget = load(&file, parent);
    if (widget == nullptr) {
        error = path.string() + ": " + errorString().toStdString();
    }
    return widget;
}

QWidget* SkinLoader::loadWindow(std::string_view skinName, QWidget* parent, std::string& error) {
    QWidget* root = loadFile(ui::skinFileName(skinName), parent, error);
    if (root == nullptr) {
        return nullptr;
    }
    if (!expandPages(root, 0, error)) {
        delete root;
        return nullptr;
    }
    return root;
}

bool SkinLoader::expandPages(QWidget* root, int depth, std::string& error) {
    QList<QWidget*> holders;
    for (QWidget* w : root->findChildren<QWidget*>()) {
        if (w->property(kPageFileProperty).isValid()) {
            holders.push_back(w);
        }
    }
    for (QWidget* holder : holders) {
        const std::string page = holder->property(kPageFileProperty).toString().toStdString();
        holder->setProperty(kPageFileProperty, QVariant());
        if (depth >= kMaxPageDepth) {
            error =
                ui::skinFileName(page) + ": pages nested too deeply (a page that includes itself?)";
            return false;
        }
        QWidget* content = loadFile(ui::skinFileName(page), holder, error);
        if (content == nullptr) {
            return false;
        }
        auto* box = new QVBoxLayout(holder);
        box->setContentsMargins(0, 0, 0, 0);
        box->setSpacing(0);
        box->addWidget(content);
        if (!expandPages(content, depth + 1, error)) {
            return false;
        }
    }
    return true;
}

QString skinImagePath(const std::filesystem::path& skinFolder, std::string_view image) {
    std::string name(image);
    // "file='name'" with optional further attributes after the quoted name.
    if (const auto pos = name.find("file='"); pos != std::string::npos) {
        const auto start = pos + 6;
        const auto end = name.find('\'', start);
        name = name.substr(start, end == std::string::npos ? std::string::npos : end - start);
    }
    if (name.empty() || name == "0") {
        return {};
    }
    std::filesystem::path path(name);
    if (path.is_relative()) {
        path = skinFolder / path;
    }
    return QString::fromStdString(path.string());
}

}  // namespace korvane::gui
