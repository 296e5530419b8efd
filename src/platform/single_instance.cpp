#include "platform/single_instance.h"

#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>

namespace platform {
namespace {
constexpr char kShowRequest[] = "show\n";
constexpr char kAck[] = "ok\n";
constexpr int kConnectTimeoutMs = 500;
}  // namespace

SingleInstance::SingleInstance(const QString& key, QObject* parent) : QObject(parent), key_(key) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::serverName(const QString& key) {
    // The caption holds blanks and dots; a hash keeps the socket name short and plain.
    const QByteArray digest =
        QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return QStringLiteral("zettara-%1-%2").arg(QString::fromLatin1(digest)).arg(::getuid());
}

bool SingleInstance::notifyPrimary(int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(serverName(key_));
    if (!socket.waitForConnected(timeoutMs)) return false;
    socket.write(kShowRequest);
    socket.flush();
    socket.waitForBytesWritten(timeoutMs);
    socket.waitForReadyRead(timeoutMs);  // the answer only confirms; a slow primary still counts
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::tryBecomePrimary() {
    const QString name = serverName(key_);
    // Check-and-listen under a lock file so that two launches at the same instant cannot both
    // find no primary and both start listening.
    QLockFile lock(QDir(QDir::tempPath()).filePath(name + QStringLiteral(".lock")));
    lock.setStaleLockTime(5000);
    lock.tryLock(5000);

    if (notifyPrimary(kConnectTimeoutMs)) return false;

    // Nobody answered: a socket file left by a crashed instance is stale; take it over.
    QLocalServer::removeServer(name);
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(name)) {
        // Still run: a program without its single-instance channel beats no program at all.
        server_.reset();
        return true;
    }
    connect(server_.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                const QByteArray request = socket->readAll();
                if (!request.startsWith("show")) return;
                socket->write(kAck);
                socket->flush();
                if (onActivateRequested) onActivateRequested();
            });
        }
    });
    return true;
}

}  // namespace platform
