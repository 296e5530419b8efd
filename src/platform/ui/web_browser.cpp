#include "platform/ui/web_browser.h"

#include <QDir>
#include <QImage>
#include <QTimer>

#include "platform/net/bounded_fetch.h"
#include "platform/net/tame_markup.h"

namespace platform {
namespace {
// A page larger than this is no banner; the transfer is cut there.
constexpr qint64 kMaxPageBytes = 512LL * 1024;

// qrc:/zettara/..., the program's own resources; anything else is refused.
QUrl ownResource(const QUrl& url) {
    if (url.scheme() != QLatin1String("qrc") || !url.host().isEmpty()) return {};
    const QString path = QDir::cleanPath(url.path(QUrl::FullyDecoded));
    if (!path.startsWith(QLatin1String("/zettara/"))) return {};
    QUrl own;
    own.setScheme(QStringLiteral("qrc"));
    own.setPath(path, QUrl::DecodedMode);
    return own;
}
}  // namespace

WebBrowser::WebBrowser(QWidget* parent) : QTextBrowser(parent) {
    // Links are shown but lead nowhere: no page can send the strip elsewhere.
    setOpenLinks(false);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameShape(QFrame::NoFrame);
}

WebBrowser::~WebBrowser() = default;

QVariant WebBrowser::loadResource(int type, const QUrl& name) {
    const QUrl url = source().resolved(name);
    const QUrl own = ownResource(url);
    if (!own.isEmpty()) return QTextBrowser::loadResource(type, own);
    // Pages the program opened itself, and history steps back to them.
    const bool page =
        type != QTextDocument::ImageResource && type != QTextDocument::StyleSheetResource;
    if (page && !url.isEmpty() && (url == fallback_ || url == opened_))
        return QTextBrowser::loadResource(type, url);
    // Never a null variant or an unreadable image: the text engine would then read the named
    // file itself (a page naming /dev/zero would be read forever).
    if (type == QTextDocument::ImageResource) {
        QImage nothing(1, 1, QImage::Format_ARGB32);
        nothing.fill(Qt::transparent);
        return nothing;
    }
    return QByteArray();
}

void WebBrowser::open(const QUrl& page) {
    opened_ = page;
    setSource(page);
}

void WebBrowser::showFallback() {
    if (fallback_.isEmpty()) {
        clear();
        return;
    }
    open(fallback_);
}

void WebBrowser::Navigate(const QString& address) {
    const QUrl url = QUrl::fromUserInput(address);
    if (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https")) {
        open(url);
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
    std::optional<QString> page;
    if (ok && contentType.startsWith(QLatin1String("text/html")))
        page = tameMarkup(QString::fromUtf8(body));
    if (page) setHtml(*page);  // else the fallback stays
    emit loadFinished(page.has_value());
}

}  // namespace platform
