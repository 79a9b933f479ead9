#pragma once

#include <QHash>
#include <QString>

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ui/language_host.h"

namespace korvane::gui {

// One language file of the skin:
//   <language name="English"><text key="message_text_1">No device …</text>…</language>
// Returns false with the reason for a missing, oversized or malformed file.
bool ReadLanguageFile(const std::filesystem::path& file, QHash<QString, QString>& texts,
                      std::string& error);

// The windows' language resources on Qt: texts by key from the skin's language files, the
// application's default font, and a reload of every bound window's texts.
class QtLanguageHost final : public ui::LanguageHost {
  public:
    explicit QtLanguageHost(std::filesystem::path skinFolder);

    void setResourceLanguage(std::string_view name) override;
    // "lan.xml" is the base every language falls back to; any other file replaces the
    // current language's texts.
    bool loadLanguageFile(std::string_view file) override;
    void setDefaultFont(std::string_view face, int points) override;
    void reloadTexts() override;
    std::string translate(std::string_view key) const override { return text(key).toStdString(); }

    // The text of a key in the current language, else in the base file, else the key.
    QString text(const QString& key) const;
    QString text(std::string_view key) const {
        return text(QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size())));
    }
    const std::string& resourceLanguage() const { return resourceLanguage_; }
    const std::string& languageFile() const { return languageFile_; }
    // The family actually used for the last default font (a fallback when the asked one
    // is not installed).
    const QString& fontFamily() const { return fontFamily_; }

    // Windows re-read their texts through these when the language changes.
    using ReloadListener = std::function<void()>;
    int addReloadListener(ReloadListener listener);
    void removeReloadListener(int id);

  private:
    std::filesystem::path skinFolder_;
    std::string resourceLanguage_;
    std::string languageFile_;
    QHash<QString, QString> base_;
    QHash<QString, QString> texts_;
    QString fontFamily_;
    std::vector<std::pair<int, ReloadListener>> listeners_;
    int nextListener_ = 1;
};

// A family the system has for the asked face: the face itself when installed, else one that
// writes the language of the face (Thai for Browallia New), else the system's general font.
QString resolveFontFamily(const QString& face);

}  // namespace korvane::gui
