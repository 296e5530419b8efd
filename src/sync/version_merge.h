#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <vector>

#include "sync/note_version.h"

// Merges every version of one note that the folder holds (every machine's file and the
// conflict copies the sync engines left) into the one this machine now holds.
struct MergedNote {
    NoteVersion version;        // device set to the merging machine's key
    bool textConflict = false;  // lines changed both ways were kept twice
};

// Texts of a note this machine has held, written or read, with what each had seen: the common
// versions that later concurrent changes are merged against. Kept to the newest few.
struct TextVersion {
    VersionVector seen;
    QString text;
    bool operator==(const TextVersion&) const = default;
};
using TextHistory = std::vector<TextVersion>;

// Adds a text to the history (a text with the same vector replaces it), keeping the newest
// kHistoryLength.
inline constexpr std::size_t kHistoryLength = 8;
void remember(TextHistory& history, const VersionVector& seen, const QString& text);
// The common version of two concurrent texts: the history's text whose vector is the entry-wise
// minimum of theirs; else the one with the most changes among those that minimum includes; else
// empty (every line then counts as changed on both sides, so both are kept whole).
QString commonVersion(const TextHistory& history, const VersionVector& a, const VersionVector& b);
// The history as the note file keeps it, and back; anything unreadable reads as empty.
QByteArray historyToJson(const TextHistory& history);
TextHistory historyFromJson(const QByteArray& json);

// Rules: each field but the text takes the value with the newest stamp; the deletion mark
// too, and a note counts as deleted only when no edit is newer than its delete. The text
// takes the version that includes all others (by textSeen); texts changed concurrently are
// merged line by line against their common version in `history`, in the order of their
// devices' keys, so that every machine gets the same result; the merged text's vector is the
// entry-wise maximum and its stamp the newest of theirs. An empty list gives nothing to merge:
// the caller does not call it so. The first version names the note; versions of another
// note are left out. `ownDevice` names the result.
MergedNote mergeVersions(const std::vector<NoteVersion>& versions, const TextHistory& history,
                         const QString& ownDevice);
