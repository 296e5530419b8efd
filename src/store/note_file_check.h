#pragma once

#include <QString>
#include <functional>

class 数据库操作模块;

// The store checks itself after opening: a damaged note file raises an error whose message
// names the file and the backup written last (or says there is none), so that start-up ends
// without writing anything. A journal left by a save cut short is undone into the file by the
// engine; the file and the journal are kept aside as they were first and never removed once
// the journal was undone: the user is told, and when the outcome fails its check the message
// says the file was changed. Both name the copies.
class NoteFileCheck {
  public:
    // Asked, with a text for the user, whether the newest good backup should take the place of
    // a damaged note file; true: the damaged file is kept aside and the backup opened instead.
    using OfferRestore = std::function<bool(const QString& text)>;

    // Opens the note file, runs the check, then brings our own tables up to date (OwnSchema).
    // A file that is no note file raises an error and is left as it is.
    // A file damaged so badly that it cannot even be opened is reported the same way when the
    // engine calls it malformed, when it no longer reads as a database while backups of it
    // exist, or when it is empty. With offer, a damaged file that has a good backup is offered
    // to be replaced by it first. Returns what the user is to be told once the file is open
    // (a journal was undone into it), else an empty text.
    static QString open(数据库操作模块& store, const QString& noteFile,
                        const OfferRestore& offer = {});
    static void run(数据库操作模块& store, const QString& noteFile);
};
