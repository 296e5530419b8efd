#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "controller/note_sync.h"
#include "store/database_module.h"
#include "store/note_repository.h"
#include "store/note_window_states.h"
#include "store/own_schema.h"
#include "sync/note_version.h"
#include "test_helpers.h"

namespace {

// One machine: its own note file and its sync, in a folder that two machines share (the sync
// engine that would carry the files between them is the shared folder itself).
struct Machine {
    explicit Machine(const QString& copyOf = {}) {
        if (!copyOf.isEmpty()) {
            QFile::remove(db.path());
            QFile::copy(copyOf, db.path());
        }
        store.打开数据库(db.path(), QString());
        OwnSchema::prepare(store);
        sync = std::make_unique<NoteSync>(
            store,
            NoteSync::Hooks{{}, {}, {}, [this](std::int64_t id, const NoteWindowStates::State&) {
                                restyled.push_back(id);
                            }});
    }
    ~Machine() { store.关闭数据库(); }
    std::int64_t add(const QString& text) {
        return NoteRepository(store).add(text, QDateTime::currentDateTime(), 0xC0FFFF, 0, 20);
    }
    void edit(std::int64_t id, const QString& text) {
        NoteRepository(store).update(id, text, QDateTime::currentDateTime(), 0xC0FFFF, 0, 20);
        sync->localChange();
    }
    QStringList texts() const { return db.column("SELECT content FROM Tips ORDER BY ID"); }

    testsupport::TempNoteDb db;
    数据库操作模块 store;
    std::unique_ptr<NoteSync> sync;
    std::vector<std::int64_t> restyled;
};

bool settles(const std::function<bool()>& done) {
    return QTest::qWaitFor(done, 5000);
}

}  // namespace

TEST(NoteSync, TwoMachinesShareNotesWindowStatesAndConcurrentEdits) {
    QTemporaryDir shared;
    Machine a;
    const std::int64_t note = a.add("one\ntwo\nthree");
    a.sync->turnOn(shared.path());
    const QDir noteFolders(shared.filePath("Zettara-notes"));
    const auto files = [&] {
        QStringList found;
        for (const QString& key : noteFolders.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            found << QDir(noteFolders.filePath(key)).entryList({"*.json"}, QDir::Files);
        return found;
    };
    ASSERT_TRUE(settles([&] { return files().size() == 1; }));
    // A copy of a's note file on another machine is not synced there until turned on, and
    // then writes files of its own, never a's.
    Machine b(a.db.path());
    b.sync->start();
    EXPECT_FALSE(b.sync->isOn());
    b.sync->turnOn(shared.path());

    // A note made on one machine reaches the other, with its window closed there.
    b.add("from b");
    b.sync->localChange();
    ASSERT_TRUE(settles([&] { return a.texts().contains("from b"); }));
    EXPECT_EQ(a.db.column("SELECT Shown FROM NoteWindowState WHERE ID = "
                          "(SELECT ID FROM Tips WHERE content = 'from b')"),
              QStringList{"0"});

    // Keep above, see-through and text size go across; the desktop stays this machine's.
    NoteWindowStates::State state{true, 30, 14, false, 2};
    NoteWindowStates(a.store).save(note, state);
    a.sync->localChange();
    ASSERT_TRUE(settles([&] { return NoteWindowStates(b.store).find(note).has_value(); }));
    state.workspace.reset();
    EXPECT_EQ(NoteWindowStates(b.store).find(note), state);
    EXPECT_EQ(b.restyled, std::vector<std::int64_t>{note});

    // Edits of different lines made on both before either saw the other's: both kept.
    a.edit(note, "ONE\ntwo\nthree");
    b.edit(note, "one\ntwo\nTHREE");
    ASSERT_TRUE(settles([&] { return a.texts().first() == "ONE\ntwo\nTHREE"; }))
        << a.texts().first().toStdString();
    ASSERT_TRUE(settles([&] { return b.texts().first() == "ONE\ntwo\nTHREE"; }));
    EXPECT_EQ(a.db.count(), 2);
    QStringList devices = files();
    devices.removeDuplicates();
    EXPECT_EQ(devices.size(), 2) << devices.join(' ').toStdString();
}

TEST(NoteSync, ConflictCopiesAreReadAsVersionsAndNothingElseIsTouched) {
    QTemporaryDir shared;
    Machine a;
    a.add("first text");
    const QString before = a.db.dir() + "/before.mdb";
    ASSERT_TRUE(QFile::copy(a.db.path(), before));
    a.sync->turnOn(shared.path());
    const QDir notes(shared.filePath("Zettara-notes"));
    QStringList keys;
    ASSERT_TRUE(settles([&] {
        keys = notes.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        return keys.size() == 1 && !QDir(notes.filePath(keys[0])).entryList(QDir::Files).isEmpty();
    }));
    const QDir folder(notes.filePath(keys[0]));
    const QString own = folder.entryList(QDir::Files).first();
    QFile file(folder.filePath(own));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    std::optional<NoteVersion> version = versionFromJson(file.readAll());
    ASSERT_TRUE(version);
    const auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile copy(folder.filePath(name));
        ASSERT_TRUE(copy.open(QIODevice::WriteOnly));
        copy.write(bytes);
    };
    // What the engines leave: a conflict copy with a newer text, a file of theirs being
    // written, a file that is no note of ours.
    const QString device = own.chopped(5);
    version->content.value = "edited elsewhere";
    version->content.clock.wallMs += 60000;
    ++version->textSeen[device];
    write(device + " (conflicted copy 2026-12-08 101530).json", toJson(*version));
    write(".syncthing." + own + ".tmp", "{half a file");
    write(newSyncKey() + ".json", "not a note");
    NoteVersion future = *version;
    future.content.value = "from a clock years ahead";
    future.content.clock.wallMs += 1000;
    ++future.textSeen[device];
    future.keepAbove.clock.wallMs += 3LL * 365 * 24 * 3600 * 1000;
    write(device + ".sync-conflict-20261208-101530-ABCDEF7.json", toJson(future));
    ASSERT_TRUE(settles([&] { return a.texts() == QStringList{"edited elsewhere"}; }));
    EXPECT_EQ(a.sync->status().unreadable, 2);
    EXPECT_EQ(folder.entryList(QDir::Files | QDir::Hidden).size(), 5);

    // The next start reads nothing where nothing changed, and what did change.
    a.sync.reset();
    NoteSync unchanged(a.store, {});
    unchanged.start();
    EXPECT_TRUE(unchanged.status().lastMerge);
    write(device + ".sync-conflict-20261209-080000-ABCDEF7.json", toJson(*version));
    NoteSync changed(a.store, {});
    changed.start();
    EXPECT_FALSE(changed.status().lastMerge);

    ASSERT_TRUE(settles([&] { return changed.status().lastMerge.has_value(); }));
    // A folder not there at the start (a drive not mounted) is said so, and not made again.
    ASSERT_TRUE(QDir().rename(shared.path(), shared.path() + "-away"));
    NoteSync away(a.store, {});
    away.start();
    EXPECT_EQ(away.missingFolder(), shared.path());
    EXPECT_FALSE(QFileInfo::exists(shared.path()));
    ASSERT_TRUE(QDir().rename(shared.path() + "-away", shared.path()));

    // A backup from before syncing put in place: syncing stops, its notes are not new ones.
    a.store.打开数据库(before, QString());
    OwnSchema::prepare(a.store);
    changed.localChange();
    ASSERT_TRUE(settles([&] { return !changed.isOn(); }));
    QTest::qWait(500);
    EXPECT_EQ(notes.entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 1);
}
