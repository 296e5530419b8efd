#include "platform/core/app.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "platform/core/build_config.h"

namespace platform::app {

QString title() {
    return QStringLiteral("Zettara-6471");
}
int major() {
    return build::versionMajor;
}
int minor() {
    return build::versionMinor;
}
int revision() {
    return build::versionRevision;
}

QString versionText() {
    return QStringLiteral("%1.%2.0.%3").arg(major()).arg(minor()).arg(revision());
}

QString applicationId() {
    return QString::fromLatin1(build::applicationId);
}

QString path() {
    return QCoreApplication::applicationDirPath();
}

QString exePath() {
    return QCoreApplication::applicationFilePath();
}

QString exeName() {
    return QFileInfo(exePath()).completeBaseName();
}

namespace {
QStringList& keptArguments() {
    static QStringList arguments;
    return arguments;
}

QStringList startArguments() {
    const QStringList& kept = keptArguments();
    return kept.isEmpty() ? QCoreApplication::arguments() : kept;
}
}  // namespace

QString commandFrom(const QStringList& arguments) {
    QStringList words = arguments.mid(1);
    words.removeAll(QLatin1String(kNewNoteOption));
    return words.join(QLatin1Char(' '));
}

void keepCommandLine(int argc, const char* const* argv) {
    QStringList& kept = keptArguments();
    kept.clear();
    for (int i = 0; i < argc; ++i) kept << QString::fromLocal8Bit(argv[i]);
}

QString command() {
    return commandFrom(startArguments());
}

bool newNoteAsked() {
    return startArguments().mid(1).contains(QLatin1String(kNewNoteOption));
}

}  // namespace platform::app
