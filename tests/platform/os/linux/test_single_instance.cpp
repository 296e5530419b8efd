#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QTest>

#include "platform/os/single_instance.h"

namespace {

// A primary instance under a private cache folder, recording the tokens it is handed.
class SingleInstanceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(cache_.isValid());
        qputenv("XDG_CACHE_HOME", QFile::encodeName(cache_.path()));
        ASSERT_TRUE(primary_.tryBecomePrimary());
        primary_.onActivateRequested = [this](const QString& token) { tokens_ << token; };
    }
    void TearDown() override { qputenv("XDG_CACHE_HOME", oldCache_); }

    const QByteArray oldCache_ = qgetenv("XDG_CACHE_HOME");
    QTemporaryDir cache_;
    platform::SingleInstance primary_{QStringLiteral("test key"), QString()};
    QStringList tokens_;
};

TEST_F(SingleInstanceTest, PrimaryAnswersEachShowLineWithItsToken) {
    QLocalSocket client;
    client.connectToServer(
        QDir(cache_.filePath(QStringLiteral("Zettara-6471")))
            .filePath(platform::SingleInstance::serverName(QStringLiteral("test key"))));
    ASSERT_TRUE(client.waitForConnected(1000));
    // Only a line whose first word is "show" counts; the second word is an activation token,
    // passed on only when it is plain printable ASCII.
    client.write("shower\nhello show\nshow\n\tshow  t0k:en-1_x with more\nshow t\xc3\xa9\x01n\n");
    client.flush();
    EXPECT_TRUE(QTest::qWaitFor([&client] { return client.bytesAvailable() >= 9; }, 5000));
    EXPECT_EQ(client.readAll(), "ok\nok\nok\n");
    EXPECT_TRUE(QTest::qWaitFor([this] { return tokens_.size() == 3; }, 5000));
    EXPECT_EQ(tokens_, QStringList({"", "t0k:en-1_x", ""}));
}

TEST(SingleInstanceRequest, OnlyAKnownCommandWordCountsAndAnythingOddIsIgnored) {
    using Command = platform::SingleInstance::Command;
    const auto newNote = platform::SingleInstance::parseRequest("new-note t0k:en");
    ASSERT_TRUE(newNote);
    EXPECT_EQ(newNote->command, Command::NewNote);
    EXPECT_EQ(newNote->activationToken, "t0k:en");
    EXPECT_EQ(platform::SingleInstance::parseRequest("show").value().command, Command::Show);
    const QByteArray hostile[] = {"",
                                  "--new-note",
                                  "new-notes",
                                  "rm -rf new-note",
                                  QByteArray("new-note\0", 9),
                                  QByteArray("new-note t\0k", 12),
                                  "new-note " + QByteArray(5000, 'x')};
    for (const QByteArray& line : hostile)
        EXPECT_FALSE(platform::SingleInstance::parseRequest(line))
            << line.toPercentEncoding().data();
}

TEST_F(SingleInstanceTest, ALaterLaunchWithOnlyAStartupIdFindsThePrimaryAndHandsItOn) {
    qunsetenv("XDG_ACTIVATION_TOKEN");
    qputenv("DESKTOP_STARTUP_ID", "abc");
    platform::SingleInstance later(QStringLiteral("test key"),
                                   platform::SingleInstance::launcherToken());
    qunsetenv("DESKTOP_STARTUP_ID");
    EXPECT_FALSE(later.tryBecomePrimary());
    EXPECT_TRUE(QTest::qWaitFor([this] { return tokens_.size() == 1; }, 5000));
    EXPECT_EQ(tokens_, QStringList({"abc"}));
}

}  // namespace
