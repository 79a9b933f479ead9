#pragma once

#include <QDialog>

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "core/platform/main_loop.h"
#include "core/ui/control_tree.h"
#include "core/ui/dialogs.h"

namespace korvane::gui {

class QtLanguageHost;
class TreeBinder;

// "XML_MSG": the one skinned, modal message box. Its buttons close it with a code:
// "confirm_btn" (name compared without case) 1, "cancel_btn" and "closebtn" 0.
class MessageBox final : public QDialog {
    Q_OBJECT
  public:
    MessageBox(const std::filesystem::path& skinFolder, QtLanguageHost& language,
               QWidget* owner = nullptr);
    ~MessageBox() override;

    // False when the skin's "msg.ui" could not be built; error says why.
    bool ok() const { return ok_; }
    const std::string& error() const { return error_; }
    // The text of MessageText as a language key; an empty key keeps the skin's text.
    void setTextKey(std::string_view key);
    ui::ControlTree& tree() { return tree_; }
    TreeBinder& binder() { return *binder_; }

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    void onNotify(const ui::Notification& notification);

    ui::ControlTree tree_;
    std::unique_ptr<TreeBinder> binder_;
    bool ok_ = false;
    std::string error_;
    QPoint dragOffset_;
};

// The program's dialogs on Qt: the skinned message box and the file dialogs. Called off the
// main thread, showMessage posts the box and returns 0 at once.
class QtDialogs final : public ui::Dialogs {
  public:
    QtDialogs(platform::MainLoop& loop, std::filesystem::path skinFolder, QtLanguageHost& language);

    void setOwner(QWidget* owner) { owner_ = owner; }
    int showMessage(std::string_view textKey) override;
    int showMessageNumber(std::string_view textKey, long long number) override;
    std::optional<std::filesystem::path> openFile(const ui::FileDialogOptions& options) override;
    std::optional<std::filesystem::path> saveFile(const ui::FileDialogOptions& options) override;

    // Boxes open now (a box can be asked for while another is open).
    int openBoxes() const { return openBoxes_; }
    // Called with each box just before it runs (a test schedules its answer here).
    void setOnOpen(std::function<void(MessageBox&)> onOpen) { onOpen_ = std::move(onOpen); }

  private:
    platform::MainLoop& loop_;
    std::filesystem::path skinFolder_;
    QtLanguageHost& language_;
    QWidget* owner_ = nullptr;
    int openBoxes_ = 0;
    std::function<void(MessageBox&)> onOpen_;
};

// The caller's filter ("(*.png) | *.png |(*.*)|*.*||": description and pattern pairs
// separated by bars) as Qt's name filters.
QString toQtFilter(std::string_view filter);

}  // namespace korvane::gui
