#pragma once

#include <QTextBrowser>
#include <QUrl>

namespace platform {

// The browser strip: shows a page given by address. Local and resource pages load at once;
// web pages are fetched in the background within size and time limits, and the fallback page
// stays up when they cannot be loaded. Nothing here ever blocks the caller.
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

  signals:
    // A web page's fetch is over: shown, or refused and the fallback stays.
    void loadFinished(bool shown);

  private:
    void showFallback();
    void fetch(const QUrl& url);
    void showPage(bool ok, const QByteArray& body, const QString& contentType);

    QUrl fallback_;
    int timeoutMs_ = 8000;
};

}  // namespace platform
