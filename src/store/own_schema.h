#pragma once

#include <QString>

class 数据库操作模块;
namespace platform {
class Database;
}  // namespace platform

// The tables of our own beside Tips (note placements, window states and
// whether each window was open), under one version number of
// ours kept in the file's user_version, which Tips and the supplied file leave at 0. Tips itself is
// never touched here.
class OwnSchema {
  public:
    // The shape this program reads and writes; each step of kSteps in the .cpp raises it by one.
    static constexpr int kVersion = 5;

    // What the program may do with our tables in the open file.
    enum class Access {
        None,       // not prepared, or could not be brought up to date: neither read nor written
        Read,       // a newer program's file: read, never written
        ReadWrite,  // at kVersion
    };

    // Brings our tables of the freshly opened store up to kVersion in one transaction and
    // records in the store what they allow. A table of ours in a shape the program cannot use
    // is renamed aside (setAside) and made again. Raises nothing: a file that cannot take the
    // change now (locked, read-only), or that is no note file, opens without them, unchanged.
    static void prepare(数据库操作模块& store);

    // Tips is a table with every column the statements name.
    static bool isNoteFile(platform::Database& db);

    // What the user is to be told once about our tables after prepare: a newer program's file,
    // tables set aside. Empty when there is nothing to tell.
    static QString notice(const 数据库操作模块& store);
};
