#include "store/note_archive.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QSet>
#include <QStringDecoder>
#include <QVariant>
#include <array>
#include <cmath>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/core/colour.h"
#include "platform/core/error.h"
#include "platform/core/error_text.h"
#include "platform/db/database.h"
#include "platform/db/transaction.h"
#include "platform/os/os.h"
#include "store/database_module.h"
#include "store/dated_backups.h"
#include "store/note_repository.h"
#include "store/note_window_states.h"

namespace {

const QString kFormatName = QStringLiteral("zettara-notes");
constexpr int kFormatVersion = 1;
// Far beyond any real collection, small enough to parse in memory without trouble.
constexpr qint64 kMaxFileBytes = 64LL * 1024 * 1024;
constexpr qsizetype kMaxNotes = 500'000;
// A note is a few objects; a file of mostly empty brackets would make the parser allocate
// gigabytes before the note count could be checked.
constexpr qsizetype kMaxContainers = kMaxNotes * 4 + 16;

// The Tips columns the program's own insert writes, in its order, and how each is stored.
enum class Kind { Text, Integer, Real };
struct Column {
    const char* name;
    Kind kind;
};
constexpr std::array<Column, 9> kColumns = {{{"content", Kind::Text},
                                             {"CreateTime", Kind::Text},
                                             {"ChangeTime", Kind::Text},
                                             {"Deleted", Kind::Integer},
                                             {"BackColor", Kind::Integer},
                                             {"FontColor", Kind::Integer},
                                             {"Visual", Kind::Integer},
                                             {"TopMost", Kind::Integer},
                                             {"Transparent", Kind::Integer}}};
constexpr std::size_t kBackColor = 4, kFontColor = 5, kVisual = 6;
constexpr bool namesTheAddedColumns() {
    for (std::size_t i = 0; i < kColumns.size(); ++i) {
        if (kColumns[i].name != NoteRepository::kAddedColumns[i]) return false;
    }
    return true;
}
static_assert(kColumns.size() == NoteRepository::kAddedColumns.size() && namesTheAddedColumns());
static_assert(std::string_view(kColumns[kBackColor].name) == "BackColor" &&
              std::string_view(kColumns[kFontColor].name) == "FontColor" &&
              std::string_view(kColumns[kVisual].name) == "Visual");
constexpr std::array<Column, 5> kPlaceColumns = {{{"X", Kind::Integer},
                                                  {"Y", Kind::Integer},
                                                  {"Width", Kind::Integer},
                                                  {"Height", Kind::Integer},
                                                  {"Scale", Kind::Real}}};

using Refusal = NoteArchive::Refusal;

QJsonValue jsonOf(const QVariant& value) {
    switch (value.typeId()) {
        case QMetaType::LongLong:
            return QJsonValue(value.toLongLong());
        case QMetaType::Double:
            return value.toDouble();
        case QMetaType::QString:
            return value.toString();
        case QMetaType::QByteArray:  // a foreign file's blob: kept as the text it holds
            return QString::fromUtf8(value.toByteArray());
        default:
            return QJsonValue::Null;
    }
}

QString textOf(const QVariant& value) {
    return value.isValid() ? value.toString() : QString();
}

bool keepsOwnTables(const 数据库操作模块& store) {
    return store.ownTables() != OwnSchema::Access::None;
}

// ---- our own state per note, one function each way --------------------------------------

// Every stored placement, by note, as stored.
QHash<qint64, QJsonObject> readPlaces(数据库操作模块& store) {
    QHash<qint64, QJsonObject> places;
    if (!keepsOwnTables(store)) return places;
    platform::PreparedStatement rows = store.database()->prepare(
        QStringLiteral("SELECT ID, X, Y, Width, Height, Scale FROM NotePlacement"));
    while (rows.step()) {
        QJsonObject place;
        for (int i = 0; i < int(kPlaceColumns.size()); ++i)
            place.insert(QLatin1String(kPlaceColumns[i].name), jsonOf(rows.value(i + 1)));
        places.insert(rows.value(0).toLongLong(), place);
    }
    return places;
}

void writePlace(数据库操作模块& store, qint64 id, const std::vector<QVariant>& place) {
    if (place.empty() || store.ownTables() != OwnSchema::Access::ReadWrite) return;
    platform::PreparedStatement write = store.database()->prepare(
        QStringLiteral("INSERT OR REPLACE INTO NotePlacement(ID, X, Y, Width, Height, Scale) "
                       "VALUES(?1, ?2, ?3, ?4, ?5, ?6)"));
    write.bindInt64(1, id);
    for (int i = 0; i < int(place.size()); ++i) {
        const QVariant& value = place[i];
        if (!value.isValid())
            write.bindNull(i + 2);
        else if (value.typeId() == QMetaType::Double)
            write.bindDouble(i + 2, value.toDouble());
        else
            write.bindInt64(i + 2, value.toLongLong());
    }
    write.step();
}

// A note's window state as stored (null without one).
QJsonValue windowOf(数据库操作模块& store, qint64 id) {
    const std::optional<NoteWindowStates::State> state = NoteWindowStates(store).find(id);
    if (!state) return QJsonValue(QJsonValue::Null);
    const auto orNull = [](const std::optional<int>& v) {
        return v ? QJsonValue(*v) : QJsonValue(QJsonValue::Null);
    };
    return QJsonObject{{QStringLiteral("keepAbove"), state->keepAbove},
                       {QStringLiteral("transparency"), state->transparency},
                       {QStringLiteral("textPoints"), orNull(state->textPoints)},
                       {QStringLiteral("allWorkspaces"), state->allWorkspaces},
                       {QStringLiteral("workspace"), orNull(state->workspace)}};
}

void writeWindow(数据库操作模块& store, qint64 id,
                 const std::optional<NoteWindowStates::State>& state) {
    if (state && store.ownTables() == OwnSchema::Access::ReadWrite)
        NoteWindowStates(store).save(id, *state);
}

// ---- export ------------------------------------------------------------------------------

QByteArray jsonDocument(数据库操作模块& store, int& count) {
    const QHash<qint64, QJsonObject> places = readPlaces(store);
    QStringList names{QStringLiteral("ID")};
    for (const Column& column : kColumns) names << QLatin1String(column.name);
    QJsonArray notes;
    NoteRepository(store).forEachStored([&](const NoteRepository::StoredRow& row) {
        QJsonObject tips;
        for (int i = 0; i < names.size(); ++i) tips.insert(names[i], jsonOf(row[i]));
        const auto place = places.constFind(row[0].toLongLong());
        notes.append(QJsonObject{
            {QStringLiteral("tips"), tips},
            {QStringLiteral("place"),
             place == places.constEnd() ? QJsonValue(QJsonValue::Null) : QJsonValue(*place)},
            {QStringLiteral("window"), windowOf(store, row[0].toLongLong())}});
    });
    count = int(notes.size());
    return QJsonDocument(QJsonObject{{QStringLiteral("format"), kFormatName},
                                     {QStringLiteral("version"), kFormatVersion},
                                     {QStringLiteral("notes"), notes}})
        .toJson(QJsonDocument::Indented);
}

QByteArray textDocument(数据库操作模块& store, int& count) {
    QString text;
    count = 0;
    // The ID first, then the columns in the order of the archive's own list.
    NoteRepository(store).forEachStored([&](const NoteRepository::StoredRow& row) {
        text += QCoreApplication::translate("NoteArchive", "创建于 %1，修改于 %2\n%3\n\n")
                    .arg(textOf(row[2]), textOf(row[3]), textOf(row[1]));
        ++count;
    });
    return text.toUtf8();
}

// Where writing to path lands: symbolic links are followed even to a file that does not exist
// yet, as the save does, and the folder is taken without links.
QString landingPlace(const QString& path) {
    QFileInfo info(path);
    for (int hops = 0; info.isSymLink() && hops < 40; ++hops)
        info = QFileInfo(info.symLinkTarget());
    const QString folder = info.absoluteDir().canonicalPath();
    return folder.isEmpty() ? info.absoluteFilePath() : QDir(folder).filePath(info.fileName());
}

// An export written over the note file, its journal or a backup would destroy the notes it
// holds; a link of any kind to one of them counts as the file itself.
void refuseOwnFiles(const QString& noteFile, const QString& path) {
    const QString target = landingPlace(path);
    const QString note = landingPlace(noteFile);
    const QString backups = QDir(DatedBackups::folderFor(note)).canonicalPath();
    QStringList own{note};
    for (const char* suffix : {"-journal", "-wal", "-shm"}) own << note + QLatin1String(suffix);
    if (!backups.isEmpty())
        for (const QFileInfo& entry : QDir(backups).entryInfoList(QDir::Files | QDir::Hidden))
            own << entry.filePath();
    bool ours = !backups.isEmpty() && QFileInfo(target).absolutePath() == backups;
    for (const QString& file : own)
        ours = ours || target == file || platform::os::isSameFile(path, file);
    if (ours)
        throw Refusal(
            QCoreApplication::translate("NoteArchive",
                                        "它是便签文件本身、它的日志文件或它的备份，导出会毁掉其中的"
                                        "便签。请另选一个文件。"));
}

// ---- import ------------------------------------------------------------------------------

QByteArray readBounded(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile())
        throw Refusal(QCoreApplication::translate("NoteArchive", "它不是一个可以读取的普通文件。"));
    const QString tooBig = QCoreApplication::translate("NoteArchive", "文件太大（超过 %1 MB）。")
                               .arg(kMaxFileBytes >> 20);
    if (info.size() > kMaxFileBytes) throw Refusal(tooBig);
    QFile file(path);
    const auto unreadable = [&file] {
        return Refusal(
            QCoreApplication::translate(
                "NoteArchive", "无法读取这个文件，请确认它仍在原处、你有权读取它。\n（%1）")
                .arg(file.errorString()));
    };
    if (!file.open(QIODevice::ReadOnly)) throw unreadable();
    QByteArray bytes = file.read(kMaxFileBytes + 1);  // it may have grown since
    if (bytes.size() > kMaxFileBytes) throw Refusal(tooBig);
    if (file.error() != QFileDevice::NoError) throw unreadable();
    return bytes;
}

