#include <gtest/gtest.h>

#include <QFile>
#include <stdexcept>

#include "platform/core/error.h"
#include "platform/db/database.h"
#include "store/database_module.h"
#include "store/note_repository.h"
#include "test_helpers.h"

namespace {

QDateTime at(int h, int mi, int s) {
    return QDateTime(QDate(2026, 12, 6), QTime(h, mi, s));
}

// The statement texts the program used to build, kept as the reference for what a note's row
// must hold.
namespace reference {
QString quoteText(const QString& text) {
    QString quoted = text;
    quoted.remove(QChar(0));
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    return quoted;
}
QString insertNote(const QString& content, const QDateTime& now, int back, int font, int clear) {
    const QString time = NoteRepository::dateTimeText(now);
    const QStringList values = {quoteText(content),
                                time,
                                time,
                                "0",
                                QString::number(back),
                                QString::number(font),
                                "1",
                                "0",
                                QString::number(clear)};
    return "INSERT INTO Tips(content,CreateTime,ChangeTime,Deleted,BackColor,FontColor,Visual,"
           "TopMost,Transparent) Values('" +
           values.join("', '") + "')";
}
QString updateNote(const QString& content, const QDateTime& now, int back, int font, int clear,
                   qint64 id) {
    return "UPDATE Tips SET content='" + quoteText(content) + "', ChangeTime='" +
           NoteRepository::dateTimeText(now) + "', BackColor='" + QString::number(back) +
           "', FontColor='" + QString::number(font) + "', Transparent='" + QString::number(clear) +
           "' where id = " + QString::number(id);
}
}  // namespace reference

// A copy of the supplied note file, open as the program opens it.
struct SuppliedFile {
    SuppliedFile() {
        QFile welcome(QStringLiteral(ZETTARA_DATA_DIR "/welcome.sql"));
        if (!welcome.open(QIODevice::ReadOnly)) throw std::runtime_error("no data/welcome.sql");
        db.exec(QString::fromUtf8(welcome.readAll()));
        module.打开数据库(db.path(), "");
    }
    // Every row, every column: its storage class and its exact bytes.
    QStringList rows() const {
        QStringList parts;
        for (const char* column : {"ID", "content", "CreateTime", "ChangeTime", "Deleted",
                                   "BackColor", "FontColor", "Visual", "TopMost", "Transparent"})
            parts << QStringLiteral("typeof(%1) || ':' || hex(%1)").arg(column);
        return db.column("SELECT " + parts.join(" || '|' || ") + " FROM Tips");
    }
    testsupport::TempNoteDb db;
    数据库操作模块 module;
};

TEST(NoteRepositoryRows, StoreExactlyWhatTheStatementTextsStored) {
    SuppliedFile texts;
    SuppliedFile bound;
    const NoteRepository notes(bound.module);
    const QString nul(QChar(0));
    const QStringList contents = {"it's Tom's ''",
                                  "line one\r\nline two\nthree\r",
                                  nul + "a" + nul + "b" + nul,
                                  "<b>bold</b> &amp; <script>x</script> \"q\" \\ 😀 中文",
                                  "12648447",
                                  QString(1 << 20, QChar('x')) + "'"};
    const int colours[][3] = {{12648447, 0, 20}, {-2147483630, 255, 0}, {0, 16777215, 90}};
    for (int i = 0; i < contents.size(); ++i) {
        const auto& [back, font, clear] = colours[i % 3];
        const QDateTime when = i == 0 ? at(0, 0, 0) : at(1, 47, i);
        texts.module.database()->execute(
            reference::insertNote(contents[i], when, back, font, clear));
        EXPECT_EQ(notes.add(contents[i], when, back, font, clear),
                  texts.module.database()->lastInsertId());
    }
    for (const qint64 id : {2, 6}) {
        const QString text = nul + "edited 'quote'\r\n<i>" + QString::number(id);
        texts.module.database()->execute(
            reference::updateNote(text, at(0, 0, 0), int(id), -1, 50, id));
        EXPECT_TRUE(notes.update(id, text, at(0, 0, 0), int(id), -1, 50));
    }
    texts.module.database()->execute("Delete from Tips where id = 3");
    notes.remove(3);
    EXPECT_FALSE(notes.update(3, "gone", at(2, 0, 0), 0, 0, 0));

    const QStringList expected = texts.rows();
    const QStringList actual = bound.rows();
    ASSERT_EQ(expected.size(), 6);
    ASSERT_EQ(actual.size(), expected.size());
    for (qsizetype r = 0; r < expected.size(); ++r) {
        const QStringList want = expected[r].split('|');
        const QStringList got = actual[r].split('|');
        for (qsizetype c = 0; c < want.size(); ++c) {
            EXPECT_TRUE(got.value(c) == want[c])
                << "row " << r << " column " << c << ": " << got.value(c).left(80).toStdString()
                << " instead of " << want[c].left(80).toStdString();
        }
    }
}

class NoteRepositoryTest : public ::testing::Test {
  protected:
    void SetUp() override { module.打开数据库(db.path(), ""); }
    std::int64_t insert(const QString& text, const QDateTime& when = at(9, 0, 0)) {
        return notes.add(text, when, 12648447, 0, 20);
    }
    testsupport::TempNoteDb db;
    数据库操作模块 module;
    NoteRepository notes{module};
};

TEST_F(NoteRepositoryTest, ReadsTheRowsAsTheListShowsThem) {
    const std::int64_t id = insert("abc", at(1, 47, 55));
    notes.update(id, "abc", at(0, 0, 0), 255, 0, 20);
    // A file made elsewhere, whose ID column takes any value.
    db.exec(
        "ALTER TABLE Tips RENAME TO Old; CREATE TABLE Tips(ID, content, CreateTime, "
        "ChangeTime, Deleted, BackColor, FontColor, Visual, TopMost, Transparent); "
        "INSERT INTO Tips SELECT * FROM Old");
    db.exec(
        "INSERT INTO Tips(ID, content, BackColor, FontColor, Visual) VALUES"
        "(7, NULL, NULL, 'abc', 'x'), ('8', 'text ID', 0, 0, 1), (9, 'b', 1e12, 2.5, 0)");
    const NoteRepository::Listing listing = notes.all();
    using Text = NoteRepository::Listing::Text;
    EXPECT_EQ(listing.skipped, 1);
    ASSERT_EQ(listing.size(), 3u);
    EXPECT_EQ(listing.text(0, Text::CreateTime), u"2026/12/6 1:47:55");
    EXPECT_EQ(listing.text(0, Text::ChangeTime), u"2026/12/6");
    EXPECT_TRUE(listing.visual(0));
    EXPECT_EQ(std::get<std::int32_t>(notes.note(id).backColor), 255);
    EXPECT_EQ(listing.id(1), 7);
    EXPECT_TRUE(listing.text(1, Text::Content).isEmpty());
    EXPECT_FALSE(listing.visual(1));
    const Note bad = notes.note(7);
    EXPECT_TRUE(bad.content.isNull());
    // A colour that cannot be read raises, where it is needed, what reading it raised.
    const auto errorOf = [](const StoredColour& colour) {
        try {
            colourValue(colour);
        } catch (const platform::Error& e) {
            return e.number();
        }
        return 0;
    };
    EXPECT_EQ(errorOf(bad.backColor), platform::errc::invalidUseOfNull);
    EXPECT_EQ(errorOf(bad.fontColor), platform::errc::typeMismatch);
    EXPECT_EQ(errorOf(notes.note(9).backColor), 6);  // overflow
    EXPECT_EQ(std::get<std::int32_t>(notes.note(9).fontColor), 2);
    try {
        notes.note(99);
        FAIL() << "a missing note was read";
    } catch (const platform::Error& e) {
        EXPECT_EQ(e.number(), platform::errc::noCurrentRecord);
    }
}

TEST_F(NoteRepositoryTest, IdsStayAscendingAfterDeletingTheNewest) {
    insert("a");
    const std::int64_t second = insert("b");
    notes.remove(second);
    EXPECT_GT(insert("c"), second);
    QStringList order;
    const NoteRepository::Listing listing = notes.all();
    for (size_t i = 0; i < listing.size(); ++i)
        order << listing.text(i, NoteRepository::Listing::Text::Content).toString();
    EXPECT_EQ(order, QStringList({"a", "c"}));
}

TEST(NoteRepositoryStates, FailsBeforeOpenAndAfterClose) {
    testsupport::TempNoteDb db;
    数据库操作模块 module;
    const NoteRepository notes(module);
    try {
        notes.all();
        FAIL() << "read before open";
    } catch (const platform::Error& e) {
        EXPECT_EQ(e.number(), platform::errc::objectNotSet);
    }
    module.打开数据库(db.path(), "");
    module.关闭数据库();
    EXPECT_THROW(notes.add("x", at(1, 0, 0), 0, 0, 0), platform::Error);
}

TEST(NoteRepositoryTimes, DateTimeTextAndMidnight) {
    const auto text = [](int h, int mi, int s) {
        return NoteRepository::dateTimeText(QDateTime(QDate(2026, 10, 16), QTime(h, mi, s)));
    };
    EXPECT_EQ(text(0, 0, 0), "2026/10/16");
    EXPECT_EQ(text(0, 0, 1), "2026/10/16 0:00:01");
    EXPECT_EQ(text(23, 59, 59), "2026/10/16 23:59:59");
}

}  // namespace
