#pragma once

#include <QString>
#include <stdexcept>

class QFileDevice;

namespace platform {

// A failure carrying the callee's number and message (SQLite's extended result code and
// sqlite3_errmsg, a loader's own numbers, ...). Failures travel up as exceptions.
class Error : public std::runtime_error {
  public:
    Error(int number, const QString& message);

    int number() const { return number_; }
    const QString& message() const { return message_; }
    // Another connection holds the note file (busy or locked): worth trying again later.
    bool busy() const;

  private:
    int number_;
    QString message_;
};

// What went wrong with a file, in the user's words: a full disk or a refused access said
// plainly, the system's own text otherwise. Call it at once after the failed call: a short
// write is told by errno.
QString fileErrorText(const QFileDevice& file);

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
