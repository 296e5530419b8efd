#pragma once

#include <QTextBrowser>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

namespace platform {

// The browser strip: shows a page given by address. Local and resource pages load at once;
// web pages are fetched in the background with a time limit, and the fallback page stays
// up when they cannot be loaded. Nothing here ever blocks the caller.
class WebBrowser : public QTextBrowser {
    Q_OBJECT
  public:
    explicit WebBrowser(QWidget* parent = nullptr);
    ~WebBrowser() override;

    void Navigate(const QString& address);
    // Shown while a web page loads and when it cannot be loaded.
    void setFallback(const QUrl& page) { fallback_ = page; }
    void setTimeoutMs(int ms) { timeoutMs_ = ms; }

  private:
    void showFallback();
    void fetch(const QUrl& url);
    void finished(QNetworkReply* reply);

    QUrl fallback_;
    int timeoutMs_ = 8000;
    QNetworkAccessManager* network_ = nullptr;
    int pending_ = 0;  // requests of network_ not finished yet
};

}  // namespace platform
