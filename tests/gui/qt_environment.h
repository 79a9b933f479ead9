#pragma once

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QWidget>

#include <chrono>
#include <filesystem>
#include <functional>

namespace korvane::gui::test_support {

inline const std::filesystem::path kSkinFolder = std::filesystem::path(KORVANE_SOURCE_DIR) / "skin";

// Runs Qt's events until done() or the time is up; returns done().
inline bool pumpUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds timeout = std::chrono::milliseconds(3000)) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < timeout.count()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return done();
}

// A data folder of the test's own, so that no test touches the user's files.
struct TempDataRoot {
    TempDataRoot() { qputenv("KORVANE_DATA_ROOT", dir.filePath(QStringLiteral("data")).toUtf8()); }
    ~TempDataRoot() { qunsetenv("KORVANE_DATA_ROOT"); }
    std::filesystem::path path(const char* name) const {
        return std::filesystem::path(dir.filePath(QString::fromLatin1(name)).toStdString());
    }
    QTemporaryDir dir;
};

// A left click at a point of a widget, as the user makes it.
inline void click(QWidget* widget, QPoint at) {
    const QPointF local(at);
    const QPointF global = widget->mapToGlobal(local);
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &press);
    QCoreApplication::sendEvent(widget, &release);
}

// Letters typed into a widget.
inline void type(QWidget* widget, const QString& text) {
    for (const QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(ch));
        QCoreApplication::sendEvent(widget, &press);
        QCoreApplication::sendEvent(widget, &release);
    }
}

}  // namespace korvane::gui::test_support