// Objects and arrays outside strings.
qsizetype containerCount(const QByteArray& json) {
    qsizetype count = 0;
    bool inString = false;
    for (qsizetype i = 0; i < json.size(); ++i) {
        const char c = json[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '{' || c == '[') {
            ++count;
        }
    }
    return count;
}

QJsonObject parseDocument(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    (void)QString(utf8(bytes));
    if (utf8.hasError())
        throw Refusal(QCoreApplication::translate("NoteArchive", "文件不是有效的 UTF-8 文本。"));
    if (containerCount(bytes) > kMaxContainers)
        throw Refusal(
            QCoreApplication::translate("NoteArchive", "便签太多（超过 %1 个）。").arg(kMaxNotes));
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error == QJsonParseError::DeepNesting)
        throw Refusal(QCoreApplication::translate("NoteArchive", "文件的嵌套层次太深。"));
    if (error.error != QJsonParseError::NoError)
        throw Refusal(
            QCoreApplication::translate("NoteArchive", "文件不完整或已损坏（第 %1 个字节处出错）。")
                .arg(error.offset + 1));
    QJsonObject root = document.object();
    if (root.value(QStringLiteral("format")).toString() != kFormatName ||
        !root.value(QStringLiteral("version")).isDouble())
        throw Refusal(QCoreApplication::translate("NoteArchive", "它不是本程序导出的便签文件。"));
    if (const double version = root.value(QStringLiteral("version")).toDouble();
        version > kFormatVersion)
        throw Refusal(QCoreApplication::translate(
                          "NoteArchive", "它来自更新版本的程序（格式版本 %1），请先升级本程序。")
                          .arg(version));
    else if (version != kFormatVersion)
        throw Refusal(QCoreApplication::translate("NoteArchive", "它不是本程序导出的便签文件。"));
    return root;
}

