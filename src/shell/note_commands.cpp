#include "shell/note_commands.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QLoggingCategory>
#include <QSet>
#include <algorithm>
#include <memory>
#include <utility>

#include "controller/note_list_controller.h"
#include "controller/note_window_arranger.h"
#include "editor/note_editor.h"
#include "notewindow/note_window.h"
#include "notewindow/text_sizes.h"
#include "platform/core/colour.h"
#include "platform/core/convert.h"
#include "platform/core/error.h"
#include "platform/ui/form_font.h"
#include "platform/ui/guard.h"
#include "platform/ui/list_view.h"
#include "platform/ui/msgbox.h"
#include "shell/restore_dialog.h"
#include "store/backup_restore.h"
#include "store/database_module.h"
#include "store/dated_backups.h"
#include "store/note_archive.h"
#include "store/note_placements.h"
#include "store/note_repository.h"
#include "store/note_trash.h"
#include "store/own_schema.h"

namespace {

Q_LOGGING_CATEGORY(lcTrash, "zettara.trash")
Q_LOGGING_CATEGORY(lcEditors, "zettara.editors")

const QString kNoSelection = QStringLiteral("未选中任何便签！");
const QString kListNotRefreshed =
    QStringLiteral("便签已保存，但列表暂时无法刷新（%1）。稍后会自动刷新。");
const QString kJsonFiles = QStringLiteral("便签文件 (*.json)");
const QString kTextFiles = QStringLiteral("文本文件 (*.txt)");

QString storeTrouble(const platform::Error& error) {
    // A file's own trouble (a full disk, no rights) is told in words; its number adds nothing.
    if (error.busy()) return QStringLiteral("便签文件被占用，请稍后再试。");
    if (error.number() == platform::errc::pathAccess) return error.message();
    return QStringLiteral("错误 %1：%2").arg(error.number()).arg(error.message());
}

constexpr int kSqlError = 1;  // SQLite's SQLITE_ERROR: no such table or column, among others

// Asked before a delete that cannot be taken back.
bool deleteForGoodAgreed() {
    return platform::MsgBox(
               QStringLiteral(
                   "这个便签删除后将无法撤销（这个便签文件不保留删除的便签）。确定删除吗？"),
               platform::mb::YesNo | platform::mb::Question,
               QStringLiteral("确定删除")) == platform::mb::Yes;
}

}  // namespace

NoteCommands::NoteCommands(platform::ListView& list, Class_主窗体& controller,
                           数据库操作模块& store, EditorHost& host)
    : list_(list), controller_(controller), store_(store), host_(host) {}

NoteCommands::~NoteCommands() {
    qApp->removeEventFilter(this);
    for (const QPointer<Form_添加便签>& editor : editors_) delete editor.data();
}

void NoteCommands::keepEditor(Form_添加便签* editor) {
    std::erase_if(editors_, [](const QPointer<Form_添加便签>& e) { return e.isNull(); });
    editors_.emplace_back(editor);
}

std::vector<QPointer<Form_添加便签>> NoteCommands::openEditors() const {
    // A closed editor lingers until its deferred delete: no longer visible.
    std::vector<QPointer<Form_添加便签>> open;
    for (const QPointer<Form_添加便签>& editor : editors_) {
        if (editor && editor->isVisible()) open.push_back(editor);
    }
    return open;
}

bool NoteCommands::询问已修改的编辑器() {
    // A copy: a question's event loop may open or close editors. Each asks from its own close.
    for (const QPointer<Form_添加便签>& editor : openEditors()) {
        if (editor && editor->已修改() && !editor->close()) return false;
    }
    return true;
}

void NoteCommands::保存全部编辑器() {
    for (const QPointer<Form_添加便签>& editor : openEditors()) {
        try {
            editor->保存不询问();
        } catch (const platform::Error& error) {
            qCWarning(lcEditors) << "an editor's text was not stored at the session's end:"
                                 << error.number() << error.message();
        }
    }
}

void NoteCommands::关闭全部编辑器() {
    for (const QPointer<Form_添加便签>& editor : openEditors()) {
        if (editor) editor->close();
    }
}

int NoteCommands::选中行() const {
    // A list that shows no rows is an empty list to the user.
    if (list_.visibleRowCount() == 0) return 0;
    const int selected = list_.selectedIndex();
    if (selected == 0) platform::MsgBox(kNoSelection, platform::mb::Critical);
    return selected;
}

int NoteCommands::便签行(std::int64_t 便签ID) const {
    const int count = list_.count();
    for (int i = 1; i <= count; ++i) {
        if (platform::parseIdentifier(list_.subItem(i, 1)) == 便签ID) return i;
    }
    return 0;
}

void NoteCommands::新建便签() {
    auto* editor = new Form_添加便签(host_);
    keepEditor(editor);
    editor->show();
}

