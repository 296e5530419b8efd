#include "platform/os/library_loader.h"

#include <QDir>
#include <QLibrary>

#include "platform/core/app.h"
#include "platform/core/build_config.h"
#include "platform/core/error.h"

namespace platform {

namespace {

QString& folderOverride() {
    static QString folder;
    return folder;
}

}  // namespace

QStringList LibraryLoader::folders() {
    if (!folderOverride().isEmpty()) return {folderOverride()};
    return {app::path(), QString::fromUtf8(build::installedLibraryFolder)};
}

void LibraryLoader::setFolder(const QString& folder) {
    folderOverride() = folder;
}

QFunctionPointer LibraryLoader::resolve(const QString& name, const char* entry) {
    QStringList errors;
    QLibrary library;
    for (const QString& folder : folders()) {
        // QLibrary adds the platform's prefix and suffix to the base name.
        library.setFileName(QDir(folder).filePath(name));
        if (library.load()) break;
        errors << library.errorString();
    }
    if (!library.isLoaded()) {
        // The loader's own words name every file it tried.
        throw Error(Trouble::ComponentMissing, errc::libraryNotFound,
                    errors.join(QStringLiteral("；")), name);
    }
    QFunctionPointer function = library.resolve(entry);
    if (!function) {
        throw Error(Trouble::ComponentBroken, errc::entryNotFound,
                    QStringLiteral("%1：%2").arg(QString::fromLatin1(entry),
                                                 QDir::toNativeSeparators(library.fileName())),
                    name);
    }
    return function;
}

int LibraryLoader::callText(const QString& name, const char* entry, const QByteArray& text) {
    using TextEntry = int (*)(const char*);
    auto function = reinterpret_cast<TextEntry>(resolve(name, entry));
    // QByteArray keeps a terminating zero behind its data.
    return function(text.constData());
}

}  // namespace platform
