#pragma once

#include <cstdint>
#include <memory>
#include <optional>

class 数据库操作模块;
namespace platform {
class Database;
}  // namespace platform

// Whether the note file has changed since the note list was last read whole, other than
// through this program's own connection (another instance, a sync tool, a restore that
// reopened the file), and in which order the file lists its notes. Lets the list follow the
// program's own saves note by note instead of reading every note again.
class NoteFileChanges {
  public:
    explicit NoteFileChanges(数据库操作模块& store) : store_(store) {}

    // Every note has just been read from the open file.
    void markRead();
    // True only when every change since markRead was made through this connection; false
    // when it cannot tell.
    bool onlyOursSinceRead();
    // Whether every-note reads list the notes in ascending ID order: the ID is the row key of
    // the note table, and a new note's row then takes its ID's place.
    bool listedInIdOrder();

  private:
    std::int64_t version(platform::Database& db) const;

    数据库操作模块& store_;
    std::weak_ptr<platform::Database> read_;  // the connection markRead saw
    std::int64_t version_ = 0;
    std::optional<bool> inIdOrder_;  // of read_
};