void NoteCommands::删除便签() {
    删除行(选中行());
}

void NoteCommands::删除行(int selected) {
    if (selected == 0) return;
    const platform::ListItem item = list_.item(selected);
    // A row whose ID is not an identifier is refused (reported by the caller) before any
    // statement exists. A store that refuses the delete (locked, read-only) is reported by the
    // caller too; the row then stays, so the list never claims a delete that did not happen.
    const std::int64_t id = platform::toIdentifier(item.subItem(1));
    // The note and its place go to the trash with the delete, so that it can come back. Where
    // there is no trash (a newer program's file), the user decides first.
    const NoteTrash trash(store_);
    if (!trash.keepsDeleted() && !deleteForGoodAgreed()) return;
    try {
        trash.deleteNote(id, item.checked());
    } catch (const platform::Error& error) {
        // Our trash failing (its table changed while the program runs: SQLite's generic error)
        // never keeps a note from going: the user decides whether it goes for good.
        if ((error.number() & 0xff) != kSqlError || !trash.keepsDeleted()) throw;
        if (!deleteForGoodAgreed()) return;
        NoteRepository(store_).remove(id);
    }
    item.setChecked(false);  // closes the note's windows

    list_.remove(selected);
    更新撤销删除();
}

void NoteCommands::撤销删除() {
    const std::optional<NoteTrash::Restored> note = NoteTrash(store_).restoreNewest();
    更新撤销删除();
    if (!note) return;
    保存后刷新列表(true);
    const int row = 便签行(note->id);
    if (row == 0) return;
    // The check mark is the window switch: it shows what it showed before the delete.
    list_.setChecked(row, false);
    if (note->windowOpen) list_.setChecked(row, true);
    list_.setSelected(row, true);
}

void NoteCommands::整理回收站() {
    // A prune left undone now is done at a later start; the notes open all the same.
    try {
        NoteTrash(store_).prune(QDateTime::currentDateTimeUtc());
    } catch (const platform::Error& error) {
        qCWarning(lcTrash) << "old deletions kept this time:" << error.number() << error.message();
    }
    更新撤销删除();
}

void NoteCommands::更新撤销删除() {
    if (!撤销删除可用) return;
    try {
        撤销删除可用(NoteTrash(store_).holdsAny());
    } catch (const platform::Error& error) {
        // A file locked for the moment keeps the item as it was; the next change asks again.
        qCWarning(lcTrash) << "trash not read:" << error.number() << error.message();
    }
}

void NoteCommands::修改便签() {
    修改行(选中行());
}

void NoteCommands::修改行(int selected) {
    if (selected == 0) return;
    const platform::ListItem item = list_.item(selected);
    const std::int64_t id = platform::toIdentifier(item.subItem(1));
    // Two editors on one note: the later save would silently undo the earlier one.
    for (const QPointer<Form_添加便签>& open : openEditors()) {
        if (open->便签ID() == id) {
            open->前置();
            return;
        }
    }
    auto editor = std::make_unique<Form_添加便签>(host_);
    try {
        const Note note = NoteRepository(store_).note(id);
        // A colour that cannot be read does not keep the note from being changed: the editor
        // offers a new note's colour instead.
        editor->加载便签(id, item.subItem(2), usableColour(note.backColor),
                         usableColour(note.fontColor));
    } catch (const platform::Error& error) {
        // The editor that could not be set up is destroyed with the unique_ptr. A note deleted
        // meanwhile ends the command silently; anything else is reported.
        if (error.number() == platform::errc::noCurrentRecord) return;
        throw;
    }
    keepEditor(editor.get());
    editor.release()->show();
}

void NoteCommands::setAllChecks(bool checked) {
    // The rows first: a window that opens or closes may not move them, but nothing promises it.
    std::vector<int> rows(static_cast<size_t>(list_.visibleRowCount()));
    for (size_t i = 0; i < rows.size(); ++i) rows[i] = list_.visibleRow(static_cast<int>(i) + 1);
    for (const int row : rows) list_.setChecked(row, checked);
}

void NoteCommands::全部显示() {
    setAllChecks(true);
}

void NoteCommands::全部隐藏() {
    setAllChecks(false);
}

void NoteCommands::刷新列表() {
    刷新列表(Class_主窗体::Ticks::FromWindows);
}

void NoteCommands::刷新列表(Class_主窗体::Ticks ticks) {
    // Queried first: a store that cannot be read leaves the rows as they were.
    const NoteRepository::Listing notes = controller_.获取数据();
    list_.clear();
    controller_.刷新数据(list_, notes, ticks);
    更新撤销删除();  // another instance may have deleted or restored
}

