#pragma once

#include <QString>
#include <vector>

#include "sync/note_version.h"

// Merges every version of one note that the folder holds (every machine's file and the
// conflict copies the sync engines left) into the one this machine now holds.
struct MergedNote {
    NoteVersion version;        // device set to the merging machine's key
    bool textConflict = false;  // lines changed both ways were kept twice
};

// Rules: each field but the text takes the value with the newest stamp; the deletion mark
// too, and a note counts as deleted only when no edit is newer than its delete. The text
// takes the version that includes all others (by textSeen); texts changed concurrently are
// merged line by line against `base`, the text this machine last merged (the common version),
// in the order of their devices' keys, so that every machine gets the same result; the merged
// text's vector is the entry-wise maximum and its stamp the newest of theirs. An empty list
// gives nothing to merge: the caller does not call it so. `ownDevice` names the result.
// The first version names the note (the caller puts first the one it trusts, such as its
// own); versions of another note are left out.
MergedNote mergeVersions(const std::vector<NoteVersion>& versions, const QString& base,
                         const QString& ownDevice);
