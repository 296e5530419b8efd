#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "platform/core/error.h"
#include "platform/os/library_loader.h"
#include "seams.h"
#include "system/feedback_call.h"
#include "test_helpers.h"
#include "test_update_companion_support.h"

namespace {

using testsupport::LoopbackHttpServer;

// Runs the real feedback library from the program folder against a loopback server.
class FeedbackSend : public ::testing::Test {
  protected:
    void SetUp() override {
#ifndef ZETTARA_TEST_HOOKS
        GTEST_SKIP() << "the feedback library was built without test hooks";
#endif
        ASSERT_TRUE(dir_.isValid());
        // Stands for $XDG_DATA_HOME: a folder of the user's that the outbox must leave alone.
        ASSERT_TRUE(QFile::setPermissions(dir_.path(), kOpenFolder));
        env_.set("ZETTARA_COMPANION_TRACE", dir_.filePath(QStringLiteral("trace.txt")));
        env_.set("ZETTARA_FEEDBACK_OUTBOX", outbox());
        env_.set("ZETTARA_FEEDBACK_URL", server_.url(QStringLiteral("/feedback")).toString());
        env_.set("ZETTARA_FEEDBACK_AUTOSUBMIT", QStringLiteral("列表里的便签|不能排序|qq 12345"));
        env_.unset("ZETTARA_FEEDBACK_TIMEOUT_MS");
    }

    static constexpr QFileDevice::Permissions kOpenFolder =
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
        QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther |
        QFileDevice::ExeOther;
    static constexpr QFileDevice::Permissions kOwnerOnly =
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser |
        QFileDevice::WriteUser;

