#include "core/ui/scripted_dialogs.h"

namespace korvane::ui {

int ScriptedDialogs::showMessage(std::string_view textKey) {
    std::function<void(std::string_view)> onMessage;
    int code = 0;
    {
        std::lock_guard lock(mutex_);
        shown_.emplace_back(textKey);
        if (!answers_.empty()) {
            code = answers_.front();
            answers_.pop_front();
        }
        onMessage = onMessage_;
    }
    if (onMessage) {
        onMessage(textKey);
    }
    return code;
}

std::optional<std::filesystem::path> ScriptedDialogs::nextFile() {
    std::lock_guard lock(mutex_);
    if (files_.empty()) {
        return std::nullopt;
    }
    auto path = files_.front();
    files_.pop_front();
    return path;
}

std::optional<std::filesystem::path> ScriptedDialogs::openFile(const FileDialogOptions&) {
    return nextFile();
}

std::optional<std::filesystem::path> ScriptedDialogs::saveFile(const FileDialogOptions&) {
    return nextFile();
}

void ScriptedDialogs::queueAnswer(int code) {
    std::lock_guard lock(mutex_);
    answers_.push_back(code);
}

void ScriptedDialogs::queueFile(std::optional<std::filesystem::path> path) {
    std::lock_guard lock(mutex_);
    files_.push_back(std::move(path));
}

std::vector<std::string> ScriptedDialogs::messagesShown() const {
    std::lock_guard lock(mutex_);
    return shown_;
}

void ScriptedDialogs::setOnMessage(std::function<void(std::string_view)> onMessage) {
    std::lock_guard lock(mutex_);
    onMessage_ = std::move(onMessage);
}

}  // namespace korvane::ui
