#include "gui/language_texts.h"

#include <QApplication>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QWidget>
#include <QXmlStreamReader>

#include "core/platform/debug_line.h"

namespace korvane::gui {
namespace {

// Language files are small; anything far larger is not one.
constexpr qint64 kMaxLanguageFileBytes = 4 * 1024 * 1024;
constexpr int kMaxTexts = 20000;

}  // namespace

bool ReadLanguageFile(const std::filesystem::path& file, QHash<QString, QString>& texts,
                      std::string& error) {
    QFile in(QString::fromStdString(file.string()));
    if (!in.open(QIODevice::ReadOnly)) {
        error = file.string() + ": missing or unreadable";
        return false;
    }
    if (in.size() > kMaxLanguageFileBytes) {
        error = file.string() + ": too large for a language file";
        return false;
    }
    QXmlStreamReader xml(&in);
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("language")) {
        error = file.string() + ": not a language file (no <language>)";
        return false;
    }
    QHash<QString, QString> read;
    while (xml.readNextStartElement()) {
        if (xml.name() != QLatin1String("text")) {
            xml.skipCurrentElement();
            continue;
        }
        const QString key = xml.attributes().value(QLatin1String("key")).toString();
        const QString value = xml.readElementText();
        if (key.isEmpty()) {
            continue;
        }
        if (read.size() >= kMaxTexts) {
            error = file.string() + ": too many texts";
            return false;
        }
        read.insert(key, value);
    }
    if (xml.hasError()) {
        error = file.string() + ": " + xml.errorString().toStdString() + " at line " +
                std::to_string(xml.lineNumber());
        return false;
    }
    texts = std::move(read);
    return true;
}

QString resolveFontFamily(const QString& face) {
    if (QFontDatabase::hasFamily(face)) {
        return face;
    }
    if (face.startsWith(QLatin1String("Browallia"), Qt::CaseInsensitive)) {
        const QStringList thai = QFontDatabase::families(QFontDatabase::Thai);
        if (!thai.isEmpty()) {
            return thai.front();
        }
    }
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
}

QtLanguageHost::QtLanguageHost(std::filesystem::path skinFolder)
    : skinFolder_(std::move(skinFolder)) {}

void QtLanguageHost::setResourceLanguage(std::string_view name) {
    resourceLanguage_ = name;
}

bool QtLanguageHost::loadLanguageFile(std::string_view file) {
    QHash<QString, QString> texts;
    std::string error;
    if (!ReadLanguageFile(skinFolder_ / std::string(file), texts, error)) {
        platform::debugLine(error);
        return false;
    }
    if (file == "lan.xml") {
        base_ = std::move(texts);
    } else {
        texts_ = std::move(texts);
    }
    languageFile_ = file;
    return true;
}

void QtLanguageHost::setDefaultFont(std::string_view face, int points) {
    const QString asked = QString::fromUtf8(face.data(), static_cast<qsizetype>(face.size()));
    fontFamily_ = resolveFontFamily(asked);
    if (fontFamily_ != asked) {
        platform::debugLine("font " + asked.toStdString() + " is not installed, using " +
                            fontFamily_.toStdString());
    }
    QFont font(fontFamily_);
    font.setPointSize(points);
    font.setBold(false);
    font.setItalic(false);
    font.setUnderline(false);
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr) {
        QApplication::setFont(font);
        // Widgets that carry a font of their own drop it for the default.
        for (QWidget* top : QApplication::topLevelWidgets()) {
            top->setFont(font);
            for (QWidget* child : top->findChildren<QWidget*>()) {
                child->setFont(QFont());
            }
        }
    }
}

void QtLanguageHost::reloadTexts() {
    // A listener may remove itself or another while the windows reload.
    const auto listeners = listeners_;
    for (const auto& [id, listener] : listeners) {
        listener();
    }
}

QString QtLanguageHost::text(const QString& key) const {
    if (const auto it = texts_.constFind(key); it != texts_.constEnd()) {
        return *it;
    }
    if (const auto it = base_.constFind(key); it != base_.constEnd()) {
        return *it;
    }
    return key;
}

int QtLanguageHost::addReloadListener(ReloadListener listener) {
    const int id = nextListener_++;
    listeners_.emplace_back(id, std::move(listener));
    return id;
}

void QtLanguageHost::removeReloadListener(int id) {
    std::erase_if(listeners_, [id](const auto& entry) { return entry.first == id; });
}

}  // namespace korvane::gui
