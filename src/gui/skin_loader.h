#pragma once

#include <QString>
#include <QUiLoader>

#include <filesystem>
#include <string>
#include <string_view>

class QWidget;

namespace korvane::gui {

// Builds the skin's Qt Designer files at run time. Custom classes are made here: the page
// tags become the pages of their own files, "CircleProgress"/"CCircleProgressUI",
// "CChartViewUI", "CWndUI", "OptionButton", "ColourPalette" and "DevicePicture" become the
// widgets of this front end. Nothing of the skin is compiled in.
class SkinLoader final : public QUiLoader {
    Q_OBJECT
  public:
    explicit SkinLoader(std::filesystem::path skinFolder, QObject* parent = nullptr);

    QWidget* createWidget(const QString& className, QWidget* parent = nullptr,
                          const QString& name = QString()) override;

    // Loads a window file ("XML_MAIN", "XML_MSG", "skin", …) with its pages. Null with
    // an error naming the file when it cannot be built.
    QWidget* loadWindow(std::string_view skinName, QWidget* parent, std::string& error);

    // The custom class names this loader makes, as a skin may use them.
    static bool isCustomClass(const QString& className);

  private:
    QWidget* loadFile(const std::string& fileName, QWidget* parent, std::string& error);
    bool expandPages(QWidget* root, int depth, std::string& error);

    std::filesystem::path skinFolder_;
};

// The property a page tag's widget carries until its page file is built into it.
inline constexpr char kPageFileProperty[] = "korvanePageFile";

// An image reference of the skin ("file='common/background.png'" or a path) as a path:
// relative names are in the skin folder. Empty for an empty reference.
QString skinImagePath(const std::filesystem::path& skinFolder, std::string_view image);

}  // namespace korvane::gui
