#pragma once

#include <string>
#include <string_view>

namespace korvane::ui {

// The window toolkit's language resources: which language file the texts come from and
// which default font the windows use.
class LanguageHost {
  public:
    virtual ~LanguageHost() = default;
    virtual void setResourceLanguage(std::string_view name) = 0;
    // Loads the language file from the skin folder; false when it is missing or unreadable.
    virtual bool loadLanguageFile(std::string_view file) = 0;
    // Drops every font the windows use and sets this one as the default.
    virtual void setDefaultFont(std::string_view face, int points) = 0;
    // Re-reads every text of every open window from the current language file.
    virtual void reloadTexts() = 0;
    // The text of a language key in the current language, for texts the program composes
    // of several keys; the key itself when no language file has it.
    virtual std::string translate(std::string_view key) const { return std::string(key); }
};

// Keeps what was asked, for headless sessions and tests.
class RecordingLanguageHost final : public LanguageHost {
  public:
    void setResourceLanguage(std::string_view name) override { resourceLanguage = name; }
    bool loadLanguageFile(std::string_view file) override {
        languageFile = file;
        ++loads;
        return true;
    }
    void setDefaultFont(std::string_view face, int points) override {
        fontFace = face;
        fontPoints = points;
    }
    void reloadTexts() override { ++reloads; }

    std::string resourceLanguage;
    std::string languageFile;
    std::string fontFace;
    int fontPoints = 0;
    int loads = 0;
    int reloads = 0;
};

}  // namespace korvane::ui
