#pragma once

#include <QTextBrowser>
#include <QUrl>

namespace platform {

// The browser strip: shows a page given by address. Local and resource pages load at once;
// web pages are fetched in the background within size and time limits, and the fallback page
// stays up when they cannot be loaded or are not fit to show. Whoever serves the page is not
// trusted: it cannot make the strip read anything but the program's own resources, nor lay out
// markup nested deeper than the text engine copes with. Nothing here ever blocks the caller.
class WebBrowser : public QTextBrowser {
    Q_OBJECT
  public:
    explicit WebBrowser(QWidget* parent = nullptr);
    ~WebBrowser() override;

    void Navigate(const QString& address);
    // Shown while a web page loads and when it cannot be loaded.
    void setFallback(const QUrl& page) { fallback_ = page; }
    // For the whole fetch of a web page.
    void setTimeoutMs(int ms) { timeoutMs_ = ms; }

    QVariant loadResource(int type, const QUrl& name) override;

  signals:
    // A web page's fetch is over: shown, or refused and the fallback stays.
    void loadFinished(bool shown);

  private:
    void showFallback();
    void open(const QUrl& page);
    void fetch(const QUrl& url);
    void showPage(bool ok, const QByteArray& body, const QString& contentType);

    QUrl fallback_;
    QUrl opened_;  // the local or resource page the program last asked for
    int timeoutMs_ = 8000;
};

}  // namespace platform
