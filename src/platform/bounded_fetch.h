#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>

class QNetworkReply;

namespace platform {

// One GET from a server we do not trust. The body is counted as it arrives and the transfer
// is cut the moment it passes the size limit; the whole fetch, slow trickles included, ends
// by the deadline. The fetch owns its network manager, so nothing of it stays once it is over
// (an idle manager keeps a thread and wakes it minutes later to expire its connections).
class BoundedFetch : public QObject {
    Q_OBJECT
  public:
    struct Limits {
        qint64 maxBytes;
        int timeoutMs;  // for the whole fetch, and for a transfer that stalls
    };

    // Starts at once; reports done exactly once and then deletes itself.
    BoundedFetch(const QUrl& url, Limits limits, QObject* parent);

  signals:
    // ok: the whole body arrived within the limits without error. body is empty otherwise.
    void done(bool ok, const QByteArray& body, const QString& contentType);

  private:
    void take();
    void finish();

    Limits limits_;
    QNetworkReply* reply_ = nullptr;
    QByteArray body_;
    bool overflow_ = false;
    bool reported_ = false;
};

}  // namespace platform
