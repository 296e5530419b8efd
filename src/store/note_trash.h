#pragma once

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <optional>

class 数据库操作模块;

// Deleted notes, kept in a table of our own (OwnSchema) with every Tips column, the stored
// place and whether the desktop window was open, so that a delete can be taken back. A store
// whose own tables are not ours to write deletes as it always did and keeps nothing.
class NoteTrash {
  public:
    struct Restored {
        std::int64_t id;  // the note's old ID, or a new one when the old is taken
        bool windowOpen;
    };

    explicit NoteTrash(数据库操作模块& store) : store_(store) {}

    // Runs the store's delete statement for the note, its place going with it, after keeping
    // both here: all in one transaction, so the note is always in exactly one of the tables.
    // Raises the store's error when it cannot; nothing has changed then.
    void deleteNote(std::int64_t id, bool windowOpen) const;
    // Puts the most recently deleted note back in one transaction; none when the trash is empty.
    std::optional<Restored> restoreNewest() const;
    // Puts the most recently deleted note with this ID back (a delete taken back on another
    // machine); none when the trash holds no such note.
    std::optional<Restored> restoreNote(std::int64_t id) const;
    // Whether restoreNewest has anything to bring back.
    bool holdsAny() const;
    // Forgets deletions older than 30 days.
    void prune(const QDateTime& now) const;
    // Whether a delete is kept here; without, deleteNote deletes for good.
    bool keepsDeleted() const;

  private:
    std::optional<Restored> restoreWhere(const QString& condition, std::int64_t id) const;

    数据库操作模块& store_;
};