    QString outbox() const {
        return dir_.filePath(QStringLiteral("Zettara-6471/outbox"));
    }
    QStringList outboxFiles() const {
        return QDir(outbox()).entryList(QDir::Files, QDir::Name);
    }
    QString outboxText(const QString& name) const {
        QFile file(QDir(outbox()).filePath(name));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    QString trace() const {
        QFile file(dir_.filePath(QStringLiteral("trace.txt")));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    static int showComment() {
        return 用户反馈::ShowComment(用户反馈::productText());
    }

    // The typed text must be in exactly one outbox file, and the user told which.
    void expectKept() {
        const QStringList files = outboxFiles();
        ASSERT_EQ(files.size(), 1);
        const QString content = outboxText(files[0]);
        EXPECT_TRUE(content.contains(QStringLiteral("列表里的便签|不能排序")))
            << content.toStdString();
        EXPECT_TRUE(content.contains(QStringLiteral("qq 12345")));
        EXPECT_TRUE(content.contains(QStringLiteral("Zettara 3.0.0.0")));
        EXPECT_TRUE(trace().contains(QDir::toNativeSeparators(QDir(outbox()).filePath(files[0]))))
            << trace().toStdString();
        // Only the user may read it: the file and the folders made for it, not the one above.
        const auto ownerOnlyFolder = kOwnerOnly | QFileDevice::ExeOwner | QFileDevice::ExeUser;
        EXPECT_EQ(QFile::permissions(QDir(outbox()).filePath(files[0])), kOwnerOnly);
        EXPECT_EQ(QFile::permissions(outbox()), ownerOnlyFolder);
        EXPECT_EQ(QFile::permissions(dir_.filePath(QStringLiteral("Zettara-6471"))),
                  ownerOnlyFolder);
        const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::ExeGroup |
                                                QFileDevice::ReadOther | QFileDevice::ExeOther;
        EXPECT_EQ(QFile::permissions(dir_.path()) & others, others);
    }

    testsupport::LoaderFolder folder_{testsupport::companionFolder()};
    QTemporaryDir dir_;
    testsupport::ScopedEnvironment env_;
    LoopbackHttpServer server_;
};

TEST_F(FeedbackSend, DeliveredFeedbackReachesTheServerAndIsNotKept) {
    server_.answer(200, "ok");

    EXPECT_EQ(showComment(), 1);

    ASSERT_EQ(server_.requests().size(), 1);
    EXPECT_EQ(server_.requests()[0].method, "POST");
    EXPECT_EQ(server_.requests()[0].path, "/feedback");
    const QJsonObject sent = QJsonDocument::fromJson(server_.requests()[0].body).object();
    EXPECT_EQ(sent.value(QStringLiteral("text")).toString(),
              QStringLiteral("列表里的便签|不能排序"));
    EXPECT_EQ(sent.value(QStringLiteral("contact")).toString(), QStringLiteral("qq 12345"));
    EXPECT_EQ(sent.value(QStringLiteral("product")).toString(), QStringLiteral("Zettara 3.0.0.0"));
    EXPECT_TRUE(outboxFiles().isEmpty());
}

TEST_F(FeedbackSend, ServerErrorKeepsTheTextInTheOutbox) {
    server_.answer(500, "broken");
    EXPECT_EQ(showComment(), 2);
    EXPECT_EQ(server_.requests().size(), 1);
    expectKept();
    // What happened and what to do, then the server's own answer.
    EXPECT_TRUE(
        trace().contains("服务器暂时无法处理这个请求。请稍后再试。\\n（服务器回答 HTTP 500）"))
        << trace().toStdString();
}

TEST_F(FeedbackSend, ServerDownKeepsTheTextInTheOutbox) {
    env_.set("ZETTARA_FEEDBACK_URL", LoopbackHttpServer::closedPortUrl().toString());
    EXPECT_EQ(showComment(), 2);
    expectKept();
    EXPECT_TRUE(
        trace().contains("无法连接到服务器。请检查网络连接，稍后再试。\\n（Connection refused）"))
        << trace().toStdString();
}

TEST_F(FeedbackSend, MuteServerIsCutByTheTimeoutAndTheTextKept) {
    env_.set("ZETTARA_FEEDBACK_TIMEOUT_MS", QStringLiteral("300"));
    server_.stayMute();
    EXPECT_EQ(showComment(), 2);
    EXPECT_EQ(server_.connections(), 1);
    expectKept();
}

TEST_F(FeedbackSend, RepeatedFailuresNeverReplaceAnEarlierFile) {
    server_.answer(503, "busy");
    EXPECT_EQ(showComment(), 2);
    env_.set("ZETTARA_FEEDBACK_AUTOSUBMIT", QStringLiteral("第二条意见|"));
    EXPECT_EQ(showComment(), 2);

    const QStringList files = outboxFiles();
    ASSERT_EQ(files.size(), 2);
    const QString both = outboxText(files[0]) + outboxText(files[1]);
    EXPECT_TRUE(both.contains(QStringLiteral("列表里的便签|不能排序")));
    EXPECT_TRUE(both.contains(QStringLiteral("第二条意见")));
}

TEST_F(FeedbackSend, UnwritableOutboxLeavesTheFormOpenAndSaysSo) {
    QFile blocker(dir_.filePath(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    env_.set("ZETTARA_FEEDBACK_OUTBOX", blocker.fileName() + QStringLiteral("/outbox"));
    env_.set("ZETTARA_FEEDBACK_URL", LoopbackHttpServer::closedPortUrl().toString());

    EXPECT_EQ(showComment(), -1);
    EXPECT_TRUE(trace().contains(QStringLiteral("也无法保存"))) << trace().toStdString();
}

TEST_F(FeedbackSend, EmptyTextIsNotSent) {
    env_.set("ZETTARA_FEEDBACK_AUTOSUBMIT", QStringLiteral("  \n |someone"));
    EXPECT_EQ(showComment(), 0);
    EXPECT_EQ(server_.connections(), 0);
    EXPECT_TRUE(outboxFiles().isEmpty());
    EXPECT_TRUE(trace().contains(QStringLiteral("请先写下您的意见")));
}

// Drives the real modal form once it is up.
void whenFormOpens(const std::function<void(QDialog*)>& act) {
    testsupport::whenModalOpens([act](QWidget* modal) { act(qobject_cast<QDialog*>(modal)); });
}

QPushButton* button(QDialog* form, const QString& text) {
    for (QPushButton* b : form->findChildren<QPushButton*>()) {
        if (b->text() == text) return b;
    }
    return nullptr;
}

TEST_F(FeedbackSend, FormTypedByHandIsTitledWithTheProductAndSentWhileItWaits) {
    env_.unset("ZETTARA_FEEDBACK_AUTOSUBMIT");
    server_.answer(200, "ok");
    server_.hold();
    QString title;
    whenFormOpens([&](QDialog* form) {
        title = form->windowTitle();
        form->findChild<QPlainTextEdit*>()->setPlainText(QStringLiteral("手写的意见"));
        ASSERT_NE(button(form, QStringLiteral("发送")), nullptr);
        button(form, QStringLiteral("发送"))->click();
        // The form keeps running while the text is on its way; Cancel cannot drop it now.
        ASSERT_TRUE(QTest::qWaitFor([&] { return server_.requests().size() == 1; }));
        EXPECT_FALSE(button(form, QStringLiteral("发送"))->isEnabled());
        button(form, QStringLiteral("取消"))->click();
        EXPECT_TRUE(form->isVisible());
        server_.release();
    });

    EXPECT_EQ(showComment(), 1);
    EXPECT_EQ(title, QStringLiteral("Zettara 3.0.0.0"));
    ASSERT_EQ(server_.requests().size(), 1);
    EXPECT_TRUE(server_.requests()[0].body.contains(QStringLiteral("手写的意见").toUtf8()));
}

TEST_F(FeedbackSend, CancelledFormSendsAndKeepsNothing) {
    env_.unset("ZETTARA_FEEDBACK_AUTOSUBMIT");
    whenFormOpens([](QDialog* form) {
        form->findChild<QPlainTextEdit*>()->setPlainText(QStringLiteral("算了"));
        button(form, QStringLiteral("取消"))->click();
    });

    EXPECT_EQ(showComment(), 0);
    EXPECT_EQ(server_.connections(), 0);
    EXPECT_TRUE(outboxFiles().isEmpty());
}

TEST(FeedbackCall, EveryCallPassesTheProductText) {
    std::vector<QByteArray> calls;
    testsupport::Seams::setFeedbackCall([&](const QByteArray& product) {
        calls.push_back(product);
        return 0;
    });
    用户反馈::ShowComment(用户反馈::productText());
    用户反馈::ShowComment(用户反馈::productText());
    testsupport::Seams::setFeedbackCall({});

    EXPECT_EQ(calls, std::vector<QByteArray>(2, QByteArray("Zettara 3.0.0.0")));
}

TEST(FeedbackCall, MissingLibraryIsReportedAsAnError) {
    QTemporaryDir empty;
    testsupport::LoaderFolder folder(empty.path());
    try {
        用户反馈::ShowComment(用户反馈::productText());
        ADD_FAILURE() << "no error raised";
    } catch (const platform::Error& error) {
        EXPECT_EQ(error.number(), platform::errc::libraryNotFound);
        EXPECT_TRUE(error.message().contains(QStringLiteral("SendComment")));
    }
}

}  // namespace
