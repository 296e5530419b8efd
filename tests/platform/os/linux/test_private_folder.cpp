#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "platform/os/linux/private_folder.h"
#include "platform/os/os.h"
#include "system/test_update_companion_support.h"

namespace {

namespace folder = platform::private_folder;

QString makeDir(const QString& path, mode_t mode) {
    QDir().mkpath(path);
    ::chmod(QFile::encodeName(path).constData(), mode);
    return path;
}

// Sets environment variables for one test and puts the old values back.
class EnvOverride {
  public:
    EnvOverride(const char* name, const QString& value)
        : name_(name), old_(qgetenv(name)), had_(qEnvironmentVariableIsSet(name)) {
        qputenv(name, QFile::encodeName(value));
    }
    ~EnvOverride() { had_ ? (void)qputenv(name_, old_) : (void)qunsetenv(name_); }

  private:
    const char* name_;
    QByteArray old_;
    bool had_;
};

TEST(PrivateFolder, OnlyOurOwnRealFolderWithMode0700IsPrivate) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString ours = makeDir(root.filePath("ours"), 0700);
    EXPECT_TRUE(folder::isPrivate(ours));
    EXPECT_FALSE(folder::isPrivate(makeDir(root.filePath("open"), 0755)));
    EXPECT_FALSE(folder::isPrivate(makeDir(root.filePath("group"), 0770)));
    EXPECT_FALSE(folder::isPrivate(root.filePath("missing")));
    EXPECT_FALSE(folder::isPrivate(QString()));

    QFile::link(ours, root.filePath("link"));
    EXPECT_FALSE(folder::isPrivate(root.filePath("link")));
    QFile plain(root.filePath("plain"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_FALSE(folder::isPrivate(plain.fileName()));

    // make() creates a missing folder private, but never adopts one that is not.
    EXPECT_TRUE(folder::make(root.filePath("new")));
    EXPECT_TRUE(folder::isPrivate(root.filePath("new")));
    EXPECT_FALSE(folder::make(root.filePath("open")));
    EXPECT_TRUE(QFileInfo(root.filePath("open")).permissions() & QFile::ReadOther);

    if (::geteuid() == 0) {
        const QString theirs = makeDir(root.filePath("theirs"), 0700);
        ASSERT_EQ(::chown(QFile::encodeName(theirs).constData(), 65534, 65534), 0);
        EXPECT_FALSE(folder::isPrivate(theirs));
        EXPECT_FALSE(folder::make(theirs));
    }
}

TEST(PrivateFolder, ChannelStaysInTheCacheFolderWhateverTheRuntimeAndTempFolders) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString runtime = makeDir(root.filePath("runtime"), 0700);
    const QString temp = makeDir(root.filePath("tmp"), 01777);
    EnvOverride runtimeEnv("XDG_RUNTIME_DIR", runtime);
    EnvOverride tempEnv("TMPDIR", temp);
    EnvOverride cacheEnv("XDG_CACHE_HOME", root.filePath("cache"));

    const QString inCache = QDir(root.filePath("cache")).filePath(QStringLiteral("Zettara-6471"));
    EXPECT_EQ(folder::forChannel(), inCache);
    EXPECT_TRUE(folder::isPrivate(inCache));
    ::chmod(QFile::encodeName(runtime).constData(), 0711);
    EXPECT_EQ(folder::forChannel(), inCache);

    // A cache folder that is not ours gives no channel at all rather than a shared one.
    ::chmod(QFile::encodeName(inCache).constData(), 0755);
    EXPECT_EQ(folder::forChannel(), QString());
}

TEST(UserDataFolder, FollowsXdgDataHomeWhenAbsolute) {
    testsupport::ScopedEnvironment environment;
    environment.set("XDG_DATA_HOME", QStringLiteral("/srv/data"));
    EXPECT_EQ(platform::os::userDataFolder(), QStringLiteral("/srv/data"));
    environment.set("XDG_DATA_HOME", QStringLiteral("relative/data"));
    EXPECT_EQ(platform::os::userDataFolder(), QDir::homePath() + QStringLiteral("/.local/share"));
    environment.unset("XDG_DATA_HOME");
    EXPECT_EQ(platform::os::userDataFolder(), QDir::homePath() + QStringLiteral("/.local/share"));
}

}  // namespace
