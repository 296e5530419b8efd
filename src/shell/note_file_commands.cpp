#include "shell/note_file_commands.h"

#include <QDir>
#include <QFileDialog>
#include <vector>

#include "controller/note_list_controller.h"
#include "platform/core/error.h"
#include "platform/core/error_text.h"
#include "platform/ui/guard.h"
#include "platform/ui/list_view.h"
#include "platform/ui/msgbox.h"
#include "shell/note_commands.h"
#include "shell/restore_dialog.h"
#include "store/backup_restore.h"
#include "store/database_module.h"
#include "store/dated_backups.h"
#include "store/note_archive.h"
#include "store/own_schema.h"

namespace {

QString jsonFiles() {
    return NoteFileCommands::tr("便签文件 (*.json)");
}

QString textFiles() {
    return NoteFileCommands::tr("文本文件 (*.txt)");
}

}  // namespace

NoteFileCommands::NoteFileCommands(platform::ListView& list, Class_主窗体& controller,
                                   数据库操作模块& store, NoteCommands& commands)
    : list_(list), controller_(controller), store_(store), commands_(commands) {}

void NoteFileCommands::导出便签() {
    QFileDialog dialog(list_.window(), tr("导出便签"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({jsonFiles(), textFiles()});
    dialog.setDirectory(QDir::homePath());
    dialog.selectFile(tr("便签.json"));
    dialog.setDefaultSuffix(QStringLiteral("json"));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog](const QString& filter) {
                         dialog.setDefaultSuffix(filter == textFiles() ? QStringLiteral("txt")
                                                                       : QStringLiteral("json"));
                     });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const QString path = dialog.selectedFiles().constFirst();
    const NoteArchive::Format format = NoteArchive::formatFor(
        path, dialog.selectedNameFilter() == textFiles() ? NoteArchive::Format::Text
                                                         : NoteArchive::Format::Json);
    const QString failed = tr("无法将便签导出到“%1”。\n%2");
    try {
        const int count = NoteArchive::exportTo(store_, path, format);
        platform::MsgBox(tr("已将 %1 个便签导出到“%2”。").arg(count).arg(path),
                         platform::mb::Information);
    } catch (const NoteArchive::Refusal& refusal) {
        platform::MsgBox(failed.arg(path, refusal.reason()), platform::mb::Critical);
    } catch (const platform::Error& error) {
        platform::MsgBox(failed.arg(path, platform::userText(error)), platform::mb::Critical);
    }
}

void NoteFileCommands::导入便签() {
    const QString path =
        QFileDialog::getOpenFileName(list_.window(), tr("导入便签"), QDir::homePath(), jsonFiles());
    if (path.isEmpty()) return;
    const QString refused = tr("无法导入“%1”，没有导入任何便签。\n%2");
    NoteArchive::Imported imported;
    try {
        imported = NoteArchive::importFrom(store_, path);
    } catch (const NoteArchive::Refusal& refusal) {
        platform::MsgBox(refused.arg(path, refusal.reason()), platform::mb::Critical);
        return;
    } catch (const platform::Error& error) {
        platform::MsgBox(refused.arg(path, platform::userText(error)), platform::mb::Critical);
        return;
    }
    commands_.刷新列表();
    // The notes to be shown open now, as a new note does: the check mark set again opens its
    // window.
    int failed = 0;
    for (const std::int64_t id : imported.shown) {
        if (const int row = list_.indexOf(id); row && !platform::guarded([&] {
                                                   list_.setChecked(row, false);
                                                   list_.setChecked(row, true);
                                               }))
            ++failed;
    }
    QString text = tr("已从“%1”导入 %2 个便签，跳过 %3 个已有的便签。")
                       .arg(path)
                       .arg(imported.added)
                       .arg(imported.skipped);
    if (imported.recoloured)
        text += tr("\n其中 %1 个便签的颜色无效，已改用新便签的颜色。").arg(imported.recoloured);
    if (failed) text += tr("\n有 %1 个便签无法在桌面打开，已跳过。").arg(failed);
    platform::MsgBox(text, platform::mb::Information);
}

void NoteFileCommands::从备份恢复() {
    if (!store_.database()) return;
    const QString noteFile = store_.database()->path();
    const std::vector<BackupRestore::Backup> backups = BackupRestore::list(noteFile);
    if (backups.empty()) {
        platform::MsgBox(tr("还没有备份。程序每天第一次启动时备份便签，保存在：\n%1")
                             .arg(QDir::toNativeSeparators(DatedBackups::folderFor(noteFile))),
                         platform::mb::Information);
        return;
    }
    const QString chosen = RestoreDialog::choose(backups, list_.window());
    if (chosen.isEmpty() ||
        platform::MsgBox(tr("用这个备份替换现在的全部便签吗？\n%1\n\n现在的便签文件会"
                            "先另存为一个备份。")
                             .arg(QDir::toNativeSeparators(chosen)),
                         platform::mb::YesNo | platform::mb::Question,
                         tr("确定恢复")) != platform::mb::Yes ||
        !commands_.询问已修改的编辑器())
        return;
    QString kept;
    try {
        kept = BackupRestore::restore(store_, chosen);
    } catch (const platform::Error& error) {
        platform::MsgBox(error.message(), platform::mb::Critical);
        return;
    }
    // Editors of notes the backup does not hold would save into nothing.
    commands_.关闭全部编辑器();
    commands_.刷新列表(Class_主窗体::Ticks::FromStore);
    QString text =
        tr("已从备份恢复便签。恢复之前的便签文件另存为：\n%1").arg(QDir::toNativeSeparators(kept));
    if (const int failed = controller_.同步便签窗口())
        text += tr("\n\n有 %1 个便签无法在桌面打开，已跳过。").arg(failed);
    // The backup may come from a newer version, or hold tables of ours that had to be set aside.
    if (const QString own = OwnSchema::notice(store_); !own.isEmpty())
        text += QStringLiteral("\n\n") + own;
    platform::MsgBox(text, platform::mb::Information);
}
