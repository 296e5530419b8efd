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
    QStringList searched;
    QStringList errors;
    QLibrary library;
    for (const QString& folder : folders()) {
        // QLibrary adds the platform's prefix and suffix to the base name.
        library.setFileName(QDir(folder).filePath(name));
        if (library.load()) break;
        searched << QDir::toNativeSeparators(folder);
        errors << library.errorString();
    }
    if (!library.isLoaded()) {
        throw Error(errc::libraryNotFound, QStringLiteral("无法加载组件库“%1”（%2）：%3")
                                               .arg(name, searched.join(QStringLiteral("；")),
                                                    errors.join(QStringLiteral("；"))));
    }
    QFunctionPointer function = library.resolve(entry);
    if (!function) {
        throw Error(errc::entryNotFound,
                    QStringLiteral("在组件库“%1”中找不到入口点“%2”（%3）")
                        .arg(name, QString::fromLatin1(entry), library.fileName()));
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
