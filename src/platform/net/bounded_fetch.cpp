#include "platform/net/bounded_fetch.h"

#include <QSslSocket>
#include <QTimer>
#include <algorithm>

#include "platform/core/error_text.h"

namespace platform {
namespace {
constexpr int kMaxRedirects = 5;
constexpr qint64 kMaxHeaderBytes = 16LL * 1024;
constexpr int kHeaderDeadlineMs = 3000;
// What the socket itself may hold before we read it; the server waits meanwhile.
constexpr qint64 kSocketBuffer = 64LL * 1024;

bool isWeb(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() &&
           (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}
Trouble troubleOf(QAbstractSocket::SocketError error) {
    switch (error) {
        case QAbstractSocket::HostNotFoundError:
            return Trouble::HostNotFound;
        case QAbstractSocket::SocketTimeoutError:
            return Trouble::Timeout;
        case QAbstractSocket::SslHandshakeFailedError:
        case QAbstractSocket::SslInternalError:
        case QAbstractSocket::SslInvalidUserDataError:
            return Trouble::SecureConnection;
        default:
            return Trouble::NoConnection;
    }
}
}  // namespace

BoundedFetch::BoundedFetch(const QUrl& url, Limits limits, QObject* parent)
    : BoundedFetch(url, {}, {}, limits, parent) {
    method_ = "GET";
}

BoundedFetch::BoundedFetch(const QUrl& url, const QByteArray& body, const QByteArray& contentType,
                           Limits limits, QObject* parent)
    : QObject(parent), limits_(limits), method_("POST"), payload_(body), payloadType_(contentType) {
    whole_.setRemainingTime(limits.timeoutMs);
    // A timer of our own goes with us: a single-shot one aimed at us would still wake the
    // program when it falls due long after the fetch has ended.
    deadline_ = new QTimer(this);
    deadline_->setSingleShot(true);
    connect(deadline_, &QTimer::timeout, this,
            [this] { report(Trouble::Timeout, tr("连接超时")); });
    // From the event loop, so that a failure at once still reaches a caller that connects to
    // done after constructing us.
    QTimer::singleShot(0, this, [this, url] { request(url); });
}

void BoundedFetch::request(const QUrl& url) {
    if (reported_) return;
    if (socket_) {
        socket_->disconnect(this);
        socket_->abort();
        socket_->deleteLater();
    }
    url_ = url;
    headersDone_ = false;
    length_ = -1;
    received_.clear();
    contentType_.clear();
    // The headers of every answer, redirected ones too, come within a few seconds.
    deadline_->start(std::min<qint64>(kHeaderDeadlineMs, whole_.remainingTime()));
    const bool secure = url.scheme().toLower() == QLatin1String("https");
    if (secure && !QSslSocket::supportsSsl()) {
        report(Trouble::SecureConnection, tr("无法建立安全连接"));
        return;
    }
    socket_ = secure ? new QSslSocket(this) : new QTcpSocket(this);
    socket_->setReadBufferSize(kSocketBuffer);
    connect(socket_, &QTcpSocket::readyRead, this, &BoundedFetch::receive);
    connect(socket_, &QTcpSocket::disconnected, this, &BoundedFetch::closed);
    connect(socket_, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        if (error == QAbstractSocket::RemoteHostClosedError) return closed();
        report(troubleOf(error), socket_->errorString());
    });
    const quint16 port = static_cast<quint16>(url.port(secure ? 443 : 80));
    if (auto* ssl = qobject_cast<QSslSocket*>(socket_)) {
        connect(ssl, &QSslSocket::encrypted, this, &BoundedFetch::send);
        ssl->connectToHostEncrypted(url.host(), port);
    } else {
        connect(socket_, &QTcpSocket::connected, this, &BoundedFetch::send);
        socket_->connectToHost(url.host(), port);
    }
}

void BoundedFetch::send() {
    QByteArray target =
        url_.toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority | QUrl::RemoveFragment);
    if (!target.startsWith('/')) target.prepend('/');
    QByteArray head = method_ + ' ' + target + " HTTP/1.0\r\nHost: " +
                      url_.adjusted(QUrl::RemoveUserInfo).authority(QUrl::FullyEncoded).toUtf8() +
                      "\r\nUser-Agent: Mozilla/5.0\r\nConnection: close\r\n";
    if (method_ == "POST") {
        head += "Content-Type: " + payloadType_ +
                "\r\nContent-Length: " + QByteArray::number(payload_.size()) + "\r\n";
    }
    socket_->write(head + "\r\n" + (method_ == "POST" ? payload_ : QByteArray()));
}

