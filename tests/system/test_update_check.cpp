#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QFile>
#include <QLabel>
#include <QScreen>
#include <QTemporaryDir>

#include "platform/encoding.h"
#include "platform/library_loader.h"
#include "system/update_call.h"
#include "test_helpers.h"
#include "test_update_companion_support.h"

namespace {

using testsupport::LoopbackHttpServer;

// Runs the real update library from the program folder against a loopback server, with its
// boxes and browser launches recorded in a trace file.
class UpdateCheck : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        env_.set("ZETTARA_COMPANION_TRACE", tracePath());
        env_.unset("ZETTARA_UPDATE_ANSWER");
        env_.unset("ZETTARA_UPDATE_TIMEOUT_MS");
    }

    QString tracePath() const { return dir_.filePath(QStringLiteral("trace.txt")); }
    QString trace() const {
        QFile file(tracePath());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    int check(const QUrl& list) { return modUpdate::DoUpdate(list.toString()); }

    testsupport::LoaderFolder folder_{testsupport::companionFolder()};
    QTemporaryDir dir_;
    testsupport::ScopedEnvironment env_;
    LoopbackHttpServer server_;
};

TEST_F(UpdateCheck, NewerVersionIsOfferedWithNotesAndOpensTheDownloadWhenAccepted) {
    env_.set("ZETTARA_UPDATE_ANSWER", QStringLiteral("yes"));
    server_.answer(200,
                   QStringLiteral("3.0.0.1\r\nhttps://downloads.example/zettara-3.0.0.1.zip\r\n"
                                  "修复了便签丢失颜色的问题\r\n启动更快")
                       .toUtf8());

    EXPECT_EQ(check(server_.url(QStringLiteral("/update/Zettara.txt"))), 2);

    ASSERT_EQ(server_.requests().size(), 1);
    EXPECT_EQ(server_.requests()[0].method, "GET");
    EXPECT_EQ(server_.requests()[0].path, "/update/Zettara.txt");
    const QString log = trace();
    EXPECT_TRUE(log.contains(QStringLiteral("ask: 发现新版本 3.0.0.1（当前版本 3.0.0.0）")))
        << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("修复了便签丢失颜色的问题\\n启动更快")));
    EXPECT_TRUE(
        log.contains(QStringLiteral("open: https://downloads.example/zettara-3.0.0.1.zip")));
}

TEST_F(UpdateCheck, LongReleaseNotesAreCutSoTheQuestionAndButtonsStayOnScreen) {
    QByteArray list = "3.0.0.1\nhttps://downloads.example/z.zip\n";
    for (int i = 0; i < 1000; ++i) list += QByteArray::number(i % 10) + '\n';
    server_.answer(200, list);
    env_.set("ZETTARA_UPDATE_ANSWER", QStringLiteral("no"));
    EXPECT_EQ(check(server_.url(QStringLiteral("/list"))), 1);
    const QString asked =
        trace().section(QStringLiteral("ask: "), 1).section(QLatin1Char('\n'), 0, 0);
    EXPECT_LE(asked.count(QStringLiteral("\\n")), 25) << asked.toStdString();
    EXPECT_TRUE(asked.contains(QStringLiteral("……")));

    // The real box, as the user sees it.
    env_.unset("ZETTARA_COMPANION_TRACE");
    env_.unset("ZETTARA_UPDATE_ANSWER");
    QString shown;
    testsupport::whenModalOpens([&](QWidget* box) {
        const QRect screen = box->screen()->availableGeometry();
        EXPECT_TRUE(screen.contains(box->frameGeometry()));
        for (QAbstractButton* button : box->findChildren<QAbstractButton*>())
            EXPECT_TRUE(
                box->rect().contains(QRect(button->mapTo(box, QPoint(0, 0)), button->size())));
        if (auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label")))
            shown = label->text();
        box->close();
    });
    EXPECT_EQ(check(server_.url(QStringLiteral("/list"))), 1);
    EXPECT_TRUE(shown.startsWith(QStringLiteral("发现新版本 3.0.0.1"))) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(QStringLiteral("是否打开下载页面？")));
}

TEST_F(UpdateCheck, DeclinedOfferOpensNothing) {
    env_.set("ZETTARA_UPDATE_ANSWER", QStringLiteral("no"));
    server_.answer(200, "3.1.0.0\nhttps://downloads.example/new.zip\n");

    EXPECT_EQ(check(server_.url(QStringLiteral("/list"))), 1);
    EXPECT_TRUE(trace().contains(QStringLiteral("ask: ")));
    EXPECT_FALSE(trace().contains(QStringLiteral("open: ")));
}

