#include "platform/bounded_fetch.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>

namespace platform {
namespace {
constexpr int kMaxRedirects = 5;
}  // namespace

BoundedFetch::BoundedFetch(const QUrl& url, Limits limits, QObject* parent)
    : QObject(parent), limits_(limits) {
    auto* network = new QNetworkAccessManager(this);
    QNetworkRequest request(url);
    request.setTransferTimeout(limits.timeoutMs);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(kMaxRedirects);
    reply_ = network->get(request);
    connect(reply_, &QNetworkReply::readyRead, this, &BoundedFetch::take);
    connect(reply_, &QNetworkReply::finished, this, &BoundedFetch::finish);
    // The transfer timeout only notices silence; a server that trickles a byte now and then
    // is ended here.
    QTimer::singleShot(limits.timeoutMs, this, [this] { reply_->abort(); });
}

void BoundedFetch::take() {
    if (overflow_) return;
    // One byte past the limit tells enough; a larger burst is never copied.
    body_ += reply_->read(limits_.maxBytes - body_.size() + 1);
    if (body_.size() > limits_.maxBytes) {
        overflow_ = true;
        body_.clear();
        reply_->abort();
    }
}

void BoundedFetch::finish() {
    if (reported_) return;
    reported_ = true;
    if (reply_->error() == QNetworkReply::NoError) take();
    const bool ok = !overflow_ && reply_->error() == QNetworkReply::NoError;
    const QString type = reply_->header(QNetworkRequest::ContentTypeHeader).toString();
    emit done(ok, ok ? body_ : QByteArray(), type);
    deleteLater();
}

}  // namespace platform
