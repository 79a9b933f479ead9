#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

class QListWidget;
class QListWidgetItem;

#include <filesystem>
#include <unordered_map>
#include <vector>

#include "core/ui/control_tree.h"

namespace korvane::ui {
class PreviewBuffer;
}

namespace korvane::gui {

class DevicePicture;
class QtLanguageHost;

// Keeps the widgets of one window and the controls of its tree in step, both ways: the
// tree's changes show on the widgets (texts through the language), and what the user does
// on a widget changes the tree and raises the notification the logic expects. Widgets are
// matched to controls by name; a page built twice shows the one control twice.
class TreeBinder final : public QObject {
    Q_OBJECT
  public:
    TreeBinder(ui::ControlTree& tree, QtLanguageHost& language, std::filesystem::path skinFolder,
               QObject* parent = nullptr);
    ~TreeBinder() override;

    // Binds root and every named widget below it, then shows the tree's state on them.
    // The preview buffer feeds the device pictures (none for windows without pictures).
    void bind(QWidget* root, ui::PreviewBuffer* preview = nullptr);
    // The first widget bound to a control name.
    QWidget* widget(std::string_view name) const;
    const std::vector<DevicePicture*>& pictures() const { return pictures_; }
    // Shows every text again in the current language.
    void reloadTexts();
    // Shows one control's state on its widgets.
    void sync(ui::Control& control);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void connectWidget(QWidget* widget, ui::Control& control);
    void show(ui::Control& control, ui::Property property);
    void showOn(QWidget* widget, ui::Control& control, ui::Property property);
    // A row with columns: one label per cell, styled by the cell's style name.
    void showCells(QListWidget& list, QListWidgetItem& entry,
                   const std::vector<ui::ListCell>& cells);
    void showStyle(QWidget* widget, const ui::Control& control);
    // The look a widget's own skin properties give it.
    void showOwnStyle(QWidget* widget);
    void deliver(std::string_view type, const ui::Control& control, const QString& arg = {});
    void pictureKeyChanged(ui::Control& key);
    // The page of a stacked widget bound to the tab layout's current page, if any.
    QWidget* pageWidget(const QWidget& stack, const ui::Control& layout) const;

    ui::ControlTree& tree_;
    QtLanguageHost& language_;
    std::filesystem::path skinFolder_;
    QPointer<QWidget> root_;
    std::unordered_map<const ui::Control*, std::vector<QPointer<QWidget>>> widgets_;
    std::unordered_map<const QObject*, ui::Control*> controls_;
    std::vector<DevicePicture*> pictures_;
    ui::PreviewBuffer* preview_ = nullptr;
    struct KeyPlace {
        DevicePicture* picture;
        int index;
    };
    std::unordered_map<const ui::Control*, KeyPlace> keyPlaces_;
    int reloadListener_ = 0;
};

}  // namespace korvane::gui
