#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

namespace korvane::gui {

// One running program per user. The first start holds a lock and listens on a local socket
// named from "PLIXARDRVER" in XDG_RUNTIME_DIR; a later start finds the lock taken, sends
// the activate message "OMBRILLA_001" to the first and ends.
class SingleInstance final : public QObject {
    Q_OBJECT
  public:
    static constexpr char kName[] = "PLIXARDRVER";
    static constexpr char kActivateMessage[] = "OMBRILLA_001";

    // folder: where the lock and the socket live; empty: XDG_RUNTIME_DIR, else the
    // temporary folder with the user id in the name.
    explicit SingleInstance(QString folder = {}, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this is the first instance (it now listens); false when another one runs:
    // it has been told to activate itself.
    bool acquire();
    // Runs on the main thread each time a later start asks for the window.
    void setOnActivate(std::function<void()> onActivate) { onActivate_ = std::move(onActivate); }
    const QString& socketPath() const { return socketPath_; }

  private:
    bool tellFirst();
    void onConnection();

    QString socketPath_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer server_;
    std::function<void()> onActivate_;
};

}  // namespace korvane::gui
