#include "sync/sync_file_name.h"

#include <QRegularExpression>

#include "sync/note_version.h"

namespace {

// Whole-name patterns; [0-9] rather than \d, which takes every script's digits.
QRegularExpression wholeName(const QString& pattern) {
    return QRegularExpression(QRegularExpression::anchoredPattern(pattern));
}

}  // namespace

SyncFileName SyncFileName::classify(QStringView fileName) {
    static const QString key = QStringLiteral("([0-9a-f]{32})");
    static const QRegularExpression deviceFile = wholeName(key + QStringLiteral("\\.json"));
    static const QRegularExpression conflictCopies[] = {
        // Syncthing
        wholeName(key + QStringLiteral("\\.sync-conflict-[0-9]{8}-[0-9]{6}-[0-9A-Z]+\\.json")),
        // Nextcloud and newer ownCloud clients, some with the user's name before the date
        wholeName(key +
                  QStringLiteral(" \\(conflicted copy (?:[^()/]* )?[0-9]{4}-[0-9]{2}-[0-9]{2} "
                                 "[0-9]{6}\\)\\.json")),
        // older ownCloud clients
        wholeName(key + QStringLiteral("_conflict-[0-9]{8}-[0-9]{6}\\.json")),
    };
    static const QRegularExpression temporaries[] = {
        wholeName(key + QStringLiteral("\\.json\\..+")),  // ours, from QSaveFile
        wholeName(QStringLiteral("\\.syncthing\\..+\\.tmp")),
        wholeName(QStringLiteral("~syncthing~.+\\.tmp")),
        wholeName(QStringLiteral("\\..+\\.~[0-9a-fA-F]+")),  // the clients' partial downloads
        wholeName(QStringLiteral(".+\\.part")),
    };

    SyncFileName result;
    if (fileName.contains(u'/') || fileName.contains(u'\\') || fileName.contains(u'\0') ||
        fileName == u"." || fileName == u"..") {
        return result;
    }
    if (const auto match = deviceFile.match(fileName); match.hasMatch()) {
        return {DeviceFile, match.captured(1)};
    }
    for (const QRegularExpression& pattern : conflictCopies) {
        if (const auto match = pattern.match(fileName); match.hasMatch()) {
            return {ConflictCopy, match.captured(1)};
        }
    }
    for (const QRegularExpression& pattern : temporaries) {
        if (pattern.match(fileName).hasMatch()) return {Temporary, {}};
    }
    return result;
}
