#include "shell/note_commands.h"

#include <QDateTime>
#include <QLoggingCategory>
#include <algorithm>
#include <memory>
#include <utility>

#include "controller/note_list_controller.h"
#include "editor/note_editor.h"
#include "platform/core/clock.h"
#include "platform/core/colour.h"
#include "platform/core/convert.h"
#include "platform/core/error.h"
#include "platform/ui/guard.h"
#include "platform/ui/list_view.h"
#include "platform/ui/msgbox.h"
#include "store/database_module.h"
#include "store/note_repository.h"
#include "store/note_trash.h"

namespace {

Q_LOGGING_CATEGORY(lcTrash, "zettara.trash")
Q_LOGGING_CATEGORY(lcEditors, "zettara.editors")

constexpr int kSqlError = 1;  // SQLite's SQLITE_ERROR: no such table or column, among others

// Asked before a delete that cannot be taken back.
bool deleteForGoodAgreed() {
    return platform::MsgBox(
               NoteCommands::tr(
                   "这个便签删除后将无法撤销（这个便签文件不保留删除的便签）。确定删除吗？"),
               platform::mb::YesNo | platform::mb::Question,
               NoteCommands::tr("确定删除")) == platform::mb::Yes;
}

}  // namespace

NoteCommands::NoteCommands(platform::ListView& list, Class_主窗体& controller,
                           数据库操作模块& store, EditorHost& host)
    : list_(list), controller_(controller), store_(store), host_(host) {
    // Another instance may have deleted or restored meanwhile.
    controller_.列表已刷新 = [this] { 更新撤销删除(); };
    controller_.前置便签编辑器 = [this](std::int64_t id) { return 前置编辑器(id); };
}

NoteCommands::~NoteCommands() {
    controller_.列表已刷新 = nullptr;
    controller_.前置便签编辑器 = nullptr;
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
    if (selected == 0) platform::MsgBox(tr("未选中任何便签！"), platform::mb::Critical);
    return selected;
}

int NoteCommands::便签行(std::int64_t 便签ID) const {
    return list_.indexOf(便签ID);
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
    // A store that refuses the delete (locked, read-only) is reported by the caller; the row
    // then stays, so the list never claims a delete that did not happen.
    const std::optional<std::int64_t> listed = item.id();
    if (!listed) return;
    const std::int64_t id = *listed;
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
    if (controller_.便签文件已改) controller_.便签文件已改();
}

void NoteCommands::已在别处删除(std::int64_t id) {
    if (const int row = 便签行(id); row != 0) {
        list_.item(row).setChecked(false);  // closes the note's windows
        list_.remove(row);
    }
    更新撤销删除();
}

void NoteCommands::撤销删除() {
    const std::optional<NoteTrash::Restored> note = NoteTrash(store_).restoreNewest();
    更新撤销删除();
    if (!note) return;
    controller_.便签已保存(note->id, false);
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
    try {
        const bool any = NoteTrash(store_).holdsAny();
        if (std::exchange(撤销删除可用_, any) != any && stateChanged) stateChanged();
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
    const std::optional<std::int64_t> listed = item.id();
    if (!listed) return;
    const std::int64_t id = *listed;
    if (前置编辑器(id)) return;
    // The editor starts from what was typed into the note's window.
    controller_.结束就地编辑(id);
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

bool NoteCommands::前置编辑器(std::int64_t 便签ID) {
    // Two editors on one note: the later save would silently undo the earlier one.
    for (const QPointer<Form_添加便签>& open : openEditors()) {
        if (open->便签ID() == 便签ID) {
            open->前置();
            return true;
        }
    }
    return false;
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
    controller_.更新列表(ticks);
    更新撤销删除();  // another instance may have deleted or restored
}

// The row is acted on by its index, not through the selection: a row that a find hides cannot
// be selected, and the command would then act on whichever row is.
void NoteCommands::修改行便签(int row) {
    if (row == 0) return;
    list_.setSelected(row, true);
    修改行(row);
}

void NoteCommands::便签菜单_修改(std::int64_t 便签ID) {
    修改行便签(便签行(便签ID));
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

void NoteCommands::便签菜单_颜色(std::int64_t 便签ID, std::int32_t 背景颜色,
                                 std::int32_t 字体颜色) {
    if (便签行(便签ID) == 0) return;
    const NoteRepository notes(store_);
    try {
        // The text goes back as it is stored: only the colours and ChangeTime change.
        const QString text = notes.note(便签ID).content;
        if (!notes.update(便签ID, text, platform::clock::now(), 背景颜色, 字体颜色,
                          NoteRepository::kEditorTransparent))
            return;
    } catch (const platform::Error& error) {
        if (error.number() == platform::errc::noCurrentRecord) return;
        throw;
    }
    controller_.便签已保存(便签ID, false);
    // A later save of that editor must not take the old colours back.
    for (const QPointer<Form_添加便签>& editor : openEditors()) {
        if (editor->便签ID() == 便签ID) editor->颜色已保存(背景颜色, 字体颜色);
    }
}

std::optional<std::pair<std::int32_t, std::int32_t>> NoteCommands::便签颜色(
    std::int64_t 便签ID) const {
    const Note note = NoteRepository(store_).note(便签ID);
    const std::optional<std::int32_t> back = usableColour(note.backColor);
    const std::optional<std::int32_t> text = usableColour(note.fontColor);
    if (!back || !text) return std::nullopt;
    return std::pair{*back, *text};
}

void NoteCommands::便签已保存(std::int64_t 便签ID, bool) {
    // A new note gets its desktop window, whichever button saved it. A modified note's windows
    // are brought up to date with the list.
    if (便签ID == 0) {
        if (store_.database()) controller_.便签已保存(store_.database()->lastInsertId(), true);
        return;
    }
    controller_.便签已保存(便签ID, false);
}
