#pragma once

#include <QWidget>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "core/ui/control_tree.h"

namespace korvane::ui {
class Dialogs;
}

namespace korvane::gui {

class QtLanguageHost;
class TreeBinder;

// The background picker that opens below the skin button: preset pictures, plain colours,
// a picture of one's own, or the default. Closes when it loses focus. Picture choices are
// remembered in main.ini; colours and own pictures last until the program ends.
class SkinPicker final : public QWidget {
    Q_OBJECT
  public:
    // isColour, ARGB colour, image: what the main window's background becomes.
    using Apply = std::function<void(bool isColour, std::uint32_t argb, const std::string& image)>;

    SkinPicker(const std::filesystem::path& skinFolder, QtLanguageHost& language,
               ui::Dialogs& dialogs, Apply apply, QWidget* owner = nullptr);
    ~SkinPicker() override;

    bool ok() const { return ok_; }
    const std::string& error() const { return error_; }
    // Right edge under the button's right edge, top at its bottom.
    void placeBelow(const QWidget& button);
    // What a click on a button of the picker does (the button pressed, not its namesakes).
    void onButton(QWidget& button);
    ui::ControlTree& tree() { return tree_; }

  private:
    ui::ControlTree tree_;
    std::unique_ptr<TreeBinder> binder_;
    ui::Dialogs& dialogs_;
    Apply apply_;
    bool ok_ = false;
    std::string error_;
};

}  // namespace korvane::gui