TEST_F(UpdateCheck, VersionsCompareNumberByNumber) {
    // "10.0.0.0" sorts before "3.0.0.0" as text; "3.0.0.10" after "3.0.0.9" only as numbers.
    for (const char* newer : {"10.0.0.0", "3.0.0.10", "3.0.1.0", "4.0.0.0"}) {
        server_.answer(200, QByteArray(newer) + "\nhttps://downloads.example/z.zip\n");
        EXPECT_EQ(check(server_.url(QStringLiteral("/list"))), 1) << newer;
    }
}

TEST_F(UpdateCheck, NothingIsOfferedForAnEqualOlderOrUnreadableList) {
    const QByteArray cases[] = {
        "3.0.0.0\nhttps://downloads.example/z.zip\n",       // equal
        "003.000.0.0\nhttps://downloads.example/z.zip\n",   // equal, written with zeros
        "2.9.9.99\nhttps://downloads.example/z.zip\n",      // older
        "",                                                 // empty
        "<html><body>Not here</body></html>",               // garbage
        "3.0.1\nhttps://downloads.example/z.zip\n",         // three parts
        "3.0.0.1.5\nhttps://downloads.example/z.zip\n",     // five parts
        "3.x.0.1\nhttps://downloads.example/z.zip\n",       // not a number
        "99999999999.0.0.0\nhttps://downloads.example/\n",  // number too large
        "3.0.0.1",                                          // no download address
        "3.0.0.1\n\nnotes\n",                               // empty download address
        "3.0.0.1\nfile:///etc/passwd\n",                    // not a web address
        "3.0.0.1\njavascript:alert(1)\n",                   // not a web address
        "3.0.0.1\nhttps://downloads.example/z.zip\n" + QByteArray(100 * 1024, 'x'),  // too long
    };
    env_.set("ZETTARA_UPDATE_ANSWER", QStringLiteral("yes"));
    for (const QByteArray& list : cases) {
        server_.answer(200, list);
        EXPECT_EQ(check(server_.url(QStringLiteral("/list"))), 0) << list.left(60).toStdString();
    }
    EXPECT_EQ(server_.requests().size(), int(std::size(cases)));
    EXPECT_EQ(trace(), QString());
}

TEST_F(UpdateCheck, ErrorAnswerFromTheServerIsSilent) {
    server_.answer(404, "3.0.0.1\nhttps://downloads.example/z.zip\n");
    EXPECT_EQ(check(server_.url(QStringLiteral("/list"))), 0);
    server_.answer(500, "3.0.0.1\nhttps://downloads.example/z.zip\n");
    EXPECT_EQ(check(server_.url(QStringLiteral("/list"))), 0);
    EXPECT_EQ(server_.requests().size(), 2);
    EXPECT_EQ(trace(), QString());
}

TEST_F(UpdateCheck, ServerDownOrMuteReturnsSilently) {
    EXPECT_EQ(check(LoopbackHttpServer::closedPortUrl()), 0);

    env_.set("ZETTARA_UPDATE_TIMEOUT_MS", QStringLiteral("300"));
    server_.stayMute();
    EXPECT_EQ(check(server_.url(QStringLiteral("/list"))), 0);
    EXPECT_EQ(server_.requests().size(), 1);  // it did ask, and gave up waiting

    EXPECT_EQ(check(QUrl(QStringLiteral("not an address"))), 0);
    EXPECT_EQ(trace(), QString());
}

TEST_F(UpdateCheck, BeginUpdateOpensTheDownloadWithoutAsking) {
    server_.answer(200, "3.0.0.2\nhttps://downloads.example/z.zip\n");
    const QByteArray address = platform::toAnsi(server_.url(QStringLiteral("/list")).toString());

    EXPECT_EQ(platform::LibraryLoader::callText(QStringLiteral("Update"), "BeginUpdate", address),
              2);
    EXPECT_FALSE(trace().contains(QStringLiteral("ask: ")));
    EXPECT_TRUE(trace().contains(QStringLiteral("open: https://downloads.example/z.zip")));
}

TEST(UpdateCall, PassesTheListAddressAsNarrowText) {
    std::vector<QByteArray> calls;
    modUpdate::setCallForTests([&](const QByteArray& address) {
        calls.push_back(address);
        return 0;
    });
    modUpdate::DoUpdate(modUpdate::kUpdateListAddress.toString());
    modUpdate::setCallForTests({});

    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0], QByteArray("https://www.zettara-6471.example/update/Zettara.txt"));
}

TEST(UpdateCall, MissingLibraryIsSkippedSilently) {
    QTemporaryDir empty;
    testsupport::LoaderFolder folder(empty.path());
    int result = -1;
    EXPECT_NO_THROW(result = modUpdate::DoUpdate(modUpdate::kUpdateListAddress.toString()));
    EXPECT_EQ(result, 0);
}

}  // namespace
