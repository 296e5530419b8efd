#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "platform/core/encoding.h"
#include "platform/os/library_loader.h"
#include "seams.h"
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
#ifndef ZETTARA_TEST_HOOKS
        GTEST_SKIP() << "the update library was built without test hooks";
#endif
        ASSERT_TRUE(dir_.isValid());
        env_.set("ZETTARA_COMPANION_TRACE", tracePath());
        env_.unset("ZETTARA_UPDATE_ANSWER");
        env_.unset("ZETTARA_UPDATE_TIMEOUT_MS");
    }
    // Every check ends by itself and leaves nothing behind.
    void TearDown() override {
        EXPECT_TRUE(checkEnds());
    }

    QString tracePath() const {
        return dir_.filePath(QStringLiteral("trace.txt"));
    }
    QString trace() const {
        QFile file(tracePath());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    int check(const QUrl& list) {
        return modUpdate::DoUpdate(list.toString());
    }

    static QObject* runningCheck() {
        return qApp->findChild<QObject*>(QStringLiteral("updateCheck"), Qt::FindDirectChildrenOnly);
    }
    static bool checkEnds() {
        return QTest::qWaitFor([] { return !runningCheck(); });
    }
    // A check started and then ran to its end.
    void checkToTheEnd(const QUrl& list) {
        EXPECT_EQ(check(list), 1);
        EXPECT_TRUE(checkEnds());
    }

    testsupport::LoaderFolder folder_{testsupport::companionFolder()};
    QTemporaryDir dir_;
    testsupport::ScopedEnvironment env_;
    LoopbackHttpServer server_;
};

TEST_F(UpdateCheck, ReturnsAtOnceAndOffersTheNewerVersionWhenTheListArrives) {
    env_.set("ZETTARA_UPDATE_ANSWER", QStringLiteral("yes"));
    server_.hold();
    server_.answer(200,
                   QStringLiteral("3.0.0.1\r\nhttps://downloads.example/zettara-3.0.0.1.zip\r\n"
                                  "修复了便签丢失颜色的问题\r\n启动更快")
                       .toUtf8());

    EXPECT_EQ(check(server_.url(QStringLiteral("/update/Zettara.txt"))), 1);
    // The request goes out from the caller's event loop, and the check waits for its answer.
    ASSERT_TRUE(QTest::qWaitFor([&] { return server_.requests().size() == 1; }));
    EXPECT_EQ(server_.requests()[0].method, "GET");
    EXPECT_EQ(server_.requests()[0].path, "/update/Zettara.txt");
    EXPECT_NE(runningCheck(), nullptr);
    EXPECT_EQ(trace(), QString());

    server_.release();
    ASSERT_TRUE(checkEnds());
    const QString log = trace();
    EXPECT_TRUE(log.contains(QStringLiteral("ask: 发现新版本 3.0.0.1（当前版本 3.0.0.0）")))
        << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("修复了便签丢失颜色的问题\\n启动更快")));
    EXPECT_TRUE(
        log.contains(QStringLiteral("open: https://downloads.example/zettara-3.0.0.1.zip")));
}

TEST_F(UpdateCheck, ControlAndDirectionCharactersInTheNotesAreShownNotApplied) {
    env_.set("ZETTARA_UPDATE_ANSWER", QStringLiteral("no"));
    server_.answer(200,
                   "3.0.0.1\nhttps://downloads.example/z.zip\n"
                   "gpj\xe2\x80\xae.exe\x1b[2J\x07\xc2\x9b\xe2\x81\xa6"
                   "end\tok\n");
    checkToTheEnd(server_.url(QStringLiteral("/u.txt")));
    EXPECT_TRUE(trace().contains(
        QStringLiteral("gpj[U+202E].exe[U+001B][2J[U+0007][U+009B][U+2066]end\tok")))
        << trace().toStdString();
}

TEST_F(UpdateCheck, QuestionComesLaterWithoutBlockingAndFitsTheScreen) {
    QByteArray list = "3.0.0.1\nhttps://downloads.example/z.zip\n";
    for (int i = 0; i < 1000; ++i) list += QByteArray::number(i % 10) + '\n';
    server_.answer(200, list);
    env_.unset("ZETTARA_COMPANION_TRACE");
    // A modal box would hold up the caller: close it at once and fail.
    bool modal = false;
    QTimer modalWatch;
    QObject::connect(&modalWatch, &QTimer::timeout, [&] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            modal = true;
            box->close();
        }
    });
    modalWatch.start(10);

    auto question = [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QStringLiteral("updateQuestion") && w->isVisible())
                return qobject_cast<QMessageBox*>(w);
        return static_cast<QMessageBox*>(nullptr);
    };

    EXPECT_EQ(check(server_.url(QStringLiteral("/list"))), 1);
    EXPECT_EQ(question(), nullptr);
    QMessageBox* box = nullptr;
    ASSERT_TRUE(QTest::qWaitFor([&] { return (box = question()) != nullptr; }))
        << (modal ? "a modal box held the caller up" : "no question");
    EXPECT_FALSE(modal);
    EXPECT_EQ(box->windowModality(), Qt::NonModal);

    const QRect screen = box->screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(box->frameGeometry()));
    for (QAbstractButton* button : box->findChildren<QAbstractButton*>())
        EXPECT_TRUE(box->rect().contains(QRect(button->mapTo(box, QPoint(0, 0)), button->size())));
    const QString shown = box->text();
    EXPECT_TRUE(shown.startsWith(QStringLiteral("发现新版本 3.0.0.1"))) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(QStringLiteral("是否打开下载页面？")));
    EXPECT_LE(shown.count(QLatin1Char('\n')), 25);

    EXPECT_NE(runningCheck(), nullptr);  // until the user answers
    QPointer<QMessageBox> answered(box);
    for (QAbstractButton* button : box->buttons())
        if (box->buttonRole(button) == QMessageBox::NoRole) button->click();
    EXPECT_TRUE(checkEnds());
    EXPECT_TRUE(QTest::qWaitFor([&] { return answered.isNull(); }));
}

