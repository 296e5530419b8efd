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
    QStringList tokens;
    primary.onActivateRequested = [&tokens](const QString& token) { tokens << token; };

    QLocalSocket client;
    client.connectToServer(
        QDir(runtime.path())
            .filePath(platform::SingleInstance::serverName(QStringLiteral("test key"))));
    ASSERT_TRUE(client.waitForConnected(1000));
    // Only a line whose first word is "show" counts; the second word is an activation token,
    // passed on only when it is plain printable ASCII.
    client.write("shower\nhello show\nshow\n\tshow  t0k:en-1_x with more\nshow t\xc3\xa9\x01n\n");
    client.flush();
    EXPECT_TRUE(QTest::qWaitFor([&client] { return client.bytesAvailable() >= 9; }, 5000));
    EXPECT_EQ(client.readAll(), "ok\nok\nok\n");
    EXPECT_EQ(tokens, QStringList({"", "t0k:en-1_x", ""}));

    qputenv("XDG_RUNTIME_DIR", oldRuntime);
}

}  // namespace
