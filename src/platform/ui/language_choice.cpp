#include "platform/ui/language_choice.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include "platform/core/app.h"
#include "platform/os/owner_only_folders.h"

namespace platform {

namespace {

const QString kKey = QStringLiteral("interface/language");

struct Named {
    LanguageChoice choice;
    const char* name;
};
constexpr Named kNames[] = {{LanguageChoice::System, "system"},
                            {LanguageChoice::Chinese, "zh_CN"},
                            {LanguageChoice::English, "en"}};

}  // namespace

QString settingsFilePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QLatin1Char('/') + app::title() + QStringLiteral("/settings.ini");
}

LanguageChoice rememberedLanguageChoice() {
    const QSettings settings(settingsFilePath(), QSettings::IniFormat);
    // A file of someone else's making, or one we cannot read, leaves the choice to the system.
    if (settings.status() != QSettings::NoError) return LanguageChoice::System;
    const QString value = settings.value(kKey).toString();
    for (const Named& named : kNames)
        if (value == QLatin1String(named.name)) return named.choice;
    return LanguageChoice::System;
}

bool rememberLanguageChoice(LanguageChoice choice) {
    const QString path = settingsFilePath();
    if (!makeOurFolderOwnerOnly(QFileInfo(path).absolutePath())) return false;
    // QSettings keeps the permissions of the file it replaces: a new one starts as ours alone.
    // A file it cannot read would never be rewritten; a new one replaces it.
    if (QSettings(path, QSettings::IniFormat).status() != QSettings::NoError) QFile::remove(path);
    if (!QFileInfo::exists(path)) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly, QFile::ReadOwner | QFile::WriteOwner)) return false;
    }
    QSettings settings(path, QSettings::IniFormat);
    for (const Named& named : kNames)
        if (named.choice == choice) settings.setValue(kKey, QString::fromLatin1(named.name));
    settings.sync();
    return settings.status() == QSettings::NoError;
}

}  // namespace platform
