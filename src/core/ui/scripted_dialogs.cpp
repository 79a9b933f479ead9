#include "core/ui/scripted_dialogs.h"

namespace korvane::ui {

int ScriptedDialogs::showMessage(std::string_view textKey) {
    std::function<void(std::string_view)> onMessage;
    Pump pump;
    bool hold = false;
    {
        std::lock_guard lock(mutex_);
        shown_.emplace_back(textKey);
        onMessage = onMessage_;
        pump = pump_;
        hold = holdNext_ && answers_.empty() && pump_;
        holdNext_ = false;
        holding_ = hold;
        holdsStarted_ += hold ? 1 : 0;
    }
    if (onMessage) {
        onMessage(textKey);
    }
    if (hold) {
        pump([this] {
            std::lock_guard lock(mutex_);
            return !answers_.empty();
        });
    }
    std::lock_guard lock(mutex_);
    holding_ = false;
    if (answers_.empty()) {
        return 0;
    }
    const int code = answers_.front();
    answers_.pop_front();
    return code;
}

int ScriptedDialogs::showMessageNumber(std::string_view textKey, long long number) {
    return showMessage(std::string(textKey) + " " + std::to_string(number));
}

void ScriptedDialogs::hold() {
    std::lock_guard lock(mutex_);
    holdNext_ = true;
}

bool ScriptedDialogs::holding() const {
    std::lock_guard lock(mutex_);
    return holding_;
}

int ScriptedDialogs::holdsStarted() const {
    std::lock_guard lock(mutex_);
    return holdsStarted_;
}

void ScriptedDialogs::setPump(Pump pump) {
    std::lock_guard lock(mutex_);
    pump_ = std::move(pump);
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