void NoteCommands::从备份恢复() {
    if (!store_.database()) return;
    const QString noteFile = store_.database()->path();
    const std::vector<BackupRestore::Backup> backups = BackupRestore::list(noteFile);
    if (backups.empty()) {
        platform::MsgBox(QStringLiteral("还没有备份。程序每天第一次启动时备份便签，保存在：\n%1")
                             .arg(QDir::toNativeSeparators(DatedBackups::folderFor(noteFile))),
                         platform::mb::Information);
        return;
    }
    const QString chosen = RestoreDialog::choose(backups, list_.window());
    if (chosen.isEmpty() ||
        platform::MsgBox(QStringLiteral("用这个备份替换现在的全部便签吗？\n%1\n\n现在的便签文件会"
                                        "先另存为一个备份。")
                             .arg(QDir::toNativeSeparators(chosen)),
                         platform::mb::YesNo | platform::mb::Question,
                         QStringLiteral("确定恢复")) != platform::mb::Yes ||
        !询问已修改的编辑器())
        return;
    QString kept;
    try {
        kept = BackupRestore::restore(store_, chosen);
    } catch (const platform::Error& error) {
        platform::MsgBox(error.message(), platform::mb::Critical);
        return;
    }
    // Editors of notes the backup does not hold would save into nothing.
    关闭全部编辑器();
    刷新列表(Class_主窗体::Ticks::FromStore);
    QString text = QStringLiteral("已从备份恢复便签。恢复之前的便签文件另存为：\n%1")
                       .arg(QDir::toNativeSeparators(kept));
    if (const int failed = controller_.同步便签窗口())
        text += QStringLiteral("\n\n有 %1 个便签无法在桌面打开，已跳过。").arg(failed);
    // The backup may come from a newer version, or hold tables of ours that had to be set aside.
    if (const QString own = OwnSchema::notice(store_); !own.isEmpty())
        text += QStringLiteral("\n\n") + own;
    platform::MsgBox(text, platform::mb::Information);
}

// The row is acted on by its index, not through the selection: a row that a find hides cannot
// be selected, and the command would then act on whichever row is.
void NoteCommands::便签菜单_修改(std::int64_t 便签ID) {
    if (const int row = 便签行(便签ID)) {
        list_.setSelected(row, true);
        修改行(row);
    }
}

void NoteCommands::便签菜单_删除(std::int64_t 便签ID) {
    if (const int row = 便签行(便签ID)) {
        list_.setSelected(row, true);
        删除行(row);
    }
}

void NoteCommands::便签菜单_关闭窗口(std::int64_t 便签ID) {
    if (const int row = 便签行(便签ID)) list_.setChecked(row, false);
}

