#include <gtest/gtest.h>

#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include "platform/web_browser.h"

namespace {

// A one-page web server on the loopback interface that answers every request alike.
class PageServer {
  public:
    explicit PageServer(QByteArray response) : response_(std::move(response)) {
        server_.listen(QHostAddress::LocalHost);
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            QTcpSocket* socket = server_.nextPendingConnection();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                socket->readAll();
                socket->write(response_);
                socket->disconnectFromHost();
            });
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            ++requests;
        });
    }
    QString address() const {
        return QStringLiteral("http://127.0.0.1:%1/ad.html").arg(server_.serverPort());
    }
    int requests = 0;

  private:
    QTcpServer server_;
    QByteArray response_;
};

QByteArray reply(const QByteArray& type, const QByteArray& body) {
    return "HTTP/1.0 200 OK\r\nContent-Type: " + type +
           "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

class WebBrowserTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const QString fallback = dir.filePath(QStringLiteral("fallback.html"));
        QFile file(fallback);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("<p>local banner</p>");
        file.close();
        browser.setFallback(QUrl::fromLocalFile(fallback));
    }
    QTemporaryDir dir;
    platform::WebBrowser browser;
};

TEST_F(WebBrowserTest, WebPageReplacesTheFallbackShownMeanwhile) {
    PageServer server(reply("text/html; charset=utf-8", "<p>today's offer</p>"));
    browser.Navigate(server.address());
    // The caller gets the fallback at once; the page is fetched from the event loop.
    EXPECT_EQ(browser.toPlainText(), QStringLiteral("local banner"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return browser.toPlainText() == "today's offer"; }, 10000));
    EXPECT_EQ(server.requests, 1);
}

TEST_F(WebBrowserTest, EveryNavigationFetchesItsPageAfterTheLastOneFinished) {
    PageServer first(reply("text/html", "<p>first</p>"));
    PageServer second(reply("text/html", "<p>second</p>"));
    browser.Navigate(first.address());
    ASSERT_TRUE(QTest::qWaitFor([&] { return browser.toPlainText() == "first"; }, 10000));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    browser.Navigate(second.address());
    EXPECT_TRUE(QTest::qWaitFor([&] { return browser.toPlainText() == "second"; }, 10000));
    // Two at once: both are fetched, neither reply is lost with the manager.
    browser.Navigate(first.address());
    browser.Navigate(second.address());
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return first.requests == 2 && second.requests == 2; }, 10000));
}

TEST_F(WebBrowserTest, AnythingButAnHtmlPageKeepsTheFallback) {
    PageServer server(reply("text/plain", "<p>not a banner</p>"));
    browser.Navigate(server.address());
    EXPECT_TRUE(QTest::qWaitFor([&] { return server.requests == 1; }, 10000));
    QTest::qWait(200);  // let the reply arrive and be refused
    EXPECT_EQ(browser.toPlainText(), QStringLiteral("local banner"));
}

TEST_F(WebBrowserTest, BrowserGoneBeforeTheFetchSendsNothing) {
    PageServer server(reply("text/html", "<p>x</p>"));
    {
        platform::WebBrowser shortLived;
        shortLived.Navigate(server.address());
    }
    QTest::qWait(200);
    EXPECT_EQ(server.requests, 0);
}

}  // namespace
