#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QNetworkAccessManager>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "platform/ui/web_browser.h"

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

QByteArray redPng() {
    QImage red(8, 8, QImage::Format_RGB32);
    red.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    red.save(&buffer, "PNG");
    return png;
}

bool showsRed(QWidget& widget) {
    const QImage image = widget.grab().toImage();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 200 && c.green() < 80 && c.blue() < 80) return true;
        }
    return false;
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

TEST_F(WebBrowserTest, BuiltInResourcesOutsideTheProgramsAreNotRead) {
    const QString foreign =
        QStringLiteral(":/qt-project.org/styles/commonstyle/images/file-16.png");
    ASSERT_TRUE(QFile::exists(foreign));
    for (const QString& name : {"qrc" + foreign, QStringLiteral("qrc:/zettara/..") + foreign}) {
        const QVariant resource = browser.loadResource(QTextDocument::ImageResource, QUrl(name));
        const QImage image = resource.userType() == QMetaType::QByteArray
                                 ? QImage::fromData(resource.toByteArray())
                                 : qvariant_cast<QImage>(resource);
        EXPECT_LE(image.width(), 1) << name.toStdString();
    }
}

// A page from a hostile server. %DIR% stands for a folder holding red.png and red.css, %RED%
// for red.png in base64.
struct HostilePage {
    const char* name;
    QByteArray body;
    bool shown;        // else refused, and the fallback stays
    const char* text;  // shown then
};

void PrintTo(const HostilePage& page, std::ostream* out) {
    *out << page.name;
}

class HostilePageTest : public WebBrowserTest, public ::testing::WithParamInterface<HostilePage> {};

TEST_P(HostilePageTest, NeitherCrashesNorHangsNorReadsLocalResources) {
    const QByteArray png = redPng();
    QFile image(dir.filePath(QStringLiteral("red.png")));
    ASSERT_TRUE(image.open(QIODevice::WriteOnly));
    image.write(png);
    image.close();
    QFile css(dir.filePath(QStringLiteral("red.css")));
    ASSERT_TRUE(css.open(QIODevice::WriteOnly));
    css.write("p { background-color: #ff0000; }");
    css.close();
    const QByteArray body = QByteArray(GetParam().body)
                                .replace("%DIR%", dir.path().toUtf8())
                                .replace("%RED%", png.toBase64());
    PageServer server(reply("text/html", body));

    browser.Navigate(server.address());
    ASSERT_TRUE(QTest::qWaitFor([&] { return loaded.size() == 1; }, 10000));
    EXPECT_EQ(loaded.at(0).at(0).toBool(), GetParam().shown);
    EXPECT_FALSE(showsRed(browser));  // laid out and painted, without a local resource
    if (GetParam().shown)
        EXPECT_TRUE(browser.toPlainText().contains(QString::fromUtf8(GetParam().text)))
            << browser.toPlainText().left(200).toStdString();
    else
        EXPECT_EQ(browser.toPlainText(), QStringLiteral("local banner"));
}

QByteArray manyAttributes() {
    QByteArray tag = "<p";
    for (int i = 0; i < 200; ++i) tag += " a" + QByteArray::number(i) + "=\"x\"";
    return tag + ">many</p>";
}

INSTANTIATE_TEST_SUITE_P(
    Corpus, HostilePageTest,
    ::testing::Values(
        HostilePage{"DeepTables", QByteArray("<table><tr><td>").repeated(3000) + "deep", false, ""},
        HostilePage{"ThousandsOfCells",
                    "<table><tr>" + QByteArray("<td>x</td>").repeated(50000) + "</tr></table>",
                    false, ""},
        HostilePage{"HugeAttributes",
                    "<p title=\"" + QByteArray(400000, 'A') + "\">big</p>" +
                        "<table><tr><td colspan=\"99999999\">wide</td></tr></table>" +
                        manyAttributes(),
                    true, "many"},
        HostilePage{"FileResources",
                    "<link rel=\"stylesheet\" type=\"text/css\" href=\"file://%DIR%/red.css\" />"
                    "<p><img src=\"file://%DIR%/red.png\" width=\"30\" height=\"30\">"
                    "<img src=\"%DIR%/red.png\" width=\"30\" height=\"30\">files</p>",
                    true, "files"},
        HostilePage{"DataResource",
                    "<p><img src=\"data:image/png;base64,%RED%\" width=\"30\" height=\"30\">"
                    "data</p>",
                    true, "data"},
        HostilePage{"InvalidUtf8", "<p>ok \xff\xfe\xc0\xaf\xed\xa0\x80 end</p>", true, "end"}),
    [](const auto& test) { return std::string(test.param.name); });

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
                         [](const auto& test) { return std::string(test.param.name); });

// Peak memory of this process since it was last reset, in KiB.
long peakKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

TEST_F(WebBrowserTest, EndlessHeadersAreCutOffSmall) {
    browser.setTimeoutMs(60000);  // only the header limits can end it in time
    for (const QByteArray& start :
         {QByteArray("HTTP/1.0 200 OK\r\nX-Line: "), QByteArray("HTTP/1.0 200 OK\r\n")}) {
        PageServer server(start,
                          start.endsWith(' ') ? QByteArray(64 * 1024, 'a')
                                              : QByteArray("X-Field: a\r\n").repeated(4096),
                          1);
        QFile reset(QStringLiteral("/proc/self/clear_refs"));
        ASSERT_TRUE(reset.open(QIODevice::WriteOnly));
        ASSERT_EQ(reset.write("5"), 1);
        reset.close();
        const long before = peakKiB();
        browser.Navigate(server.address());
        ASSERT_TRUE(QTest::qWaitFor([&] { return !loaded.isEmpty(); }, 20000));
        loaded.clear();
        EXPECT_LT(peakKiB() - before, 2048);
        EXPECT_EQ(browser.toPlainText(), QStringLiteral("local banner"));
    }
}

}  // namespace