// A stored value from the file: NULL, text or an integer, as the column keeps it.
QVariant storedValue(const QJsonValue& value, Kind kind, const QString& where) {
    if (value.isNull() || value.isUndefined()) return {};
    const QString wrong = QCoreApplication::translate("NoteArchive", "%1无效。").arg(where);
    if (kind == Kind::Text) {
        if (!value.isString()) throw Refusal(wrong);
        // The program's own statements never store a NUL.
        return value.toString().remove(QChar(0));
    }
    if (!value.isDouble()) throw Refusal(wrong);
    const double number = value.toDouble();
    if (kind == Kind::Real) {
        if (!std::isfinite(number)) throw Refusal(wrong);
        return number;
    }
    const qint64 integer = value.toInteger();
    if (static_cast<double>(integer) != number) throw Refusal(wrong);
    return integer;
}

struct ArchivedNote {
    std::array<QVariant, kColumns.size()> values;
    std::vector<QVariant> place;  // empty: none
    std::optional<NoteWindowStates::State> window;
};

// One note's window state: every value of the kind and range a note window can take.
std::optional<NoteWindowStates::State> readWindow(const QJsonValue& value, const QString& where) {
    if (value.isNull() || value.isUndefined()) return std::nullopt;
    const QString bad = QCoreApplication::translate("NoteArchive", "%1的窗口设置无效。").arg(where);
    if (!value.isObject()) throw Refusal(bad);
    const QJsonObject object = value.toObject();
    const auto flag = [&](const char* name) {
        const QJsonValue v = object.value(QLatin1String(name));
        if (!v.isBool()) throw Refusal(bad);
        return v.toBool();
    };
    // A whole number in [low, high] (and a multiple of `step`), or null where allowed.
    const auto number = [&](const char* name, int low, int high, int step,
                            bool nullable) -> std::optional<int> {
        const QJsonValue v = object.value(QLatin1String(name));
        if (nullable && v.isNull()) return std::nullopt;
        const double d = v.toDouble(-1);
        if (!v.isDouble() || d != double(int(d)) || d < low || d > high || int(d) % step != 0)
            throw Refusal(bad);
        return int(d);
    };
    NoteWindowStates::State state;
    state.keepAbove = flag("keepAbove");
    state.transparency = *number("transparency", 0, 90, 10, false);
    state.textPoints = number("textPoints", 6, 48, 1, true);
    state.allWorkspaces = flag("allWorkspaces");
    state.workspace = number("workspace", 0, 1023, 1, true);
    return state;
}

