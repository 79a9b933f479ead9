#include "gui/single_instance.h"

#include <QDir>
#include <QLocalSocket>
#include <QPointer>
#include <QStandardPaths>

#include <unistd.h>

#include "core/platform/debug_line.h"

namespace korvane::gui {
namespace {

constexpr int kConnectMs = 1000;
// An activation is one short line; a peer that sends more is not one of us.
constexpr qint64 kMaxMessage = 64;

}  // namespace

SingleInstance::SingleInstance(QString folder, QObject* parent) : QObject(parent) {
    QString name = QString::fromLatin1(kName);
    if (folder.isEmpty()) {
        folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    }
    if (folder.isEmpty()) {
        // Without a runtime folder of the user's own, keep users apart by name.
        folder = QDir::tempPath();
        name += QStringLiteral("-%1").arg(::getuid());
    }
    socketPath_ = QDir(folder).filePath(name);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, &SingleInstance::onConnection);
}

SingleInstance::~SingleInstance() {
    server_.close();
    if (lock_) {
        lock_->unlock();
    }
}

bool SingleInstance::acquire() {
    lock_ = std::make_unique<QLockFile>(socketPath_ + QStringLiteral(".lock"));
    // A lock left by a crashed program is taken over (QLockFile checks the process).
    if (!lock_->tryLock(0)) {
        lock_.reset();
        tellFirst();
        return false;
    }
    QLocalServer::removeServer(socketPath_);
    if (!server_.listen(socketPath_)) {
        platform::debugLine("single instance: cannot listen on " + socketPath_.toStdString() +
                            ": " + server_.errorString().toStdString());
    }
    platform::debugLine("软件标示：" + socketPath_.toStdString());
    return true;
}

bool SingleInstance::tellFirst() {
    QLocalSocket socket;
    socket.connectToServer(socketPath_);
    if (!socket.waitForConnected(kConnectMs)) {
        platform::debugLine("single instance: the running program does not answer");
        return false;
    }
    socket.write(kActivateMessage);
    socket.write("\n");
    socket.waitForBytesWritten(kConnectMs);
    socket.disconnectFromServer();
    return true;
}

void SingleInstance::onConnection() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > kMaxMessage) {
                    socket->abort();
                }
                return;
            }
            const QByteArray line = socket->readLine(kMaxMessage).trimmed();
            if (line == kActivateMessage) {
                platform::debugLine("软件标示 " + line.toStdString());
                // The activation may open a modal box: not inside this socket's signal.
                QMetaObject::invokeMethod(
                    this,
                    [this] {
                        if (onActivate_) {
                            onActivate_();
                        }
                    },
                    Qt::QueuedConnection);
            }
            socket->disconnectFromServer();
        });
    }
}

}  // namespace korvane::gui
