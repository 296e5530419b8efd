#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "platform/core/error.h"
#include "store/note_store_location.h"

namespace {

// A location whose copy runs `step` just before its rename.
class InterruptedLocation : public NoteStoreLocation {
  public:
    InterruptedLocation(const NoteStoreLocation& location, std::function<void()> step)
        : NoteStoreLocation(location) {
        beforeRename = std::move(step);
    }
};

constexpr auto ownerOnly = QFile::ReadOwner | QFile::WriteOwner;
constexpr auto ownerFolder = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
constexpr auto everyone = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                          QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                          QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;

class NoteStoreLocationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(root_.isValid());
        QDir(root_.path()).mkpath(QStringLiteral("program"));
        QDir(root_.path()).mkpath(QStringLiteral("share/zettara"));
        write(supplied(), "supplied database");
    }
    QString in(const QString& relative) const { return root_.filePath(relative); }
    QString program() const { return in(QStringLiteral("program")); }
    QString supplied() const { return in(QStringLiteral("share/zettara/Zettara.mdb")); }
    // The user's folder, below a data folder that does not exist yet.
    QString user() const { return in(QStringLiteral("home/data/Zettara-6471")); }
    NoteStoreLocation location() const { return NoteStoreLocation(program(), user(), supplied()); }

    static void write(const QString& path, const QByteArray& contents) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }
    static QByteArray read(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    static QStringList files(const QString& folder) {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    }

    QTemporaryDir root_;
};

TEST_F(NoteStoreLocationTest, AFileBesideTheProgramWinsAndNothingElseIsTouched) {
    write(program() + QStringLiteral("/Zettara.mdb"), "portable notes");
    EXPECT_EQ(location().prepare(), program() + QStringLiteral("/Zettara.mdb"));
    EXPECT_FALSE(QFileInfo::exists(in(QStringLiteral("home"))));

    // Even when the user has an installed store as well.
    QDir().mkpath(user());
    write(user() + QStringLiteral("/Zettara.mdb"), "installed notes");
    EXPECT_EQ(location().path(), program() + QStringLiteral("/Zettara.mdb"));
}

TEST_F(NoteStoreLocationTest, InstalledCopiesTheSuppliedDatabaseOncePrivately) {
    const QString userFile = user() + QStringLiteral("/Zettara.mdb");
    EXPECT_EQ(location().path(), userFile);
    EXPECT_FALSE(QFileInfo::exists(in(QStringLiteral("home"))));  // path() only decides

    EXPECT_EQ(location().prepare(), userFile);
    EXPECT_EQ(read(userFile), "supplied database");
    EXPECT_EQ(QFile::permissions(userFile) & everyone, ownerOnly);
    EXPECT_EQ(QFile::permissions(user()) & everyone, ownerFolder);
    EXPECT_EQ(QFile::permissions(in(QStringLiteral("home/data"))) & everyone, ownerFolder);
    EXPECT_EQ(files(user()), QStringList{QStringLiteral("Zettara.mdb")});

    // The user's notes are never replaced, not even by a newer supplied database.
    write(userFile, "my notes");
    write(supplied(), "newer supplied database");
    EXPECT_EQ(location().prepare(), userFile);
    EXPECT_EQ(read(userFile), "my notes");
}

TEST_F(NoteStoreLocationTest, WithoutAnyDatabaseNothingIsCreatedAndTheProgramsFileIsNamed) {
    // No installation supplies a database: the note file missing is the one beside the program.
    QFile::remove(supplied());
    EXPECT_EQ(location().prepare(), program() + QStringLiteral("/Zettara.mdb"));
    EXPECT_FALSE(QFileInfo::exists(in(QStringLiteral("home"))));
    // The user's own file, once there, is used still.
    QDir().mkpath(user());
    write(user() + QStringLiteral("/Zettara.mdb"), "my notes");
    EXPECT_EQ(location().prepare(), user() + QStringLiteral("/Zettara.mdb"));
}

TEST_F(NoteStoreLocationTest, ACopyInterruptedBeforeItsRenameLeavesNoNoteFile) {
    const QString userFile = user() + QStringLiteral("/Zettara.mdb");
    bool reached = false;
    const InterruptedLocation interrupted(location(), [&] {
        reached = true;
        // The copy is complete, under another name.
        const QStringList written = files(user());
        ASSERT_EQ(written.size(), 1);
        EXPECT_NE(written.first(), QStringLiteral("Zettara.mdb"));
        EXPECT_EQ(read(user() + u'/' + written.first()), "supplied database");
        throw platform::Error(0, QStringLiteral("crash"));
    });
    EXPECT_THROW(interrupted.prepare(), platform::Error);
    EXPECT_TRUE(reached);
    EXPECT_FALSE(QFileInfo::exists(userFile));

    EXPECT_EQ(location().prepare(), userFile);
    EXPECT_EQ(read(userFile), "supplied database");
}

TEST_F(NoteStoreLocationTest, AFolderThatCannotBeMadeIsAClearError) {
    QDir().mkpath(in(QStringLiteral("home")));
    write(in(QStringLiteral("home/data")), "a file where the folder belongs");
    try {
        location().prepare();
        FAIL() << "no error";
    } catch (const platform::Error& error) {
        EXPECT_EQ(error.number(), platform::errc::pathAccess);
        EXPECT_TRUE(error.message().contains(in(QStringLiteral("home/data"))))
            << error.message().toStdString();
    }
}

}  // namespace