// One note's place: X, Y, Width, Height as 32-bit integers and Scale as a number, each or NULL.
std::vector<QVariant> readPlace(const QJsonValue& value, const QString& where) {
    if (value.isNull() || value.isUndefined()) return {};
    if (!value.isObject())
        throw Refusal(QCoreApplication::translate("NoteArchive", "%1的位置无效。").arg(where));
    const QJsonObject object = value.toObject();
    std::vector<QVariant> place;
    for (const Column& column : kPlaceColumns) {
        const QString field =
            QCoreApplication::translate("NoteArchive", "%1的位置“%2”").arg(where, column.name);
        QVariant stored = storedValue(object.value(QLatin1String(column.name)), column.kind, field);
        // The program reads them back as 32-bit numbers.
        if (column.kind == Kind::Integer && stored.isValid() &&
            stored.toLongLong() != qint64(qint32(stored.toLongLong())))
            throw Refusal(QCoreApplication::translate("NoteArchive", "%1无效。").arg(field));
        place.push_back(stored);
    }
    return place;
}

std::vector<ArchivedNote> readNotes(const QJsonObject& root) {
    const QJsonValue list = root.value(QStringLiteral("notes"));
    if (!list.isArray())
        throw Refusal(QCoreApplication::translate("NoteArchive", "它不是本程序导出的便签文件。"));
    const QJsonArray notes = list.toArray();
    if (notes.size() > kMaxNotes)
        throw Refusal(
            QCoreApplication::translate("NoteArchive", "便签太多（超过 %1 个）。").arg(kMaxNotes));
    std::vector<ArchivedNote> read;
    read.reserve(notes.size());
    for (qsizetype n = 0; n < notes.size(); ++n) {
        const QString where = QCoreApplication::translate("NoteArchive", "第 %1 个便签").arg(n + 1);
        const QJsonObject note = notes[n].toObject();
        const QJsonValue tips = note.value(QStringLiteral("tips"));
        if (!tips.isObject())
            throw Refusal(QCoreApplication::translate("NoteArchive", "%1的内容缺失。").arg(where));
        ArchivedNote parsed;
        for (std::size_t i = 0; i < kColumns.size(); ++i) {
            const QString name = QLatin1String(kColumns[i].name);
            parsed.values[i] = storedValue(
                tips.toObject().value(name), kColumns[i].kind,
                QCoreApplication::translate("NoteArchive", "%1的“%2”").arg(where, name));
        }
        parsed.place = readPlace(note.value(QStringLiteral("place")), where);
        parsed.window = readWindow(note.value(QStringLiteral("window")), where);
        // Anything else a later version adds is not ours to read.
        read.push_back(std::move(parsed));
    }
    return read;
}

