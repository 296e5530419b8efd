#include "platform/single_instance.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>

#include "platform/os.h"

namespace platform {
namespace {
constexpr char kShowRequest[] = "show";
constexpr char kAck[] = "ok\n";
constexpr int kConnectTimeoutMs = 500;
constexpr qint64 kMaxRequestLine = 4096;

// A token is passed on as it came only when it is one word of plain printable ASCII.
QString activationToken(const QByteArray& word) {
    if (word.isEmpty() || word.size() > 512) return {};
    for (const char c : word) {
        if (c <= ' ' || c > '~') return {};
    }
    return QString::fromLatin1(word);
}
}  // namespace

SingleInstance::SingleInstance(const QString& key, QObject* parent) : QObject(parent), key_(key) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::serverName(const QString& key) {
    // The caption holds blanks and dots; a hash keeps the socket name short and plain.
    const QByteArray digest =
        QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return QStringLiteral("zettara-%1").arg(QString::fromLatin1(digest));
}

bool SingleInstance::notifyPrimary(const QString& path, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(timeoutMs)) return false;
    if (!os::peerIsThisUser(socket.socketDescriptor())) return false;
    // The launcher's activation token lets the running instance take the focus (Wayland).
    QByteArray request = kShowRequest;
    const QString token = activationToken(qgetenv("XDG_ACTIVATION_TOKEN"));
    if (!token.isEmpty()) request += ' ' + token.toLatin1();
    socket.write(request + '\n');
    socket.flush();
    socket.waitForBytesWritten(timeoutMs);
    socket.waitForReadyRead(timeoutMs);  // the answer only confirms; a slow primary still counts
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::tryBecomePrimary() {
    // Without a place of our own the channel could be squatted or redirected: run without it.
    const QString path = os::channelPath(serverName(key_));
    if (path.isEmpty()) return true;

    // Check-and-listen under a lock file so that two launches at the same instant cannot both
    // find no primary and both start listening.
    QLockFile lock(path + QStringLiteral(".lock"));
    lock.setStaleLockTime(5000);
    lock.tryLock(5000);

    if (notifyPrimary(path, kConnectTimeoutMs)) return false;

    // Nobody answered: a socket file left by a crashed instance is stale; take it over.
    QLocalServer::removeServer(path);
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(path)) {
        // Still run: a program without its single-instance channel beats no program at all.
        server_.reset();
        return true;
    }
    connect(server_.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) serve(socket);
    });
    return true;
}

void SingleInstance::serve(QLocalSocket* socket) {
    // The folder keeps other users out; this also refuses one who can enter it anyway.
    if (!os::peerIsThisUser(socket->socketDescriptor())) {
        socket->abort();
        socket->deleteLater();
        return;
    }
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
        while (socket->canReadLine()) {
            // "show", optionally followed by more words on the same line.
            const QByteArray line = socket->readLine(kMaxRequestLine).simplified();
            const QList<QByteArray> words = line.split(' ');
            if (words.value(0) != kShowRequest) continue;
            socket->write(kAck);
            socket->flush();
            if (onActivateRequested) onActivateRequested(activationToken(words.value(1)));
        }
        if (socket->bytesAvailable() > kMaxRequestLine) socket->abort();
    });
}

}  // namespace platform
