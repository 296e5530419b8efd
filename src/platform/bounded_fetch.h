#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>

class QNetworkReply;
class QTimer;
class QNetworkRequest;

namespace platform {

// One exchange with a server we do not trust. The answer is counted as it arrives and the
// transfer is cut the moment it passes the size limit; the whole exchange, slow trickles
// included, ends by the deadline. The fetch owns its network manager, so nothing of it stays
// once it is over (an idle manager keeps a thread and wakes it minutes later to expire its
// connections). It runs on the event loop of the thread that creates it.
class BoundedFetch : public QObject {
    Q_OBJECT
  public:
    struct Limits {
        qint64 maxBytes;
        int timeoutMs;  // for the whole exchange, and for a transfer that stalls
    };

    // A GET. Starts at once; reports done exactly once and then deletes itself.
    BoundedFetch(const QUrl& url, Limits limits, QObject* parent);
    // A POST of `body`; otherwise as above.
    BoundedFetch(const QUrl& url, const QByteArray& body, const QByteArray& contentType,
                 Limits limits, QObject* parent);

    // Why the exchange failed, in words for the user; valid while done is being handled.
    const QString& errorText() const { return error_; }

  signals:
    // ok: a 2xx answer whose whole body arrived within the limits. body is empty otherwise.
    void done(bool ok, const QByteArray& body, const QString& contentType);

  private:
    void watch(const QNetworkRequest& request, const QByteArray* body);
    void take();
    void finish();

    Limits limits_;
    QNetworkReply* reply_ = nullptr;
    QTimer* deadline_ = nullptr;
    QByteArray body_;
    QString error_;
    bool overflow_ = false;
    bool reported_ = false;
};

}  // namespace platform
