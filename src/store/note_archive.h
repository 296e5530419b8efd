#pragma once

#include <QString>
#include <cstdint>
#include <stdexcept>
#include <vector>

class 数据库操作模块;

// Notes leaving and entering the program as files: a versioned JSON document that carries every
// Tips column and our own state per note, or plain text for reading and printing.
class NoteArchive {
  public:
    enum class Format { Json, Text };

    // A file import will not read, or export will not write, with the reason in the user's
    // words.
    class Refusal : public std::runtime_error {
      public:
        explicit Refusal(const QString& reason)
            : std::runtime_error(reason.toStdString()), reason_(reason) {}
        const QString& reason() const { return reason_; }

      private:
        QString reason_;
    };

    struct Imported {
        int added = 0;
        int skipped = 0;     // already in the store, or earlier in the same file
        int recoloured = 0;  // added with a new note's colours: their own could not be shown
        std::vector<std::int64_t> shown;  // the added notes that are to be on the desktop
    };

    // The format the file name's extension asks for, else `chosen`.
    static Format formatFor(const QString& path, Format chosen);

    // Writes every note of the store to path (owner-only, through a temporary file that takes
    // the name only once complete) and returns how many. Raises Refusal, writing nothing, when
    // path is the store's file, its journal or one of its backups by any name; platform::Error
    // when the store or the file fails.
    static int exportTo(数据库操作模块& store, const QString& path, Format format);

    // Adds the notes of a JSON export as new notes with new IDs, in one transaction; a note whose
    // content and CreateTime are already in the store, or earlier in the file, is skipped. Raises
    // Refusal for a file that is not a readable export of ours (nothing is written then),
    // platform::Error for the store.
    static Imported importFrom(数据库操作模块& store, const QString& path);
};