void NoteCommands::导出便签() {
    QFileDialog dialog(list_.window(), QStringLiteral("导出便签"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({kJsonFiles, kTextFiles});
    dialog.setDirectory(QDir::homePath());
    dialog.selectFile(QStringLiteral("便签.json"));
    dialog.setDefaultSuffix(QStringLiteral("json"));
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
        dialog.setDefaultSuffix(filter == kTextFiles ? QStringLiteral("txt")
                                                     : QStringLiteral("json"));
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const QString path = dialog.selectedFiles().constFirst();
    const NoteArchive::Format format = NoteArchive::formatFor(
        path, dialog.selectedNameFilter() == kTextFiles ? NoteArchive::Format::Text
                                                        : NoteArchive::Format::Json);
    const QString failed = QStringLiteral("无法将便签导出到“%1”。\n%2");
    try {
        const int count = NoteArchive::exportTo(store_, path, format);
        platform::MsgBox(QStringLiteral("已将 %1 个便签导出到“%2”。").arg(count).arg(path),
                         platform::mb::Information);
    } catch (const NoteArchive::Refusal& refusal) {
        platform::MsgBox(failed.arg(path, refusal.reason()), platform::mb::Critical);
    } catch (const platform::Error& error) {
        platform::MsgBox(failed.arg(path, storeTrouble(error)), platform::mb::Critical);
    }
}

void NoteCommands::导入便签() {
    const QString path = QFileDialog::getOpenFileName(list_.window(), QStringLiteral("导入便签"),
                                                      QDir::homePath(), kJsonFiles);
    if (path.isEmpty()) return;
    const QString refused = QStringLiteral("无法导入“%1”，没有导入任何便签。\n%2");
    NoteArchive::Imported imported;
    try {
        imported = NoteArchive::importFrom(store_, path);
    } catch (const NoteArchive::Refusal& refusal) {
        platform::MsgBox(refused.arg(path, refusal.reason()), platform::mb::Critical);
        return;
    } catch (const platform::Error& error) {
        platform::MsgBox(refused.arg(path, storeTrouble(error)), platform::mb::Critical);
        return;
    }
    刷新列表();
    // The notes to be shown open now, as a new note does: the check mark set again opens its
    // window.
    QSet<QString> shown;
    for (const std::int64_t id : imported.shown) shown.insert(QString::number(id));
    int failed = 0;
    for (int row = 1; row <= list_.count(); ++row) {
        if (shown.contains(list_.subItem(row, 1)) && !platform::guarded([&] {
                list_.setChecked(row, false);
                list_.setChecked(row, true);
            }))
            ++failed;
    }
    QString text = QStringLiteral("已从“%1”导入 %2 个便签，跳过 %3 个已有的便签。")
                       .arg(path)
                       .arg(imported.added)
                       .arg(imported.skipped);
    if (imported.recoloured)
        text += QStringLiteral("\n其中 %1 个便签的颜色无效，已改用新便签的颜色。")
                    .arg(imported.recoloured);
    if (failed) text += QStringLiteral("\n有 %1 个便签无法在桌面打开，已跳过。").arg(failed);
    platform::MsgBox(text, platform::mb::Information);
}

NoteWindowStates::State NoteCommands::窗口状态(std::int64_t 便签ID) const {
    return NoteWindowStates(store_).find(便签ID).value_or(NoteWindowStates::State{});
}

void NoteCommands::改变窗口状态(std::int64_t 便签ID,
                                const std::function<void(NoteWindowStates::State&)>& change) {
    // Stored first: a choice the store refuses is reported and changes no window.
    const NoteWindowStates::State before = 窗口状态(便签ID);
    NoteWindowStates::State now = before;
    change(now);
    if (now == before) return;
    NoteWindowStates(store_).save(便签ID, now);
    const QString tag = QString::number(便签ID);
    for (Form_Zettara* window : controller_.便签窗口()) {
        if (window->idTag() == tag) NoteWindowArranger::apply(*window, now, before);
    }
}

void NoteCommands::便签菜单_总在最前(std::int64_t 便签ID) {
    改变窗口状态(便签ID, [](NoteWindowStates::State& s) { s.keepAbove = !s.keepAbove; });
}

void NoteCommands::便签菜单_透明度(std::int64_t 便签ID, int percent) {
    改变窗口状态(便签ID, [percent](NoteWindowStates::State& s) { s.transparency = percent; });
}

void NoteCommands::便签菜单_文字大小(std::int64_t 便签ID, int step) {
    改变窗口状态(便签ID, [step](NoteWindowStates::State& s) {
        s.textPoints = textsizes::stepped(s.textPoints, platform::formFont().pointSizeF(), step);
    });
}

void NoteCommands::便签菜单_所有工作区(std::int64_t 便签ID) {
    改变窗口状态(便签ID, [](NoteWindowStates::State& s) { s.allWorkspaces = !s.allWorkspaces; });
}

void NoteCommands::便签已保存(std::int64_t 便签ID, bool) {
    // A new note gets its desktop window, whichever button saved it. A modified note's windows
    // are brought up to date by the refresh.
    if (便签ID == 0 && store_.database())
        新便签待显示_.push_back(store_.database()->lastInsertId());
    保存后刷新列表(true);
}

void NoteCommands::保存后刷新列表(bool tell) {
    // The note is stored by now: a list that cannot be reloaded must not make the save look
    // failed (saving again would store the note twice). Another program's lock goes away on its
    // own, so the reload waits for the user to come back to one of our windows.
    try {
        刷新列表();
        controller_.刷新便签();
        显示新便签();
    } catch (const platform::Error& error) {
        if (tell) {
            const QString reason =
                error.busy()
                    ? QStringLiteral("便签文件被占用")
                    : QStringLiteral("错误 %1：%2").arg(error.number()).arg(error.message());
            platform::MsgBox(kListNotRefreshed.arg(reason), platform::mb::Exclamation);
        }
        // Watched only from here on: the box's own activation is no reason to try again.
        if (!std::exchange(列表待刷新_, true)) qApp->installEventFilter(this);
        return;
    }
    if (std::exchange(列表待刷新_, false)) qApp->removeEventFilter(this);
}

void NoteCommands::显示新便签() {
    while (!新便签待显示_.empty()) {
        // The check mark is the window switch.
        if (const int row = 便签行(新便签待显示_.front()); row && !list_.checked(row)) {
            try {
                list_.setChecked(row, true);
            } catch (const platform::Error& error) {
                if (error.busy()) throw;       // opens on the next try
                platform::reportError(error);  // saved all the same
            }
        }
        新便签待显示_.erase(新便签待显示_.begin());
    }
}

bool NoteCommands::eventFilter(QObject* watched, QEvent* event) {
    // Every widget of an activated window hears of it: one queued retry, after the activation.
    if (列表待刷新_ && event->type() == QEvent::WindowActivate &&
        !std::exchange(刷新已排队_, true)) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                刷新已排队_ = false;
                if (列表待刷新_) platform::runEvent([this] { 保存后刷新列表(false); });
            },
            Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}