void BoundedFetch::receive() {
    if (reported_ || (!headersDone_ && !takeHeaders())) return;
    takeBody();
}

bool BoundedFetch::takeHeaders() {
    // One byte past the limit tells enough; more is never read.
    received_ += socket_->read(kMaxHeaderBytes + 1 - received_.size());
    const qsizetype end = received_.indexOf("\r\n\r\n");
    if (end < 0) {
        if (received_.size() > kMaxHeaderBytes)
            report(Trouble::ServerAnswer, tr("服务器的回答过长"));
        return false;
    }
    const QList<QByteArray> lines = received_.left(end).split('\n');
    const QList<QByteArray> statusLine = lines.value(0).trimmed().split(' ');
    status_ = statusLine.value(0).startsWith("HTTP/") ? statusLine.value(1).toInt() : 0;
    QByteArray location;
    bool identity = true;
    for (const QByteArray& line : lines.mid(1)) {
        const qsizetype colon = line.indexOf(':');
        const QByteArray name = line.left(colon).trimmed().toLower();
        const QByteArray value = line.mid(colon + 1).trimmed();
        if (name == "content-type") contentType_ = QString::fromLatin1(value);
        if (name == "location") location = value;
        if (name == "transfer-encoding") identity = value.toLower() == "identity";
        if (name == "content-length") {
            bool number = false;
            length_ = value.toLongLong(&number);
            if (!number || length_ < 0) status_ = 0;
        }
    }
    received_.remove(0, end + 4);
    headersDone_ = true;
    deadline_->start(whole_.remainingTime());

    if (status_ < 100 || !identity) {
        report(Trouble::ServerAnswer, tr("服务器的回答无法读取"));
    } else if (status_ >= 300 && status_ < 400 && status_ != 304 && !location.isEmpty()) {
        const QUrl next = url_.resolved(QUrl::fromEncoded(location));
        // Never from a secure address to a plain one, nor anywhere but the web.
        if (!isWeb(next) || (url_.scheme().toLower() == QLatin1String("https") &&
                             next.scheme().toLower() != QLatin1String("https"))) {
            report(Trouble::ServerAnswer, tr("服务器转到了不安全的地址"));
        } else if (++redirects_ > kMaxRedirects) {
            report(Trouble::ServerAnswer, tr("服务器转址过多"));
        } else {
            if (status_ == 303 || ((status_ == 301 || status_ == 302) && method_ == "POST")) {
                method_ = "GET";
                payload_.clear();
            }
            request(next);
        }
    } else if (status_ < 200 || status_ > 299) {
        report(Trouble::ServerAnswer, tr("服务器回答 HTTP %1").arg(status_));
    } else if (length_ > limits_.maxBytes) {
        report(Trouble::ServerAnswer, tr("服务器的回答过长"));
    }
    return !reported_ && headersDone_;
}

void BoundedFetch::takeBody() {
    received_ += socket_->read(limits_.maxBytes - received_.size() + 1);
    if (received_.size() > limits_.maxBytes) {
        report(Trouble::ServerAnswer, tr("服务器的回答过长"));
    } else if (length_ >= 0 && received_.size() >= length_) {
        received_.truncate(length_);
        report(Trouble::Unclassified, {});
    }
}

void BoundedFetch::closed() {
    if (reported_) return;
    const QTcpSocket* ended = socket_;
    receive();
    if (reported_ || socket_ != ended) return;  // done, or redirected elsewhere
    // An answer without a length ends with the connection; one with a length must be whole.
    if (headersDone_ && length_ < 0)
        report(Trouble::Unclassified, {});
    else
        report(Trouble::NoConnection, tr("连接在回答结束前中断"));
}

void BoundedFetch::report(Trouble trouble, const QString& raw) {
    if (reported_) return;
    reported_ = true;
    deadline_->stop();
    if (socket_) {
        socket_->disconnect(this);
        socket_->abort();
    }
    const bool ok = trouble == Trouble::Unclassified;
    error_ = ok ? QString() : userText(trouble, raw);
    emit done(ok, ok ? received_ : QByteArray(), contentType_);
    deleteLater();
}

}  // namespace platform
