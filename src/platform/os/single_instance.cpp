#include "platform/os/single_instance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QThread>
#include <cstdio>

#include "platform/os/os.h"

namespace platform {
namespace {
constexpr char kShowRequest[] = "show";
constexpr char kNewNoteRequest[] = "new-note";
constexpr char kAck[] = "ok\n";
constexpr int kConnectTimeoutMs = 500;
constexpr qint64 kMaxRequestLine = 4096;
// How long a launch that finds the lock held keeps trying to reach its holder, which listens
// a moment after taking it.
constexpr int kFindPrimaryMs = 5000;
constexpr int kRetryMs = 50;

// A token is passed on as it came only when it is one word of plain printable ASCII.
QString activationToken(const QByteArray& word) {
    if (word.isEmpty() || word.size() > 512) return {};
    for (const char c : word) {
        if (c <= ' ' || c > '~') return {};
    }
    return QString::fromLatin1(word);
}
}  // namespace

std::optional<SingleInstance::Request> SingleInstance::parseRequest(QByteArrayView line) {
    // A NUL has no place in a request: whatever holds one is not ours.
    if (line.size() > kMaxRequestLine || line.contains('\0')) return std::nullopt;
    // The command word, optionally followed by more words on the same line.
    const QList<QByteArray> words = line.toByteArray().simplified().split(' ');
    Request request;
    if (words.value(0) == kShowRequest) {
        request.command = Command::Show;
    } else if (words.value(0) == kNewNoteRequest) {
        request.command = Command::NewNote;
    } else {
        return std::nullopt;
    }
    request.activationToken = activationToken(words.value(1));
    return request;
}

SingleInstance::SingleInstance(const QString& key, const QString& launcherToken, Command command,
                               QObject* parent)
    : QObject(parent), key_(key), launcherToken_(launcherToken), command_(command) {}

QString SingleInstance::launcherToken() {
    return activationToken(os::launcherToken());
}

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
    // The launcher's activation token lets the running instance take the focus.
    QByteArray request = command_ == Command::NewNote ? kNewNoteRequest : kShowRequest;
    if (!launcherToken_.isEmpty()) request += ' ' + launcherToken_.toLatin1();
    socket.write(request + '\n');
    socket.flush();
    socket.waitForBytesWritten(timeoutMs);
    socket.waitForReadyRead(timeoutMs);  // the answer only confirms; a slow primary still counts
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::tryBecomePrimary() {
    // Without a place of our own the channel could be squatted or redirected: run without it.
    const QString name = serverName(key_);
    const QString lockPath = os::channelLockPath(name);
    if (lockPath.isEmpty()) return true;
    const QString path = os::channelPath(name);

    // The primary holds the lock until it ends, so a held lock means a running primary even
    // before it listens; this also settles two launches at the same instant.
    auto lock = std::make_unique<QLockFile>(lockPath);
    lock->setStaleLockTime(0);  // stale only when its holder has ended
    const QDeadlineTimer deadline(kFindPrimaryMs);
    while (!lock->tryLock(0)) {
        if (lock->error() != QLockFile::LockFailedError) return true;  // unwritable: no channel
        if (!path.isEmpty() && notifyPrimary(path, kConnectTimeoutMs)) return false;
        if (deadline.hasExpired()) {
            // A second copy on the same note file would be worse than a launch that does nothing.
            std::fputs("Zettara: another instance is running but does not answer\n", stderr);
            return false;
        }
        QThread::msleep(kRetryMs);
    }
    lock_ = std::move(lock);
    if (path.isEmpty()) return true;

    // We hold the lock: a socket file left there is a crashed primary's; take it over.
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
            QByteArray line = socket->readLine(kMaxRequestLine + 1);
            if (!line.endsWith('\n')) {
                // Longer than any request: the rest of it must not be read as one.
                socket->abort();
                return;
            }
            line.chop(1);
            const std::optional<Request> request = parseRequest(line);
            if (!request) continue;
            socket->write(kAck);
            socket->flush();
            const auto& told =
                request->command == Command::NewNote ? onNewNoteRequested : onActivateRequested;
            if (told) told(request->activationToken);
        }
        if (socket->bytesAvailable() > kMaxRequestLine) socket->abort();
    });
}

}  // namespace platform
