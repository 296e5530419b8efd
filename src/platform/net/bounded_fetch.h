#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QObject>
#include <QString>
#include <QUrl>

#include "platform/core/error.h"

class QTcpSocket;
class QTimer;

namespace platform {

// One exchange with a server we do not trust, over HTTP/1.0 (every answer then ends with its
// length or the connection). Everything that arrives is counted: the headers must end within
// a few kilobytes and a few seconds, the body is cut the moment it passes the size limit, and
// the whole exchange, slow trickles included, ends by the deadline. Qt's own network access
// keeps an endless header line whole, in a thread that an abort does not stop; this reads no
// more than it keeps. Nothing of it stays once it is over. It runs on the event loop of the
// thread that creates it.
class BoundedFetch : public QObject {
    Q_OBJECT
  public:
    struct Limits {
        qint64 maxBytes;
        int timeoutMs;  // for the whole exchange
    };

    // A GET. Starts at once; reports done exactly once and then deletes itself.
    BoundedFetch(const QUrl& url, Limits limits, QObject* parent);
    // A POST of `body`; otherwise as above.
    BoundedFetch(const QUrl& url, const QByteArray& body, const QByteArray& contentType,
                 Limits limits, QObject* parent);

    // Why the exchange failed: what happened and what to do, the network's own words in
    // brackets (userText); valid while done is being handled.
    const QString& errorText() const { return error_; }

  signals:
    // ok: a 2xx answer whose whole body arrived within the limits. body is empty otherwise.
    void done(bool ok, const QByteArray& body, const QString& contentType);

  private:
    void request(const QUrl& url);
    void send();
    void receive();
    bool takeHeaders();
    void takeBody();
    void closed();
    // Ends the exchange: Unclassified when it succeeded, else what went wrong and the words
    // that say it.
    void report(Trouble trouble, const QString& raw);

    Limits limits_;
    QByteArray method_;
    QByteArray payload_;
    QByteArray payloadType_;
    QUrl url_;
    QTcpSocket* socket_ = nullptr;
    QTimer* deadline_ = nullptr;
    QDeadlineTimer whole_;
    int redirects_ = 0;
    bool headersDone_ = false;
    int status_ = 0;
    qint64 length_ = -1;  // -1: until the connection ends
    QString contentType_;
    QByteArray received_;  // the headers until they end, then the body
    QString error_;
    bool reported_ = false;
};

}  // namespace platform
