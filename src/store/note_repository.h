#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringView>
#include <QVariant>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "store/note.h"

class 数据库操作模块;

// The one place that reads and writes notes in Tips, with prepared statements and bound values.
// What it stores is what the program has always stored: every value of its insert and update
// bound as text, so that the columns' affinities turn numbers into integers as before.
class NoteRepository {
  public:
    explicit NoteRepository(数据库操作模块& store) : store_(store) {}

    // Every note as the list shows it, in the table's order: its ID, its three texts (as in
    // Note) and Visual. The texts share one block, so that a reload of 100,000 notes compares
    // them with the rows it has instead of making 300,000 strings. A file made elsewhere may
    // hold any value as an ID: a row is listed only with an integer one, and the others are
    // counted in skipped.
    class Listing {
      public:
        enum Text { Content, CreateTime, ChangeTime };
        size_t size() const { return rows_.size(); }
        std::int64_t id(size_t row) const { return rows_[row].id; }
        bool visual(size_t row) const { return rows_[row].visual; }
        QStringView text(size_t row, Text which) const {
            const Row& r = rows_[row];
            const auto k = static_cast<size_t>(which);
            return QStringView(texts_).mid(r.at[k], r.at[k + 1] - r.at[k]);
        }
        int skipped = 0;

      private:
        friend class NoteRepository;
        struct Row {
            std::int64_t id;
            bool visual;
            std::array<qsizetype, 4> at;  // text k is texts_[at[k], at[k + 1])
        };
        std::vector<Row> rows_;
        QString texts_;
    };
    Listing all() const;
    // One note; raises errc::noCurrentRecord when no note has the ID.
    Note note(std::int64_t id) const;
    // Back and text colour of every note that may open at start-up (shown by Visual, or by a
    // choice remembered in our own tables), by ID.
    QHash<std::int64_t, std::pair<StoredColour, StoredColour>> shownColours() const;

    // Adds a note with both times `now`; returns its ID.
    std::int64_t add(const QString& content, const QDateTime& now, std::int32_t backColor,
                     std::int32_t fontColor, int transparent) const;
    // The Transparent the editor writes unless its advanced options are changed.
    static constexpr int kEditorTransparent = 20;
    // False when no note has the ID (deleted meanwhile): nothing changed then. With
    // `unlessChangedFrom`, also false (and nothing changed) when the stored text is no longer
    // that one: a save that would undo a change it has not seen.
    bool update(std::int64_t id, const QString& content, const QDateTime& now,
                std::int32_t backColor, std::int32_t fontColor, int transparent,
                const std::optional<QString>& unlessChangedFrom = std::nullopt) const;
    void remove(std::int64_t id) const;

    // The text a time is stored as: "yyyy/M/d H:mm:ss"; exactly midnight gives the date alone.
    static QString dateTimeText(const QDateTime& when);

    // The columns a note is added with, in the order of the program's own insert.
    static constexpr std::array<std::string_view, 9> kAddedColumns = {
        "content",   "CreateTime", "ChangeTime", "Deleted",    "BackColor",
        "FontColor", "Visual",     "TopMost",    "Transparent"};
    // Adds notes given as stored values in that order (an invalid QVariant is NULL, a LongLong
    // an integer, anything else text); returns their IDs in the same order.
    std::vector<std::int64_t> addStored(
        const std::vector<std::array<QVariant, kAddedColumns.size()>>& notes) const;

    // Every row as stored, the ID first and then the added columns, by ascending ID.
    using StoredRow = std::array<QVariant, 1 + kAddedColumns.size()>;
    void forEachStored(const std::function<void(const StoredRow&)>& row) const;

    // The trash (NoteTrash): copies every column of the note, with its place and the two values
    // given, into a NoteTrash row.
    void copyToTrash(std::int64_t id, bool windowOpen, std::int64_t deletedAt) const;
    // Puts a NoteTrash row back under its old ID, or a new one when the old is taken; gives the
    // ID it got, none when it did not get an integer one.
    std::optional<std::int64_t> restoreFromTrash(std::int64_t seq) const;

  private:
    数据库操作模块& store_;
};
