#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QTest>

#include "platform/single_instance.h"

namespace {

TEST(SingleInstance, PrimaryAnswersEachShowLineWhateverFollowsTheWord) {
    QTemporaryDir runtime;
    ASSERT_TRUE(runtime.isValid());
    ::chmod(QFile::encodeName(runtime.path()).constData(), 0700);
    const QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));

    platform::SingleInstance primary(QStringLiteral("test key"));
    ASSERT_TRUE(primary.tryBecomePrimary());
    int shown = 0;
    primary.onActivateRequested = [&shown] { ++shown; };

    QLocalSocket client;
    client.connectToServer(
        QDir(runtime.path())
            .filePath(platform::SingleInstance::serverName(QStringLiteral("test key"))));
    ASSERT_TRUE(client.waitForConnected(1000));
    // Only a line whose first word is "show" counts; more words may follow it.
    client.write("shower\nhello show\nshow\n\tshow  with a token\n");
    client.flush();
    EXPECT_TRUE(QTest::qWaitFor([&client] { return client.bytesAvailable() >= 6; }, 5000));
    EXPECT_EQ(client.readAll(), "ok\nok\n");
    EXPECT_EQ(shown, 2);

    qputenv("XDG_RUNTIME_DIR", oldRuntime);
}

}  // namespace
