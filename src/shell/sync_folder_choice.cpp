#include "shell/sync_folder_choice.h"

#include <QAbstractButton>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <memory>

#include "controller/sync_folder.h"
#include "platform/core/error.h"
#include "platform/core/error_text.h"
#include "platform/ui/msgbox.h"

namespace {

// Whether path lies in folder or below it.
bool inside(const QString& path, const QString& folder) {
    const QString file = QFileInfo(path).canonicalFilePath();
    const QString root = QFileInfo(folder).canonicalFilePath();
    return !file.isEmpty() && !root.isEmpty() &&
           (file == root || file.startsWith(root + QLatin1Char('/')));
}

}  // namespace

void SyncFolderChoice::ask(NoteSync& sync, const QString& noteFile, QWidget* parent) {
    QString text =
        tr("同步文件夹让几台电脑用上同样的便签：每台电脑把自己的便签写进这个文件夹，由 Syncthing、"
           "Nextcloud 等同步软件在电脑之间传送，本程序再把各台电脑的修改逐条合并。两台电脑改了同一"
           "个便签时，两边的修改都会留在便签里，什么也不会丢。");
    if (sync.isOn())
        text += QStringLiteral("\n\n") +
                tr("现在同步的文件夹：%1").arg(QDir::toNativeSeparators(sync.chosenFolder()));
    const std::unique_ptr<QMessageBox> box(
        platform::makeMsgBox(text, platform::mb::Information, tr("同步文件夹")));
    // The box's own 确定 gives way to the three choices.
    for (QAbstractButton* button : box->buttons()) {
        box->removeButton(button);
        delete button;
    }
    QPushButton* choose = box->addButton(tr("选择文件夹…[&C]"), QMessageBox::AcceptRole);
    QPushButton* stop =
        sync.isOn() ? box->addButton(tr("停止同步[&S]"), QMessageBox::DestructiveRole) : nullptr;
    QPushButton* close = box->addButton(tr("关闭"), QMessageBox::RejectRole);
    box->setDefaultButton(choose);
    box->setEscapeButton(close);
    box->exec();
    if (stop && box->clickedButton() == stop) {
        sync.turnOff();
        return;
    }
    if (box->clickedButton() != choose) return;

    const QString start = sync.isOn() ? sync.chosenFolder() : QDir::homePath();
    QString chosen = QFileDialog::getExistingDirectory(parent, tr("选择同步文件夹"), start);
    if (chosen.isEmpty()) return;
    // The notes' own subfolder chosen (as another machine shows it): the folder that holds it.
    if (QFileInfo(chosen).fileName() == QFileInfo(SyncFolder::notesFolder(chosen)).fileName())
        chosen = QFileInfo(chosen).absolutePath();
    const QFileInfo folder(chosen);
    if (!folder.isDir() || !folder.isWritable()) {
        platform::MsgBox(tr("无法在“%1”里写入文件，同步没有打开。请换一个文件夹。")
                             .arg(QDir::toNativeSeparators(chosen)),
                         platform::mb::Exclamation, tr("同步文件夹"));
        return;
    }
    // The engine would carry the note file itself between the machines, and each would
    // overwrite the other's.
    if (inside(noteFile, chosen)) {
        platform::MsgBox(tr("便签文件“%1”就在这个文件夹里，不能拿它来同步。请换一个文件夹。")
                             .arg(QDir::toNativeSeparators(noteFile)),
                         platform::mb::Exclamation, tr("同步文件夹"));
        return;
    }
    try {
        sync.turnOn(folder.absoluteFilePath());
    } catch (const platform::Error& error) {
        platform::MsgBox(tr("同步没有打开。") + QLatin1Char('\n') + platform::userText(error),
                         platform::mb::Exclamation, tr("同步文件夹"));
    }
}

QString SyncFolderChoice::statusText(const NoteSync& sync) {
    if (!sync.missingFolder().isEmpty())
        return tr("同步暂停：找不到同步文件夹“%"
                  "1”。请接上它所在的磁盘后重新启动程序，或者另选文件夹。")
            .arg(QDir::toNativeSeparators(sync.missingFolder()));
    if (!sync.isOn()) return {};
    const NoteSync::Status status = sync.status();
    QString text;
    if (status.lastMerge) {
        text = tr("同步：%1 合并完毕")
                   .arg(QLocale().toString(status.lastMerge->time(), QLocale::ShortFormat));
    } else {
        text = tr("同步：正在合并…");
    }
    if (status.conflicts > 0)
        text += tr("；%1 个便签保留了两台电脑的不同改法，查找“冲突”可以找到").arg(status.conflicts);
    if (status.unreadable > 0) text += tr("；%1 个文件无法读取，已跳过").arg(status.unreadable);
    if (!status.trouble.isEmpty()) text += tr("；出了问题，稍后再试：%1").arg(status.trouble);
    return text;
}
