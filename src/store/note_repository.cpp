#include "store/note_repository.h"

#include <QStringDecoder>
#include <QStringList>
#include <algorithm>

#include "platform/core/convert.h"
#include "platform/core/error.h"
#include "platform/db/database.h"
#include "store/database_module.h"

namespace {

// The note columns every read gives, in this order.
const QString kNoteColumns =
    QStringLiteral("ID, content, CreateTime, ChangeTime, BackColor, FontColor, Visual");
enum { kId, kContent, kCreateTime, kChangeTime, kBackColor, kFontColor, kVisual };

QString textOf(const QVariant& value) {
    return value.isValid() ? platform::toText(value) : QString();
}

StoredColour colourOf(const QVariant& value) {
    try {
        return platform::toInt32(value);
    } catch (const platform::Error&) {
        return std::current_exception();
    }
}

// Visual as the list reads it: false where it cannot be read.
bool visualOf(const QVariant& value) {
    try {
        return platform::toBool(value);
    } catch (const platform::Error&) {
        return false;
    }
}

// The statement's current row (no row: errc::noCurrentRecord).
Note noteOf(const platform::PreparedStatement& row) {
    Note note;
    note.id = row.value(kId).toLongLong();
    note.content = textOf(row.value(kContent));
    note.createTime = textOf(row.value(kCreateTime));
    note.changeTime = textOf(row.value(kChangeTime));
    note.backColor = colourOf(row.value(kBackColor));
    note.fontColor = colourOf(row.value(kFontColor));
    note.visual = visualOf(row.value(kVisual));
    return note;
}

// The insert and the update have always quoted every value, numbers too: bound as text, they
// meet the same column affinities. The engine would cut a text at its first NUL.
QString contentText(const QString& content) {
    QString text = content;
    text.remove(QChar(0));
    return text;
}

// "content,CreateTime,...": the columns a note is added with, as a statement names them.
QString addedColumns() {
    QStringList names;
    for (const std::string_view name : NoteRepository::kAddedColumns)
        names << QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
    return names.join(QLatin1Char(','));
}

}  // namespace

QString NoteRepository::dateTimeText(const QDateTime& when) {
    // The zh-CN general date form: short date, one blank, long time; midnight gives the date.
    QString date = when.date().toString(QStringLiteral("yyyy/M/d"));
    const QTime time = when.time();
    if (time.hour() == 0 && time.minute() == 0 && time.second() == 0) return date;
    return date + QLatin1Char(' ') + time.toString(QStringLiteral("H:mm:ss"));
}

NoteRepository::Listing NoteRepository::all() const {
    platform::Database& db = store_.requireOpen();
    platform::PreparedStatement rows =
        db.prepare(QStringLiteral("SELECT %1 FROM Tips").arg(kNoteColumns));
    Listing listing;
    // Counting walks the table's pages only: far cheaper than growing the list row by row.
    platform::PreparedStatement count = db.prepare(QStringLiteral("SELECT count(*) FROM Tips"));
    if (count.step()) {
        const qsizetype notes = count.value(0).toLongLong();
        listing.rows_.reserve(static_cast<size_t>(notes));
        // Room for short notes: pages never written to cost nothing, a move of the block would.
        listing.texts_.reserve(notes * 128);
    }
    // Each text on its own, as QString::fromUtf8 reads it: a bad sequence is one U+FFFD and a
    // leading BOM is kept.
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    while (rows.step()) {
        // Text or a blob that spells a number would act on that number's note.
        const QVariant id = rows.value(kId);
        if (id.typeId() != QMetaType::LongLong) {
            ++listing.skipped;
            continue;
        }
        Listing::Row& row = listing.rows_.emplace_back();
        row.id = id.toLongLong();
        size_t k = 0;
        for (const int column : {kContent, kCreateTime, kChangeTime}) {
            row.at[k++] = listing.texts_.size();
            if (const QByteArrayView bytes = rows.utf8Text(column); !bytes.isNull()) {
                // Decoded straight into the block: no string of its own.
                const qsizetype start = listing.texts_.size();
                const qsizetype needed = start + utf8.requiredSpace(bytes.size());
                if (needed > listing.texts_.capacity())
                    listing.texts_.reserve(std::max(needed, 2 * listing.texts_.capacity()));
                listing.texts_.resize(needed);
                const QChar* end = utf8.appendToBuffer(listing.texts_.data() + start, bytes);
                listing.texts_.resize(end - listing.texts_.constData());
            } else {
                listing.texts_ += textOf(rows.value(column));
            }
        }
        row.at[k] = listing.texts_.size();
        row.visual = visualOf(rows.value(kVisual));
    }
    return listing;
}

Note NoteRepository::note(std::int64_t id) const {
    platform::PreparedStatement row = store_.requireOpen().prepare(
        QStringLiteral("SELECT %1 FROM Tips WHERE ID = ?1").arg(kNoteColumns));
    row.bindInt64(1, id);
    row.step();
    return noteOf(row);  // no row: errc::noCurrentRecord
}

QHash<std::int64_t, std::pair<StoredColour, StoredColour>> NoteRepository::shownColours() const {
    const QString shown = store_.ownTables() == OwnSchema::Access::None
                              ? QStringLiteral("Visual <> 0")
                              : QStringLiteral(
                                    "(Visual <> 0 OR ID IN (SELECT ID FROM NoteWindowState WHERE "
                                    "Shown <> 0))");
    platform::PreparedStatement rows = store_.requireOpen().prepare(
        QStringLiteral("SELECT ID, BackColor, FontColor FROM Tips WHERE typeof(ID) = 'integer' "
                       "AND ") +
        shown);
    QHash<std::int64_t, std::pair<StoredColour, StoredColour>> colours;
    while (rows.step()) {
        colours.insert(rows.value(0).toLongLong(),
                       {colourOf(rows.value(1)), colourOf(rows.value(2))});
    }
    return colours;
}

