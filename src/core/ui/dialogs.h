#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace korvane::ui {

struct FileDialogOptions {
    std::string defaultExtension;  // "png", "led", ...
    std::string fileName;          // proposed name or pattern, "*.png"
    std::string filter;            // as the caller describes it, e.g. "(*.png) | *.png"
    std::filesystem::path folder;  // where to start; empty: the dialog's own choice
};

// The modal dialogs of the program. showMessage shows the one message box with the text of
// a language key and returns its close code (1 confirm, 0 cancel or close). File dialogs
// return the chosen path, or nullopt when cancelled.
class Dialogs {
  public:
    virtual ~Dialogs() = default;
    virtual int showMessage(std::string_view textKey) = 0;
    // A message whose text holds one number: the text of the key is the format, its "%d"
    // becomes the number ("message_text_16": the actions to remove).
    virtual int showMessageNumber(std::string_view textKey, long long number) {
        (void)number;
        return showMessage(textKey);
    }
    virtual std::optional<std::filesystem::path> openFile(const FileDialogOptions& options) = 0;
    virtual std::optional<std::filesystem::path> saveFile(const FileDialogOptions& options) = 0;
};

// The text of a one-number message: the first "%d" of the format replaced by the number.
inline std::string FormatMessageNumber(std::string_view format, long long number) {
    std::string text(format);
    if (const auto at = text.find("%d"); at != std::string::npos) {
        text.replace(at, 2, std::to_string(number));
    }
    return text;
}

}  // namespace korvane::ui
