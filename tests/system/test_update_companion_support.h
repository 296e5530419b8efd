#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QHostAddress>
#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>
#include <map>
#include <optional>
#include <utility>

#include "platform/core/error.h"
#include "platform/os/library_loader.h"
#include "seams.h"

namespace testsupport {

// Folder of the built companion libraries: ZETTARA_COMPANION_DIR when set, otherwise the bin
// folder beside the tests folder of the build tree.
inline QString companionFolder() {
    const QString configured = qEnvironmentVariable("ZETTARA_COMPANION_DIR");
    if (!configured.isEmpty()) return configured;
    return QDir(QCoreApplication::applicationDirPath() + QStringLiteral("/../bin")).absolutePath();
}

// A tiny HTTP server on 127.0.0.1 for the companion library tests. It records every complete
// request and answers with a fixed status and body, holds its answers until told, sends a body
// without end, or never answers at all.
class LoopbackHttpServer {
  public:
    struct Request {
        QByteArray method;
        QByteArray path;
        QByteArray body;
    };

    LoopbackHttpServer() {
        if (!server_.listen(QHostAddress::LocalHost, 0)) {
            throw platform::Error(0, QStringLiteral("loopback server cannot listen"));
        }
        QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] { accept(); });
    }

    void answer(int status, const QByteArray& body) {
        status_ = status;
        body_ = body;
        mute_ = false;
        endless_ = false;
    }
    // Accepts connections and reads requests but never answers.
    void stayMute() { mute_ = true; }
    // Requests wait for their answers until release().
    void hold() { held_ = true; }
    void release() {
        held_ = false;
        for (const QPointer<QTcpSocket>& socket : std::exchange(waiting_, {}))
            if (socket) reply(socket);
    }
    // Answers 200 with a body that starts with `start` and never ends.
    void answerEndlessly(const QByteArray& start) {
        answer(200, start);
        endless_ = true;
    }
    // Connections the client closed before the server did.
    int hangUps() const { return hangUps_; }

    QUrl url(const QString& path) const {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path));
    }
    const QList<Request>& requests() const { return requests_; }
    int connections() const { return connections_; }

    // An address on which nothing listens: the port of a server that was closed again.
    static QUrl closedPortUrl() {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        const quint16 port = probe.serverPort();
        probe.close();
        return QUrl(QStringLiteral("http://127.0.0.1:%1/nothing").arg(port));
    }

  private:
    void accept() {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            ++connections_;
            auto* buffer = new QByteArray;
            QObject::connect(socket, &QObject::destroyed, [buffer] { delete buffer; });
            QObject::connect(socket, &QTcpSocket::disconnected, socket, [this, socket] {
                if (!socket->property("closedHere").toBool()) ++hangUps_;
                socket->deleteLater();
            });
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
                buffer->append(socket->readAll());
                serve(socket, *buffer);
            });
        }
    }

    void serve(QTcpSocket* socket, QByteArray& buffer) {
        const qsizetype headerEnd = buffer.indexOf("\r\n\r\n");
        if (headerEnd < 0) return;
        const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
        qsizetype length = 0;
        for (const QByteArray& line : lines) {
            if (line.toLower().startsWith("content-length:")) {
                length = line.mid(15).trimmed().toLongLong();
            }
        }
        if (buffer.size() < headerEnd + 4 + length) return;
        const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
        requests_.append(
            {requestLine.value(0), requestLine.value(1), buffer.mid(headerEnd + 4, length)});
        buffer.clear();
        if (mute_) return;
        if (held_) {
            waiting_.append(socket);
            return;
        }
        reply(socket);
    }

    void reply(QTcpSocket* socket) {
        if (endless_) {
            // Far more than any client here accepts, and the connection stays open.
            socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " +
                          QByteArray::number(qint64(1) << 40) + "\r\n\r\n" + body_ +
                          QByteArray(1024 * 1024, 'x'));
            return;
        }
        socket->write("HTTP/1.1 " + QByteArray::number(status_) + " Status\r\n" +
                      "Content-Type: text/plain; charset=utf-8\r\nContent-Length: " +
                      QByteArray::number(body_.size()) + "\r\nConnection: close\r\n\r\n" + body_);
        socket->setProperty("closedHere", true);
        socket->disconnectFromHost();
    }

    QTcpServer server_;
    QList<Request> requests_;
    int connections_ = 0;
    int status_ = 200;
    QByteArray body_;
    bool mute_ = false;
    bool held_ = false;
    bool endless_ = false;
    QList<QPointer<QTcpSocket>> waiting_;
    int hangUps_ = 0;
};

// Points the library loader at a folder while alive.
class LoaderFolder {
  public:
    explicit LoaderFolder(const QString& folder) { testsupport::Seams::setFolder(folder); }
    ~LoaderFolder() { testsupport::Seams::setFolder({}); }
    LoaderFolder(const LoaderFolder&) = delete;
    LoaderFolder& operator=(const LoaderFolder&) = delete;
};

// Sets environment variables for one test and puts the previous values back afterwards.
class ScopedEnvironment {
  public:
    ScopedEnvironment() = default;
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    ~ScopedEnvironment() {
        for (const auto& [name, value] : saved_) {
            if (value) {
                qputenv(name.constData(), *value);
            } else {
                qunsetenv(name.constData());
            }
        }
    }
    void set(const char* name, const QString& value) {
        remember(name);
        qputenv(name, value.toUtf8());
    }
    void unset(const char* name) {
        remember(name);
        qunsetenv(name);
    }

  private:
    void remember(const char* name) {
        if (saved_.count(name)) return;
        saved_[name] = qEnvironmentVariableIsSet(name) ? std::optional<QByteArray>(qgetenv(name))
                                                       : std::nullopt;
    }
    std::map<QByteArray, std::optional<QByteArray>> saved_;
};

}  // namespace testsupport
