#pragma once

#include <QDateTime>
#include <QString>
#include <vector>

class 数据库操作模块;

// Putting one of the note file's dated backups back: while the program runs, into the open
// store, the current file kept first as a backup of its own; at start-up, in place of a damaged
// note file, which is kept aside. A backup is used only after it passes its check.
class BackupRestore {
  public:
    struct Backup {
        QString path;
        QDateTime written;
        int notes = -1;  // -1: the copy cannot be read
        qint64 size = 0;
    };

    // A copy of the note file a restore began to keep and never finished (a crash, an exit).
    static bool isUnfinishedCopy(const QString& fileName);

    // The dated backups, the one written last first.
    static std::vector<Backup> list(const QString& noteFile);
    // The newest backup that passes its check, or an empty text.
    static QString newestGood(const QString& noteFile);

    // Checks backup, keeps the store's file as it is now in the backups folder, then copies
    // backup into the open store and brings our own tables up to date. Returns the path of the
    // kept copy. Raises platform::Error with a message for the user; the store is then
    // unchanged.
    static QString restore(数据库操作模块& store, const QString& backup);

    // With the store closed: moves the damaged note file (and any journal beside it) aside and
    // puts a copy of backup in its place. Returns where the damaged file went. Raises
    // platform::Error, the files left as they were.
    static QString replaceDamaged(const QString& noteFile, const QString& backup);
};
