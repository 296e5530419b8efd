#include "platform/library_loader.h"

#include <QDir>
#include <QLibrary>

#include "platform/app.h"
#include "platform/error.h"

namespace platform {

namespace {

QString& folderOverride() {
    static QString folder;
    return folder;
}

}  // namespace

QString LibraryLoader::folder() {
    return folderOverride().isEmpty() ? app::path() : folderOverride();
}

void LibraryLoader::setFolderForTests(const QString& folder) {
    folderOverride() = folder;
}

QFunctionPointer LibraryLoader::resolve(const QString& name, const char* entry) {
    // QLibrary adds the platform's prefix and suffix to the base name.
    QLibrary library(QDir(folder()).filePath(name));
    if (!library.load()) {
        throw Error(errc::libraryNotFound,
                    QStringLiteral("无法加载组件库“%1”（%2）：%3")
                        .arg(name, QDir::toNativeSeparators(folder()), library.errorString()));
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
