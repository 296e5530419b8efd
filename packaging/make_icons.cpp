// Writes the program icon at the sizes of the hicolor icon theme: make_icons SOURCE FOLDER
// SIZE... gives FOLDER/<size>.png for each size.
#include <QDir>
#include <QImage>
#include <QStringList>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: make_icons SOURCE FOLDER SIZE...\n");
        return 2;
    }
    const QImage source(QString::fromLocal8Bit(argv[1]));
    if (source.isNull()) {
        std::fprintf(stderr, "make_icons: cannot read %s\n", argv[1]);
        return 1;
    }
    const QDir folder(QString::fromLocal8Bit(argv[2]));
    if (!folder.mkpath(QStringLiteral("."))) return 1;
    for (int i = 3; i < argc; ++i) {
        bool ok = false;
        const int size = QString::fromLatin1(argv[i]).toInt(&ok);
        if (!ok || size <= 0) return 2;
        const QImage icon = source.convertToFormat(QImage::Format_ARGB32)
                                .scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        const QString file = folder.filePath(QString::number(size) + QStringLiteral(".png"));
        if (!icon.save(file, "PNG")) {
            std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
