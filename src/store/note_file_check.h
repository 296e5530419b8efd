#pragma once

#include <QString>

class 数据库操作模块;

// The store checks itself after opening: a damaged note file raises an error whose message
// names the file and its newest backup (or says there is none), so that start-up ends
// without writing anything.
class NoteFileCheck {
  public:
    // Opens the note file, then runs the check. A file damaged so badly that it cannot even be
    // opened is reported the same way when the engine calls it malformed, or when it no longer
    // reads as a database while backups of it exist.
    static void open(数据库操作模块& store, const QString& noteFile);
    static void run(数据库操作模块& store, const QString& noteFile);
};
