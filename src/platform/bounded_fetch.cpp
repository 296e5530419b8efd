#include "platform/bounded_fetch.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>

namespace platform {
namespace {
constexpr int kMaxRedirects = 5;

QNetworkRequest requestFor(const QUrl& url, int timeoutMs) {
    QNetworkRequest request(url);
    request.setTransferTimeout(timeoutMs);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(kMaxRedirects);
    return request;
}
}  // namespace

BoundedFetch::BoundedFetch(const QUrl& url, Limits limits, QObject* parent)
    : QObject(parent), limits_(limits) {
    watch(requestFor(url, limits.timeoutMs), nullptr);
}

BoundedFetch::BoundedFetch(const QUrl& url, const QByteArray& body, const QByteArray& contentType,
                           Limits limits, QObject* parent)
    : QObject(parent), limits_(limits) {
    QNetworkRequest request = requestFor(url, limits.timeoutMs);
    request.setHeader(QNetworkRequest::ContentTypeHeader, contentType);
    watch(request, &body);
}

void BoundedFetch::watch(const QNetworkRequest& request, const QByteArray* body) {
    auto* network = new QNetworkAccessManager(this);
    reply_ = body ? network->post(request, *body) : network->get(request);
    connect(reply_, &QNetworkReply::readyRead, this, &BoundedFetch::take);
    connect(reply_, &QNetworkReply::finished, this, &BoundedFetch::finish);
    // The transfer timeout only notices silence; a server that trickles a byte now and then
    // is ended here. A timer of our own goes with us: a single-shot one aimed at us would
    // still wake the program when it falls due long after the fetch has ended.
    deadline_ = new QTimer(this);
    deadline_->setSingleShot(true);
    connect(deadline_, &QTimer::timeout, this, [this] { reply_->abort(); });
    deadline_->start(limits_.timeoutMs);
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
    deadline_->stop();
    if (reply_->error() == QNetworkReply::NoError) take();
    const int status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (overflow_) {
        error_ = QStringLiteral("服务器的回答过长");
    } else if (reply_->error() == QNetworkReply::OperationCanceledError ||
               reply_->error() == QNetworkReply::TimeoutError) {
        error_ = QStringLiteral("连接超时");  // only the deadlines abort
    } else if (reply_->error() != QNetworkReply::NoError) {
        error_ = reply_->errorString();
    } else if (status < 200 || status > 299) {
        error_ = QStringLiteral("服务器回答 HTTP %1").arg(status);
    }
    const bool ok = error_.isEmpty();
    const QString type = reply_->header(QNetworkRequest::ContentTypeHeader).toString();
    emit done(ok, ok ? body_ : QByteArray(), type);
    deleteLater();
}

}  // namespace platform
