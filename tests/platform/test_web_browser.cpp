#include <gtest/gtest.h>

#include <QFile>
#include <QNetworkAccessManager>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "platform/web_browser.h"

namespace {

// A web server on the loopback interface that answers every request alike: the response,
// then, when a chunk is given, that chunk every intervalMs for as long as the client listens.
class PageServer {
  public:
    explicit PageServer(QByteArray response, QByteArray chunk = {}, int intervalMs = 0)
        : response_(std::move(response)), chunk_(std::move(chunk)) {
        server_.listen(QHostAddress::LocalHost);
        QObject::connect(&server_, &QTcpServer::newConnection, [this, intervalMs] {
            QTcpSocket* socket = server_.nextPendingConnection();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, intervalMs] {
                socket->readAll();
                socket->write(response_);
                if (chunk_.isEmpty()) {
                    socket->disconnectFromHost();
                    return;
                }
                auto* timer = new QTimer(socket);
                QObject::connect(timer, &QTimer::timeout, socket, [this, socket] {
                    if (socket->bytesToWrite() < 256 * 1024) socket->write(chunk_);
                });
                timer->start(intervalMs);
            });
            QObject::connect(socket, &QTcpSocket::disconnected, socket, [this, socket] {
                ++closed;
                socket->deleteLater();
            });
            ++requests;
        });
    }
    QString address() const {
        return QStringLiteral("http://127.0.0.1:%1/ad.html").arg(server_.serverPort());
    }
    int requests = 0;
    int closed = 0;  // connections ended, by either side

  private:
    QTcpServer server_;
    QByteArray response_;
    QByteArray chunk_;
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
        browser.resize(400, 80);
    }
    QTemporaryDir dir;
    platform::WebBrowser browser;
    QSignalSpy loaded{&browser, &platform::WebBrowser::loadFinished};
};

TEST_F(WebBrowserTest, WebPageReplacesTheFallbackShownMeanwhile) {
    PageServer server(reply("text/html; charset=utf-8", "<p>today's offer</p>"));
    browser.Navigate(server.address());
    // The caller gets the fallback at once; the page is fetched from the event loop.
    EXPECT_EQ(browser.toPlainText(), QStringLiteral("local banner"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return browser.toPlainText() == "today's offer"; }, 10000));
    EXPECT_EQ(server.requests, 1);
    // Nothing of the fetch stays to wake up later.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(browser.findChildren<QNetworkAccessManager*>().isEmpty());
}

TEST_F(WebBrowserTest, EveryNavigationFetchesItsPageAfterTheLastOneFinished) {
    PageServer first(reply("text/html", "<p>first</p>"));
    PageServer second(reply("text/html", "<p>second</p>"));
    browser.Navigate(first.address());
    ASSERT_TRUE(QTest::qWaitFor([&] { return browser.toPlainText() == "first"; }, 10000));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    browser.Navigate(second.address());
    EXPECT_TRUE(QTest::qWaitFor([&] { return browser.toPlainText() == "second"; }, 10000));
    // Two at once: both are fetched, neither reply is lost.
    browser.Navigate(first.address());
    browser.Navigate(second.address());
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return first.requests == 2 && second.requests == 2; }, 10000));
}

TEST_F(WebBrowserTest, AnythingButAnHtmlPageKeepsTheFallback) {
    PageServer server(reply("text/plain", "<p>not a banner</p>"));
    browser.Navigate(server.address());
    ASSERT_TRUE(QTest::qWaitFor([&] { return loaded.size() == 1; }, 10000));
    EXPECT_FALSE(loaded.at(0).at(0).toBool());
    EXPECT_EQ(browser.toPlainText(), QStringLiteral("local banner"));
}

TEST_F(WebBrowserTest, BrowserGoneBeforeTheFetchSendsNothing) {
    PageServer server(reply("text/html", "<p>x</p>"));
    {
        platform::WebBrowser shortLived;
        shortLived.Navigate(server.address());
    }
    // A fetch queued after the lost one has been answered: the lost one would have come first.
    browser.Navigate(server.address());
    ASSERT_TRUE(QTest::qWaitFor([&] { return loaded.size() == 1; }, 10000));
    EXPECT_EQ(server.requests, 1);
}

// A server that never stops sending, fast or slow.
struct EndlessBody {
    const char* name;
    QByteArray chunk;
    int intervalMs;
    int timeoutMs;
};

void PrintTo(const EndlessBody& body, std::ostream* out) {
    *out << body.name;
}

class EndlessBodyTest : public WebBrowserTest, public ::testing::WithParamInterface<EndlessBody> {};

TEST_P(EndlessBodyTest, TransferIsCutOffAndTheFallbackStays) {
    PageServer server("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n<p>start",
                      GetParam().chunk, GetParam().intervalMs);
    browser.setTimeoutMs(GetParam().timeoutMs);
    browser.Navigate(server.address());
    EXPECT_TRUE(QTest::qWaitFor([&] { return server.closed == 1; }, 10000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return loaded.size() == 1; }, 10000));
    EXPECT_FALSE(loaded.at(0).at(0).toBool());
    EXPECT_EQ(browser.toPlainText(), QStringLiteral("local banner"));
}

INSTANTIATE_TEST_SUITE_P(Servers, EndlessBodyTest,
                         ::testing::Values(
                             // Only the size limit can end it in time.
                             EndlessBody{"PastTheSizeLimit", QByteArray(64 * 1024, 'x'), 5, 60000},
                             // Never silent long enough for a transfer timeout.
                             EndlessBody{"Trickling", "x", 100, 1000}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
