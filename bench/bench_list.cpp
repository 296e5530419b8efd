// In-process list cases: the list reload (编辑_刷新列表_Click), a save from the editor
// (update statement + reload + 刷新便签) and 刷新便签 alone, over note databases of 10,000 and
// 100,000 notes with 20 or 100 desktop note windows open; a keystroke in the find field; a key
// typed into a note window in place, and the store that follows a pause in the typing; the
// first merge of a sync folder of 10,000 notes into an empty note file. Run offscreen.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <algorithm>
#include <map>
#include <memory>

#include "controller/note_sync.h"
#include "editor/note_editor.h"
#include "notewindow/note_window.h"
#include "platform/core/error.h"
#include "platform/ui/guard.h"
#include "platform/ui/list_view.h"
#include "platform/ui/msgbox.h"
#include "shell/main_window.h"
#include "store/database_module.h"
#include "store/own_schema.h"
#include "store/sync_records.h"

namespace {

QString schemaPath() {
    return QStringLiteral(ZETTARA_SOURCE_DIR "/data/schema.sql");
}

// A note database of `notes` rows of about 40 characters, the first `visible` of them shown.
QString makeDatabase(const QString& dir, int notes, int visible) {
    const QString path = dir + QStringLiteral("/notes-%1-%2.mdb").arg(notes).arg(visible);
    QFile::remove(path);
    QFile schema(schemaPath());
    if (!schema.open(QIODevice::ReadOnly)) qFatal("no schema at %s", qPrintable(schemaPath()));
    sqlite3* db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    sqlite3_exec(db, schema.readAll().constData(), nullptr, nullptr, nullptr);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO Tips(content,CreateTime,ChangeTime,Deleted,BackColor,"
                       "FontColor,Visual,TopMost,Transparent) VALUES(?,'2026/3/1 9:15:00',"
                       "'2026/3/2 17:40:12',0,12648447,0,?,0,20)",
                       -1, &insert, nullptr);
    for (int i = 1; i <= notes; ++i) {
        const QByteArray text =
            QStringLiteral("便签 %1：明天上午十点开会，带上季度报告和预算表。").arg(i).toUtf8();
        sqlite3_bind_text(insert, 1, text.constData(), static_cast<int>(text.size()),
                          SQLITE_TRANSIENT);
        sqlite3_bind_int(insert, 2, i <= visible ? 1 : 0);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return path;
}

// A loaded main window over a database of its own, with its note windows open.
struct Fixture {
    Fixture(const QString& dir, int notes, int visible) {
        数据库对象.打开数据库(makeDatabase(dir, notes, visible), QString());
        form = std::make_unique<Form_Main>(数据库对象);
        list = form->findChild<platform::ListView*>(QStringLiteral("ListView_Zettara"));
        form->主窗体控制器().初始化界面(*list);
        form->主窗体控制器().初始化便签显示(*list);
        QCoreApplication::processEvents();
    }
    ~Fixture() {
        form->主窗体控制器().关闭全部便签();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        form.reset();
        platform::guarded([this] { 数据库对象.关闭数据库(); });
    }
    数据库操作模块 数据库对象;
    std::unique_ptr<Form_Main> form;
    platform::ListView* list = nullptr;
};

QTemporaryDir& scratch() {
    static QTemporaryDir dir;
    return dir;
}

void BM_ListReload(benchmark::State& state) {
    Fixture f(scratch().path(), static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    QAction* reload = f.form->findChild<QAction*>(QStringLiteral("编辑_刷新列表"));
    for (auto _ : state) reload->trigger();
    state.counters["rows"] = f.list->count();
}

void BM_EditorSave(benchmark::State& state) {
    Fixture f(scratch().path(), static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    Form_添加便签 editor(*f.form);
    editor.加载便签(1, QString(), 12648447, 0);  // a displayed note
    auto* text = editor.findChild<QPlainTextEdit*>(QStringLiteral("FlatEdit_内容"));
    int round = 0;
    for (auto _ : state) {
        text->setPlainText(QStringLiteral("改过的便签 %1").arg(++round));
        if (!editor.保存便签()) state.SkipWithError("save refused");
    }
}

// The first shown note, its text editable in place.
Form_Zettara& editedInPlace(Fixture& f) {
    Form_Zettara& note = *f.form->主窗体控制器().便签窗口().front();
    note.beginEditing();
    return note;
}

void typeKey(Form_Zettara& note) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QCoreApplication::sendEvent(note.Edit_Zettara, &press);
    QCoreApplication::sendEvent(note.Edit_Zettara, &release);
    QCoreApplication::processEvents();
}

// One key typed into a note in place: what the window's thread does before the next key.
void BM_TypeInPlace(benchmark::State& state) {
    Fixture f(scratch().path(), static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    Form_Zettara& note = editedInPlace(f);
    for (auto _ : state) typeKey(note);
}

// A key and then the store a pause brings (editing ended stores at once the same way): the
// update of the one note and the list row and windows that follow it.
void BM_TypeInPlaceAndStore(benchmark::State& state) {
    Fixture f(scratch().path(), static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    Form_Zettara& note = editedInPlace(f);
    for (auto _ : state) {
        typeKey(note);
        note.endEditing();
        state.PauseTiming();
        note.beginEditing();
        state.ResumeTiming();
    }
}

void BM_RefreshWindows(benchmark::State& state) {
    Fixture f(scratch().path(), static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    for (auto _ : state) f.form->主窗体控制器().刷新便签();
}

// One keystroke in the find field of a shown main window: the list filtered anew and laid out.
// The words go round from every note to four in ten, scattered (the most row ranges to hide), to
// a handful, and back.
void BM_FindKeystroke(benchmark::State& state) {
    Fixture f(scratch().path(), static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    f.form->show();
    f.form->findChild<QAction*>(QStringLiteral("编辑_查找"))->trigger();
    auto* field = f.form->findChild<QLineEdit*>(QStringLiteral("查找_文字"));
    const QString words[] = {QStringLiteral("季度 报告"), QStringLiteral("7"),
                             QStringLiteral("便签 4242")};
    int round = 0;
    for (auto _ : state) {
        field->setText(words[++round % 3]);
        QCoreApplication::processEvents();
    }
    state.counters["shown"] = f.list->visibleRowCount();
}

// One delete through the 编辑 menu (statements, list row) of the list's last note; the trash is
// emptied outside the timing, so that every round sees the same store.
void BM_Delete(benchmark::State& state) {
    Fixture f(scratch().path(), static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    OwnSchema::prepare(f.数据库对象);
    QAction* remove = f.form->findChild<QAction*>(QStringLiteral("编辑_删除"));
    platform::Database& db = *f.数据库对象.database();
    for (auto _ : state) {
        f.list->setSelected(f.list->count(), true);
        remove->trigger();
        state.PauseTiming();
        try {
            db.execute(QStringLiteral("DELETE FROM NoteTrash"));
        } catch (const platform::Error&) {  // a build without the trash
        }
        state.ResumeTiming();
    }
}

// The first merge of a sync folder that another machine filled with `notes` notes, into a
// second machine with an empty note file and its main window loaded: from turning sync on to
// the last note in the list. The longest pass of the event loop in between is how long the
// window could not answer.
void BM_FirstSyncMerge(benchmark::State& state) {
    const int notes = static_cast<int>(state.range(0));
    QTemporaryDir folder;
    {
        数据库操作模块 other;
        other.打开数据库(makeDatabase(scratch().path(), notes, 0), QString());
        OwnSchema::prepare(other);
        NoteSync writer(other, {});
        writer.turnOn(folder.path());
        while (!SyncRecords(other).changedIds().empty()) QCoreApplication::processEvents();
        other.关闭数据库();
    }
    double longest = 0;
    for (auto _ : state) {
        Fixture f(scratch().path(), 0, 0);
        OwnSchema::prepare(f.数据库对象);
        NoteSync* sync = &f.form->noteSync();
        QElapsedTimer whole;
        whole.start();
        sync->turnOn(folder.path());
        while (f.list->count() < notes) {
            QElapsedTimer pass;
            pass.start();
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents,
                                            50);
            longest = std::max(longest, pass.nsecsElapsed() / 1e6);
            if (whole.elapsed() > 120000) {
                state.SkipWithError("not merged within two minutes");
                break;
            }
        }
    }
    state.counters["longest_pass_ms"] = longest;
}

void cases(benchmark::internal::Benchmark* b) {
    b->Args({10000, 20})->Args({10000, 100})->Args({100000, 20})->ArgNames({"notes", "windows"});
    b->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_ListReload)->Apply(cases);
BENCHMARK(BM_EditorSave)->Apply(cases);
BENCHMARK(BM_RefreshWindows)->Apply(cases);
BENCHMARK(BM_TypeInPlace)
    ->Args({100000, 20})
    ->ArgNames({"notes", "windows"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TypeInPlaceAndStore)
    ->Args({100000, 20})
    ->ArgNames({"notes", "windows"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindKeystroke)
    ->Args({10000, 20})
    ->Args({100000, 20})
    ->ArgNames({"notes", "windows"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Delete)->Apply(cases)->Iterations(50);
BENCHMARK(BM_FirstSyncMerge)
    ->Arg(10000)
    ->ArgName("notes")
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// The offscreen platform warns on every raise() of a note window; that is noise here.
void quietRaise(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.contains(QLatin1String("does not support raise()"))) return;
    qt_message_output(type, context, message);
}

// A box would wait for a human and spoil the timing: the run stops instead.
class NoBoxes : platform::MsgBoxSeam {
  public:
    static void install() {
        setMsgBoxImpl([](const QString& text, int, const QString&) {
            qFatal("message box: %s", qPrintable(text));
            return 0;
        });
    }
};

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietRaise);
    QApplication app(argc, argv);
    NoBoxes::install();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
