#include "platform/web_browser.h"

#include <QTimer>

#include "platform/bounded_fetch.h"

namespace platform {
namespace {
// A page larger than this is no banner; the transfer is cut there.
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
    auto* fetch = new BoundedFetch(url, {kMaxPageBytes, timeoutMs_}, this);
    connect(fetch, &BoundedFetch::done, this, &WebBrowser::showPage);
}

void WebBrowser::showPage(bool ok, const QByteArray& body, const QString& contentType) {
    const bool page = ok && contentType.startsWith(QLatin1String("text/html"));
    if (page) setHtml(QString::fromUtf8(body));  // else the fallback stays
    emit loadFinished(page);
}

}  // namespace platform
