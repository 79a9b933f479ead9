#pragma once

#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "core/ui/dialogs.h"

namespace korvane::ui {

// Dialogs answered from a script: queued message-box codes (0 when none is queued) and
// queued file answers (cancel when none is queued). Records what was shown.
// After hold(), the next box stays open, running the window's event loop through the pump
// (as a modal box does), until an answer is queued; that answer closes it.
class ScriptedDialogs final : public Dialogs {
  public:
    int showMessage(std::string_view textKey) override;
    // Shown and recorded as "KEY NUMBER".
    int showMessageNumber(std::string_view textKey, long long number) override;
    std::optional<std::filesystem::path> openFile(const FileDialogOptions& options) override;
    std::optional<std::filesystem::path> saveFile(const FileDialogOptions& options) override;

    void queueAnswer(int code);
    void hold();
    bool holding() const;
    // How many boxes have been held open so far.
    int holdsStarted() const;
    using Pump = std::function<void(const std::function<bool()>& until)>;
    void setPump(Pump pump);
    void queueFile(std::optional<std::filesystem::path> path);
    std::vector<std::string> messagesShown() const;
    // Called with the key of every message box as it is shown (the scripted runner prints it).
    void setOnMessage(std::function<void(std::string_view)> onMessage);

  private:
    std::optional<std::filesystem::path> nextFile();

    mutable std::mutex mutex_;
    std::deque<int> answers_;
    std::deque<std::optional<std::filesystem::path>> files_;
    std::vector<std::string> shown_;
    std::function<void(std::string_view)> onMessage_;
    Pump pump_;
    bool holdNext_ = false;
    bool holding_ = false;
    int holdsStarted_ = 0;
};

}  // namespace korvane::ui
