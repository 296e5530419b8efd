#pragma once

#include <QString>
#include <stdexcept>

class QFileDevice;

namespace platform {

// What a failure means for the user, so that a message can say what happened and what to do
// (userText in error_text.h). Unclassified: the message is a sentence of the program's own.
enum class Trouble {
    Unclassified,
    Internal,    // a fault of the program's own, nothing the user did
    Busy,        // another program holds the note file
    Missing,     // a file that is not there
    CannotOpen,  // a file that is there but cannot be opened
    ReadOnly,    // a file that may not be written
    DiskFull,
    NotANoteFile,      // damaged, or no database at all
    NoPermission,      // the system refuses access
    FileIo,            // reading or writing failed otherwise
    Engine,            // the database engine failed otherwise
    ComponentMissing,  // a companion library that cannot be loaded
    ComponentBroken,   // a companion library without the entry point asked for
    HostNotFound,
    NoConnection,
    Timeout,
    SecureConnection,
    ServerAnswer,  // the server answered, but not with what was asked for
};

// A failure carrying the callee's number and message (SQLite's extended result code and
// sqlite3_errmsg, a loader's own numbers, ...). Failures travel up as exceptions.
class Error : public std::runtime_error {
  public:
    Error(int number, const QString& message);
    // A failure the user can be told about in words of its kind: `raw` is the callee's own
    // text, `file` what it concerns (may be empty). message() is "raw：file".
    Error(Trouble trouble, int number, const QString& raw, const QString& file = {});
    // SQLite's extended result code and message, its kind told by the code.
    static Error fromSqlite(int code, const QString& raw, const QString& file = {});
    // A failed QFile/QSaveFile call on `file`, told by its error and errno (call it at once);
    // `shown` names the file for the user where it is not the one the call was made on.
    static Error fromFile(const QFileDevice& file, const QString& shown = {});

    int number() const { return number_; }
    const QString& message() const { return message_; }
    Trouble trouble() const { return trouble_; }
    const QString& raw() const { return raw_; }
    const QString& file() const { return file_; }
    // Another connection holds the note file (busy or locked): worth trying again later.
    bool busy() const;

  private:
    int number_;
    QString message_;
    Trouble trouble_ = Trouble::Unclassified;
    QString raw_;
    QString file_;
};

// Numbers for failures that do not come from a callee with numbers of its own.
namespace errc {
inline constexpr int objectNotSet = 91;       // object used before it was opened
inline constexpr int invalidUseOfNull = 94;   // a NULL value where a value is needed
inline constexpr int typeMismatch = 13;       // a value that cannot be converted
inline constexpr int noCurrentRecord = 3021;  // no current row in a result set
inline constexpr int objectClosed = 3420;     // database object used after close
inline constexpr int itemNotFound = 3265;     // no column of that name
inline constexpr int libraryNotFound = 48;    // companion library cannot be loaded
inline constexpr int entryNotFound = 453;     // entry point missing in a companion library
inline constexpr int pathAccess = 75;         // a file or folder that cannot be made or read
}  // namespace errc

}  // namespace platform
