#pragma once

#include <QString>
#include <QStringView>

// What a file in a note's folder of the sync folder is, by its name alone.
struct SyncFileName {
    enum Kind {
        DeviceFile,    // "<device>.json": a machine's own file of the note
        ConflictCopy,  // a copy a sync engine left beside a device file: read as one more version
        Temporary,     // a file being written (ours or an engine's): skipped without a word
        Foreign,       // anything else: skipped, named once in the log
    };
    Kind kind = Foreign;
    QString device;  // for DeviceFile and ConflictCopy: whose file it is (or was a copy of)

    // Knows Syncthing's "<name>.sync-conflict-<yyyymmdd>-<hhmmss>-<device id>.json",
    // the Nextcloud and ownCloud clients' "<name> (conflicted copy <yyyy-mm-dd> <hhmmss>).json"
    // and "<name>_conflict-<yyyymmdd>-<hhmmss>.json", Syncthing's ".syncthing.<name>.tmp" and
    // "~syncthing~<name>.tmp", the clients' ".<name>.~<hex>" and "*.part", and our own
    // temporary files "<device>.json.<suffix>" (QSaveFile).
    static SyncFileName classify(QStringView fileName);
    // The name of a device's own file.
    static QString deviceFile(const QString& device) { return device + QStringLiteral(".json"); }
};