std::int64_t NoteRepository::add(const QString& content, const QDateTime& now,
                                 std::int32_t backColor, std::int32_t fontColor,
                                 int transparent) const {
    platform::Database& db = store_.requireOpen();
    platform::PreparedStatement insert = db.prepare(
        QStringLiteral("INSERT INTO Tips(%1) VALUES(?1, ?2, ?2, '0', ?3, ?4, '1', '0', ?5)")
            .arg(addedColumns()));
    insert.bindText(1, contentText(content))
        .bindText(2, dateTimeText(now))
        .bindText(3, QString::number(backColor))
        .bindText(4, QString::number(fontColor))
        .bindText(5, QString::number(transparent));
    insert.step();
    return db.lastInsertId();
}

bool NoteRepository::update(std::int64_t id, const QString& content, const QDateTime& now,
                            std::int32_t backColor, std::int32_t fontColor, int transparent,
                            const std::optional<QString>& unlessChangedFrom) const {
    platform::Database& db = store_.requireOpen();
    platform::PreparedStatement update =
        db.prepare(QStringLiteral("UPDATE Tips SET content = ?1, ChangeTime = ?2, BackColor = ?3, "
                                  "FontColor = ?4, Transparent = ?5 WHERE ID = ?6%1")
                       .arg(unlessChangedFrom ? QStringLiteral(" AND content IS ?7") : QString()));
    update.bindText(1, contentText(content))
        .bindText(2, dateTimeText(now))
        .bindText(3, QString::number(backColor))
        .bindText(4, QString::number(fontColor))
        .bindText(5, QString::number(transparent))
        .bindInt64(6, id);
    if (unlessChangedFrom) update.bindText(7, *unlessChangedFrom);
    update.step();
    return db.changes() != 0;
}

void NoteRepository::remove(std::int64_t id) const {
    platform::PreparedStatement remove =
        store_.requireOpen().prepare(QStringLiteral("DELETE FROM Tips WHERE ID = ?1"));
    remove.bindInt64(1, id);
    remove.step();
}

std::vector<std::int64_t> NoteRepository::addStored(
    const std::vector<std::array<QVariant, kAddedColumns.size()>>& notes) const {
    platform::PreparedStatement insert = store_.requireOpen().prepare(
        QStringLiteral(
            "INSERT INTO Tips(%1) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9) RETURNING ID")
            .arg(addedColumns()));
    std::vector<std::int64_t> ids;
    ids.reserve(notes.size());
    for (const auto& values : notes) {
        for (std::size_t i = 0; i < values.size(); ++i) {
            const int index = static_cast<int>(i) + 1;
            if (!values[i].isValid())
                insert.bindNull(index);
            else if (values[i].typeId() == QMetaType::LongLong)
                insert.bindInt64(index, values[i].toLongLong());
            else
                insert.bindText(index, values[i].toString());
        }
        insert.step();
        ids.push_back(insert.value(0).toLongLong());
        insert.step();
        insert.reset();
    }
    return ids;
}

void NoteRepository::forEachStored(const std::function<void(const StoredRow&)>& row) const {
    platform::PreparedStatement rows = store_.requireOpen().prepare(
        QStringLiteral("SELECT ID,%1 FROM Tips ORDER BY ID").arg(addedColumns()));
    StoredRow values;
    while (rows.step()) {
        for (std::size_t i = 0; i < values.size(); ++i) values[i] = rows.value(static_cast<int>(i));
        row(values);
    }
}

void NoteRepository::copyToTrash(std::int64_t id, bool windowOpen, std::int64_t deletedAt) const {
    platform::PreparedStatement keep = store_.requireOpen().prepare(QStringLiteral(
        "INSERT INTO NoteTrash(ID, content, CreateTime, ChangeTime, Deleted, BackColor, "
        "FontColor, Visual, TopMost, Transparent, X, Y, Width, Height, Scale, WindowOpen, "
        "DeletedAt) SELECT t.ID, t.content, t.CreateTime, t.ChangeTime, t.Deleted, "
        "t.BackColor, t.FontColor, t.Visual, t.TopMost, t.Transparent, p.X, p.Y, p.Width, "
        "p.Height, p.Scale, ?2, ?3 FROM Tips t LEFT JOIN NotePlacement p ON p.ID = "
        "t.ID WHERE t.ID = ?1"));
    keep.bindInt64(1, id).bindInt64(2, windowOpen ? 1 : 0).bindInt64(3, deletedAt);
    keep.step();
}

std::optional<std::int64_t> NoteRepository::restoreFromTrash(std::int64_t seq) const {
    // AUTOINCREMENT never hands out an old ID again, but another program might have.
    platform::PreparedStatement note = store_.requireOpen().prepare(QStringLiteral(
        "INSERT INTO Tips(ID, content, CreateTime, ChangeTime, Deleted, BackColor, FontColor, "
        "Visual, TopMost, Transparent) SELECT CASE WHEN EXISTS(SELECT 1 FROM Tips WHERE ID = "
        "d.ID) THEN NULL ELSE d.ID END, content, CreateTime, ChangeTime, Deleted, BackColor, "
        "FontColor, Visual, TopMost, Transparent FROM NoteTrash d WHERE Seq = ?1 RETURNING "
        "ID"));
    note.bindInt64(1, seq);
    if (!note.step()) return std::nullopt;
    const QVariant id = note.value(0);
    while (note.step()) {
    }
    if (!id.isValid()) return std::nullopt;
    return id.toLongLong();
}