TEST_F(UpdateCheck, OversizedListIsCutOffAsItArrives) {
    env_.set("ZETTARA_UPDATE_ANSWER", QStringLiteral("yes"));
    env_.set("ZETTARA_UPDATE_TIMEOUT_MS", QStringLiteral("60000"));
    server_.answerEndlessly("3.0.0.1\nhttps://downloads.example/z.zip\n");

    EXPECT_EQ(check(server_.url(QStringLiteral("/list"))), 1);
    // Long before the deadline: the client hangs up once the list passes its limit.
    EXPECT_TRUE(QTest::qWaitFor([&] { return server_.hangUps() == 1; }));
    EXPECT_TRUE(checkEnds());
    EXPECT_EQ(trace(), QString());
}

TEST_F(UpdateCheck, DeclinedOfferOpensNothing) {
    env_.set("ZETTARA_UPDATE_ANSWER", QStringLiteral("no"));
    server_.answer(200, "3.1.0.0\nhttps://downloads.example/new.zip\n");

    checkToTheEnd(server_.url(QStringLiteral("/list")));
    EXPECT_TRUE(trace().contains(QStringLiteral("ask: ")));
    EXPECT_FALSE(trace().contains(QStringLiteral("open: ")));
}

TEST_F(UpdateCheck, VersionsCompareNumberByNumber) {
    // "10.0.0.0" sorts before "3.0.0.0" as text; "3.0.0.10" after "3.0.0.9" only as numbers.
    env_.set("ZETTARA_UPDATE_ANSWER", QStringLiteral("no"));
    int asked = 0;
    for (const char* newer : {"10.0.0.0", "3.0.0.10", "3.0.1.0", "4.0.0.0"}) {
        server_.answer(200, QByteArray(newer) + "\nhttps://downloads.example/z.zip\n");
        checkToTheEnd(server_.url(QStringLiteral("/list")));
        EXPECT_EQ(trace().count(QStringLiteral("ask: ")), ++asked) << newer;
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
    };
    env_.set("ZETTARA_UPDATE_ANSWER", QStringLiteral("yes"));
    for (const QByteArray& list : cases) {
        server_.answer(200, list);
        checkToTheEnd(server_.url(QStringLiteral("/list")));
    }
    EXPECT_EQ(server_.requests().size(), int(std::size(cases)));
    EXPECT_EQ(trace(), QString());
}

TEST_F(UpdateCheck, OfflineOrAnErrorAnswerIsSilent) {
    const QByteArray newer = "3.0.0.1\nhttps://downloads.example/z.zip\n";
    env_.set("ZETTARA_UPDATE_ANSWER", QStringLiteral("yes"));
    checkToTheEnd(LoopbackHttpServer::closedPortUrl());
    for (int status : {404, 500}) {
        server_.answer(status, newer);
        checkToTheEnd(server_.url(QStringLiteral("/list")));
    }
    env_.set("ZETTARA_UPDATE_TIMEOUT_MS", QStringLiteral("300"));
    server_.stayMute();
    checkToTheEnd(server_.url(QStringLiteral("/list")));
    EXPECT_EQ(server_.requests().size(), 3);  // it did ask each time, and gave up waiting
    EXPECT_TRUE(QTest::qWaitFor([&] { return server_.hangUps() == 1; }));

    EXPECT_EQ(check(QUrl(QStringLiteral("not an address"))), 0);
    EXPECT_EQ(runningCheck(), nullptr);
    EXPECT_EQ(trace(), QString());
}

TEST_F(UpdateCheck, BeginUpdateOpensTheDownloadWithoutAsking) {
    server_.answer(200, "3.0.0.2\nhttps://downloads.example/z.zip\n");
    const QByteArray address = platform::toAnsi(server_.url(QStringLiteral("/list")).toString());

    EXPECT_EQ(platform::LibraryLoader::callText(QStringLiteral("Update"), "BeginUpdate", address),
              1);
    EXPECT_TRUE(checkEnds());
    EXPECT_FALSE(trace().contains(QStringLiteral("ask: ")));
    EXPECT_TRUE(trace().contains(QStringLiteral("open: https://downloads.example/z.zip")));
}

TEST(UpdateCall, PassesTheListAddressAsNarrowText) {
    std::vector<QByteArray> calls;
    testsupport::Seams::setUpdateCall([&](const QByteArray& address) {
        calls.push_back(address);
        return 0;
    });
    modUpdate::DoUpdate(modUpdate::kUpdateListAddress.toString());
    testsupport::Seams::setUpdateCall({});

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