// A note's identity for the "already present" check: content and CreateTime as stored.
QString identity(const QVariant& content, const QVariant& created) {
    const auto part = [](const QVariant& v) {
        return v.isValid() ? QLatin1Char('v') + v.toString() : QStringLiteral("n");
    };
    return part(content) + QChar(0) + part(created);
}

NoteArchive::Imported addNotes(数据库操作模块& store, const std::vector<ArchivedNote>& notes) {
    platform::Database& db = *store.database();
    return platform::inTransaction(db, [&] {
        NoteArchive::Imported result;
        QSet<QString> present;
        const NoteRepository repository(store);
        repository.forEachStored([&](const NoteRepository::StoredRow& row) {
            present.insert(identity(row[1], row[2]));
        });
        std::vector<const ArchivedNote*> added;
        std::vector<std::array<QVariant, kColumns.size()>> values;
        for (const ArchivedNote& note : notes) {
            // Two copies of a note in one file are one note too.
            const QString key = identity(note.values[0], note.values[1]);
            if (present.contains(key)) {
                ++result.skipped;
                continue;
            }
            present.insert(key);
            added.push_back(&note);
            values.push_back(note.values);
            // A note window cannot take such a colour: the note would never open.
            if (!platform::storedColour(values.back()[kBackColor]) ||
                !platform::storedColour(values.back()[kFontColor])) {
                values.back()[kBackColor] = qint64(platform::kNoteBackColour);
                values.back()[kFontColor] = qint64(platform::kNoteTextColour);
                ++result.recoloured;
            }
        }
        const std::vector<std::int64_t> ids = repository.addStored(values);
        for (std::size_t i = 0; i < ids.size(); ++i) {
            writePlace(store, ids[i], added[i]->place);
            writeWindow(store, ids[i], added[i]->window);
            ++result.added;
            if (values[i][kVisual].isValid() && values[i][kVisual].toLongLong() != 0)
                result.shown.push_back(ids[i]);
        }
        return result;
    });
}

}  // namespace

NoteArchive::Format NoteArchive::formatFor(const QString& path, Format chosen) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("json")) return Format::Json;
    if (suffix == QLatin1String("txt")) return Format::Text;
    return chosen;
}

int NoteArchive::exportTo(数据库操作模块& store, const QString& path, Format format) {
    if (!store.database())
        throw platform::Error(platform::Trouble::Internal, platform::errc::objectNotSet,
                              QCoreApplication::translate("NoteArchive", "数据库尚未打开。"));
    refuseOwnFiles(store.database()->path(), path);
    int count = 0;
    const QByteArray bytes =
        format == Format::Json ? jsonDocument(store, count) : textDocument(store, count);
    QSaveFile file(path);
    const auto fail = [&file] {
        throw platform::Error(platform::errc::pathAccess, platform::fileErrorText(file));
    };
    if (!file.open(QIODevice::WriteOnly)) fail();
    // The notes are the user's alone, whatever the folder or an earlier file allowed.
    if (!file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) fail();
    if (file.write(bytes) != bytes.size() || !file.commit()) fail();
    return count;
}

NoteArchive::Imported NoteArchive::importFrom(数据库操作模块& store, const QString& path) {
    const std::vector<ArchivedNote> notes = readNotes(parseDocument(readBounded(path)));
    if (!store.database())
        throw platform::Error(platform::Trouble::Internal, platform::errc::objectNotSet,
                              QCoreApplication::translate("NoteArchive", "数据库尚未打开。"));
    return addNotes(store, notes);
}
