#include <gtest/gtest.h>

#include <QFile>
#include <QLibrary>
#include <QTemporaryDir>

#include "platform/core/app.h"
#include "platform/core/build_config.h"
#include "platform/core/error.h"
#include "platform/os/library_loader.h"
#include "system/test_update_companion_support.h"

namespace {

using platform::LibraryLoader;

using testsupport::LoaderFolder;

platform::Error resolveError(const QString& name, const char* entry) {
    try {
        LibraryLoader::resolve(name, entry);
    } catch (const platform::Error& error) {
        return error;
    }
    return platform::Error(0, QString());
}

TEST(LibraryLoader, LooksBesideTheProgramThenInTheInstalledFolderUnlessTold) {
    const QStringList usual = {platform::app::path(),
                               QString::fromUtf8(platform::build::installedLibraryFolder)};
    EXPECT_EQ(LibraryLoader::folders(), usual);
    {
        LoaderFolder folder(QStringLiteral("/elsewhere"));
        EXPECT_EQ(LibraryLoader::folders(), QStringList{QStringLiteral("/elsewhere")});
    }
    EXPECT_EQ(LibraryLoader::folders(), usual);
}

TEST(LibraryLoader, ResolvesAnEntryOfACompanionLibrary) {
    LoaderFolder folder(testsupport::companionFolder());
    EXPECT_NE(LibraryLoader::resolve(QStringLiteral("Update"), "DoUpdate"), nullptr);
    // An address that is no web address is refused by the library without any network use.
    EXPECT_EQ(LibraryLoader::callText(QStringLiteral("Update"), "DoUpdate", "not an address"), 0);
}

TEST(LibraryLoader, MissingEntryPointIsAClearError) {
    LoaderFolder folder(testsupport::companionFolder());
    const platform::Error error = resolveError(QStringLiteral("Update"), "NoSuchEntry");
    EXPECT_EQ(error.number(), platform::errc::entryNotFound);
    EXPECT_TRUE(error.message().contains(QStringLiteral("NoSuchEntry")));
    EXPECT_TRUE(error.message().contains(QStringLiteral("Update")));
}

TEST(LibraryLoader, MissingOrBrokenLibraryIsAClearError) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    LoaderFolder folder(dir.path());

    platform::Error missing = resolveError(QStringLiteral("Update"), "DoUpdate");
    EXPECT_EQ(missing.number(), platform::errc::libraryNotFound);
    EXPECT_TRUE(missing.message().contains(QStringLiteral("Update")));

    // A file with the library's name that is not a library.
    QFile broken(dir.filePath(QStringLiteral("libBroken.so")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("this is not a shared library");
    broken.close();
    ASSERT_TRUE(QLibrary::isLibrary(broken.fileName()));
    platform::Error bad = resolveError(QStringLiteral("Broken"), "DoUpdate");
    EXPECT_EQ(bad.number(), platform::errc::libraryNotFound);
    EXPECT_TRUE(bad.message().contains(QStringLiteral("Broken")));
}

}  // namespace
