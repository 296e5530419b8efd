#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QTest>

#include "platform/single_instance.h"

namespace {

// A private cache folder for the channel, whatever the user running the tests has.
class ChannelFolder {
  public:
    ChannelFolder() : old_(qgetenv("XDG_CACHE_HOME")) {
        qputenv("XDG_CACHE_HOME", QFile::encodeName(cache_.path()));
    }
    ~ChannelFolder() { qputenv("XDG_CACHE_HOME", old_); }
    QString socket(const QString& key) const {
        return QDir(cache_.filePath(QStringLiteral("Zettara-6471")))
            .filePath(platform::SingleInstance::serverName(key));
    }

  private:
    QTemporaryDir cache_;
    QByteArray old_;
};

TEST(SingleInstance, PrimaryAnswersEachShowLineWhateverFollowsTheWord) {
    const ChannelFolder folder;
    platform::SingleInstance primary(QStringLiteral("test key"), QString());
    ASSERT_TRUE(primary.tryBecomePrimary());
    QStringList tokens;
    primary.onActivateRequested = [&tokens](const QString& token) { tokens << token; };

    QLocalSocket client;
    client.connectToServer(folder.socket(QStringLiteral("test key")));
    ASSERT_TRUE(client.waitForConnected(1000));
    // Only a line whose first word is "show" counts; the second word is an activation token,
    // passed on only when it is plain printable ASCII.
    client.write("shower\nhello show\nshow\n\tshow  t0k:en-1_x with more\nshow t\xc3\xa9\x01n\n");
    client.flush();
    EXPECT_TRUE(QTest::qWaitFor([&client] { return client.bytesAvailable() >= 9; }, 5000));
    EXPECT_EQ(client.readAll(), "ok\nok\nok\n");
    EXPECT_EQ(tokens, QStringList({"", "t0k:en-1_x", ""}));
}

TEST(SingleInstance, LaterLaunchFindsThePrimaryWhateverItsRuntimeFolderAndPassesTheStartupId) {
    const ChannelFolder folder;
    QTemporaryDir runtime;
    ::chmod(QFile::encodeName(runtime.path()).constData(), 0700);
    const QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    platform::SingleInstance primary(QStringLiteral("test key"), QString());
    ASSERT_TRUE(primary.tryBecomePrimary());
    QStringList tokens;
    primary.onActivateRequested = [&tokens](const QString& token) { tokens << token; };

    // Started from a launcher that gives only an X11 startup id, without a runtime folder.
    qunsetenv("XDG_RUNTIME_DIR");
    qunsetenv("XDG_ACTIVATION_TOKEN");
    qputenv("DESKTOP_STARTUP_ID", "abc");
    platform::SingleInstance later(QStringLiteral("test key"),
                                   platform::SingleInstance::launcherToken());
    qunsetenv("DESKTOP_STARTUP_ID");
    qputenv("XDG_RUNTIME_DIR", oldRuntime);
    EXPECT_FALSE(later.tryBecomePrimary());
    EXPECT_TRUE(QTest::qWaitFor([&tokens] { return !tokens.isEmpty(); }, 5000));
    EXPECT_EQ(tokens, QStringList({"abc"}));
}

}  // namespace
