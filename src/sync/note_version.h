#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

#include "sync/hybrid_clock.h"

// One value of a note as one machine last knew it, with the stamp of the change that made it.
template <typename T>
struct Stamped {
    T value{};
    ClockStamp clock;
    bool operator==(const Stamped&) const = default;
};

// Which text changes of each device a text includes: device key -> how many text changes of
// that device it has seen. A text whose vector is at least another's in every entry includes
// that one; two texts where neither includes the other were changed concurrently.
using VersionVector = QMap<QString, std::uint64_t>;

// One note as one machine wrote it into the sync folder: the file
// Zettara-notes/<noteKey>/<device>.json. Colours are the stored Tips values.
struct NoteVersion {
    QString noteKey;
    QString device;  // the machine that wrote the file
    Stamped<QString> content;
    VersionVector textSeen;
    Stamped<std::int32_t> backColor;
    Stamped<std::int32_t> fontColor;
    Stamped<int> transparent;
    Stamped<QString> createTime;  // the stored CreateTime text
    // A deletion mark: the note was deleted at this stamp (value true), or brought back.
    Stamped<bool> deleted;
    // The window state that means the same on every desktop (not its place or its desktop).
    // Files written before these were synced have none: read as the plain look, never stamped.
    Stamped<bool> keepAbove;
    Stamped<int> seeThrough;  // percent, 0 to 90 in steps of 10
    Stamped<int> textPoints;  // 6 to 48, or 0 for the window's own size

    bool operator==(const NoteVersion&) const = default;

    // The stamp of every field, the deletion mark's last: the one list for everything that
    // looks at all of them.
    std::array<const ClockStamp*, 9> stamps() const;
    // The newest stamp of any field but `deleted`: an edit newer than a delete wins over it.
    ClockStamp newestEdit() const;
    // Deleted, and no edit newer than the delete.
    bool isDeleted() const { return deleted.value && newestEdit() < deleted.clock; }
};

// The JSON text of a version (UTF-8, compact, keys in a fixed order, so that the same version
// is always the same bytes and a rewrite of an unchanged note changes nothing).
// A field never stamped keeps an empty clock text.
QByteArray toJson(const NoteVersion& version);
// The version a file holds; none, with why set to a short English reason for the log, when it
// is not one of ours (not JSON, another format version, a field missing or of the wrong type,
// keys that are not keys). Never trusts sizes: a text of any length is read as it is.
// Keys it does not know are passed over, so that a later program may add fields to format 1.
std::optional<NoteVersion> versionFromJson(const QByteArray& json, QString* why = nullptr);

// Whether a text is a note or device key: 32 lowercase hexadecimal digits.
bool isSyncKey(QStringView text);
// A new random key.
QString newSyncKey();
