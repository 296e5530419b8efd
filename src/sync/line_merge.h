#pragma once

#include <QString>
#include <QStringList>
#include <vector>

// A three-way merge of texts line by line against their common version: lines changed on
// only one side take that side's change, lines changed the same way on both take it once, and
// lines changed differently keep both versions, one after the other, between marker lines
// that say so in Chinese and English (so that find shows them on every machine, whatever its
// interface language).
struct LineMergeResult {
    QString text;
    bool conflicted = false;  // some lines kept both versions
};

// Merges `ours` and `theirs`, both changed from `base`. The result is the same whichever side
// is called ours: callers pass the sides in a fixed order (by device key), so that two
// machines merging the same texts get the same bytes.
LineMergeResult mergeLines(const QString& base, const QString& ours, const QString& theirs);

// The marker lines, for tests and for anyone reading a merged note.
QString conflictStartMarker();
QString conflictMiddleMarker();
QString conflictEndMarker();
