#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QTest>

#include "platform/os/single_instance.h"

namespace {

TEST(SingleInstance, PrimaryAnswersEachShowLineAndALaterLaunchWithAStartupIdFindsIt) {
    QTemporaryDir cache;
    ASSERT_TRUE(cache.isValid());
    const QByteArray oldCache = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cache.path()));

    platform::SingleInstance primary(QStringLiteral("test key"), QString());
    ASSERT_TRUE(primary.tryBecomePrimary());
    QStringList tokens;
    primary.onActivateRequested = [&tokens](const QString& token) { tokens << token; };

    QLocalSocket client;
    client.connectToServer(
        QDir(cache.filePath(QStringLiteral("Zettara-6471")))
            .filePath(platform::SingleInstance::serverName(QStringLiteral("test key"))));
    ASSERT_TRUE(client.waitForConnected(1000));
    // Only a line whose first word is "show" counts; the second word is an activation token,
    // passed on only when it is plain printable ASCII.
    client.write("shower\nhello show\nshow\n\tshow  t0k:en-1_x with more\nshow t\xc3\xa9\x01n\n");
    client.flush();
    EXPECT_TRUE(QTest::qWaitFor([&client] { return client.bytesAvailable() >= 9; }, 5000));
    EXPECT_EQ(client.readAll(), "ok\nok\nok\n");

    // A launcher that gives only an X11 startup id.
    qunsetenv("XDG_ACTIVATION_TOKEN");
    qputenv("DESKTOP_STARTUP_ID", "abc");
    platform::SingleInstance later(QStringLiteral("test key"),
                                   platform::SingleInstance::launcherToken());
    qunsetenv("DESKTOP_STARTUP_ID");
    EXPECT_FALSE(later.tryBecomePrimary());
    EXPECT_TRUE(QTest::qWaitFor([&tokens] { return tokens.size() == 4; }, 5000));
    EXPECT_EQ(tokens, QStringList({"", "t0k:en-1_x", "", "abc"}));
    qputenv("XDG_CACHE_HOME", oldCache);
}

}  // namespace
