#include "platform/app.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "platform/build_config.h"

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

QString commandFrom(const QStringList& arguments) {
    return arguments.mid(1).join(QLatin1Char(' '));
}

QString command() {
    return commandFrom(QCoreApplication::arguments());
}

}  // namespace platform::app
