#include "platform/web_browser.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>

namespace platform {
namespace {
// A page larger than this is no banner; reading stops there.
constexpr qint64 kMaxPageBytes = 512 * 1024;
}  // namespace

WebBrowser::WebBrowser(QWidget* parent) : QTextBrowser(parent) {
    setOpenLinks(false);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameShape(QFrame::NoFrame);
}

WebBrowser::~WebBrowser() = default;

void WebBrowser::showFallback() {
    if (fallback_.isEmpty()) {
        clear();
        return;
    }
    setSource(fallback_);
}

void WebBrowser::Navigate(const QString& address) {
    const QUrl url = QUrl::fromUserInput(address);
    if (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https")) {
        setSource(url);
        return;
    }
    showFallback();
    // The first secure request loads the TLS libraries (several ms); issued from the event loop
    // it no longer holds up the start-up that called us. The reply is asynchronous anyway.
    QTimer::singleShot(0, this, [this, url] { fetch(url); });
}

void WebBrowser::fetch(const QUrl& url) {
    if (!network_) {
        network_ = new QNetworkAccessManager(this);
        connect(network_, &QNetworkAccessManager::finished, this, &WebBrowser::finished);
    }
    QNetworkRequest request(url);
    request.setTransferTimeout(timeoutMs_);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    network_->get(request);
    ++pending_;
}

void WebBrowser::finished(QNetworkReply* reply) {
    reply->deleteLater();
    if (--pending_ == 0) {
        // A banner is fetched once: an idle manager would keep its thread and wake it two
        // minutes later to expire the connection cache. The next Navigate makes a new one.
        network_->deleteLater();
        network_ = nullptr;
    }
    const bool ok = reply->error() == QNetworkReply::NoError &&
                    reply->header(QNetworkRequest::ContentTypeHeader)
                        .toString()
                        .startsWith(QLatin1String("text/html"));
    if (!ok) return;  // the fallback page stays
    const QByteArray page = reply->read(kMaxPageBytes);
    setHtml(QString::fromUtf8(page));
}

}  // namespace platform
