#pragma once

#include <QByteArray>
#include <QFileSystemWatcher>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "sync/note_version.h"

// The files of a sync folder: <folder>/Zettara-notes/<note key>/<device key>.json. Reads every
// version of a note the folder holds (device files and the conflict copies sync engines leave),
// writes this machine's own file of a note whole, and tells which notes' folders changed.
// Everything in the folder comes from other machines and is read as hostile: a file too big,
// unreadable or not ours is skipped, named once in the log and counted. Nothing is removed that
// this machine did not write.
class SyncFolder : public QObject {
  public:
    // The subfolder of the chosen folder that holds the notes.
    static QString notesFolder(const QString& chosen);

    SyncFolder(const QString& chosen, QString device, QObject* parent = nullptr);

    const QString& root() const { return root_; }
    // Makes the notes folder (0700) when it is missing; raises the file error when it cannot.
    void create() const;
    // The keys of every note folder.
    QStringList noteKeys() const;

    struct Read {
        std::vector<NoteVersion> versions;
        std::optional<QByteArray> own;  // the bytes of this machine's file, when there is one
    };
    // A version stamped after latestMs (a broken clock, a made-up file) is skipped: it would
    // win over every later change and pull this machine's clock along.
    Read read(const QString& noteKey, std::int64_t latestMs);
    // What a note's folder holds, by name, size and time of each file: the same as at the
    // last merge means nothing there needs reading again.
    QByteArray signature(const QString& noteKey) const;
    // Writes this machine's file of a note (temporary file, then rename; 0600 in 0700).
    // Raises the file error when it cannot.
    void write(const QString& noteKey, const QByteArray& json) const;
    // Removes this machine's own file of a note and nothing else.
    void removeOwn(const QString& noteKey) const;

    // Files skipped since the folder was opened (unreadable, too big, not ours).
    int skipped() const { return static_cast<int>(skipped_.size()); }

    // Tells `changed` the key of each note folder whose files change, and `added` when note
    // folders come or go. No polling: the system's file-change notices.
    void watch(std::function<void(const QString&)> changed, std::function<void()> added);
    // Watches the folders of notes (new, or written for the first time).
    void watchNotes(const QStringList& noteKeys);

  private:
    void skip(const QString& path, const QString& why);

    QString root_;
    QString device_;
    QSet<QString> skipped_;
    QFileSystemWatcher* watcher_ = nullptr;
};
