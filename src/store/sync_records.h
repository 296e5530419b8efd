#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

class 数据库操作模块;

// What the sync folder needs kept in the note file, in tables of our own (OwnSchema): which
// device key this note file has on this machine and which folder it syncs with, and for each
// note its sync key, the version this machine last wrote for it and the text last merged. A
// store whose own tables are not ours to write keeps nothing: sync cannot be turned on there.
class SyncRecords {
  public:
    explicit SyncRecords(数据库操作模块& store) : store_(store) {}

    bool usable() const;

    // The binding of this note file on this machine. A note file copied to another machine
    // (another machine ID) or to another place (another path) finds no binding there, so it
    // gets a device key of its own and never writes the files of the original.
    struct Setup {
        QString device;
        QString folder;  // empty: sync is off
    };
    std::optional<Setup> setup(const QString& machine, const QString& path) const;
    void saveSetup(const QString& machine, const QString& path, const Setup& setup) const;

    // One note's record. `own` is the JSON of the version this machine last wrote, `base` the
    // texts it held before (the common versions of later merges), as the engine writes them.
    struct Record {
        std::int64_t id = 0;
        QString noteKey;
        QByteArray own;
        QString base;
        bool gone = false;  // the version written says deleted
    };
    std::optional<Record> byKey(const QString& noteKey) const;
    std::optional<Record> byId(std::int64_t id) const;
    // Every note key with the ID it stands for.
    std::vector<std::pair<QString, std::int64_t>> keys() const;
    // Stores a record with a copy of the note's Tips and window state values as they are now,
    // the values its version was made from (none when the note is not in Tips).
    void save(const Record& record) const;
    // What each note's folder held when it was last merged (SyncFolder::signature), by key.
    QHash<QString, QByteArray> seen() const;
    void saveSeen(const QString& noteKey, const QByteArray& signature) const;
    // Forgets a note's record (its note and its trash row are gone for good).
    void forget(std::int64_t id) const;

    // The notes changed here since their version was last written: in Tips without a record,
    // with Tips or window state values that differ from the record's copy, or with a record that
    // says deleted; and records of notes gone from Tips that do not yet say so. In ascending ID
    // order.
    std::vector<std::int64_t> changedIds() const;
    // Records that say deleted whose note is neither in Tips nor in the trash any more.
    std::vector<Record> purged() const;

    // A note's values as a version takes them; none when the note is not in Tips.
    struct Values {
        QString content;
        std::int32_t backColor = 0;
        std::int32_t fontColor = 0;
        int transparent = 0;
        QString createTime;
        // The window state as a window takes it; the plain look without one.
        bool keepAbove = false;
        int seeThrough = 0;
        int textPoints = 0;  // 0: the window's own size
    };
    std::optional<Values> values(std::int64_t id) const;
    // A note that came from another machine opens no window here until the user asks.
    void rememberClosed(std::int64_t id) const;
    // Whether the trash holds a deleted note with this ID.
    bool inTrash(std::int64_t id) const;

  private:
    数据库操作模块& store_;
};
